#include "audio/WaveFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

constexpr std::size_t HeaderBytes = 44;
constexpr std::size_t BufferCapacity = 65536;

void PutU16(std::uint8_t* P, std::uint32_t V)
{
    P[0] = static_cast<std::uint8_t>(V & 0xFF);
    P[1] = static_cast<std::uint8_t>((V >> 8) & 0xFF);
}

void PutU32(std::uint8_t* P, std::uint32_t V)
{
    PutU16(P, V & 0xFFFF);
    PutU16(P + 2, V >> 16);
}

std::string FolderOf(const std::string& FileName)
{
    const std::size_t Slash = FileName.rfind('/');
    if (Slash == std::string::npos)
        return ".";
    return Slash == 0 ? "/" : FileName.substr(0, Slash);
}

// A name beside FileName that no other save (of this or another process)
// picks; created exclusively.
int CreateTemporary(const std::string& FileName, std::string& TempName, int& Error)
{
    static std::atomic<unsigned> Counter{0};
    const std::size_t Slash = FileName.rfind('/');
    const std::string Folder = Slash == std::string::npos ? std::string() : FileName.substr(0, Slash + 1);
    const std::string Base = Slash == std::string::npos ? FileName : FileName.substr(Slash + 1);
    for (int Attempt = 0; Attempt < 100; ++Attempt) {
        TempName = Folder + "." + Base + "." + std::to_string(::getpid()) + "-" + std::to_string(Counter++) + ".part";
        const int Fd = ::open(TempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (Fd >= 0)
            return Fd;
        Error = errno;
        if (Error != EEXIST)
            break;
    }
    TempName.clear();
    return -1;
}

// The sink InterleaveStreams and CopyFrom write into.
class TWriterStream final : public TStream {
public:
    explicit TWriterStream(TWaveFileWriter& Writer) : FWriter(Writer) {}
    std::int64_t Size() override { return Position(); }
    std::int64_t Position() override { return FWriter.FileSize(); }
    void Seek(std::int64_t) override { throw EWriteError("Cannot position in file " + FWriter.FileName()); }
    std::size_t Read(void*, std::size_t) override { throw EReadError("Cannot read file " + FWriter.FileName()); }
    void Write(const void* Buffer, std::size_t Count) override { FWriter.Write(Buffer, Count); }
    void SetSize(std::int64_t) override { throw EWriteError("Cannot write file " + FWriter.FileName()); }

private:
    TWaveFileWriter& FWriter;
};

}  // namespace

std::array<std::uint8_t, 44> WaveFileHeader(const TWaveFormat& Format, std::uint32_t DataBytes)
{
    std::array<std::uint8_t, 44> H{};
    std::copy_n("RIFF", 4, H.data());
    PutU32(H.data() + 4, DataBytes + 36u);
    std::copy_n("WAVE", 4, H.data() + 8);
    std::copy_n("fmt ", 4, H.data() + 12);
    PutU32(H.data() + 16, 16);
    PutU16(H.data() + 20, Format.FormatTag);
    PutU16(H.data() + 22, Format.Channels);
    PutU32(H.data() + 24, Format.SamplesPerSec);
    PutU32(H.data() + 28, Format.AvgBytesPerSec);
    PutU16(H.data() + 32, Format.BlockAlign);
    PutU16(H.data() + 34, Format.BitsPerSample);
    std::copy_n("data", 4, H.data() + 36);
    PutU32(H.data() + 40, DataBytes);
    return H;
}

void InterleaveStreams(TStream& Out, TStream& Left, TStream& Right, std::size_t Width)
{
    constexpr std::size_t BlockBytes = 1000;
    const std::size_t PerChannel = BlockBytes / 2;
    std::array<std::uint8_t, BlockBytes> Block;
    std::array<std::uint8_t, BlockBytes / 2> L;
    std::array<std::uint8_t, BlockBytes / 2> R;
    Left.Seek(0);
    Right.Seek(0);
    for (;;) {
        const std::size_t GotL = Left.Read(L.data(), PerChannel);
        const std::size_t GotR = Right.Read(R.data(), PerChannel);
        const std::size_t Samples = std::min(GotL, GotR) / Width;
        std::size_t Fill = 0;
        for (std::size_t S = 0; S < Samples; ++S) {
            std::copy_n(L.data() + S * Width, Width, Block.data() + Fill);
            Fill += Width;
            std::copy_n(R.data() + S * Width, Width, Block.data() + Fill);
            Fill += Width;
        }
        if (Fill > 0)
            Out.Write(Block.data(), Fill);
        if (GotL < PerChannel || GotR < PerChannel)
            break;
    }
}

