#include "footprint/ToneGenerator.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

constexpr long double Pi = 3.141592653589793238462643383279502884L;
constexpr double TwoPi = 6.283185307179586476925286766559;

// Samples per unit of parallel work.
constexpr int ChunkSamples = 16384;
// Samples between two exact phase anchors of a fast tone, and the number of
// interleaved rotation lanes inside that run.
constexpr int AnchorSamples = 512;
constexpr int Lanes = 8;
// Beyond this many cycles over the whole tone the double-precision phase is
// not trusted and the formula is used throughout.
constexpr long double MaxFastCycles = 1.0e7L;

long double ToneTime(int I, float Duration, int N)
{
    return static_cast<long double>(I) * Duration / N;
}

// A steady sine A sin(2 pi q i) (q cycles per sample), written as rotations
// re-anchored every AnchorSamples samples, with E bounding the distance of
// each double value from the long double formula's unrounded result.
struct TFastSine {
    double A = 0;
    double E = 0;
    long double Q = 0;
    double LaneCos[Lanes] = {};
    double LaneSin[Lanes] = {};
    double StepCos = 1;
    double StepSin = 0;
};

struct TTonePlan {
    const TTone* Tone = nullptr;
    bool Fast = false;
    TFastSine Sine;
};

// cos and sin of 2 pi x for x in cycles, with x reduced in long double.
void CyclesSinCos(long double X, double& C, double& S)
{
    const double R = static_cast<double>(X - std::nearbyint(X));
    C = std::cos(TwoPi * R);
    S = std::sin(TwoPi * R);
}

TTonePlan PlanTone(const TTone& Tone, float Duration, int N)
{
    TTonePlan P;
    P.Tone = &Tone;
    const float F0 = Tone.StartFreq();
    const bool Steady = Tone.Kind() == tkSine || (Tone.Kind() == tkLinearSweep && Tone.EndFreq() == F0);
    if (!Steady || !std::isfinite(F0))
        return P;
    const long double A = std::pow(10.0L, static_cast<long double>(Tone.Level()) / 10.0L);
    const long double Q = static_cast<long double>(F0) * Duration / N;
    const long double Cycles = std::fabs(Q) * N;
    if (!std::isfinite(A) || A > 1.0e30L || !(Cycles <= MaxFastCycles))
        return P;
    TFastSine& S = P.Sine;
    S.A = static_cast<double>(A);
    S.Q = Q;
    // Rounding in the anchor (a few 1e-16), 64 rotation steps (about 3e-14)
    // and the formula's own long double phase (about 2e-19 per radian),
    // each with a wide margin.
    S.E = S.A * (4.0e-13 + 2.0e-18 * static_cast<double>(Cycles) * TwoPi) + 1.0e-300;
    for (int J = 0; J < Lanes; ++J)
        CyclesSinCos(Q * J, S.LaneCos[J], S.LaneSin[J]);
    CyclesSinCos(Q * Lanes, S.StepCos, S.StepSin);
    P.Fast = true;
    return P;
}

// Adds the tone's samples First .. First + Count - 1 to Sum.
void AddFastSine(const TTonePlan& P, int First, int Count, float Duration, int N, float* Sum)
{
    const TFastSine& S = P.Sine;
    for (int Anchor = 0; Anchor < Count; Anchor += AnchorSamples) {
        const int Run = std::min(AnchorSamples, Count - Anchor);
        double C0, S0;
        CyclesSinCos(S.Q * (First + Anchor), C0, S0);
        double LC[Lanes], LS[Lanes];
        for (int J = 0; J < Lanes; ++J) {
            LC[J] = C0 * S.LaneCos[J] - S0 * S.LaneSin[J];
            LS[J] = S0 * S.LaneCos[J] + C0 * S.LaneSin[J];
        }
        float* Out = Sum + Anchor;
        for (int M = 0; M < Run; M += Lanes) {
            const int Width = std::min(Lanes, Run - M);
            float G[Lanes];
            int Unsure = 0;
            // Straight-line over all lanes so that the compiler can keep
            // them in vector registers; lanes past Width are not used.
            for (int J = 0; J < Lanes; ++J) {
                const double Y = S.A * LS[J];
                G[J] = static_cast<float>(Y);
                Unsure |= static_cast<int>(static_cast<float>(Y - S.E) != static_cast<float>(Y + S.E));
            }
            // Where the error could push a value across a float rounding
            // boundary, take the formula's own value.
            if (Unsure != 0) {
                for (int J = 0; J < Width; ++J) {
                    const double Y = S.A * LS[J];
                    if (static_cast<float>(Y - S.E) != static_cast<float>(Y + S.E))
                        G[J] = P.Tone->GetSample(ToneTime(First + Anchor + M + J, Duration, N), Duration);
                }
            }
            for (int J = 0; J < Width; ++J)
                Out[M + J] = Out[M + J] + G[J];
            for (int J = 0; J < Lanes; ++J) {
                const double C = LC[J] * S.StepCos - LS[J] * S.StepSin;
                LS[J] = LS[J] * S.StepCos + LC[J] * S.StepSin;
                LC[J] = C;
            }
        }
    }
}

