#include "footprint/TrackSet.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <array>
#include <exception>
#include <memory>
#include <stdexcept>
#include <thread>
#include <utility>

#include <sys/statvfs.h>

#include "audio/Stream.h"
#include "audio/WaveFile.h"
#include "footprint/Exports.h"
#include "footprint/ToneGenerator.h"
#include "footprint/TonesRules.h"

namespace {

constexpr std::size_t HeaderSize = 44;

// The recorder's header for 16-bit stereo at Rate around DataBytes bytes.
std::array<std::uint8_t, HeaderSize> WaveHeader(std::uint16_t Rate, std::uint32_t DataBytes)
{
    TWaveFormat Format;
    Format.FormatTag = 1;
    Format.Channels = 2;
    Format.SamplesPerSec = Rate;
    Format.AvgBytesPerSec = static_cast<std::uint32_t>(Rate) * 4;
    Format.BlockAlign = 4;
    Format.BitsPerSample = 16;
    return WaveFileHeader(Format, DataBytes);
}

// Thrown out of the generator's progress callback to stop a track.
struct TCancelled {};

// The generator's callback is a plain function: the running job's state is
// reached through the thread it runs on.
struct TRunContext {
    const TTrackSetJob::TProgress* Progress = nullptr;
    const std::atomic<bool>* Cancel = nullptr;
    TTrackSetProgress Report;
};
thread_local TRunContext* CurrentRun = nullptr;

void GeneratorProgress(int Position, int Total)
{
    TRunContext* C = CurrentRun;
    if (C == nullptr)
        return;
    if (C->Cancel->load(std::memory_order_relaxed))
        throw TCancelled{};
    if (Position == 0 || *C->Progress == nullptr)
        return;
    C->Report.Position = Position;
    C->Report.Total = Total;
    (*C->Progress)(C->Report);
}

}  // namespace

void WriteWholeFile(const std::string& FileName, const std::uint8_t* Header, std::size_t HeaderSize,
                    const std::uint8_t* Data, std::size_t DataSize)
{
    const std::string Part = FileName + ".part";
    std::FILE* F = std::fopen(Part.c_str(), "wb");
    if (F == nullptr)
        throw EFCreateError("Cannot create file " + FileName);
    int Error = 0;
    if ((HeaderSize > 0 && std::fwrite(Header, 1, HeaderSize, F) != HeaderSize)
        || (DataSize > 0 && std::fwrite(Data, 1, DataSize, F) != DataSize) || std::fflush(F) != 0)
        Error = errno != 0 ? errno : EIO;
    if (std::fclose(F) != 0 && Error == 0)
        Error = errno != 0 ? errno : EIO;
    if (Error == 0 && std::rename(Part.c_str(), FileName.c_str()) != 0)
        Error = errno != 0 ? errno : EIO;
    if (Error != 0) {
        std::remove(Part.c_str());
        throw EWriteError("Cannot write file " + FileName + ": " + std::strerror(Error));
    }
}

TTrackSetJob::TTrackSetJob(TTrackSetRequest Request) : FRequest(std::move(Request)) {}

std::string TTrackSetJob::TrackName(int Row) const
{
    return ::TrackName(Row, FRequest.Base, FRequest.Modes[static_cast<std::size_t>(Row - 1)]);
}

std::uint64_t TTrackSetJob::BytesNeeded() const
{
    const std::uint64_t Samples = FRequest.Seconds <= 0 || FRequest.SampleRate <= 0
        ? 0
        : 2ULL * static_cast<std::uint64_t>(FRequest.Seconds) * static_cast<std::uint64_t>(FRequest.SampleRate);
    std::string List;
    for (int R = 1; R <= static_cast<int>(FRequest.Modes.size()); ++R)
        List += TrackName(R) + "\r\n";
    std::uint64_t Cue = 0;
    try {
        for (const auto& Sheet : CueSheets(FRequest.ListFile, List, FRequest.Modes, FRequest.Seconds))
            Cue += Sheet.second.size();
    } catch (const std::invalid_argument&) {
        // No sheet can name these tracks; the run reports it after the list.
    }
    return static_cast<std::uint64_t>(FRequest.Modes.size()) * (HeaderSize + 2 * Samples) + List.size() + Cue;
}

std::uint64_t TTrackSetJob::FolderFreeSpace(const std::string& Folder)
{
    struct statvfs S {};
    const std::string Path = Folder.empty() ? std::string(".") : Folder;
    if (statvfs(Path.c_str(), &S) != 0)
        throw EStreamError("Cannot read the free space of " + Path + ": " + std::strerror(errno));
    return static_cast<std::uint64_t>(S.f_bavail) * static_cast<std::uint64_t>(S.f_frsize);
}

