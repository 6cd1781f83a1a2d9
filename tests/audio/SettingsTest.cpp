// The component's published settings, the format record and the buffer
// rules shared by the player and the recorder.

#include "audio/Audio.h"
#include "audio/AudioTestSupport.h"
#include "audio/MemoryWaveOut.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    std::shared_ptr<TMemoryWaveOutBackend> FBackend = std::make_shared<TMemoryWaveOutBackend>();
};

TEST_F(SettingsTest, DefaultsOfAFreshComponent)
{
    TAudio Audio(nullptr, FBackend);
    EXPECT_EQ(Audio.AudioDeviceID(), -1);
    EXPECT_EQ(Audio.MixerDeviceID(), 0);
    EXPECT_FALSE(Audio.SeparateCtrls());
    EXPECT_EQ(Audio.Version(), "4.1 (32bit)");
    EXPECT_EQ(Audio.LastError(), "");
    EXPECT_EQ(Audio.FormatSize(), 18);
    for (TAudioSettings* Part : {static_cast<TAudioSettings*>(Audio.Player()), static_cast<TAudioSettings*>(Audio.Recorder())}) {
        EXPECT_EQ(Part->BitsPerSample(), TBPS::_8);
        EXPECT_EQ(Part->Channels(), TChannels::Mono);
        EXPECT_EQ(Part->SampleRate(), 11025);
        EXPECT_EQ(Part->NoSamples(), 8192);
        // One input and one output device: both parts got their buffers.
        EXPECT_TRUE(Part->BuffersAllocated());
        EXPECT_EQ(Part->BufferSize(), 8192);
    }
    EXPECT_FALSE(Audio.Recorder()->SplitChannels());
    EXPECT_EQ(Audio.Recorder()->TrigLevel(), 128);
    EXPECT_TRUE(Audio.Recorder()->Triggered());
}

TEST_F(SettingsTest, NoDevicesMeansNoBuffersUntilAFormatIsSet)
{
    FBackend->SetDeviceCounts(1, 0);
    TAudio Audio(nullptr, FBackend);
    EXPECT_FALSE(Audio.Player()->BuffersAllocated());
    EXPECT_FALSE(Audio.Recorder()->BuffersAllocated());
    Audio.Player()->SetChannels(TChannels::Stereo);
    EXPECT_TRUE(Audio.Player()->BuffersAllocated());
    EXPECT_TRUE(Audio.Recorder()->BuffersAllocated());
}

TEST_F(SettingsTest, ModesWindowFormatGivesItsRecordAndBufferSize)
{
    TAudio Audio(nullptr, FBackend);
    Audio.Player()->SetBitsPerSample(TBPS::_16);
    Audio.Recorder()->SetChannels(TChannels::Stereo);
    Audio.Player()->SetSampleRate(44100);
    for (TAudioSettings* Part : {static_cast<TAudioSettings*>(Audio.Player()), static_cast<TAudioSettings*>(Audio.Recorder())}) {
        ASSERT_NE(Part->Format(), nullptr);
        const TWaveFormat& F = *Part->Format();
        EXPECT_EQ(F.FormatTag, 1);
        EXPECT_EQ(F.Channels, 2);
        EXPECT_EQ(F.SamplesPerSec, 44100u);
        EXPECT_EQ(F.AvgBytesPerSec, 176400u);
        EXPECT_EQ(F.BlockAlign, 4);
        EXPECT_EQ(F.BitsPerSample, 16);
        EXPECT_EQ(F.ExtraSize, 0);
        EXPECT_EQ(Part->BufferSize(), 32768);
    }
}

TEST_F(SettingsTest, SeparateCtrlsKeepsThePartsApart)
{
    TAudio Audio(nullptr, FBackend);
    Audio.SetSeparateCtrls(true);
    Audio.Player()->SetSampleRate(8000);
    Audio.Recorder()->SetBitsPerSample(TBPS::_16);
    EXPECT_EQ(Audio.Player()->SampleRate(), 8000);
    EXPECT_EQ(Audio.Recorder()->SampleRate(), 11025);
    EXPECT_EQ(Audio.Player()->BitsPerSample(), TBPS::_8);
    EXPECT_EQ(Audio.Recorder()->BufferSize(), 16384);
    EXPECT_EQ(Audio.Player()->BufferSize(), 8192);
}

TEST_F(SettingsTest, SplitChannelsOnlyWithStereo)
{
    TAudio Audio(nullptr, FBackend);
    TRecorder& R = *Audio.Recorder();
    R.SetSplitChannels(true);
    EXPECT_FALSE(R.SplitChannels());
    R.SetChannels(TChannels::Stereo);
    R.SetSplitChannels(true);
    EXPECT_TRUE(R.SplitChannels());
    R.SetChannels(TChannels::Mono);
    EXPECT_FALSE(R.SplitChannels());
}

TEST_F(SettingsTest, VersionAndDeviceNumberRules)
{
    TAudio Audio(nullptr, FBackend);
    Audio.SetVersion("9.9");
    EXPECT_EQ(Audio.Version(), "4.1 (32bit)");
    Audio.SetAudioDeviceID(3);
    EXPECT_EQ(Audio.AudioDeviceID(), 3);
    Audio.SetAudioDeviceID(12);
    EXPECT_EQ(Audio.AudioDeviceID(), -1);
    Audio.SetAudioDeviceID(10);
    EXPECT_EQ(Audio.AudioDeviceID(), -1);
    Audio.SetAudioDeviceID(9);
    EXPECT_EQ(Audio.AudioDeviceID(), 9);
}

TEST_F(SettingsTest, BufferSizeMustStayBelow64KiB)
{
    TAudio Audio(nullptr, FBackend);
    TRecorder& R = *Audio.Recorder();
    R.SetBitsPerSample(TBPS::_16);
    R.SetChannels(TChannels::Stereo);
    // 16383 frames of 4 bytes fit; 16384 would wrap a 16-bit size to 0.
    R.SetNoSamples(16383);
    EXPECT_EQ(Audio.Player()->NoSamples(), 16383);
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