void AddExactTone(const TTone& Tone, int First, int Count, float Duration, int N, float* Sum)
{
    for (int K = 0; K < Count; ++K)
        Sum[K] = Sum[K] + Tone.GetSample(ToneTime(First + K, Duration, N), Duration);
}

// Mixes samples First .. First + Count - 1 into little-endian bytes.
void MixChunk(const std::vector<TTonePlan>& Plans, long double Gain, int First, int Count, float Duration, int N,
              std::vector<float>& Sum, std::uint8_t* Bytes)
{
    Sum.assign(static_cast<std::size_t>(Count), 0.0f);
    for (const TTonePlan& P : Plans) {
        if (P.Fast)
            AddFastSine(P, First, Count, Duration, N, Sum.data());
        else
            AddExactTone(*P.Tone, First, Count, Duration, N, Sum.data());
    }
    const long double Divisor = Plans.empty() ? 1.0L : static_cast<long double>(Plans.size());
    const double GainD = static_cast<double>(Gain);
    const double DivisorD = static_cast<double>(Divisor);
    // Z is within a few parts in 1e16 of the long double value: only near a
    // half can their roundings differ, and away from halves rounding half
    // away from zero (a plain conversion) gives the same integer. Written
    // without branches so that it runs on vectors; the rare unsure samples
    // are done again below.
    const auto Fast = [&](int K, int& V) {
        const double Z = 32767.0 * static_cast<double>(Sum[static_cast<std::size_t>(K)]) * GainD / DivisorD;
        const double R = Z + std::copysign(0.5, Z);
        const bool InRange = std::fabs(Z) < 1.0e9;
        V = static_cast<int>(InRange ? R : 0.0);
        return !InRange || 0.5 - std::fabs(Z - static_cast<double>(V)) <= 1.0e-12 * (1.0 + std::fabs(Z));
    };
    int Unsure = 0;
    for (int K = 0; K < Count; ++K) {
        int V;
        Unsure |= static_cast<int>(Fast(K, V));
        const auto U = static_cast<std::uint16_t>(static_cast<unsigned>(V) & 0xFFFFu);
        Bytes[2 * K] = static_cast<std::uint8_t>(U & 0xFF);
        Bytes[2 * K + 1] = static_cast<std::uint8_t>(U >> 8);
    }
    if (Unsure == 0)
        return;
    for (int K = 0; K < Count; ++K) {
        int V;
        if (!Fast(K, V))
            continue;
        const float S = Sum[static_cast<std::size_t>(K)];
        const long long Exact = std::llrint(32767.0L * S * Gain / Divisor);
        const auto U = static_cast<std::uint16_t>(static_cast<unsigned long long>(Exact) & 0xFFFFu);
        Bytes[2 * K] = static_cast<std::uint8_t>(U & 0xFF);
        Bytes[2 * K + 1] = static_cast<std::uint8_t>(U >> 8);
    }
}

}  // namespace

