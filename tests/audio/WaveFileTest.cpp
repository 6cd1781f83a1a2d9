// WAV files written by the recorder, read back with libsndfile and checked
// byte by byte where the layout is fixed.

#include <QDir>
#include <QFile>

#include <cstring>

#include "audio/Audio.h"
#include "audio/AudioTestSupport.h"
#include "audio/MemoryWaveOut.h"

namespace {

std::vector<std::uint8_t> ReadFile(const std::string& Name)
{
    QFile F(QString::fromStdString(Name));
    if (!F.open(QIODevice::ReadOnly))
        return {};
    const QByteArray B = F.readAll();
    return {B.begin(), B.end()};
}

std::uint32_t U32At(const std::vector<std::uint8_t>& B, std::size_t At)
{
    return B[At] | (B[At + 1] << 8) | (B[At + 2] << 16) | (static_cast<std::uint32_t>(B[At + 3]) << 24);
}

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

class WaveFileTest : public TTempDirTest {
protected:
    void SetUp() override
    {
        TTempDirTest::SetUp();
        FAudio = std::make_unique<TAudio>(nullptr, std::make_shared<TMemoryWaveOutBackend>());
        FAudio->Recorder()->SetBitsPerSample(TBPS::_16);
        FAudio->Recorder()->SetChannels(TChannels::Stereo);
        FAudio->Recorder()->SetSampleRate(44100);
    }
    void TearDown() override
    {
        FAudio.reset();
        TTempDirTest::TearDown();
    }
    TRecorder& Recorder() { return *FAudio->Recorder(); }

