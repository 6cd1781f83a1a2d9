// links: footprint
// The track set of the default room with every kind listed (338 modes), 8 s
// per track at -6 dB, written by the window's own job into a temporary
// folder; and, for comparison, a raw write of the same number of bytes.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "footprint/TonesRules.h"
#include "footprint/TrackSet.h"
#include "model/Modes.h"
#include "model/Room.h"

namespace {

std::string TempFolder()
{
    const auto Dir = std::filesystem::temp_directory_path() / "velmor_bench_trackset";
    std::filesystem::remove_all(Dir);
    std::filesystem::create_directories(Dir);
    return Dir.string() + "/";
}

TTrackSetRequest DefaultRoomRequest(const std::string& Folder)
{
    TRoom Room;
    TModeManager Modes;
    Modes.Compute(Room, {mkAxial, mkTangential, mkOblique});
    const TTrackSetNames Names = TrackSetNames(Folder + "Modo.wav");
    TTrackSetRequest R;
    R.Modes = ModeList(Modes);
    R.Seconds = 8;
    R.Level = -6.0f;
    R.Folder = Names.Folder;
    R.Base = Names.Base;
    R.ListFile = Names.ListFile;
    return R;
}

void BM_TrackSetDefaultRoomAllKinds(benchmark::State& State)
{
    const std::string Folder = TempFolder();
    const TTrackSetJob Job(DefaultRoomRequest(Folder));
    const std::atomic<bool> Cancel{false};
    std::size_t Tracks = 0;
    for (auto _ : State) {
        const TTrackSetResult R = Job.Run(nullptr, Cancel);
        if (R.Status != TTrackSetResult::Done)
            State.SkipWithError(R.Message.c_str());
        Tracks = R.Written.size();
    }
    State.counters["tracks"] = static_cast<double>(Tracks);
    State.counters["MB"] = static_cast<double>(Job.BytesNeeded()) / 1e6;
    std::filesystem::remove_all(Folder);
}
BENCHMARK(BM_TrackSetDefaultRoomAllKinds)->Name("TrackSetDefaultRoomAllKinds")->Unit(benchmark::kMillisecond)->UseRealTime();

// The same bytes, already in memory, written as the same files.
void BM_TrackSetRawWrite(benchmark::State& State)
{
    const std::string Folder = TempFolder();
    const TTrackSetJob Job(DefaultRoomRequest(Folder));
    const std::vector<std::uint8_t> Data(1411244, 1);
    const int Tracks = 338;
    for (auto _ : State)
        for (int T = 1; T <= Tracks; ++T)
            WriteWholeFile(Folder + Job.TrackName(T), nullptr, 0, Data.data(), Data.size());
    std::filesystem::remove_all(Folder);
}
BENCHMARK(BM_TrackSetRawWrite)->Name("TrackSetRawWrite")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