std::int64_t WaveSampleBytes(TStream& Left, TStream* Right)
{
    const std::int64_t Size = Left.Size();
    return Right != nullptr && Right->Size() == Size ? 2 * Size : Size;
}

void CheckWaveDataBytes(const std::string& FileName, std::int64_t DataBytes)
{
    if (DataBytes > static_cast<std::int64_t>(MaxWaveDataBytes))
        throw EWriteError("Cannot write file " + FileName + ": " + std::to_string(DataBytes)
                          + " bytes of samples do not fit in a WAV file (at most " + std::to_string(MaxWaveDataBytes)
                          + ")");
}

TWaveFileWriter::TWaveFileWriter(const std::string& FileName, const TWaveFormat& Format,
                                 std::int64_t ExpectedDataBytes)
    : FFileName(FileName), FFormat(Format)
{
    int Error = 0;
    FFd = CreateTemporary(FileName, FTempName, Error);
    struct stat Old {};
    const bool Exists = ::stat(FileName.c_str(), &Old) == 0 && S_ISREG(Old.st_mode);
    if (FFd >= 0) {
        // The new file takes over the old one's permissions.
        if (Exists && ::fchmod(FFd, Old.st_mode & 07777) != 0) {
            // Keeps the default permissions; the content is what matters.
        }
    } else if (Exists) {
        FFd = ::open(FileName.c_str(), O_WRONLY | O_CLOEXEC);
        if (FFd >= 0)
            FInPlace = true;
    }
    if (FFd < 0) {
        if (Error == ENOSPC || Error == EDQUOT)
            throw EFCreateError(FileErrorText("Cannot create file", FileName, Error));
        throw EFCreateError("Cannot create file " + FileName);
    }
    if (FInPlace && ExpectedDataBytes >= 0) {
        // Claim the room first: a disk without it leaves the old file whole.
        const off_t Needed = static_cast<off_t>(HeaderBytes) + static_cast<off_t>(ExpectedDataBytes);
        const int R = ::posix_fallocate(FFd, 0, Needed);
        if (R != 0 && R != EOPNOTSUPP && R != EINVAL) {
            if (::ftruncate(FFd, Old.st_size) != 0) {
                // The old size could not be restored; the error still tells.
            }
            ::close(FFd);
            FFd = -1;
            throw EWriteError(FileErrorText("Cannot write file", FileName, R));
        }
    }
    const auto Header = WaveFileHeader(FFormat, 0);
    WriteAt(0, Header.data(), Header.size());
}

TWaveFileWriter::~TWaveFileWriter()
{
    Abandon();
}

void TWaveFileWriter::Abandon()
{
    if (FFd < 0)
        return;
    FBuffer.clear();
    if (FInPlace && ::ftruncate(FFd, 0) != 0) {
        // Nothing more can be given back.
    }
    ::close(FFd);
    FFd = -1;
    if (!FTempName.empty())
        ::unlink(FTempName.c_str());
}

void TWaveFileWriter::Fail(int Error)
{
    Fail(std::strerror(Error != 0 ? Error : EIO));
}

void TWaveFileWriter::Fail(const std::string& Reason)
{
    Abandon();
    throw EWriteError("Cannot write file " + FFileName + ": " + Reason);
}

void TWaveFileWriter::WriteAt(std::int64_t Offset, const void* Buffer, std::size_t Count)
{
    if (::lseek(FFd, static_cast<off_t>(Offset), SEEK_SET) < 0)
        Fail(errno);
    std::size_t Written = 0;
    if (const int Error = WriteFully(FFd, Buffer, Count, Written))
        Fail(Error);
}

