#include "audio/Stream.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <unistd.h>

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
    const char* How = Mode == fmCreate ? "w+b" : Mode == fmOpenRead ? "rb" : "r+b";
    FFile = std::fopen(FileName.c_str(), How);
    if (FFile == nullptr) {
        if (Mode == fmCreate)
            throw EFCreateError("Cannot create file " + FileName);
        throw EFOpenError("Cannot open file " + FileName);
    }
}

TFileStream::~TFileStream()
{
    if (FFile != nullptr)
        std::fclose(FFile);
}

void TFileStream::Check() const
{
    if (FFile == nullptr)
        throw EStreamError("File " + FFileName + " is closed");
}

void TFileStream::FailWrite(int Error) const
{
    throw EWriteError("Cannot write file " + FFileName + ": " + std::strerror(Error));
}

std::int64_t TFileStream::Size()
{
    Check();
    Flush();
    const off_t Here = ftello(FFile);
    if (Here < 0 || fseeko(FFile, 0, SEEK_END) != 0)
        throw EReadError("Cannot read file " + FFileName + ": " + std::strerror(errno));
    const off_t End = ftello(FFile);
    if (fseeko(FFile, Here, SEEK_SET) != 0)
        throw EReadError("Cannot read file " + FFileName + ": " + std::strerror(errno));
    return End;
}

std::int64_t TFileStream::Position()
{
    Check();
    return ftello(FFile);
}

void TFileStream::Seek(std::int64_t Offset)
{
    Check();
    // Pending written bytes are flushed by the seek; check that they got out.
    if (FLastWasWrite)
        Flush();
    if (Offset < 0 || fseeko(FFile, static_cast<off_t>(Offset), SEEK_SET) != 0)
        throw EReadError("Cannot position in file " + FFileName);
    FLastWasWrite = false;
}

std::size_t TFileStream::Read(void* Buffer, std::size_t Count)
{
    Check();
    if (FLastWasWrite) {
        Flush();
        if (fseeko(FFile, 0, SEEK_CUR) != 0)
            throw EReadError("Cannot position in file " + FFileName);
        FLastWasWrite = false;
    }
    const std::size_t N = std::fread(Buffer, 1, Count, FFile);
    if (N < Count && std::ferror(FFile)) {
        std::clearerr(FFile);
        throw EReadError("Cannot read file " + FFileName + ": " + std::strerror(errno));
    }
    std::clearerr(FFile);
    return N;
}

void TFileStream::Write(const void* Buffer, std::size_t Count)
{
    Check();
    if (!FLastWasWrite) {
        // The C library needs a positioning call between reading and writing.
        if (fseeko(FFile, 0, SEEK_CUR) != 0)
            throw EReadError("Cannot position in file " + FFileName);
        FLastWasWrite = true;
    }
    if (Count == 0)
        return;
    errno = 0;
    if (std::fwrite(Buffer, 1, Count, FFile) != Count) {
        const int Error = errno != 0 ? errno : EIO;
        std::clearerr(FFile);
        FailWrite(Error);
    }
}

void TFileStream::SetSize(std::int64_t NewSize)
{
    Check();
    Flush();
    const off_t Here = ftello(FFile);
    if (ftruncate(fileno(FFile), static_cast<off_t>(std::max<std::int64_t>(0, NewSize))) != 0)
        FailWrite(errno);
    const off_t Clamped = std::min<off_t>(Here, static_cast<off_t>(std::max<std::int64_t>(0, NewSize)));
    if (fseeko(FFile, Clamped, SEEK_SET) != 0)
        throw EReadError("Cannot position in file " + FFileName);
    FLastWasWrite = false;
}

void TFileStream::Flush()
{
    Check();
    errno = 0;
    if (std::fflush(FFile) != 0) {
        const int Error = errno != 0 ? errno : EIO;
        std::clearerr(FFile);
        FailWrite(Error);
    }
}

void TFileStream::Close()
{
    if (FFile == nullptr)
        return;
    std::FILE* F = FFile;
    FFile = nullptr;
    errno = 0;
    const bool Flushed = std::fflush(F) == 0;
    const int Error = errno != 0 ? errno : EIO;
    const bool Closed = std::fclose(F) == 0;
    if (!Flushed || !Closed)
        FailWrite(Error);
}
