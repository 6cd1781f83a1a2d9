// The four-buffer ring of the player, driven through the in-memory device:
// the test decides when each buffer completes and checks every byte played.

#include <QFileInfo>
#include <QMetaObject>

#include <atomic>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "audio/Audio.h"
#include "audio/AudioTestSupport.h"
#include "audio/MemoryWaveOut.h"

namespace {

// 100 frames of 16-bit stereo: 400 bytes per device buffer.
constexpr std::size_t BufferBytes = 400;

class PlayerTest : public TTempDirTest {
protected:
    void SetUp() override
    {
        TTempDirTest::SetUp();
        FAudio = std::make_unique<TAudio>(nullptr, FBackend);
        SetWindowFormat(*FAudio);
        FAudio->Recorder()->SetNoSamples(100);
        FAudio->OnBufferPlayed = [this](TPlayer*) { ++FBuffersPlayed; };
        FAudio->OnPlayed = [this](TPlayer*) { ++FPlayed; };
        ASSERT_EQ(Player().BufferSize(), BufferBytes);
    }
    void TearDown() override
    {
        FAudio.reset();
        TTempDirTest::TearDown();
    }
    TPlayer& Player() { return *FAudio->Player(); }
    void Play(const TBytes& Bytes, std::uint16_t Repeats = 0)
    {
        TMemoryStream S = StreamOf(Bytes);
        Player().PlayStream(&S, nullptr, Repeats);
    }
    bool WaitPlayed(int Count = 1) { return QTest::qWaitFor([&] { return FPlayed.load() >= Count; }, 10000); }
    // Waits without letting posted requests through.
    template <class F> static bool Spin(F Condition)
    {
        for (int I = 0; I < 5000 && !Condition(); ++I)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return Condition();
    }
    // Lets every buffer complete: Expected comes out in one opening of the
    // device, every buffer but the last reports, and the device then closes
    // once and cleanly.
    void FinishAndExpect(const TBytes& Expected)
    {
        FBackend->SetAutoComplete(true);
        ASSERT_TRUE(WaitPlayed());
        QCoreApplication::processEvents();
        EXPECT_EQ(FBackend->Played(), Expected);
        EXPECT_EQ(FBuffersPlayed.load(), FBackend->WriteCount() - 1);
        EXPECT_EQ(FBackend->OpenCount(), 1);
        EXPECT_EQ(FBackend->CloseCount(), 1);
        EXPECT_EQ(FPlayed.load(), 1);
        EXPECT_FALSE(Player().Active());
        EXPECT_FALSE(Player().NotifiedOpen());
        EXPECT_EQ(FAudio->LastError(), "");
    }