TTrackSetResult TTrackSetJob::Run(const TProgress& Progress, const std::atomic<bool>& Cancel,
                                  const TFreeSpace& FreeSpace) const
{
    TTrackSetResult Result;
    const int Tracks = static_cast<int>(FRequest.Modes.size());
    if (Tracks == 0) {
        Result.Status = TTrackSetResult::Refused;
        Result.Message = "No hay ningún modo en la lista: no se ha escrito ninguna pista.";
        return Result;
    }
    if (const auto Refusal = DurationRefusal(FRequest.Seconds, FRequest.SampleRate)) {
        Result.Status = TTrackSetResult::Refused;
        Result.Message = *Refusal;
        return Result;
    }
    try {
        const std::uint64_t Needed = BytesNeeded();
        const std::uint64_t Free = FreeSpace ? FreeSpace(FRequest.Folder) : FolderFreeSpace(FRequest.Folder);
        if (Free < Needed) {
            const auto MB = [](std::uint64_t B) { return std::to_string((B + 999999) / 1000000); };
            Result.Status = TTrackSetResult::Refused;
            Result.Message = "No hay espacio suficiente en la carpeta " + (FRequest.Folder.empty() ? "actual" : FRequest.Folder)
                             + ": las " + std::to_string(Tracks) + " pistas necesitan " + MB(Needed)
                             + " MB y quedan libres " + MB(Free / 1000000 * 1000000) + " MB. No se ha escrito nada.";
            return Result;
        }
    } catch (const std::exception& E) {
        Result.Status = TTrackSetResult::Failed;
        Result.Message = E.what();
        return Result;
    }

    // One store is synthesised while the other is written: the disk and the
    // synthesis overlap.
    TMemoryStream Stores[2];
    std::thread Writer;
    std::exception_ptr WriteError;
    std::string Writing;
    const auto JoinWriter = [&] {
        if (Writer.joinable())
            Writer.join();
        if (!WriteError && !Writing.empty())
            Result.Written.push_back(Writing);
        Writing.clear();
    };

    TRunContext Context;
    Context.Progress = &Progress;
    Context.Cancel = &Cancel;
    Context.Report.Tracks = Tracks;
    CurrentRun = &Context;
    TToneGenerator Gens[2] = {TToneGenerator(&Stores[0]), TToneGenerator(&Stores[1])};
    for (TToneGenerator& G : Gens) {
        G.SetLevel(FRequest.Level);
        G.SetOnProgress(&GeneratorProgress);
    }
    const auto Rate = static_cast<std::uint16_t>(FRequest.SampleRate);
    try {
        for (int R = 1; R <= Tracks; ++R) {
            if (Cancel.load(std::memory_order_relaxed))
                throw TCancelled{};
            const TMode& Mode = FRequest.Modes[static_cast<std::size_t>(R - 1)];
            const std::string Name = TrackName(R);
            Result.List += Name + "\r\n";
            TMemoryStream& Store = Stores[R % 2];
            TToneGenerator& Gen = Gens[R % 2];
            Context.Report.Track = R;
            Context.Report.Name = Name;
            Context.Report.Position = 0;
            Context.Report.Total = TToneGenerator::SampleCount(FRequest.SampleRate, static_cast<float>(FRequest.Seconds));
            if (Progress)
                Progress(Context.Report);
            Gen.Clear();
            Gen.Add(std::make_unique<TTone>(tkLinearSweep, Mode.GetFrequency(), Mode.GetFrequency(), 0.0f));
            Gen.Generate(FRequest.SampleRate, static_cast<float>(FRequest.Seconds));
            JoinWriter();
            if (WriteError)
                std::rethrow_exception(WriteError);
            if (Cancel.load(std::memory_order_relaxed))
                throw TCancelled{};
            Writing = FRequest.Folder + Name;
            Writer = std::thread([&Store, &WriteError, File = Writing, Rate] {
                try {
                    const auto Header = WaveHeader(Rate, static_cast<std::uint32_t>(Store.Data().size()));
                    WriteWholeFile(File, Header.data(), Header.size(), Store.Data().data(), Store.Data().size());
                } catch (...) {
                    WriteError = std::current_exception();
                }
            });
        }
        JoinWriter();
        if (WriteError)
            std::rethrow_exception(WriteError);
        const auto* ListBytes = reinterpret_cast<const std::uint8_t*>(Result.List.data());
        WriteWholeFile(FRequest.ListFile, nullptr, 0, ListBytes, Result.List.size());
        // The burning programs' track sheets lie beside the list, written the same way.
        for (const auto& [CueFile, Cue] : CueSheets(FRequest.ListFile, Result.List, FRequest.Modes, FRequest.Seconds))
            WriteWholeFile(CueFile, nullptr, 0, reinterpret_cast<const std::uint8_t*>(Cue.data()), Cue.size());
        Result.CdPlan = PlanCd(Tracks, FRequest.Seconds).Message;
        Result.Status = TTrackSetResult::Done;
    } catch (const TCancelled&) {
        JoinWriter();
        Result.Status = TTrackSetResult::Cancelled;
    } catch (const std::exception& E) {
        JoinWriter();
        Result.Status = TTrackSetResult::Failed;
        Result.Message = E.what();
    }
    CurrentRun = nullptr;
    return Result;
}
