#pragma once
// Byte streams shared by the tone synthesis, the player and the WAV writer:
// an in-memory stream and a buffered file stream behind one small interface.
// Standard C++ and POSIX only, so that the synthesis can write into them
// without Qt.
//
// Every failure is an exception derived from EStreamError whose what() is a
// message for the user: a file that cannot be created gives
// "Cannot create file <name>" (followed by ": <system reason>" when the disk
// or the quota is full); a write that does not reach the file completely
// (disk full, device removed) is never silent, and its message names the
// file and the system's reason ("... : No space left on device").
//
// Streams are used from one thread at a time.

#include <sys/types.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file could not be created (or truncated) for writing.
class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// An existing file could not be opened.
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// Bytes could not be written completely; the message names the file and the
// system's reason.
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// The file could not be read or positioned.
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class TStream {
public:
    virtual ~TStream() = default;

    // Size in bytes.
    virtual std::int64_t Size() = 0;
    // Byte offset of the next Read or Write, 0 .. Size (or beyond after Seek).
    virtual std::int64_t Position() = 0;
    // Moves to an absolute byte offset (>= 0).
    virtual void Seek(std::int64_t Offset) = 0;
    // Reads up to Count bytes at the position and advances it; returns the
    // number read, less than Count only at the end of the stream.
    virtual std::size_t Read(void* Buffer, std::size_t Count) = 0;
    // Writes all Count bytes at the position and advances it, or throws.
    virtual void Write(const void* Buffer, std::size_t Count) = 0;
    // Cuts or extends the stream; the position is clamped to the new size.
    virtual void SetSize(std::int64_t NewSize) = 0;
    // Makes written bytes reach their destination; throws EWriteError when
    // they cannot.
    virtual void Flush() {}

    // Copies Count bytes from Source's position into this stream through a
    // fixed buffer; returns the number copied (less only when Source ends).
    std::int64_t CopyFrom(TStream& Source, std::int64_t Count);
};

class TMemoryStream final : public TStream {
public:
    std::int64_t Size() override { return static_cast<std::int64_t>(FData.size()); }
    std::int64_t Position() override { return FPosition; }
    void Seek(std::int64_t Offset) override;
    std::size_t Read(void* Buffer, std::size_t Count) override;
    void Write(const void* Buffer, std::size_t Count) override;
    void SetSize(std::int64_t NewSize) override;

    const std::vector<std::uint8_t>& Data() const { return FData; }

private:
    std::vector<std::uint8_t> FData;
    std::int64_t FPosition = 0;
};

// The system call every file write of the stream layer and the WAV writer
// goes through: write(2) unless replaced. Tests replace it to simulate a disk
// that fills up (a short write, then -1 with errno ENOSPC).
using TFileWriteFunction = ssize_t (*)(int Fd, const void* Buffer, std::size_t Count);
// Installs Function (none: write(2) again) and returns the previous one.
TFileWriteFunction SetFileWriteFunction(TFileWriteFunction Function);

// Writes all Count bytes to Fd at its offset through the write function,
// going on after short writes and interruptions. Returns 0 when every byte
// was written, else the system's error number (ENOSPC when the system took
// nothing without saying why); Written tells how many bytes got out.
int WriteFully(int Fd, const void* Buffer, std::size_t Count, std::size_t& Written);

// "<What> <name>: <system reason>".
std::string FileErrorText(const std::string& What, const std::string& FileName, int Error);

// A file read and written through a buffer of its own (never one system call
// per sample); writes are counted byte by byte.
//
// A write that fails (also when the buffer goes out during a later Seek,
// Read, Size or Flush) cuts the file back at once to its size at the last
// successful Flush or SetSize (its size when opened before that: 0 for a
// created file), so that a full disk is given back its space and no
// half-written tail stays behind. Bytes still buffered are dropped, the
// position moves to the new end if it lay beyond it, and EWriteError names
// the file and the system's reason. The stream stays usable.
class TFileStream final : public TStream {
public:
    enum TMode {
        fmCreate,        // create or truncate, read and write
        fmOpenRead,      // existing file, read only
        fmOpenReadWrite  // existing file, read and write
    };
    // Throws EFCreateError ("Cannot create file <name>") or EFOpenError.
    TFileStream(const std::string& FileName, TMode Mode);
    // Closes the file; a flush failure here cannot be reported (the file is
    // still cut back), so callers that must know call Flush (or Close) first.
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::int64_t Size() override;
    std::int64_t Position() override;
    void Seek(std::int64_t Offset) override;
    std::size_t Read(void* Buffer, std::size_t Count) override;
    void Write(const void* Buffer, std::size_t Count) override;
    void SetSize(std::int64_t NewSize) override;
    void Flush() override;
    // Flushes and closes, throwing EWriteError when the data did not reach
    // the file; the object is unusable afterwards.
    void Close();

    const std::string& FileName() const { return FFileName; }

private:
    static constexpr std::size_t BufferCapacity = 65536;

    // Writes the buffer out; on failure cuts the file back and throws.
    void WriteBuffer();
    [[noreturn]] void FailWrite(int Error);
    [[noreturn]] void FailRead(const char* What, int Error) const;
    void Check() const;
    std::int64_t DiskSize() const;

    std::string FFileName;
    int FFd = -1;
    // Logical position; buffered bytes belong at FBufferStart onwards.
    std::int64_t FPosition = 0;
    std::int64_t FBufferStart = 0;
    std::vector<std::uint8_t> FBuffer;
    // Size the file is cut back to after a failed write.
    std::int64_t FKeepSize = 0;
};
