// A synthesised tone in the window's sample store "TONE.$$$", saved by the
// audio component as a WAV file and read back by libsndfile.

#include "audio/Audio.h"
#include "audio/AudioTestSupport.h"
#include "audio/MemoryWaveOut.h"
#include "footprint/ToneGenerator.h"

namespace {

// One mode at 50 Hz at full level, as the modes window would synthesise it,
// and the recorder in the window's format.
class ToneWaveTest : public TTempDirTest {
protected:
    void SetUp() override
    {
        TTempDirTest::SetUp();
        SetWindowFormat(FAudio);
        FStore = std::make_unique<TFileStream>("TONE.$$$", TFileStream::fmCreate);
        FGen = std::make_unique<TToneGenerator>(FStore.get());
        FGen->Add(std::make_unique<TTone>(tkLinearSweep, 50.0f, 50.0f, 0.0f));
        FGen->SetLevel(0.0f);
    }

    TAudio FAudio{nullptr, std::make_shared<TMemoryWaveOutBackend>()};
    std::unique_ptr<TFileStream> FStore;
    std::unique_ptr<TToneGenerator> FGen;
};

TEST_F(ToneWaveTest, EightSecondsAndZeroSecondsSaveToTheKnownFiles)
{
    FGen->Generate(44100, 8.0f);
    const auto Store = ReadFile("TONE.$$$");
    ASSERT_EQ(Store.size(), 1411200u);
    FAudio.Recorder()->SaveToWaveFile("mode.wav", FStore.get(), nullptr);
    const auto File = ReadFile("mode.wav");
    EXPECT_TRUE(RiffLayout(File, 1411200));
    EXPECT_EQ(FormatChunk(File), WindowFormatChunk);
    EXPECT_TRUE(ReadsBack("mode.wav", 2, 44100, SfPcm16, AsSamples(Store)));

    // A duration of 0 empties the store: only the header is saved.
    FGen->Generate(44100, 0.0f);
    FAudio.Recorder()->SaveToWaveFile("empty.wav", FStore.get(), nullptr);
    EXPECT_TRUE(RiffLayout(ReadFile("empty.wav"), 0));
    EXPECT_TRUE(ReadsBack("empty.wav", 2, 44100, SfPcm16, {}));
}

TEST_F(ToneWaveTest, FullDiskDuringSynthesisIsAnError)
{
    const TFileSizeLimit Limit(200000);
    EXPECT_THROW(FGen->Generate(44100, 8.0f), EWriteError);
}

}  // namespace
