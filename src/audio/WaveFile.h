#pragma once
// The WAV file writer: PCM samples behind a 44-byte RIFF/WAVE header, with
// both length fields taken from the bytes counted as written. Standard C++
// and POSIX only; the recorder's SaveToWaveFile wraps it, and any other code
// that saves sample streams as WAV files (a set of tracks, say) can use it
// directly, alone or through WriteWaveFile.
//
// Layout, little endian:
//   0 "RIFF"   4 file size - 8   8 "WAVE"   12 "fmt "   16 16 (format size)
//   20 1 (PCM) 22 channels       24 samples per second   28 bytes per second
//   32 block align   34 bits per sample   36 "data"   40 file size - 44
//   44 the samples (8 bits unsigned, 16 bits signed, channels interleaved).
//
// A save either reaches the disk completely or is reported as failed:
// - Every byte goes through counted system writes (never a buffered write
//   whose failure could pass unnoticed); the file's size on disk is checked
//   against the count and the data synced before the file takes its name.
// - The file is written as a temporary beside its final name and renamed
//   over it only then: an existing file of that name stays as it was after
//   any failure, and the temporary is removed.
// - Where no new file can be created in the folder (no write permission on
//   it) but the named file exists and may be written, it is rewritten in
//   place. Space for the whole file is reserved first when its size is known,
//   so a disk without room for it leaves the old file untouched; a failure
//   after the first byte was overwritten cuts the file to nothing (its old
//   content is gone by then, and a full disk gets its space back).
// - Every failure throws an EStreamError descendant whose message names the
//   file and the system's reason: EFCreateError ("Cannot create file
//   <name>", with ": <reason>" when the disk is full), EWriteError ("Cannot
//   write file <name>: <reason>").
//
// Used from one thread at a time.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/Stream.h"
#include "audio/WaveOut.h"

// Most sample bytes the 32-bit RIFF size field can describe.
constexpr std::uint32_t MaxWaveDataBytes = 0xFFFFFFFFu - 36u;

// The header for DataBytes bytes of samples in Format (format tag, channels,
// samples per second, bytes per second, block align and bits per sample are
// taken as they are).
std::array<std::uint8_t, 44> WaveFileHeader(const TWaveFormat& Format, std::uint32_t DataBytes);

// Writes Left and Right sample by sample (Width bytes each) into Out from
// their starts, through one 1000-byte block, until the shorter one ends.
void InterleaveStreams(TStream& Out, TStream& Left, TStream& Right, std::size_t Width);

// Bytes of samples a save of Left (and Right) writes: Left's size, twice
// that when Right has Left's size and is interleaved with it.
std::int64_t WaveSampleBytes(TStream& Left, TStream* Right);

// Throws EWriteError (before anything is written) when DataBytes do not fit
// in a WAV file.
void CheckWaveDataBytes(const std::string& FileName, std::int64_t DataBytes);

class TWaveFileWriter {
public:
    // Creates the file (see above) and writes the header with both lengths 0.
    // ExpectedDataBytes, when known (>= 0), lets an in-place rewrite reserve
    // the space first. Throws EFCreateError or EWriteError.
    TWaveFileWriter(const std::string& FileName, const TWaveFormat& Format, std::int64_t ExpectedDataBytes = -1);
    // Abandons a file not committed.
    ~TWaveFileWriter();
    TWaveFileWriter(const TWaveFileWriter&) = delete;
    TWaveFileWriter& operator=(const TWaveFileWriter&) = delete;

    // Appends sample bytes; throws EWriteError (the file is then abandoned)
    // when they do not all get out or would pass MaxWaveDataBytes.
    void Write(const void* Buffer, std::size_t Count);
    // Appends Left from its start, or Left and Right interleaved sample by
    // sample when Right has Left's size (the sample width from the format's
    // bits per sample).
    void WriteSamples(TStream& Left, TStream* Right);
    // Writes the lengths from the counted bytes, checks the size on disk,
    // syncs and gives the file its name. Throws EWriteError (the file is then
    // abandoned). Nothing happens once committed or abandoned.
    void Commit();
    // Drops the file: removes the temporary (an existing file keeps its old
    // content) or, rewriting in place, cuts the file to nothing.
    void Abandon();

    // Sample bytes that reached the file so far (not those still buffered).
    std::uint32_t DataBytes() const { return FDataBytes; }
    // Bytes the file holds once the buffered ones are out.
    std::int64_t FileSize() const
    {
        return 44 + static_cast<std::int64_t>(FDataBytes) + static_cast<std::int64_t>(FBuffer.size());
    }
    // Rewriting the existing file in place (no temporary could be created).
    bool InPlace() const { return FInPlace; }
    bool Open() const { return FFd >= 0; }
    const std::string& FileName() const { return FFileName; }

private:
    void WriteBuffer();
    void WriteAt(std::int64_t Offset, const void* Buffer, std::size_t Count);
    [[noreturn]] void Fail(int Error);
    [[noreturn]] void Fail(const std::string& Reason);

    std::string FFileName;
    std::string FTempName;  // empty when in place
    TWaveFormat FFormat;
    int FFd = -1;
    bool FInPlace = false;
    std::uint32_t FDataBytes = 0;
    std::vector<std::uint8_t> FBuffer;
};

// Writes FileName as a complete WAV file of Left (and Right, as in
// WriteSamples) in Format, from the streams' starts. Throws as above.
void WriteWaveFile(const std::string& FileName, const TWaveFormat& Format, TStream& Left, TStream* Right);
