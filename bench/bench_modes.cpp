// links: model
#include <benchmark/benchmark.h>

#include "model/Modes.h"

namespace {

void Compute(benchmark::State& State, float W, float D, float H, float T = 24.0f)
{
    TRoom Room;
    Room.SetTemperature(T);
    Room.SetWidth(W);
    Room.SetDepth(D);
    Room.SetHeight(H);
    TModeManager Modes;
    const TModeKinds All{mkAxial, mkTangential, mkOblique};
    for (auto _ : State) {
        Modes.Compute(Room, All);
        benchmark::DoNotOptimize(Modes.Count());
    }
    State.counters["modes"] = Modes.Count();
}

void BM_ComputeDefaultRoom(benchmark::State& State) { Compute(State, 4.53f, 7.33f, 2.8f); }
void BM_ComputeHall12x20x6(benchmark::State& State) { Compute(State, 12.0f, 20.0f, 6.0f); }
// The largest room the model takes, and the same room so cold that its list
// would pass the mode cap (given up part-way).
void BM_ComputeCube30(benchmark::State& State) { Compute(State, 30.0f, 30.0f, 30.0f); }
void BM_ComputeCube30Frozen(benchmark::State& State) { Compute(State, 30.0f, 30.0f, 30.0f, -273.0f); }

BENCHMARK(BM_ComputeDefaultRoom)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComputeHall12x20x6)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComputeCube30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComputeCube30Frozen)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
