#pragma once
// The footprint track set as a job: one WAV file per listed mode (a steady
// sine at the mode's frequency, all tracks of one duration and level) and a
// track list, written into one folder. Standard C++ only, so that it runs on
// any thread; the modes window runs it on a worker thread.
//
// Files: each track is written to "<name>.part" beside its final name and
// renamed over the final name only once it is complete, so a failure never
// leaves a truncated file under a track's name and an existing file of that
// name stays intact until its replacement is whole. The list file is written
// the same way, after every track, and only when every track was written.
// The WAV layout is the recorder's: 44-byte header, 16-bit stereo at the
// request's sample rate, the generator's bytes unchanged.
//
// Refusals, before anything is written: an empty mode list, a duration too
// long for a 32-bit sample count or a WAV file, and a folder without room
// for the whole set (header, samples, list and CUE sheets, by statvfs unless a
// free-space probe is given).

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/Modes.h"

struct TTrackSetRequest {
    // The table's modes in row order: row r (from 1) is Modes[r - 1].
    std::vector<TMode> Modes;
    // Whole seconds; 0 or less gives header-only files.
    int Seconds = 8;
    // Overall level in dB (minus the attenuation).
    float Level = -6.0f;
    int SampleRate = 44100;
    // Folder with its trailing separator (empty: the current directory),
    // base name, and the list file's full name.
    std::string Folder;
    std::string Base = "Modo";
    std::string ListFile = "Modos.txt";
};

// Where the job is, reported on the job's thread: at the start of each track
// (Position 0) and every 1000 samples of it.
struct TTrackSetProgress {
    int Track = 0;       // 1 .. Tracks
    int Tracks = 0;
    std::string Name;    // the track's file name without folder
    int Position = 0;    // sample index within the track
    int Total = 0;       // samples of the track
};

struct TTrackSetResult {
    enum TStatus { Done, Cancelled, Failed, Refused };
    TStatus Status = Done;
    // Full names of the tracks written completely, in order.
    std::vector<std::string> Written;
    // The list's lines (track names without folder), CRLF each; written to
    // the list file only when Status is Done.
    std::string List;
    // For the user: why it failed or was refused.
    std::string Message;
    // For the user, when Status is Done: whether the set fits an audio CD
    // (its playing time) or how to split it. The CUE sheets ("<list>.cue",
    // one per disc) are written right after the list.
    std::string CdPlan;
};

class TTrackSetJob {
public:
    using TProgress = std::function<void(const TTrackSetProgress&)>;
    // Free bytes available to the user in a folder; throws on failure.
    using TFreeSpace = std::function<std::uint64_t(const std::string& Folder)>;

    explicit TTrackSetJob(TTrackSetRequest Request);

    // The bytes the whole set takes on disk (tracks, list and CUE sheets).
    std::uint64_t BytesNeeded() const;
    // The track's file name without folder, for table row Row (from 1).
    std::string TrackName(int Row) const;

    // Writes the set. Cancel is read between tracks and every 1000 samples:
    // once it is set, the track being written is dropped (no file under its
    // name), the finished tracks stay and no list is written. Never throws
    // for file or device errors; they end the run as Failed with the
    // message.
    TTrackSetResult Run(const TProgress& Progress, const std::atomic<bool>& Cancel,
                        const TFreeSpace& FreeSpace = nullptr) const;

    // statvfs's space for unprivileged users in Folder ("" is ".").
    static std::uint64_t FolderFreeSpace(const std::string& Folder);

private:
    TTrackSetRequest FRequest;
};

// Writes Data to FileName as one whole file: through "<FileName>.part",
// flushed and renamed over FileName. Throws EFCreateError ("Cannot create
// file <FileName>") or EWriteError naming FileName and the reason; the part
// file is removed on failure.
void WriteWholeFile(const std::string& FileName, const std::uint8_t* Header, std::size_t HeaderSize,
                    const std::uint8_t* Data, std::size_t DataSize);
