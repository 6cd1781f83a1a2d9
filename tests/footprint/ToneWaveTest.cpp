// A synthesised tone in the window's sample store, saved by the audio
// component as a WAV file and read back by libsndfile.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "audio/Audio.h"
#include "audio/AudioTestSupport.h"
#include "audio/MemoryWaveOut.h"
#include "footprint/ToneGenerator.h"

namespace {

class ToneWaveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        FAudio.Recorder()->SetBitsPerSample(TBPS::_16);
        FAudio.Recorder()->SetChannels(TChannels::Stereo);
        FAudio.Recorder()->SetSampleRate(44100);
        FStore = std::make_unique<TFileStream>(Name("TONE.$$$"), TFileStream::fmCreate);
    }
    std::string Name(const char* N) const { return FDir.filePath(N).toStdString(); }
    std::vector<std::uint8_t> Bytes(const char* N) const
    {
        QFile F(FDir.filePath(N));
        if (!F.open(QIODevice::ReadOnly))
            return {};
        const QByteArray B = F.readAll();
        return {B.begin(), B.end()};
    }
    static std::uint32_t U32(const std::vector<std::uint8_t>& B, std::size_t At)
    {
        return B[At] | (B[At + 1] << 8) | (B[At + 2] << 16) | (static_cast<std::uint32_t>(B[At + 3]) << 24);
    }

    QTemporaryDir FDir;
    TAudio FAudio{nullptr, std::make_shared<TMemoryWaveOutBackend>()};
    std::unique_ptr<TFileStream> FStore;
};

TEST_F(ToneWaveTest, EightSecondModeSavesToTheKnownFile)
{
    TToneGenerator Gen(FStore.get());
    Gen.Add(std::make_unique<TTone>(tkLinearSweep, 50.0f, 50.0f, 0.0f));
    Gen.SetLevel(0.0f);
    Gen.Generate(44100, 8.0f);
    ASSERT_EQ(FStore->Size(), 1411200);
    FAudio.Recorder()->SaveToWaveFile(Name("mode.wav"), FStore.get(), nullptr);

    const auto B = Bytes("mode.wav");
    ASSERT_EQ(B.size(), 1411244u);
    EXPECT_EQ(U32(B, 4), 1411236u);
    EXPECT_EQ(U32(B, 40), 1411200u);
    EXPECT_EQ(std::vector<std::uint8_t>(B.begin() + 20, B.begin() + 36),
              (std::vector<std::uint8_t>{0x01, 0x00, 0x02, 0x00, 0x44, 0xAC, 0x00, 0x00, 0x10, 0xB1, 0x02, 0x00, 0x04,
                                         0x00, 0x10, 0x00}));

    const TWaveReadBack W = ReadWave(Name("mode.wav"));
    ASSERT_TRUE(W.Opened);
    EXPECT_EQ(W.Frames, 352800);
    EXPECT_EQ(W.Channels, 2);
    EXPECT_EQ(W.Rate, 44100);
    EXPECT_EQ(W.Format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ASSERT_EQ(W.Samples.size(), 705600u);
    EXPECT_EQ(W.Samples[0], 0);
    EXPECT_EQ(*std::max_element(W.Samples.begin(), W.Samples.end()), 32767);
    EXPECT_EQ(*std::min_element(W.Samples.begin(), W.Samples.end()), -32767);
    EXPECT_EQ(W.Samples, AsSamples(std::vector<std::uint8_t>(B.begin() + 44, B.end())));
}

TEST_F(ToneWaveTest, ZeroDurationSavesOnlyTheHeader)
{
    TToneGenerator Gen(FStore.get());
    Gen.Add(std::make_unique<TTone>(tkLinearSweep, 50.0f, 50.0f, 0.0f));
    Gen.Generate(44100, 8.0f);
    Gen.Generate(44100, 0.0f);
    FAudio.Recorder()->SaveToWaveFile(Name("empty.wav"), FStore.get(), nullptr);
    const auto B = Bytes("empty.wav");
    ASSERT_EQ(B.size(), 44u);
    EXPECT_EQ(U32(B, 4), 36u);
    EXPECT_EQ(U32(B, 40), 0u);
    const TWaveReadBack W = ReadWave(Name("empty.wav"));
    ASSERT_TRUE(W.Opened);
    EXPECT_EQ(W.Frames, 0);
    EXPECT_EQ(W.Channels, 2);
}

TEST_F(ToneWaveTest, FullDiskDuringSynthesisIsAnError)
{
    TToneGenerator Gen(FStore.get());
    Gen.Add(std::make_unique<TTone>(tkLinearSweep, 50.0f, 50.0f, 0.0f));
    const TFileSizeLimit Limit(200000);
    EXPECT_THROW(Gen.Generate(44100, 8.0f), EWriteError);
}

}  // namespace
