// links: model
// The seat window's costs: the 1/48-octave response curve at the listener,
// and the best-seat map of a plan (grid of samples plus the raster), in the
// default room and in a 12 x 20 x 6 m hall.
#include <benchmark/benchmark.h>

#include <vector>

#include "model/SeatResponse.h"

namespace {

// 331 + 0.6 * 24 degC.
constexpr double Speed = 345.4;
const TRoomBox Default{4.53, 7.33, 2.8, Speed};
const TRoomBox Hall{12.0, 20.0, 6.0, Speed};

std::vector<TPoint3D> Pair(const TRoomBox& B)
{
    const float Y = static_cast<float>(B.Depth * 0.384);
    return {TPoint3D{static_cast<float>(B.Width * 0.276), Y, 0.65f},
            TPoint3D{static_cast<float>(B.Width * 0.724), Y, 0.65f}};
}

TPoint3D Seat(const TRoomBox& B)
{
    return TPoint3D{static_cast<float>(B.Width / 2), static_cast<float>(B.Depth * 0.624), 1.1f};
}

void Curve(benchmark::State& State, const TRoomBox& Box)
{
    TSeatResponse R;
    const std::vector<TPoint3D> S = Pair(Box);
    R.Compute(Box, S, Seat(Box), 0.5); // the mode table is built once per room
    for (auto _ : State)
        benchmark::DoNotOptimize(R.Compute(Box, S, Seat(Box), 0.5).Levels.data());
    State.counters["modes"] = static_cast<double>(R.Modes().size());
}

void Map(benchmark::State& State, const TRoomBox& Box)
{
    const std::vector<TPoint3D> S = Pair(Box);
    const int Side = static_cast<int>(State.range(0));
    std::vector<float> Raster;
    int Samples = 0;
    for (auto _ : State) {
        const TFlatnessMap M = FlatnessMap(Box, S, 1.1f, 0.5);
        RenderFlatness(M, Side, Side, Raster);
        Samples = M.Columns * M.Rows;
        benchmark::DoNotOptimize(Raster.data());
    }
    State.counters["samples"] = Samples;
}

void SeatResponseCurve(benchmark::State& S) { Curve(S, Default); }
void SeatResponseCurveHall(benchmark::State& S) { Curve(S, Hall); }
void BestSeatMap(benchmark::State& S) { Map(S, Default); }
void BestSeatMapHall(benchmark::State& S) { Map(S, Hall); }

} // namespace

BENCHMARK(SeatResponseCurve)->Unit(benchmark::kMicrosecond);
BENCHMARK(SeatResponseCurveHall)->Unit(benchmark::kMicrosecond);
BENCHMARK(BestSeatMap)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BestSeatMapHall)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
