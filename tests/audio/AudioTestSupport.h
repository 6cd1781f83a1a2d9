#pragma once
// Shared fixtures of the sound tests: a private current directory (the
// player writes "PLAY.TMP" there) and helpers for sample streams.

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <string>
#include <sys/resource.h>
#include <vector>

#include <sndfile.h>

#include "audio/Stream.h"

// Runs each test in a fresh temporary directory made current.
class TTempDirTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        FOldDir = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(FDir.path()));
    }
    void TearDown() override { QDir::setCurrent(FOldDir); }
    std::string Path(const std::string& Name) const { return FDir.filePath(QString::fromStdString(Name)).toStdString(); }

    QTemporaryDir FDir;
    QString FOldDir;
};

// Bytes 0, 1, 2, ... (mod 251, so that no buffer boundary repeats a pattern).
inline std::vector<std::uint8_t> CountingBytes(std::size_t N, std::uint8_t Seed = 1)
{
    std::vector<std::uint8_t> V(N);
    for (std::size_t I = 0; I < N; ++I)
        V[I] = static_cast<std::uint8_t>((I + Seed) % 251);
    return V;
}

inline void Fill(TMemoryStream& S, const std::vector<std::uint8_t>& Bytes)
{
    S.SetSize(0);
    S.Write(Bytes.data(), Bytes.size());
}

inline std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> Parts)
{
    std::vector<std::uint8_t> R;
    for (const auto& P : Parts)
        R.insert(R.end(), P.begin(), P.end());
    return R;
}

// Limits the size of files this process may write, for disk-full tests;
// writes beyond it fail with EFBIG instead of raising SIGXFSZ.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t Bytes)
    {
        getrlimit(RLIMIT_FSIZE, &FOld);
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit L = FOld;
        L.rlim_cur = Bytes;
        setrlimit(RLIMIT_FSIZE, &L);
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    rlimit FOld{};
    void (*FOldHandler)(int) = nullptr;
};

// A WAV file as libsndfile reads it; Opened is false when it cannot.
struct TWaveReadBack {
    bool Opened = false;
    long long Frames = 0;
    int Channels = 0;
    int Rate = 0;
    int Format = 0;
    // Every sample as a 16-bit value (8-bit data comes scaled by 256).
    std::vector<std::int16_t> Samples;
};

inline TWaveReadBack ReadWave(const std::string& Name)
{
    TWaveReadBack R;
    SF_INFO Info{};
    SNDFILE* F = sf_open(Name.c_str(), SFM_READ, &Info);
    if (F == nullptr)
        return R;
    R.Opened = true;
    R.Frames = Info.frames;
    R.Channels = Info.channels;
    R.Rate = Info.samplerate;
    R.Format = Info.format;
    R.Samples.resize(static_cast<std::size_t>(Info.frames * Info.channels));
    R.Samples.resize(static_cast<std::size_t>(
        sf_read_short(F, R.Samples.data(), static_cast<sf_count_t>(R.Samples.size()))));
    sf_close(F);
    return R;
}

// Little-endian 16-bit samples of a byte vector.
inline std::vector<std::int16_t> AsSamples(const std::vector<std::uint8_t>& Bytes)
{
    std::vector<std::int16_t> V(Bytes.size() / 2);
    for (std::size_t I = 0; I < V.size(); ++I)
        V[I] = static_cast<std::int16_t>(Bytes[2 * I] | (Bytes[2 * I + 1] << 8));
    return V;
}
