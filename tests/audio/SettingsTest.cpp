// The component's format settings, the format record and the buffer rules
// shared by the player and the recorder.

#include <array>
#include <tuple>

#include "audio/Audio.h"
#include "audio/AudioTestSupport.h"
#include "audio/MemoryWaveOut.h"

namespace {

std::array<TAudioSettings*, 2> Parts(TAudio& Audio)
{
    return {Audio.Player(), Audio.Recorder()};
}

TEST(SettingsTest, BuffersComeWithBothKindsOfDeviceOrWithTheFirstFormat)
{
    struct {
        int Outputs, Inputs;
        bool Allocated;
    } const Cases[] = {{1, 1, true}, {1, 0, false}, {0, 1, false}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(testing::Message() << C.Outputs << " outputs, " << C.Inputs << " inputs");
        auto Backend = std::make_shared<TMemoryWaveOutBackend>();
        Backend->SetDeviceCounts(C.Outputs, C.Inputs);
        TAudio Audio(nullptr, Backend);
        EXPECT_EQ(Audio.LastError(), "");
        for (TAudioSettings* Part : Parts(Audio)) {
            EXPECT_EQ(Part->BuffersAllocated(), C.Allocated);
            EXPECT_EQ(Part->BufferSize(), C.Allocated ? 8192 : 0);  // 8192 frames of 8-bit mono
        }
        // A format set on one part reaches both and gives them buffers.
        Audio.Player()->SetChannels(TChannels::Stereo);
        for (TAudioSettings* Part : Parts(Audio)) {
            EXPECT_TRUE(Part->BuffersAllocated());
            EXPECT_EQ(Part->BufferSize(), 16384);
        }
    }
}

TEST(SettingsTest, ModesWindowFormatGivesItsRecordAndBufferSize)
{
    TAudio Audio(nullptr, std::make_shared<TMemoryWaveOutBackend>());
    Audio.Player()->SetBitsPerSample(TBPS::_16);
    Audio.Recorder()->SetChannels(TChannels::Stereo);
    Audio.Player()->SetSampleRate(44100);
    for (TAudioSettings* Part : Parts(Audio)) {
        ASSERT_NE(Part->Format(), nullptr);
        const TWaveFormat& F = *Part->Format();
        EXPECT_EQ(std::tuple(F.FormatTag, F.Channels, F.SamplesPerSec, F.AvgBytesPerSec, F.BlockAlign, F.BitsPerSample,
                             F.ExtraSize),
                  std::tuple(1, 2, 44100u, 176400u, 4, 16, 0));
        EXPECT_EQ(Part->BufferSize(), 32768);
    }
}

TEST(SettingsTest, SeparateCtrlsKeepsThePartsApart)
{
    TAudio Audio(nullptr, std::make_shared<TMemoryWaveOutBackend>());
    Audio.SetSeparateCtrls(true);
    Audio.Player()->SetSampleRate(8000);
    Audio.Recorder()->SetBitsPerSample(TBPS::_16);
    EXPECT_EQ(Audio.Player()->SampleRate(), 8000);
    EXPECT_EQ(Audio.Recorder()->SampleRate(), 11025);
    EXPECT_EQ(Audio.Player()->BitsPerSample(), TBPS::_8);
    EXPECT_EQ(Audio.Recorder()->BufferSize(), 16384);
    EXPECT_EQ(Audio.Player()->BufferSize(), 8192);
}

TEST(SettingsTest, SplitChannelsOnlyWithStereo)
{
    TAudio Audio(nullptr, std::make_shared<TMemoryWaveOutBackend>());
    TRecorder& R = *Audio.Recorder();
    R.SetSplitChannels(true);
    EXPECT_FALSE(R.SplitChannels());
    R.SetChannels(TChannels::Stereo);
    R.SetSplitChannels(true);
    EXPECT_TRUE(R.SplitChannels());
    R.SetChannels(TChannels::Mono);
    EXPECT_FALSE(R.SplitChannels());
}

TEST(SettingsTest, VersionAndDeviceNumberRules)
{
    TAudio Audio(nullptr, std::make_shared<TMemoryWaveOutBackend>());
    Audio.SetVersion("9.9");
    EXPECT_EQ(Audio.Version(), "4.1 (32bit)");
    const std::pair<int, int> Cases[] = {{3, 3}, {12, -1}, {10, -1}, {9, 9}};
    for (const auto& [Set, Stored] : Cases) {
        Audio.SetAudioDeviceID(Set);
        EXPECT_EQ(Audio.AudioDeviceID(), Stored) << Set;
    }
}

TEST(SettingsTest, BufferSizeMustStayBelow64KiB)
{
    TAudio Audio(nullptr, std::make_shared<TMemoryWaveOutBackend>());
    TRecorder& R = *Audio.Recorder();
    R.SetBitsPerSample(TBPS::_16);
    R.SetChannels(TChannels::Stereo);
    // 16383 frames of 4 bytes fit; 16384 would wrap a 16-bit size to 0.
    R.SetNoSamples(16383);
    EXPECT_EQ(Audio.Player()->BufferSize(), 65532);
    EXPECT_EQ(Audio.LastError(), "");
    R.SetNoSamples(16384);
    EXPECT_EQ(Audio.Player()->NoSamples(), 16383);
    EXPECT_EQ(R.NoSamples(), 16383);
    EXPECT_NE(Audio.LastError().find("65536"), std::string::npos);
    R.SetNoSamples(0);
    EXPECT_EQ(R.NoSamples(), 16383);

    // A wider format that would overflow the buffers is refused as a whole.
    R.SetChannels(TChannels::Mono);
    R.SetNoSamples(30000);
    ASSERT_EQ(R.NoSamples(), 30000);
    R.SetChannels(TChannels::Stereo);
    EXPECT_EQ(R.Channels(), TChannels::Mono);
    EXPECT_EQ(Audio.Player()->Channels(), TChannels::Mono);
    EXPECT_EQ(Audio.Player()->BufferSize(), 60000);
}

}  // namespace
