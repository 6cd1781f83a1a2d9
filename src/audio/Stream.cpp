#include "audio/Stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

std::atomic<TFileWriteFunction> WriteFunction{nullptr};

}  // namespace

TFileWriteFunction SetFileWriteFunction(TFileWriteFunction Function)
{
    return WriteFunction.exchange(Function);
}

int WriteFully(int Fd, const void* Buffer, std::size_t Count, std::size_t& Written)
{
    Written = 0;
    const auto* Bytes = static_cast<const std::uint8_t*>(Buffer);
    const TFileWriteFunction Hook = WriteFunction.load();
    while (Written < Count) {
        errno = 0;
        const ssize_t N = Hook != nullptr ? Hook(Fd, Bytes + Written, Count - Written)
                                          : ::write(Fd, Bytes + Written, Count - Written);
        if (N < 0 && errno == EINTR)
            continue;
        if (N < 0)
            return errno != 0 ? errno : EIO;
        // A write that takes nothing and gives no reason: the disk is full.
        if (N == 0)
            return ENOSPC;
        Written += static_cast<std::size_t>(N);
    }
    return 0;
}

std::string FileErrorText(const std::string& What, const std::string& FileName, int Error)
{
    return What + " " + FileName + ": " + std::strerror(Error != 0 ? Error : EIO);
}

std::int64_t TStream::CopyFrom(TStream& Source, std::int64_t Count)
{
    std::array<std::uint8_t, 65536> Block;
    std::int64_t Copied = 0;
    while (Copied < Count) {
        const std::size_t Want = static_cast<std::size_t>(
            std::min<std::int64_t>(Count - Copied, static_cast<std::int64_t>(Block.size())));
        const std::size_t Got = Source.Read(Block.data(), Want);
        if (Got == 0)
            break;
        Write(Block.data(), Got);
        Copied += static_cast<std::int64_t>(Got);
    }
    return Copied;
}

void TMemoryStream::Seek(std::int64_t Offset)
{
    if (Offset < 0)
        throw EReadError("Stream seek error");
    FPosition = Offset;
}

std::size_t TMemoryStream::Read(void* Buffer, std::size_t Count)
{
    const std::int64_t Available = std::max<std::int64_t>(0, Size() - FPosition);
    const std::size_t N = static_cast<std::size_t>(std::min<std::int64_t>(Available, static_cast<std::int64_t>(Count)));
    if (N > 0)
        std::memcpy(Buffer, FData.data() + FPosition, N);
    FPosition += static_cast<std::int64_t>(N);
    return N;
}

void TMemoryStream::Write(const void* Buffer, std::size_t Count)
{
    if (Count == 0)
        return;
    const std::size_t End = static_cast<std::size_t>(FPosition) + Count;
    const auto* Bytes = static_cast<const std::uint8_t*>(Buffer);
    try {
        if (static_cast<std::size_t>(FPosition) == FData.size()) {
            // Appending: no zero fill before the copy.
            FData.insert(FData.end(), Bytes, Bytes + Count);
        } else {
            if (End > FData.size())
                FData.resize(End);
            std::memcpy(FData.data() + FPosition, Bytes, Count);
        }
    } catch (const std::bad_alloc&) {
        throw EWriteError("Out of memory while writing to a memory stream");
    }
    FPosition = static_cast<std::int64_t>(End);
}

void TMemoryStream::SetSize(std::int64_t NewSize)
{
    try {
        FData.resize(static_cast<std::size_t>(std::max<std::int64_t>(0, NewSize)));
    } catch (const std::bad_alloc&) {
        throw EWriteError("Out of memory while sizing a memory stream");
    }
    FPosition = std::min(FPosition, Size());
}

TFileStream::TFileStream(const std::string& FileName, TMode Mode) : FFileName(FileName)
{
    const int Flags = Mode == fmCreate ? O_RDWR | O_CREAT | O_TRUNC : Mode == fmOpenRead ? O_RDONLY : O_RDWR;
    FFd = ::open(FileName.c_str(), Flags | O_CLOEXEC, 0666);
    if (FFd < 0) {
        const int Error = errno;
        if (Mode != fmCreate)
            throw EFOpenError(FileErrorText("Cannot open file", FileName, Error));
        // The usual causes (no such folder, no permission) keep the short
        // message; a full disk says so.
        if (Error == ENOSPC || Error == EDQUOT)
            throw EFCreateError(FileErrorText("Cannot create file", FileName, Error));
        throw EFCreateError("Cannot create file " + FileName);
    }
    struct stat St {};
    if (::fstat(FFd, &St) == 0 && S_ISDIR(St.st_mode)) {
        ::close(FFd);
        FFd = -1;
        throw EFOpenError(FileErrorText("Cannot open file", FileName, EISDIR));
    }
    FKeepSize = DiskSize();
}

