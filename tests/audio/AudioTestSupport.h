#pragma once
// Shared helpers of the sound tests: a private current directory (the player
// writes "PLAY.TMP" there), sample streams, a file-size limit and a simulated
// full disk for disk-full cases, and WAV files checked byte by byte and read
// back by libsndfile.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <sys/resource.h>
#include <vector>

#include <sndfile.h>

#include "audio/Audio.h"
#include "audio/Stream.h"

using TBytes = std::vector<std::uint8_t>;

// The format the modes window gives its sound component: 16-bit stereo at
// 44 100 frames per second, on the player and the recorder alike.
inline void SetWindowFormat(TAudio& Audio)
{
    Audio.Player()->SetBitsPerSample(TBPS::_16);
    Audio.Player()->SetChannels(TChannels::Stereo);
    Audio.Player()->SetSampleRate(44100);
}

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

    QTemporaryDir FDir;
    QString FOldDir;
};

// Bytes Seed, Seed + 1, ... mod 251, so that no buffer boundary repeats a pattern.
inline TBytes CountingBytes(std::size_t N, std::uint8_t Seed = 1)
{
    TBytes V(N);
    for (std::size_t I = 0; I < N; ++I)
        V[I] = static_cast<std::uint8_t>((I + Seed) % 251);
    return V;
}

inline TBytes Concat(std::initializer_list<TBytes> Parts)
{
    TBytes R;
    for (const auto& P : Parts)
        R.insert(R.end(), P.begin(), P.end());
    return R;
}

// A memory stream holding the bytes of V (host order: little endian).
template <class T> TMemoryStream StreamOf(const std::vector<T>& V)
{
    TMemoryStream S;
    S.Write(V.data(), V.size() * sizeof(T));
    return S;
}

inline std::vector<std::int16_t> AsSamples(const TBytes& Bytes)
{
    std::vector<std::int16_t> V(Bytes.size() / 2);
    for (std::size_t I = 0; I < V.size(); ++I)
        V[I] = static_cast<std::int16_t>(Bytes[2 * I] | (Bytes[2 * I + 1] << 8));
    return V;
}

inline TBytes ReadFile(const std::string& Name)
{
    QFile F(QString::fromStdString(Name));
    if (!F.open(QIODevice::ReadOnly))
        return {};
    const QByteArray B = F.readAll();
    return {B.begin(), B.end()};
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

// A disk with Free bytes left, as the file layer's writes see it: bytes that
// grow a file use up the room (rewriting existing bytes costs none), the
// write that reaches the end is cut short and later ones fail with ENOSPC.
class TDiskFull {
public:
    explicit TDiskFull(std::int64_t Free) : FOld(SetFileWriteFunction(&Write)) { Room().store(Free); }
    ~TDiskFull() { SetFileWriteFunction(FOld); }
    TDiskFull(const TDiskFull&) = delete;
    TDiskFull& operator=(const TDiskFull&) = delete;

private:
    static std::atomic<std::int64_t>& Room()
    {
        static std::atomic<std::int64_t> Bytes{0};
        return Bytes;
    }
    static ssize_t Write(int Fd, const void* Buffer, std::size_t Count)
    {
        struct stat St {};
        const off_t At = ::lseek(Fd, 0, SEEK_CUR);
        if (At < 0 || ::fstat(Fd, &St) != 0)
            return -1;
        const std::int64_t Limit = std::max<std::int64_t>(St.st_size, At) + Room().load();
        const std::int64_t Take = std::min<std::int64_t>(static_cast<std::int64_t>(Count), Limit - At);
        if (Take <= 0) {
            errno = ENOSPC;
            return -1;
        }
        const ssize_t N = ::write(Fd, Buffer, static_cast<std::size_t>(Take));
        if (N > 0)
            Room() -= std::max<std::int64_t>(0, At + N - std::max<std::int64_t>(St.st_size, At));
        return N;
    }
    TFileWriteFunction FOld;
};

// Every file in the current directory, hidden ones too.
inline QStringList FilesHere()
{
    return QDir::current().entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

inline bool Contains(const std::string& Text, const std::string& Part)
{
    return Text.find(Part) != std::string::npos;
}

// Bytes 20 .. 35 (format chunk body) of a 16-bit stereo 44 100 Hz file.
inline const TBytes WindowFormatChunk{0x01, 0x00, 0x02, 0x00, 0x44, 0xAC, 0x00, 0x00,
                                      0x10, 0xB1, 0x02, 0x00, 0x04, 0x00, 0x10, 0x00};

inline TBytes FormatChunk(const TBytes& File)
{
    return File.size() < 36 ? TBytes{} : TBytes(File.begin() + 20, File.begin() + 36);
}

// The fixed 44-byte RIFF/WAVE layout around DataBytes bytes of samples,
// with both size fields filled in.
inline ::testing::AssertionResult RiffLayout(const TBytes& File, std::uint32_t DataBytes)
{
    if (File.size() != 44u + DataBytes)
        return ::testing::AssertionFailure() << "file has " << File.size() << " bytes, expected " << 44u + DataBytes;
    const auto U32At = [&](std::size_t At) {
        return File[At] | (File[At + 1] << 8) | (File[At + 2] << 16) | (static_cast<std::uint32_t>(File[At + 3]) << 24);
    };
    const auto TextAt = [&](std::size_t At, std::size_t N) { return std::string(File.begin() + At, File.begin() + At + N); };
    if (TextAt(0, 4) != "RIFF" || TextAt(8, 8) != "WAVEfmt " || TextAt(36, 4) != "data" || U32At(16) != 16)
        return ::testing::AssertionFailure() << "chunk names or format chunk length wrong";
    if (U32At(4) != 36u + DataBytes || U32At(40) != DataBytes)
        return ::testing::AssertionFailure() << "size fields " << U32At(4) << " and " << U32At(40);
    return ::testing::AssertionSuccess();
}

constexpr int SfPcm16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;

// libsndfile opens Name as a file of that layout holding exactly Samples
// (interleaved; 8-bit data comes scaled by 256).
inline ::testing::AssertionResult ReadsBack(const std::string& Name, int Channels, int Rate, int Format,
                                            const std::vector<std::int16_t>& Samples)
{
    SF_INFO Info{};
    SNDFILE* F = sf_open(Name.c_str(), SFM_READ, &Info);
    if (F == nullptr)
        return ::testing::AssertionFailure() << "libsndfile: " << sf_strerror(nullptr);
    std::vector<std::int16_t> Got(static_cast<std::size_t>(Info.frames * Info.channels));
    Got.resize(static_cast<std::size_t>(sf_read_short(F, Got.data(), static_cast<sf_count_t>(Got.size()))));
    sf_close(F);
    if (Info.channels != Channels || Info.samplerate != Rate || Info.format != Format)
        return ::testing::AssertionFailure() << Info.channels << " channels, " << Info.samplerate << " Hz, format 0x"
                                             << std::hex << Info.format;
    if (Info.frames * Channels != static_cast<sf_count_t>(Samples.size()) || Got.size() != Samples.size())
        return ::testing::AssertionFailure() << Info.frames << " frames, " << Got.size() << " samples read, expected "
                                             << Samples.size();
    const auto Diff = std::mismatch(Got.begin(), Got.end(), Samples.begin());
    if (Diff.first != Got.end())
        return ::testing::AssertionFailure() << "sample " << Diff.first - Got.begin() << " is " << *Diff.first
                                             << ", expected " << *Diff.second;
    return ::testing::AssertionSuccess();
}
