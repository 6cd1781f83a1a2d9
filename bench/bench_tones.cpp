// links: footprint
// Tone synthesis speed: one steady tone and the default room's 338 modes,
// 8 s of 16-bit stereo at 44 100 samples per second, into memory.

#include <benchmark/benchmark.h>

#include "footprint/ToneGenerator.h"
#include "model/Modes.h"
#include "model/Room.h"

namespace {

void Synthesise(benchmark::State& State, const std::vector<float>& Frequencies)
{
    TMemoryStream Store;
    TToneGenerator Gen(&Store);
    for (const float F : Frequencies)
        Gen.Add(std::make_unique<TTone>(tkLinearSweep, F, F, 0.0f));
    Gen.SetLevel(-6.0f);
    for (auto _ : State) {
        Gen.Generate(44100, 8.0f);
        benchmark::DoNotOptimize(Store.Data().data());
    }
    State.counters["tones"] = static_cast<double>(Frequencies.size());
    State.counters["samples"] = static_cast<double>(Store.Size() / 2);
}

void BM_SingleTone8s(benchmark::State& State)
{
    Synthesise(State, {50.0f});
}
BENCHMARK(BM_SingleTone8s)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DefaultRoomModes8s(benchmark::State& State)
{
    TRoom Room;
    TModeManager Modes;
    Modes.Compute(Room, {mkAxial, mkTangential, mkOblique});
    std::vector<float> F;
    for (int I = 0; I < Modes.Count(); ++I)
        F.push_back(Modes.GetMode(I)->GetFrequency());
    Synthesise(State, F);
}
BENCHMARK(BM_DefaultRoomModes8s)->Unit(benchmark::kMillisecond)->UseRealTime();

// The per-sample formula, evaluated naively, for comparison.
void BM_SingleTone8sByFormula(benchmark::State& State)
{
    const TTone Tone(tkLinearSweep, 50.0f, 50.0f, 0.0f);
    const int N = TToneGenerator::SampleCount(44100, 8.0f);
    for (auto _ : State) {
        float Acc = 0;
        for (int I = 0; I < N; ++I)
            Acc += Tone.GetSample(static_cast<long double>(I) * 8.0f / N, 8.0f);
        benchmark::DoNotOptimize(Acc);
    }
}
BENCHMARK(BM_SingleTone8sByFormula)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