float TTone::GetSample(long double t, long double T) const
{
    const long double F0 = FStartFreq;
    const long double F1 = FEndFreq;
    switch (FKind) {
    case tkSine: {
        const long double A = std::pow(10.0L, static_cast<long double>(FLevel) / 10.0L);
        return static_cast<float>(A * std::sin(2 * Pi * F0 * t));
    }
    case tkLinearSweep: {
        const long double A = std::pow(10.0L, static_cast<long double>(FLevel) / 10.0L);
        return static_cast<float>(A * std::sin(Pi * (F1 - F0) / T * t * t + 2 * Pi * F0 * t));
    }
    case tkExpSweep: {
        const long double D = F1 - F0;
        // The logarithm below needs a span above 0 and other than 1.
        if (!(D > 0) || D == 1)
            return 0.0f;
        return static_cast<float>(std::cos(2 * Pi * T / std::log(D) * std::pow(D, t / T) + 2 * Pi * F0 * t));
    }
    case tkCubicChirp:
        return static_cast<float>(std::sin(2 * t * t * t + 2 * Pi * F0 * t));
    default:
        return 0.0f;
    }
}

int TToneGenerator::SampleCount(int SampleRate, float Duration)
{
    const long double Frames = std::nearbyint(static_cast<long double>(SampleRate) * Duration);
    if (std::isnan(Frames) || Frames > std::numeric_limits<std::int32_t>::max() / 2)
        throw std::length_error("The tone is too long: " + std::to_string(Duration) + " s at "
                                + std::to_string(SampleRate)
                                + " samples per second is more than a 32-bit sample count can hold");
    if (Frames <= 0)
        return 0;
    return 2 * static_cast<int>(Frames);
}

void TToneGenerator::Generate(int SampleRate, float Duration)
{
    const int N = SampleCount(SampleRate, Duration);
    FStream->SetSize(0);
    if (N <= 0)
        return;

    std::vector<TTonePlan> Plans;
    Plans.reserve(FTones.size());
    for (const auto& T : FTones)
        Plans.push_back(PlanTone(*T, Duration, N));
    const long double Gain = std::pow(10.0L, static_cast<long double>(FLevel) / 20.0L);

    const int Chunks = (N + ChunkSamples - 1) / ChunkSamples;
    const int Workers = std::max(1, std::min({static_cast<int>(std::thread::hardware_concurrency()), 8, Chunks}));
    // Workers fill slots ahead of the writer, at most Slots chunks ahead.
    const int Slots = 2 * Workers;
    std::vector<std::vector<std::uint8_t>> Out(static_cast<std::size_t>(Slots),
                                               std::vector<std::uint8_t>(2 * ChunkSamples));
    std::vector<char> Ready(static_cast<std::size_t>(Slots), 0);
    std::mutex M;
    std::condition_variable Changed;
    int NextChunk = 0;
    int Written = 0;
    bool Abort = false;

    const auto Work = [&] {
        std::vector<float> Sum;
        for (;;) {
            int C;
            {
                std::unique_lock Lock(M);
                Changed.wait(Lock, [&] { return Abort || NextChunk >= Chunks || NextChunk < Written + Slots; });
                if (Abort || NextChunk >= Chunks)
                    return;
                C = NextChunk++;
            }
            const int First = C * ChunkSamples;
            const int Count = std::min(ChunkSamples, N - First);
            MixChunk(Plans, Gain, First, Count, Duration, N, Sum, Out[static_cast<std::size_t>(C % Slots)].data());
            {
                const std::lock_guard Lock(M);
                Ready[static_cast<std::size_t>(C % Slots)] = 1;
            }
            Changed.notify_all();
        }
    };

    std::vector<std::thread> Threads;
    const auto Finish = [&] {
        {
            const std::lock_guard Lock(M);
            Abort = true;
        }
        Changed.notify_all();
        for (std::thread& T : Threads)
            T.join();
    };
    try {
        for (int W = 0; W < Workers; ++W)
            Threads.emplace_back(Work);
        for (int C = 0; C < Chunks; ++C) {
            const auto Slot = static_cast<std::size_t>(C % Slots);
            {
                std::unique_lock Lock(M);
                Changed.wait(Lock, [&] { return Ready[Slot] != 0; });
            }
            const int First = C * ChunkSamples;
            const int Count = std::min(ChunkSamples, N - First);
            FStream->Write(Out[Slot].data(), 2 * static_cast<std::size_t>(Count));
            if (FOnProgress != nullptr)
                for (int I = (First + 999) / 1000 * 1000; I < First + Count; I += 1000)
                    FOnProgress(I, N);
            {
                const std::lock_guard Lock(M);
                Ready[Slot] = 0;
                Written = C + 1;
            }
            Changed.notify_all();
        }
        FStream->Flush();
    } catch (...) {
        Finish();
        throw;
    }
    Finish();
}
