#pragma once
// Test-tone synthesis: tones (sines and sweeps) mixed into 16-bit PCM samples
// in a byte stream. Standard C++ only.
//
// The samples are defined by a per-sample formula evaluated in long double
// (see TTone::GetSample and TToneGenerator::Generate). Generate computes the
// same bytes much faster: steady sines are synthesised in double precision
// with a bound on their error, and any sample whose rounding that error could
// change is computed again by the formula itself.

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/Stream.h"

enum TToneKind : std::uint8_t { tkSine = 0, tkLinearSweep = 1, tkExpSweep = 2, tkCubicChirp = 3 };

class TTone {
public:
    // StartFreq and EndFreq in Hz, Level in dB (amplitude 10^(Level/10) for
    // the sine and the linear sweep).
    TTone(TToneKind Kind, float StartFreq, float EndFreq, float Level)
        : FStartFreq(StartFreq), FEndFreq(EndFreq), FLevel(Level), FKind(Kind)
    {
    }

    // The tone's value at t seconds of a tone lasting T seconds:
    //   tkSine         A sin(2 pi f0 t)
    //   tkLinearSweep  A sin(pi (f1 - f0) / T t^2 + 2 pi f0 t)
    //   tkExpSweep     cos(2 pi T / ln(f1 - f0) (f1 - f0)^(t / T) + 2 pi f0 t),
    //                  silence unless f1 - f0 > 0 and f1 - f0 != 1
    //   tkCubicChirp   sin(2 t^3 + 2 pi f0 t)
    //   any other kind silence.
    // Evaluated in long double, rounded once to float.
    float GetSample(long double t, long double T) const;

    TToneKind Kind() const { return FKind; }
    float StartFreq() const { return FStartFreq; }
    float EndFreq() const { return FEndFreq; }
    float Level() const { return FLevel; }

private:
    float FStartFreq;
    float FEndFreq;
    float FLevel;
    TToneKind FKind;
};

// Progress report: index of the sample being written, total samples.
using TToneProgressProc = void (*)(int Position, int Total);

class TToneGenerator {
public:
    // Stream receives the samples; it is not owned and must outlive the
    // generator's Generate calls.
    explicit TToneGenerator(TStream* Stream) : FStream(Stream) {}
    ~TToneGenerator() { Clear(); }
    TToneGenerator(const TToneGenerator&) = delete;
    TToneGenerator& operator=(const TToneGenerator&) = delete;

    void Clear() { FTones.clear(); }
    int Count() const { return static_cast<int>(FTones.size()); }
    // The generator owns the tone from now on.
    void Add(std::unique_ptr<TTone> Tone) { FTones.push_back(std::move(Tone)); }
    const TTone& Tone(int Index) const { return *FTones[static_cast<std::size_t>(Index)]; }
    // Sets or (with none) clears the progress callback.
    void SetOnProgress(TToneProgressProc Proc) { FOnProgress = Proc; }
    // Overall level in dB: the mix is scaled by 10^(Level/20). -6 at start.
    float Level() const { return FLevel; }
    void SetLevel(float Level) { FLevel = Level; }

    // Replaces the stream's contents with N = 2 round(SampleRate x Duration)
    // signed 16-bit little-endian samples (rounding halves to even): sample i
    // is round(32767 s 10^(Level/20) / Count) at t = i Duration / N, where s
    // is the float sum of the tones' GetSample(t, Duration) in list order.
    // Progress is reported for every i that is a multiple of 1000, in order,
    // on the calling thread. N <= 0 leaves the stream empty; with no tones
    // the samples are silence. A duration whose sample count does not fit a
    // signed 32-bit integer is refused with std::length_error before the
    // stream is touched. Stream errors propagate (EStreamError).
    void Generate(int SampleRate, float Duration);

    // N of Generate; throws std::length_error when it does not fit.
    static int SampleCount(int SampleRate, float Duration);

private:
    std::vector<std::unique_ptr<TTone>> FTones;
    TStream* FStream;
    float FLevel = -6.0f;
    TToneProgressProc FOnProgress = nullptr;
};