    std::shared_ptr<TMemoryWaveOutBackend> FBackend = std::make_shared<TMemoryWaveOutBackend>();
    std::unique_ptr<TAudio> FAudio;
    std::atomic<int> FBuffersPlayed{0};
    std::atomic<int> FPlayed{0};
};

// Whole playbacks: up to four buffers are queued at once, every byte is
// played in order however often the file is repeated, and the temporary
// file stays behind with the samples.
struct TRunCase {
    const char* Name;
    std::size_t Bytes;
    std::uint16_t Repeats;
    int Buffers;
};
void PrintTo(const TRunCase& C, std::ostream* Os) { *Os << C.Name; }

class PlayerRunTest : public PlayerTest, public ::testing::WithParamInterface<TRunCase> {};

TEST_P(PlayerRunTest, PlaysEveryByteInOrder)
{
    const TRunCase& C = GetParam();
    const auto Samples = CountingBytes(C.Bytes);
    Play(Samples, C.Repeats);
    EXPECT_EQ(FBackend->Pending(), std::min(C.Buffers, 4));
    TBytes Expected;
    for (int I = 0; I <= C.Repeats; ++I)
        Expected = Concat({Expected, Samples});
    FinishAndExpect(Expected);
    EXPECT_EQ(FBackend->WriteCount(), C.Buffers);
    EXPECT_EQ(ReadFile(TPlayer::TempFileName), Samples);
}

INSTANTIATE_TEST_SUITE_P(Streams, PlayerRunTest,
                         ::testing::Values(TRunCase{"OneAndAHalfBuffers", BufferBytes * 3 / 2, 0, 2},
                                           TRunCase{"ExactlyFourBuffers", BufferBytes * 4, 0, 4},
                                           TRunCase{"RefillsBeyondFour", BufferBytes * 9 + 17, 0, 10},
                                           TRunCase{"RepeatsTwicePlaysThreeTimes", BufferBytes * 3 / 2, 2, 6}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(PlayerTest, SecondPlayWhileReadingAppendsWithoutGapOrReopen)
{
    const auto First = CountingBytes(BufferBytes * 6, 3);
    const auto Second = CountingBytes(BufferBytes * 5 / 2, 7);
    Play(First);
    ASSERT_EQ(FBackend->Pending(), 4);
    ASSERT_TRUE(Player().HasTempStream());
    Play(Second);
    FinishAndExpect(Concat({First, Second}));
}

TEST_F(PlayerTest, PlayWhileDrainingQueuesBehindTheLastBuffers)
{
    // The first stream is read to its end at once; two of its buffers are
    // still with the device when the second arrives.
    const auto First = CountingBytes(BufferBytes * 3 / 2, 11);
    const auto Second = CountingBytes(BufferBytes * 5, 13);
    Play(First);
    ASSERT_FALSE(Player().HasTempStream());
    ASSERT_EQ(FBackend->Pending(), 2);
    Play(Second);
    EXPECT_EQ(FBackend->Pending(), 4);
    EXPECT_EQ(Player().Queued(), 4);
    FinishAndExpect(Concat({First, Second}));
    EXPECT_EQ(FBuffersPlayed.load(), 2 + 5 - 1);
}

TEST_F(PlayerTest, PlayWhileTheCloseRequestIsPendingKeepsTheDevice)
{
    const auto First = CountingBytes(BufferBytes, 17);
    const auto Second = CountingBytes(BufferBytes * 2, 19);
    Play(First);
    FBackend->Complete(1);
    ASSERT_TRUE(Spin([&] { return Player().Closing(); }));
    Play(Second);
    FinishAndExpect(Concat({First, Second}));
}

TEST_F(PlayerTest, RingThatRanDryBeforeTheEndCarriesOn)
{
    // All four buffers complete before this thread could refill any: the
    // device asks for the close although the file has more to play.
    const auto Samples = CountingBytes(BufferBytes * 7, 23);
    Play(Samples);
    FBackend->Complete(4);
    ASSERT_TRUE(Spin([&] { return Player().Closing() && FBackend->Pending() == 0; }));
    FinishAndExpect(Samples);
}

TEST_F(PlayerTest, InterleavesLeftAndRightStreams)
{
    std::vector<std::int16_t> L, R, Both;
    for (int I = 0; I < 600; ++I) {  // more than one 1000-byte block
        L.push_back(static_cast<std::int16_t>(I * 7 - 2000));
        R.push_back(static_cast<std::int16_t>(-I * 3));
        Both.insert(Both.end(), {L.back(), R.back()});
    }
    TMemoryStream SL = StreamOf(L), SR = StreamOf(R), Short = StreamOf(TBytes{1, 2});
    Player().PlayStream(&SL, &SR, 0);
    FinishAndExpect(StreamOf(Both).Data());

    // A Right stream of another size is ignored: Left is played as it is.
    Player().PlayStream(&SL, &Short, 0);
    ASSERT_TRUE(WaitPlayed(2));
    EXPECT_EQ(FBackend->Played(), Concat({StreamOf(Both).Data(), SL.Data()}));
}

TEST_F(PlayerTest, EmptyStreamOpensQueuesNothingAndStopClosesIt)
{
    TMemoryStream Empty;
    Player().PlayStream(&Empty, nullptr, 0);
    EXPECT_TRUE(Player().Active());
    Player().PlayStream(nullptr, nullptr, 0);
    EXPECT_EQ(FBackend->OpenCount(), 1);
    EXPECT_EQ(FBackend->WriteCount(), 0);

    // Nothing queued means no device report will ever come: Stop closes.
    Player().Stop();
    EXPECT_FALSE(Player().Active());
    EXPECT_FALSE(Player().NotifiedOpen());
    EXPECT_EQ(FBackend->CloseCount(), 1);
    EXPECT_EQ(FPlayed.load(), 1);

    Player().Stop();
    EXPECT_EQ(FAudio->LastError(), "Player already closed");
}

TEST_F(PlayerTest, StopWhilePlayingReturnsAfterTheCloseReport)
{
    const auto Samples = CountingBytes(BufferBytes * 10, 31);
    Play(Samples);
    FBackend->Complete(1);
    ASSERT_TRUE(Spin([&] { return FBackend->Pending() == 3; }));
    Player().Stop();
    EXPECT_FALSE(Player().Active());
    EXPECT_FALSE(Player().NotifiedOpen());
    EXPECT_FALSE(FBackend->IsOpen());
    EXPECT_EQ(FBackend->ResetCount(), 1);
    EXPECT_EQ(FPlayed.load(), 1);
    // The three buffers the reset handed back were never played.
    QCoreApplication::processEvents();
    EXPECT_EQ(FBuffersPlayed.load(), 1);
    EXPECT_EQ(FBackend->WriteCount(), 4);
    EXPECT_EQ(FBackend->Played(), TBytes(Samples.begin(), Samples.begin() + BufferBytes));
    EXPECT_EQ(FAudio->LastError(), "");

    // The player is ready for the next tone.
    FBackend->SetAutoComplete(true);
    Play(Samples);
    ASSERT_TRUE(WaitPlayed(2));
    EXPECT_EQ(FBackend->OpenCount(), 2);
}

TEST_F(PlayerTest, ShutdownAndDestructionReleaseThePlayingDevice)
{
    Play(CountingBytes(BufferBytes * 10));
    ASSERT_TRUE(FBackend->IsOpen());
    ASSERT_TRUE(QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit", Qt::DirectConnection));
    EXPECT_FALSE(FBackend->IsOpen());
    EXPECT_FALSE(Player().Active());

    // The component itself stays usable by its owner.
    Play(CountingBytes(BufferBytes * 10));
    ASSERT_TRUE(FBackend->IsOpen());
    FAudio.reset();
    EXPECT_FALSE(FBackend->IsOpen());
    EXPECT_EQ(FBackend->CloseCount(), 2);
}

TEST_F(PlayerTest, FormatChangeWhilePlayingStopsFirst)
{
    Play(CountingBytes(BufferBytes * 10));
    Player().SetSampleRate(22050);
    EXPECT_FALSE(FBackend->IsOpen());
    EXPECT_EQ(FAudio->Recorder()->SampleRate(), 22050);
    FBackend->SetAutoComplete(true);
    Play(CountingBytes(BufferBytes * 2, 37));
    ASSERT_TRUE(WaitPlayed(2));
    EXPECT_EQ(FBackend->LastFormat().SamplesPerSec, 22050u);
}

TEST_F(PlayerTest, DeviceFailuresLandInLastError)
{
    const TWaveResult Fault = TMemoryWaveOutBackend::wrMemoryFault;
    FBackend->SetOpenResult(Fault);
    Play(CountingBytes(BufferBytes));
    EXPECT_EQ(FAudio->LastError(), "Could not open the output device for playing:  Simulated device fault");
    EXPECT_FALSE(Player().Active());

    FBackend->SetOpenResult(wrNoError);
    FBackend->SetWriteResult(Fault);
    Play(CountingBytes(BufferBytes));
    EXPECT_EQ(FAudio->LastError(), " Simulated device fault");
    EXPECT_EQ(Player().Queued(), 0);

    // The samples were kept: once the device takes buffers again they play.
    FBackend->SetWriteResult(wrNoError);
    const auto More = CountingBytes(BufferBytes, 41);
    Play(More);
    FBackend->SetAutoComplete(true);
    ASSERT_TRUE(WaitPlayed());
    EXPECT_EQ(FBackend->Played(), Concat({CountingBytes(BufferBytes), More}));

    FBackend->SetAutoComplete(false);
    Play(More);
    FBackend->SetResetResult(Fault);
    Player().Stop();
    EXPECT_EQ(FAudio->LastError(), "Error in waveOutReset");
    EXPECT_TRUE(Player().Active());
    FBackend->SetResetResult(wrNoError);
    FBackend->SetCloseResult(Fault);
    Player().Stop();
    EXPECT_EQ(FAudio->LastError(), "Error closing output device:  Simulated device fault");
    FBackend->SetCloseResult(wrNoError);
}

TEST_F(PlayerTest, TemporaryFileFailuresAreReportedAndPlayNothing)
{
    // "PLAY.TMP" cannot be created where a folder of that name stands.
    ASSERT_TRUE(QDir().mkdir(TPlayer::TempFileName));
    try {
        Play(CountingBytes(BufferBytes));
        FAIL() << "no error";
    } catch (const EFCreateError& E) {
        EXPECT_STREQ(E.what(), "Cannot create file PLAY.TMP");
    }
    ASSERT_TRUE(QDir().rmdir(TPlayer::TempFileName));
    EXPECT_FALSE(FBackend->IsOpen());

    // A disk that fills up while the samples are copied: the file gives the
    // space back at once, and the device is let go.
    {
        const TFileSizeLimit Limit(BufferBytes * 2);
        EXPECT_THROW(Play(CountingBytes(BufferBytes * 100)), EWriteError);
    }
    {
        const TDiskFull Disk(BufferBytes * 2);
        try {
            Play(CountingBytes(BufferBytes * 100));
            ADD_FAILURE() << "no error";
        } catch (const EWriteError& E) {
            EXPECT_EQ(std::string(E.what()), std::string("Cannot write file PLAY.TMP: ") + std::strerror(ENOSPC));
        }
    }
    EXPECT_EQ(QFileInfo(TPlayer::TempFileName).size(), 0);
    EXPECT_EQ(FBackend->WriteCount(), 0);
    EXPECT_FALSE(Player().HasTempStream());
    EXPECT_FALSE(Player().Active());
    EXPECT_FALSE(FBackend->IsOpen());
}

TEST_F(PlayerTest, DeviceThreadFailureIsToldAtTheClose)
{
    const auto Samples = CountingBytes(BufferBytes * 3);
    FBackend->FailNextPlay(TMemoryWaveOutBackend::wrMemoryFault);
    Play(Samples);
    FBackend->SetAutoComplete(true);
    ASSERT_TRUE(WaitPlayed());
    EXPECT_EQ(FAudio->LastError(), "Error playing on the output device:  Simulated device fault");
    EXPECT_EQ(FBackend->Played(), TBytes(Samples.begin() + BufferBytes, Samples.end()));
    EXPECT_FALSE(FBackend->IsOpen());
}

// The device finishes its last buffer while the next one is being written,
// and that write fails: nothing is queued any more, yet the device still
// closes (after the rest played, when writes work again).
struct TLastWriteCase {
    const char* Name;
    int Failures;
    std::size_t BuffersPlayed;
};
void PrintTo(const TLastWriteCase& C, std::ostream* Os) { *Os << C.Name; }

class PlayerLastWriteTest : public PlayerTest, public ::testing::WithParamInterface<TLastWriteCase> {};

TEST_P(PlayerLastWriteTest, FailedWriteAsTheRingEmptiesStillCloses)
{
    const auto Samples = CountingBytes(BufferBytes * 5);
    Play(Samples);
    FBackend->Complete(3);
    ASSERT_TRUE(Spin([&] { return Player().Queued() == 1; }));
    FBackend->SetWriteResult(TMemoryWaveOutBackend::wrMemoryFault, GetParam().Failures, true);
    QCoreApplication::processEvents();
    FBackend->SetAutoComplete(true);
    ASSERT_TRUE(WaitPlayed());
    EXPECT_FALSE(FBackend->IsOpen());
    EXPECT_EQ(FBackend->Played(), TBytes(Samples.begin(), Samples.begin() + GetParam().BuffersPlayed * BufferBytes));
    EXPECT_EQ(FAudio->LastError(), " Simulated device fault");
}

INSTANTIATE_TEST_SUITE_P(Writes, PlayerLastWriteTest,
                         ::testing::Values(TLastWriteCase{"FailsOnce", 1, 5}, TLastWriteCase{"KeepsFailing", -1, 4}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// A handler of the owner that throws, on either thread: the failure stays
// out of Qt's event dispatch, the playback stops, the device is released and
// the message is kept.
TEST_F(PlayerTest, ThrowingHandlersStopThePlaybackAndKeepTheMessage)
{
    for (const bool OnBuffer : {true, false}) {
        const std::string Message = OnBuffer ? "OnBufferPlayed failed" : "OnPlayed failed";
        SCOPED_TRACE(Message);
        const auto Fail = [Message](TPlayer*) { throw std::runtime_error(Message); };
        FAudio->OnBufferPlayed = OnBuffer ? TNotifyBufferPlayedEvent(Fail) : nullptr;
        FAudio->OnPlayed = OnBuffer ? TNotifyPlayedEvent(nullptr) : TNotifyPlayedEvent(Fail);
        FBackend->SetAutoComplete(true);
        Play(CountingBytes(BufferBytes * 8));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !Player().Active(); }, 10000));
        EXPECT_FALSE(FBackend->IsOpen());
        EXPECT_EQ(FAudio->LastError(), Message);
    }
}

}  // namespace
