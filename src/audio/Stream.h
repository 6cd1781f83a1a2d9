#pragma once
// Byte streams shared by the tone synthesis, the player and the WAV writer:
// an in-memory stream and a buffered file stream behind one small interface.
// Standard C++ only, so that the synthesis can write into them without Qt.
//
// Every failure is an exception derived from EStreamError whose what() is a
// message for the user: a file that cannot be created gives exactly
// "Cannot create file <name>"; a write that does not reach the file
// completely (disk full, device removed) is never silent.
//
// Streams are used from one thread at a time.

#include <cstdint>
#include <cstdio>
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

// A file read and written through the C library's buffering (never one system
// call per sample).
class TFileStream final : public TStream {
public:
    enum TMode {
        fmCreate,        // create or truncate, read and write
        fmOpenRead,      // existing file, read only
        fmOpenReadWrite  // existing file, read and write
    };
    // Throws EFCreateError ("Cannot create file <name>") or EFOpenError.
    TFileStream(const std::string& FileName, TMode Mode);
    // Closes the file; a flush failure here cannot be reported, so callers
    // that must know call Flush (or Close) first.
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
    [[noreturn]] void FailWrite(int Error) const;
    void Check() const;

    std::string FFileName;
    std::FILE* FFile = nullptr;
    bool FLastWasWrite = false;
};