void TWaveFileWriter::WriteBuffer()
{
    if (FBuffer.empty())
        return;
    const std::int64_t At = static_cast<std::int64_t>(HeaderBytes + FDataBytes);
    WriteAt(At, FBuffer.data(), FBuffer.size());
    // Only bytes that got out are counted.
    FDataBytes += static_cast<std::uint32_t>(FBuffer.size());
    FBuffer.clear();
}

void TWaveFileWriter::Write(const void* Buffer, std::size_t Count)
{
    if (FFd < 0)
        throw EWriteError("Cannot write file " + FFileName + ": the file is closed");
    if (static_cast<std::uint64_t>(FDataBytes) + FBuffer.size() + Count > MaxWaveDataBytes)
        Fail(std::to_string(static_cast<std::uint64_t>(FDataBytes) + FBuffer.size() + Count)
             + " bytes of samples do not fit in a WAV file (at most " + std::to_string(MaxWaveDataBytes) + ")");
    const auto* Bytes = static_cast<const std::uint8_t*>(Buffer);
    while (Count > 0) {
        if (FBuffer.capacity() < BufferCapacity)
            FBuffer.reserve(BufferCapacity);
        const std::size_t Take = std::min(Count, BufferCapacity - FBuffer.size());
        FBuffer.insert(FBuffer.end(), Bytes, Bytes + Take);
        Bytes += Take;
        Count -= Take;
        if (FBuffer.size() == BufferCapacity)
            WriteBuffer();
    }
}

void TWaveFileWriter::WriteSamples(TStream& Left, TStream* Right)
{
    TWriterStream Out(*this);
    if (Right != nullptr && Right->Size() == Left.Size()) {
        InterleaveStreams(Out, Left, *Right, FFormat.BitsPerSample == 16 ? 2 : 1);
    } else {
        Left.Seek(0);
        Out.CopyFrom(Left, Left.Size());
    }
}

void TWaveFileWriter::Commit()
{
    if (FFd < 0)
        return;
    WriteBuffer();
    const std::int64_t Expected = static_cast<std::int64_t>(HeaderBytes + FDataBytes);
    // An old file rewritten in place may have been longer; so may the space
    // reserved for it.
    if (FInPlace && ::ftruncate(FFd, static_cast<off_t>(Expected)) != 0)
        Fail(errno);
    const auto Header = WaveFileHeader(FFormat, FDataBytes);
    WriteAt(0, Header.data(), Header.size());
    struct stat St {};
    if (::fstat(FFd, &St) != 0)
        Fail(errno);
    if (St.st_size != Expected)
        Fail("the file holds " + std::to_string(St.st_size) + " bytes instead of " + std::to_string(Expected));
    // Some file systems report a full disk only here.
    if (::fsync(FFd) != 0)
        Fail(errno);
    const int Fd = FFd;
    FFd = -1;
    if (::close(Fd) != 0) {
        const int Error = errno;
        if (FInPlace) {
            if (::truncate(FFileName.c_str(), 0) != 0) {
                // Nothing more can be given back.
            }
        } else {
            ::unlink(FTempName.c_str());
        }
        throw EWriteError(FileErrorText("Cannot write file", FFileName, Error));
    }
    if (FInPlace)
        return;
    if (::rename(FTempName.c_str(), FFileName.c_str()) != 0) {
        const int Error = errno;
        ::unlink(FTempName.c_str());
        throw EWriteError(FileErrorText("Cannot write file", FFileName, Error));
    }
    // Make the new name itself durable; the data already is.
    const int Folder = ::open(FolderOf(FFileName).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Folder >= 0) {
        if (::fsync(Folder) != 0) {
            // Some file systems cannot sync a folder; the file is complete.
        }
        ::close(Folder);
    }
}

void WriteWaveFile(const std::string& FileName, const TWaveFormat& Format, TStream& Left, TStream* Right)
{
    const std::int64_t DataBytes = WaveSampleBytes(Left, Right);
    CheckWaveDataBytes(FileName, DataBytes);
    TWaveFileWriter Writer(FileName, Format, DataBytes);
    Writer.WriteSamples(Left, Right);
    Writer.Commit();
}
