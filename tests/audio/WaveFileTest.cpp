// WAV files written by the recorder, checked byte by byte where the layout is
// fixed and read back with libsndfile.

#include "audio/Audio.h"
#include "audio/AudioTestSupport.h"
#include "audio/MemoryWaveOut.h"
#include "audio/WaveFile.h"

#include <QFileInfo>

#include <cstring>

namespace {

// A stream that claims a size without holding the bytes.
class THugeStream final : public TStream {
public:
    explicit THugeStream(std::int64_t Size) : FSize(Size) {}
    std::int64_t Size() override { return FSize; }
    std::int64_t Position() override { return 0; }
    void Seek(std::int64_t) override {}
    std::size_t Read(void*, std::size_t) override { return 0; }
    void Write(const void*, std::size_t) override {}
    void SetSize(std::int64_t) override {}

private:
    std::int64_t FSize;
};

std::vector<std::int16_t> Ramp(int N, int Step)
{
    std::vector<std::int16_t> V(static_cast<std::size_t>(N));
    for (int I = 0; I < N; ++I)
        V[static_cast<std::size_t>(I)] = static_cast<std::int16_t>((I * Step) % 65536 - 32768);
    return V;
}

// The recorder in the modes window's format.
class WaveFileTest : public TTempDirTest {
protected:
    void SetUp() override
    {
        TTempDirTest::SetUp();
        SetWindowFormat(*FAudio);
    }
    TRecorder& Recorder() { return *FAudio->Recorder(); }