    std::unique_ptr<TAudio> FAudio;
};

std::vector<std::int16_t> Ramp(int N, int Step)
{
    std::vector<std::int16_t> V(static_cast<std::size_t>(N));
    for (int I = 0; I < N; ++I)
        V[static_cast<std::size_t>(I)] = static_cast<std::int16_t>((I * Step) % 65536 - 32768);
    return V;
}

TEST_F(WaveFileTest, StereoStoreReadsBackWithItsHeader)
{
    const auto Samples = Ramp(2 * 5000, 13);
    TMemoryStream Store;
    Store.Write(Samples.data(), Samples.size() * 2);
    Recorder().SaveToWaveFile("tone.wav", &Store, nullptr);
    EXPECT_FALSE(Recorder().Writing());

    const auto Bytes = ReadFile("tone.wav");
    ASSERT_EQ(Bytes.size(), 44 + Samples.size() * 2);
    EXPECT_EQ(std::memcmp(Bytes.data(), "RIFF", 4), 0);
    EXPECT_EQ(U32At(Bytes, 4), Bytes.size() - 8);
    EXPECT_EQ(std::memcmp(Bytes.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(U32At(Bytes, 16), 16u);
    const std::vector<std::uint8_t> Fmt{0x01, 0x00, 0x02, 0x00, 0x44, 0xAC, 0x00, 0x00,
                                        0x10, 0xB1, 0x02, 0x00, 0x04, 0x00, 0x10, 0x00};
    EXPECT_EQ(std::vector<std::uint8_t>(Bytes.begin() + 20, Bytes.begin() + 36), Fmt);
    EXPECT_EQ(std::memcmp(Bytes.data() + 36, "data", 4), 0);
    EXPECT_EQ(U32At(Bytes, 40), Samples.size() * 2);

    const TWaveReadBack W = ReadWave("tone.wav");
    ASSERT_TRUE(W.Opened);
    EXPECT_EQ(W.Frames, 5000);
    EXPECT_EQ(W.Channels, 2);
    EXPECT_EQ(W.Rate, 44100);
    EXPECT_EQ(W.Format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_EQ(W.Samples, Samples);
}

TEST_F(WaveFileTest, TwoMonoStreamsAreInterleaved)
{
    const auto L = Ramp(1234, 7), R = Ramp(1234, -5);
    TMemoryStream SL, SR;
    SL.Write(L.data(), L.size() * 2);
    SR.Write(R.data(), R.size() * 2);
    Recorder().SaveToWaveFile("pair.wav", &SL, &SR);
    const TWaveReadBack W = ReadWave("pair.wav");
    ASSERT_TRUE(W.Opened);
    ASSERT_EQ(W.Frames, 1234);
    EXPECT_EQ(W.Channels, 2);
    ASSERT_EQ(W.Samples.size(), 2 * L.size());
    for (std::size_t I = 0; I < L.size(); ++I) {
        ASSERT_EQ(W.Samples[2 * I], L[I]) << I;
        ASSERT_EQ(W.Samples[2 * I + 1], R[I]) << I;
    }
}

TEST_F(WaveFileTest, EightBitMonoSettingsGiveTheirHeader)
{
    TAudio Audio(nullptr, std::make_shared<TMemoryWaveOutBackend>());
    TMemoryStream Store;
    const std::vector<std::uint8_t> Bytes8{0, 128, 255, 1, 2};
    Fill(Store, Bytes8);
    Audio.Recorder()->SaveToWaveFile("mono8.wav", &Store, nullptr);
    const auto Bytes = ReadFile("mono8.wav");
    ASSERT_EQ(Bytes.size(), 49u);
    const std::vector<std::uint8_t> Fmt{0x01, 0x00, 0x01, 0x00, 0x11, 0x2B, 0x00, 0x00,
                                        0x11, 0x2B, 0x00, 0x00, 0x01, 0x00, 0x08, 0x00};
    EXPECT_EQ(std::vector<std::uint8_t>(Bytes.begin() + 20, Bytes.begin() + 36), Fmt);
    const TWaveReadBack W = ReadWave("mono8.wav");
    ASSERT_TRUE(W.Opened);
    EXPECT_EQ(W.Frames, 5);
    EXPECT_EQ(W.Channels, 1);
    EXPECT_EQ(W.Rate, 11025);
    EXPECT_EQ(W.Format, SF_FORMAT_WAV | SF_FORMAT_PCM_U8);
    EXPECT_EQ(W.Samples, (std::vector<std::int16_t>{-32768, 0, 32512, -32512, -32256}));
}

TEST_F(WaveFileTest, EmptyStoreGivesAHeaderOnlyFile)
{
    TMemoryStream Empty;
    Recorder().SaveToWaveFile("empty.wav", &Empty, nullptr);
    const auto Bytes = ReadFile("empty.wav");
    ASSERT_EQ(Bytes.size(), 44u);
    EXPECT_EQ(U32At(Bytes, 4), 36u);
    EXPECT_EQ(U32At(Bytes, 40), 0u);
    const TWaveReadBack W = ReadWave("empty.wav");
    ASSERT_TRUE(W.Opened);
    EXPECT_EQ(W.Frames, 0);
    EXPECT_EQ(W.Channels, 2);
    EXPECT_EQ(W.Rate, 44100);
}

TEST_F(WaveFileTest, EmptyNameWritesNothing)
{
    TMemoryStream Store;
    Fill(Store, CountingBytes(100));
    Recorder().SaveToWaveFile("", &Store, nullptr);
    EXPECT_FALSE(Recorder().Writing());
    EXPECT_TRUE(QDir::current().entryList(QDir::Files).isEmpty());
}

TEST_F(WaveFileTest, NoStreamLeavesTheFileOpenUntilTheComponentGoes)
{
    Recorder().SaveToWaveFile("later.wav", nullptr, nullptr);
    EXPECT_TRUE(Recorder().Writing());
    FAudio.reset();
    const auto Bytes = ReadFile("later.wav");
    ASSERT_EQ(Bytes.size(), 44u);
    EXPECT_EQ(U32At(Bytes, 4), 36u);
    EXPECT_EQ(U32At(Bytes, 40), 0u);
    const TWaveReadBack W = ReadWave("later.wav");
    ASSERT_TRUE(W.Opened);
    EXPECT_EQ(W.Frames, 0);
}

TEST_F(WaveFileTest, FailedWriteKeepsTheOldFileAndSaysWhy)
{
    TMemoryStream Small, Big;
    Fill(Small, CountingBytes(400));
    Fill(Big, CountingBytes(400000));
    Recorder().SaveToWaveFile("keep.wav", &Small, nullptr);
    const auto Before = ReadFile("keep.wav");
    ASSERT_EQ(Before.size(), 444u);
    {
        const TFileSizeLimit Limit(100000);
        try {
            Recorder().SaveToWaveFile("keep.wav", &Big, nullptr);
            FAIL() << "a truncated file was reported as written";
        } catch (const EWriteError& E) {
            EXPECT_NE(std::string(E.what()).find("keep.wav"), std::string::npos) << E.what();
        }
    }
    EXPECT_EQ(ReadFile("keep.wav"), Before);
    const TWaveReadBack W = ReadWave("keep.wav");
    ASSERT_TRUE(W.Opened);
    EXPECT_EQ(W.Frames, 100);
    EXPECT_EQ(W.Samples, AsSamples(Small.Data()));
    EXPECT_FALSE(Recorder().Writing());
    // No half-written temporary is left beside it either.
    EXPECT_EQ(QDir::current().entryList(QDir::Files), QStringList{"keep.wav"});
}

TEST_F(WaveFileTest, FileThatCannotBeCreatedRaisesTheStreamError)
{
    TMemoryStream Store;
    Fill(Store, CountingBytes(10));
    const std::string Name = Path("missing/folder/x.wav");
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

TEST(FileStreamTest, WritesThatDoNotReachTheDiskAreReported)
{
    QTemporaryDir Dir;
    const std::string Name = Dir.filePath("s.raw").toStdString();
    TFileStream S(Name, TFileStream::fmCreate);
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
