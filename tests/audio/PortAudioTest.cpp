// The real PortAudio path without sound hardware: a child copy of this test
// program plays through PortAudio into ALSA, whose default device is pointed
// at a file (or at nothing) by a configuration of our own given through
// ALSA_CONFIG_PATH before PortAudio starts in that process.

#include <QProcess>
#include <QTemporaryDir>

#include <portaudio.h>

#include <cmath>
#include <cstdlib>
#include <fstream>

#include "audio/Audio.h"
#include "audio/AudioTestSupport.h"

namespace {

const char* const ChildVariable = "VELMOR_PORTAUDIO_CHILD";

// 1.5 s of a stereo tone whose first and last samples are not zero, so
// that the device's own silence before and after it can be told apart.
std::vector<std::int16_t> ChildTone()
{
    std::vector<std::int16_t> V(2 * 66150);
    for (std::size_t I = 0; I < V.size(); ++I)
        V[I] = static_cast<std::int16_t>(1000 + std::lrint(20000.0 * std::sin(0.01 * static_cast<double>(I))));
    return V;
}

struct TChildResult {
    int ExitCode = -1;
    QString Out;
    QString Err;
};

TChildResult RunChild(const QString& Test, const QString& AlsaConfig, const QString& Dir)
{
    QProcess P;
    QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
    Env.insert("ALSA_CONFIG_PATH", AlsaConfig);
    Env.insert(ChildVariable, Dir);
    Env.insert("QT_QPA_PLATFORM", "offscreen");
    // Keeps Qt's own note about a missing runtime folder off stderr.
    Env.insert("XDG_RUNTIME_DIR", Dir);
    P.setProcessEnvironment(Env);
    P.setWorkingDirectory(Dir);
    P.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=PortAudioChild." + Test});
    TChildResult R;
    if (!P.waitForFinished(60000)) {
        P.kill();
        P.waitForFinished();
        return R;
    }
    R.ExitCode = P.exitStatus() == QProcess::NormalExit ? P.exitCode() : -1;
    R.Out = QString::fromLocal8Bit(P.readAllStandardOutput());
    R.Err = QString::fromLocal8Bit(P.readAllStandardError());
    return R;
}

void WriteText(const QString& Name, const std::string& Text)
{
    std::ofstream(Name.toStdString()) << Text;
}

TEST(PortAudioTest, PlaysThroughAlsaIntoAFileByteForByte)
{
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const QString Raw = Dir.filePath("out.raw");
    WriteText(Dir.filePath("asound.conf"), "pcm.!default { type file; slave.pcm { type null }; file \""
                                               + Raw.toStdString() + "\"; format \"raw\" }\n");
    const TChildResult R = RunChild("PlaysTone", Dir.filePath("asound.conf"), Dir.path());
    ASSERT_EQ(R.ExitCode, 0) << R.Out.toStdString() << R.Err.toStdString();
    ASSERT_TRUE(R.Out.contains("[       OK ] PortAudioChild.PlaysTone")) << R.Out.toStdString();

    std::ifstream In(Raw.toStdString(), std::ios::binary);
    std::vector<char> Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> Got(Bytes.size() / 2);
    std::memcpy(Got.data(), Bytes.data(), Got.size() * 2);
    // Leading and trailing silence may come from the device; the rest must
    // be exactly the samples played.
    std::size_t First = 0, Last = Got.size();
    while (First < Last && Got[First] == 0)
        ++First;
    while (Last > First && Got[Last - 1] == 0)
        --Last;
    const std::vector<std::int16_t> Played(Got.begin() + static_cast<long>(First), Got.begin() + static_cast<long>(Last));
    EXPECT_EQ(First % 2, 0u);
    EXPECT_TRUE(Played == ChildTone()) << "captured " << Played.size() << " samples";
    // Nothing of ALSA's or JACK's chatter reached the console.
    EXPECT_TRUE(R.Err.trimmed().isEmpty()) << R.Err.toStdString();
}

TEST(PortAudioTest, NoSoundDeviceFailsCleanlyWithPortAudiosText)
{
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    // A default device on a card that does not exist, as on a machine
    // without sound hardware.
    WriteText(Dir.filePath("asound.conf"), "pcm.!default { type hw; card 99 }\n");
    const TChildResult R = RunChild("HasNoDevice", Dir.filePath("asound.conf"), Dir.path());
    ASSERT_EQ(R.ExitCode, 0) << R.Out.toStdString() << R.Err.toStdString();
    ASSERT_TRUE(R.Out.contains("[       OK ] PortAudioChild.HasNoDevice")) << R.Out.toStdString();
    EXPECT_TRUE(R.Err.trimmed().isEmpty()) << R.Err.toStdString();
}

// ------------------------------------------------ run only as the child

class PortAudioChild : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::getenv(ChildVariable) == nullptr)
            GTEST_SKIP() << "runs as a child of PortAudioTest";
    }
};

TEST_F(PortAudioChild, PlaysTone)
{
    TAudio Audio;
    Audio.Player()->SetBitsPerSample(TBPS::_16);
    Audio.Player()->SetChannels(TChannels::Stereo);
    Audio.Player()->SetSampleRate(44100);
    ASSERT_GE(Audio.Backend().OutputDeviceCount(), 1);
    int Played = 0;
    Audio.OnPlayed = [&](TPlayer*) { ++Played; };
    const auto Tone = ChildTone();
    TMemoryStream S;
    S.Write(Tone.data(), Tone.size() * 2);
    Audio.Player()->PlayStream(&S, nullptr, 0);
    ASSERT_EQ(Audio.LastError(), "");
    ASSERT_TRUE(Audio.Player()->Active());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Played == 1; }, 30000));
    EXPECT_FALSE(Audio.Player()->Active());
    EXPECT_EQ(Audio.LastError(), "");

    // This configuration has one output device: number 5 does not exist.
    Audio.SetAudioDeviceID(5);
    Audio.Player()->PlayStream(&S, nullptr, 0);
    EXPECT_FALSE(Audio.Player()->Active());
    EXPECT_EQ(Audio.LastError(),
              std::string("Could not open the output device for playing:  ") + Pa_GetErrorText(paInvalidDevice));
}

TEST_F(PortAudioChild, HasNoDevice)
{
    TAudio Audio;
    EXPECT_EQ(Audio.Backend().OutputDeviceCount(), 0);
    Audio.Player()->SetBitsPerSample(TBPS::_16);
    TMemoryStream S;
    Fill(S, CountingBytes(400));
    Audio.Player()->PlayStream(&S, nullptr, 0);
    EXPECT_FALSE(Audio.Player()->Active());
    EXPECT_EQ(Audio.LastError(), std::string("Could not open the output device for playing:  ") + Pa_GetErrorText(paDeviceUnavailable));
    Audio.Player()->Stop();
    EXPECT_EQ(Audio.LastError(), "Player already closed");
}

}  // namespace