    std::unique_ptr<TAudio> FAudio = std::make_unique<TAudio>(nullptr, std::make_shared<TMemoryWaveOutBackend>());
};

TEST_F(WaveFileTest, StereoStoreReadsBackWithItsHeader)
{
    const auto Samples = Ramp(2 * 5000, 13);
    TMemoryStream Store = StreamOf(Samples);
    Recorder().SaveToWaveFile("tone.wav", &Store, nullptr);
    EXPECT_FALSE(Recorder().Writing());
    const auto Bytes = ReadFile("tone.wav");
    EXPECT_TRUE(RiffLayout(Bytes, 20000));
    EXPECT_EQ(FormatChunk(Bytes), WindowFormatChunk);
    EXPECT_TRUE(ReadsBack("tone.wav", 2, 44100, SfPcm16, Samples));
}

TEST_F(WaveFileTest, TwoMonoStreamsAreInterleaved)
{
    const auto L = Ramp(1234, 7), R = Ramp(1234, -5);
    std::vector<std::int16_t> Both;
    for (std::size_t I = 0; I < L.size(); ++I)
        Both.insert(Both.end(), {L[I], R[I]});
    TMemoryStream SL = StreamOf(L), SR = StreamOf(R);
    Recorder().SaveToWaveFile("pair.wav", &SL, &SR);
    EXPECT_TRUE(RiffLayout(ReadFile("pair.wav"), 4 * 1234));
    EXPECT_TRUE(ReadsBack("pair.wav", 2, 44100, SfPcm16, Both));
}

TEST_F(WaveFileTest, EightBitMonoSettingsGiveTheirHeader)
{
    TAudio Audio(nullptr, std::make_shared<TMemoryWaveOutBackend>());
    TMemoryStream Store = StreamOf(TBytes{0, 128, 255, 1, 2});
    Audio.Recorder()->SaveToWaveFile("mono8.wav", &Store, nullptr);
    const auto Bytes = ReadFile("mono8.wav");
    EXPECT_TRUE(RiffLayout(Bytes, 5));
    EXPECT_EQ(FormatChunk(Bytes), (TBytes{0x01, 0x00, 0x01, 0x00, 0x11, 0x2B, 0x00, 0x00, 0x11, 0x2B, 0x00, 0x00,
                                          0x01, 0x00, 0x08, 0x00}));
    EXPECT_TRUE(ReadsBack("mono8.wav", 1, 11025, SF_FORMAT_WAV | SF_FORMAT_PCM_U8, {-32768, 0, 32512, -32512, -32256}));
}

TEST_F(WaveFileTest, EmptyStoreGivesAHeaderOnlyFile)
{
    TMemoryStream Empty;
    Recorder().SaveToWaveFile("empty.wav", &Empty, nullptr);
    EXPECT_TRUE(RiffLayout(ReadFile("empty.wav"), 0));
    EXPECT_TRUE(ReadsBack("empty.wav", 2, 44100, SfPcm16, {}));
}

TEST_F(WaveFileTest, NoStreamLeavesTheFileOpenUntilTheComponentGoes)
{
    Recorder().SaveToWaveFile("later.wav", nullptr, nullptr);
    EXPECT_TRUE(Recorder().Writing());
    FAudio.reset();
    EXPECT_TRUE(RiffLayout(ReadFile("later.wav"), 0));
    EXPECT_TRUE(ReadsBack("later.wav", 2, 44100, SfPcm16, {}));
}

TEST_F(WaveFileTest, EmptyNameWritesNothing)
{
    TMemoryStream Store = StreamOf(CountingBytes(100));
    Recorder().SaveToWaveFile("", &Store, nullptr);
    EXPECT_FALSE(Recorder().Writing());
    EXPECT_TRUE(QDir::current().entryList(QDir::Files).isEmpty());
}

TEST_F(WaveFileTest, FailedWriteKeepsTheOldFileAndSaysWhy)
{
    TMemoryStream Small = StreamOf(CountingBytes(400)), Big = StreamOf(CountingBytes(400000));
    Recorder().SaveToWaveFile("keep.wav", &Small, nullptr);
    const auto Before = ReadFile("keep.wav");
    ASSERT_TRUE(RiffLayout(Before, 400));
    {
        const TFileSizeLimit Limit(100000);
        try {
            Recorder().SaveToWaveFile("keep.wav", &Big, nullptr);
            FAIL() << "a truncated file was reported as written";
        } catch (const EWriteError& E) {
            EXPECT_NE(std::string(E.what()).find("keep.wav"), std::string::npos) << E.what();
        }
    }
    EXPECT_FALSE(Recorder().Writing());
    EXPECT_EQ(ReadFile("keep.wav"), Before);
    EXPECT_TRUE(ReadsBack("keep.wav", 2, 44100, SfPcm16, AsSamples(Small.Data())));
    // No half-written temporary is left beside it either.
    EXPECT_EQ(FilesHere(), QStringList{"keep.wav"});
}

// A disk that fills up anywhere in a 3-second tone saved over a good file,
// down to its last byte: the save fails with the system's reason, the old
// file stays as it was and nothing is left beside it. Exactly enough room
// saves it whole.
struct TDiskCase {
    const char* Name;
    std::int64_t Short;  // bytes missing for the whole file; 0: it fits
};
void PrintTo(const TDiskCase& C, std::ostream* Os) { *Os << C.Name; }

class WaveDiskFullTest : public WaveFileTest, public ::testing::WithParamInterface<TDiskCase> {};

TEST_P(WaveDiskFullTest, ShortSaveIsNeverReportedAndKeepsTheOldFile)
{
    const auto Tone = Ramp(2 * 44100 * 3, 7);
    const std::int64_t FileBytes = 44 + 2 * static_cast<std::int64_t>(Tone.size());
    TMemoryStream Old = StreamOf(Ramp(600, 3)), Store = StreamOf(Tone);
    Recorder().SaveToWaveFile("tone.wav", &Old, nullptr);
    const auto Before = ReadFile("tone.wav");
    {
        const TDiskFull Disk(FileBytes - GetParam().Short);
        try {
            Recorder().SaveToWaveFile("tone.wav", &Store, nullptr);
            EXPECT_EQ(GetParam().Short, 0) << "a short save was reported as written";
        } catch (const EWriteError& E) {
            EXPECT_NE(GetParam().Short, 0) << E.what();
            EXPECT_TRUE(Contains(E.what(), "tone.wav") && Contains(E.what(), std::strerror(ENOSPC))) << E.what();
        }
    }
    if (GetParam().Short == 0)
        EXPECT_TRUE(ReadsBack("tone.wav", 2, 44100, SfPcm16, Tone));
    else
        EXPECT_EQ(ReadFile("tone.wav"), Before);
    EXPECT_EQ(FilesHere(), QStringList{"tone.wav"});
    EXPECT_FALSE(Recorder().Writing());
}

INSTANTIATE_TEST_SUITE_P(Room, WaveDiskFullTest,
                         ::testing::Values(TDiskCase{"NoRoomAtAll", 44 + 529200}, TDiskCase{"InsideTheHeader", 529224},
                                           TDiskCase{"HalfWay", 264600}, TDiskCase{"LastKilobytes", 3000},
                                           TDiskCase{"OneByteShort", 1}, TDiskCase{"ExactlyEnough", 0}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// Where no new file can be made beside an existing one (a name too long for
// a temporary; a folder without write permission, unless the tests run as
// root, who may write anywhere), the file is rewritten in place: whole, or
// left untouched when the disk cannot take the new one.
TEST_F(WaveFileTest, NoRoomForATemporaryRewritesTheFileInPlace)
{
    std::vector<std::string> Names{FDir.filePath(QString(240, 'w') + ".wav").toStdString()};
    if (::geteuid() != 0) {
        ASSERT_TRUE(QDir().mkdir("locked"));
        Names.push_back(FDir.filePath("locked/tone.wav").toStdString());
    }
    const auto Small = Ramp(2 * 100, 5), Large = Ramp(2 * 5000, 9);
    TMemoryStream SmallStore = StreamOf(Small), LargeStore = StreamOf(Large);
    for (const std::string& Name : Names) {
        SCOPED_TRACE(Name.substr(Name.size() - 12));
        QFile Touch(QString::fromStdString(Name));
        ASSERT_TRUE(Touch.open(QIODevice::WriteOnly));
        Touch.close();
        Recorder().SaveToWaveFile(Name, &LargeStore, nullptr);
        const QString Folder = QFileInfo(QString::fromStdString(Name)).absolutePath();
        ASSERT_TRUE(QFile::setPermissions(Folder, QFile::ReadOwner | QFile::ExeOwner));
        // A shorter tone over a longer one: the old tail goes.
        Recorder().SaveToWaveFile(Name, &SmallStore, nullptr);
        EXPECT_TRUE(RiffLayout(ReadFile(Name), 400));
        EXPECT_TRUE(ReadsBack(Name, 2, 44100, SfPcm16, Small));
        // The writer alone, on a disk without room for the longer tone.
        const auto Before = ReadFile(Name);
        {
            const TFileSizeLimit Limit(2000);
            EXPECT_THROW(WriteWaveFile(Name, Recorder().BuildFormat(), LargeStore, nullptr), EWriteError);
        }
        EXPECT_EQ(ReadFile(Name), Before);
        EXPECT_EQ(QDir(Folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
        ASSERT_TRUE(QFile::setPermissions(Folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
}

TEST_F(WaveFileTest, FileThatCannotBeCreatedRaisesTheStreamError)
{
    TMemoryStream Store = StreamOf(CountingBytes(10));
    const std::string Name = FDir.filePath("missing/folder/x.wav").toStdString();
    try {
        Recorder().SaveToWaveFile(Name, &Store, nullptr);
        FAIL() << "no error";
    } catch (const EFCreateError& E) {
        EXPECT_EQ(std::string(E.what()), "Cannot create file " + Name);
    }
    EXPECT_FALSE(Recorder().Writing());
}

TEST_F(WaveFileTest, MoreThanFourGiBOfSamplesIsRefusedBeforeWriting)
{
    THugeStream Huge(5'000'000'000);
    EXPECT_THROW(Recorder().SaveToWaveFile("huge.wav", &Huge, nullptr), EWriteError);
    // Two channels that only together pass the limit.
    THugeStream L(2'200'000'000), R(2'200'000'000);
    EXPECT_THROW(Recorder().SaveToWaveFile("huge.wav", &L, &R), EWriteError);
    EXPECT_FALSE(QFile::exists("huge.wav"));
    EXPECT_FALSE(Recorder().Writing());
}

// A write that does not fit cuts the file back at once to its size at the
// last Flush, and says which file and why.
TEST(FileStreamTest, FullDiskCutsTheFileBackAndSaysWhy)
{
    QTemporaryDir Dir;
    const std::string Name = Dir.filePath("TONE.$$$").toStdString();
    const auto Bytes = CountingBytes(300000);
    for (const std::size_t Kept : {std::size_t{0}, std::size_t{1000}}) {
        TFileStream S(Name, TFileStream::fmCreate);
        S.Write(Bytes.data(), Kept);
        S.Flush();
        try {
            const TDiskFull Disk(50000);
            S.Write(Bytes.data(), Bytes.size());
            S.Flush();
            ADD_FAILURE() << "no error";
        } catch (const EWriteError& E) {
            EXPECT_EQ(std::string(E.what()), "Cannot write file " + Name + ": " + std::strerror(ENOSPC));
        }
        EXPECT_EQ(ReadFile(Name), TBytes(Bytes.begin(), Bytes.begin() + static_cast<std::ptrdiff_t>(Kept)));
        EXPECT_EQ(S.Size(), static_cast<std::int64_t>(Kept));
        EXPECT_EQ(S.Position(), static_cast<std::int64_t>(Kept));
    }
}

TEST(FileStreamTest, WritesThatDoNotReachTheDiskAreReported)
{
    QTemporaryDir Dir;
    TFileStream S(Dir.filePath("s.raw").toStdString(), TFileStream::fmCreate);
    const auto Bytes = CountingBytes(300000);
    {
        const TFileSizeLimit Limit(100000);
        EXPECT_THROW(
            {
                S.Write(Bytes.data(), Bytes.size());
                S.Flush();
            },
            EWriteError);
    }
    // Reads and writes may alternate; SetSize cuts and clamps the position.
    S.SetSize(0);
    S.Write(Bytes.data(), 1000);
    S.Seek(10);
    std::uint8_t B[4];
    ASSERT_EQ(S.Read(B, 4), 4u);
    EXPECT_EQ(B[0], Bytes[10]);
    S.Write(Bytes.data(), 2);
    EXPECT_EQ(S.Position(), 16);
    S.SetSize(12);
    EXPECT_EQ(S.Size(), 12);
    EXPECT_EQ(S.Position(), 12);
    EXPECT_EQ(S.Read(B, 4), 0u);
    EXPECT_THROW(TFileStream(Dir.filePath("no/such").toStdString(), TFileStream::fmOpenRead), EFOpenError);
}

}  // namespace
