// The real PortAudio path without sound hardware: a child copy of this test
// program plays through PortAudio into ALSA, whose default device is pointed
// at a file (or at nothing) by a configuration of our own given through
// ALSA_CONFIG_PATH before PortAudio starts in that process.

#include <QProcess>

#include <portaudio.h>

#include <cmath>
#include <cstdlib>
#include <fstream>

#include "audio/Audio.h"
#include "audio/AudioTestSupport.h"

namespace {

const char* const ChildVariable = "VELMOR_PORTAUDIO_CHILD";
const std::string OpenFailed = "Could not open the output device for playing:  ";

// 1.5 s of a stereo tone whose first and last samples are not zero, so
// that the device's own silence before and after it can be told apart.
std::vector<std::int16_t> ChildTone()
{
    std::vector<std::int16_t> V(2 * 66150);
    for (std::size_t I = 0; I < V.size(); ++I)
        V[I] = static_cast<std::int16_t>(1000 + std::lrint(20000.0 * std::sin(0.01 * static_cast<double>(I))));
    return V;
}

// Runs PortAudioChild.<Test> in a child process working in Dir with the ALSA
// configuration AlsaConfig; passes when the child's test passed and nothing
// of ALSA's or JACK's chatter reached its console.
::testing::AssertionResult ChildPasses(const QString& Test, const QTemporaryDir& Dir, const std::string& AlsaConfig)
{
    const QString ConfigFile = Dir.filePath("asound.conf");
    std::ofstream(ConfigFile.toStdString()) << AlsaConfig;
    QProcess P;
    QProcessEnvironment Env = QProcessEnvironment::systemEnvironment();
    Env.insert("ALSA_CONFIG_PATH", ConfigFile);
    Env.insert(ChildVariable, Dir.path());
    Env.insert("QT_QPA_PLATFORM", "offscreen");
    // Keeps Qt's own note about a missing runtime folder off stderr.
    Env.insert("XDG_RUNTIME_DIR", Dir.path());
    P.setProcessEnvironment(Env);
    P.setWorkingDirectory(Dir.path());
    P.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=PortAudioChild." + Test});
    if (!P.waitForFinished(60000)) {
        P.kill();
        P.waitForFinished();
        return ::testing::AssertionFailure() << "child did not finish";
    }
    const QString Out = QString::fromLocal8Bit(P.readAllStandardOutput());
    const QString Err = QString::fromLocal8Bit(P.readAllStandardError());
    if (P.exitStatus() != QProcess::NormalExit || P.exitCode() != 0
        || !Out.contains("[       OK ] PortAudioChild." + Test) || !Err.trimmed().isEmpty())
        return ::testing::AssertionFailure() << Out.toStdString() << Err.toStdString();
    return ::testing::AssertionSuccess();
}

TEST(PortAudioTest, PlaysThroughAlsaIntoAFileByteForByte)
{
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const std::string Raw = Dir.filePath("out.raw").toStdString();
    ASSERT_TRUE(ChildPasses("PlaysTone", Dir,
                            "pcm.!default { type file; slave.pcm { type null }; file \"" + Raw + "\"; format \"raw\" }\n"));

    const std::vector<std::int16_t> Got = AsSamples(ReadFile(Raw));
    // Leading and trailing silence may come from the device; the rest must
    // be exactly the samples played.
    std::size_t First = 0, Last = Got.size();
    while (First < Last && Got[First] == 0)
        ++First;
    while (Last > First && Got[Last - 1] == 0)
        --Last;
    EXPECT_EQ(First % 2, 0u);
    const std::vector<std::int16_t> Played(Got.begin() + static_cast<long>(First), Got.begin() + static_cast<long>(Last));
    EXPECT_TRUE(Played == ChildTone()) << "captured " << Played.size() << " samples";
}

TEST(PortAudioTest, NoSoundDeviceFailsCleanlyWithPortAudiosText)
{
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    // A default device on a card that does not exist, as on a machine
    // without sound hardware.
    EXPECT_TRUE(ChildPasses("HasNoDevice", Dir, "pcm.!default { type hw; card 99 }\n"));
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
    SetWindowFormat(Audio);
    ASSERT_GE(Audio.Backend().OutputDeviceCount(), 1);
    int Played = 0;
    Audio.OnPlayed = [&](TPlayer*) { ++Played; };
    TMemoryStream S = StreamOf(ChildTone());
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
    EXPECT_EQ(Audio.LastError(), OpenFailed + Pa_GetErrorText(paInvalidDevice));
}

TEST_F(PortAudioChild, HasNoDevice)
{
    TAudio Audio;
    EXPECT_EQ(Audio.Backend().OutputDeviceCount(), 0);
    Audio.Player()->SetBitsPerSample(TBPS::_16);
    TMemoryStream S = StreamOf(CountingBytes(400));
    Audio.Player()->PlayStream(&S, nullptr, 0);
    EXPECT_FALSE(Audio.Player()->Active());
    EXPECT_EQ(Audio.LastError(), OpenFailed + Pa_GetErrorText(paDeviceUnavailable));
    Audio.Player()->Stop();
    EXPECT_EQ(Audio.LastError(), "Player already closed");
}

}  // namespace