TFileStream::~TFileStream()
{
    if (FFd < 0)
        return;
    try {
        WriteBuffer();
    } catch (const EStreamError&) {
        // Cut back already; nobody is left to tell.
    }
    ::close(FFd);
}

void TFileStream::Check() const
{
    if (FFd < 0)
        throw EStreamError("File " + FFileName + " is closed");
}

std::int64_t TFileStream::DiskSize() const
{
    struct stat St {};
    if (::fstat(FFd, &St) != 0)
        FailRead("Cannot read file", errno);
    return St.st_size;
}

void TFileStream::FailRead(const char* What, int Error) const
{
    throw EReadError(FileErrorText(What, FFileName, Error));
}

void TFileStream::FailWrite(int Error)
{
    // Give the space back at once: nothing half-written stays on disk.
    FBuffer.clear();
    if (::ftruncate(FFd, static_cast<off_t>(FKeepSize)) == 0)
        FPosition = std::min(FPosition, FKeepSize);
    FBufferStart = FPosition;
    throw EWriteError(FileErrorText("Cannot write file", FFileName, Error));
}

void TFileStream::WriteBuffer()
{
    if (FBuffer.empty())
        return;
    if (::lseek(FFd, static_cast<off_t>(FBufferStart), SEEK_SET) < 0)
        FailWrite(errno);
    std::size_t Written = 0;
    if (const int Error = WriteFully(FFd, FBuffer.data(), FBuffer.size(), Written))
        FailWrite(Error);
    FBuffer.clear();
    FBufferStart = FPosition;
}

std::int64_t TFileStream::Size()
{
    Check();
    WriteBuffer();
    return DiskSize();
}

std::int64_t TFileStream::Position()
{
    Check();
    return FPosition;
}

void TFileStream::Seek(std::int64_t Offset)
{
    Check();
    if (Offset < 0)
        throw EReadError("Cannot position in file " + FFileName);
    // Buffered bytes belong where they were written: out with them first.
    WriteBuffer();
    FPosition = Offset;
    FBufferStart = Offset;
}

std::size_t TFileStream::Read(void* Buffer, std::size_t Count)
{
    Check();
    WriteBuffer();
    std::size_t Got = 0;
    auto* Bytes = static_cast<std::uint8_t*>(Buffer);
    while (Got < Count) {
        const ssize_t N = ::pread(FFd, Bytes + Got, Count - Got, static_cast<off_t>(FPosition));
        if (N < 0 && errno == EINTR)
            continue;
        if (N < 0)
            FailRead("Cannot read file", errno);
        if (N == 0)
            break;
        Got += static_cast<std::size_t>(N);
        FPosition += N;
    }
    FBufferStart = FPosition;
    return Got;
}

void TFileStream::Write(const void* Buffer, std::size_t Count)
{
    Check();
    if (Count == 0)
        return;
    if (FBuffer.size() + Count > BufferCapacity)
        WriteBuffer();
    const auto* Bytes = static_cast<const std::uint8_t*>(Buffer);
    if (Count >= BufferCapacity) {
        if (::lseek(FFd, static_cast<off_t>(FPosition), SEEK_SET) < 0)
            FailWrite(errno);
        std::size_t Written = 0;
        if (const int Error = WriteFully(FFd, Bytes, Count, Written))
            FailWrite(Error);
        FPosition += static_cast<std::int64_t>(Count);
        FBufferStart = FPosition;
        return;
    }
    if (FBuffer.capacity() < BufferCapacity)
        FBuffer.reserve(BufferCapacity);
    FBuffer.insert(FBuffer.end(), Bytes, Bytes + Count);
    FPosition += static_cast<std::int64_t>(Count);
}

void TFileStream::SetSize(std::int64_t NewSize)
{
    Check();
    WriteBuffer();
    const std::int64_t Size = std::max<std::int64_t>(0, NewSize);
    if (::ftruncate(FFd, static_cast<off_t>(Size)) != 0)
        throw EWriteError(FileErrorText("Cannot write file", FFileName, errno));
    FKeepSize = Size;
    FPosition = std::min(FPosition, Size);
    FBufferStart = FPosition;
}

void TFileStream::Flush()
{
    Check();
    WriteBuffer();
    FKeepSize = DiskSize();
}

void TFileStream::Close()
{
    if (FFd < 0)
        return;
    WriteBuffer();
    const int Fd = FFd;
    FFd = -1;
    if (::close(Fd) != 0) {
        const int Error = errno;
        // Some file systems only find out at the close that the data did
        // not fit.
        if (::truncate(FFileName.c_str(), static_cast<off_t>(FKeepSize)) != 0) {
            // Nothing more to be done; the error below still tells.
        }
        throw EWriteError(FileErrorText("Cannot write file", FFileName, Error));
    }
}
