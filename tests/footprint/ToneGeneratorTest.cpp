// Tone synthesis: the fast mixer against the per-sample formula, the known
// figures of a steady tone, the sample count and the progress reports.

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <thread>

#include "audio/AudioTestSupport.h"
#include "footprint/ToneGenerator.h"
#include "model/Modes.h"
#include "model/Room.h"

namespace {

// The definition, sample by sample: every tone's GetSample at its own
// instant, summed as float, scaled, rounded halves to even.
std::vector<std::int16_t> ByFormula(const std::vector<TTone>& Tones, float Level, int Rate, float Duration)
{
    const int N = TToneGenerator::SampleCount(Rate, Duration);
    const long double Gain = std::pow(10.0L, static_cast<long double>(Level) / 20.0L);
    std::vector<std::int16_t> V(static_cast<std::size_t>(std::max(N, 0)));
    for (int I = 0; I < N; ++I) {
        const long double T = static_cast<long double>(I) * Duration / N;
        float S = 0;
        for (const TTone& Tone : Tones)
            S = S + Tone.GetSample(T, Duration);
        V[static_cast<std::size_t>(I)] = static_cast<std::int16_t>(
            static_cast<std::uint16_t>(std::llrint(32767.0L * S * Gain / static_cast<long double>(Tones.size())) & 0xFFFF));
    }
    return V;
}

std::vector<std::int16_t> Generated(const std::vector<TTone>& Tones, float Level, int Rate, float Duration)
{
    TMemoryStream Store;
    TToneGenerator Gen(&Store);
    for (const TTone& T : Tones)
        Gen.Add(std::make_unique<TTone>(T));
    Gen.SetLevel(Level);
    Gen.Generate(Rate, Duration);
    return AsSamples(Store.Data());
}

// A mode as the modes window synthesises it: a steady sine of amplitude 1.
TTone Mode(float F)
{
    return TTone(tkLinearSweep, F, F, 0.0f);
}

std::vector<TTone> DefaultRoomModes()
{
    TModeManager Modes;
    Modes.Compute(TRoom(), {mkAxial, mkTangential, mkOblique});
    std::vector<TTone> Tones;
    for (int I = 0; I < Modes.Count(); ++I)
        Tones.push_back(Mode(Modes.GetMode(I)->GetFrequency()));
    return Tones;
}

struct TMixCase {
    const char* Name;
    std::vector<TTone> Tones;
    float Level;
    int Rate;
    float Duration;
};
void PrintTo(const TMixCase& C, std::ostream* Os) { *Os << C.Name; }

class FastMixTest : public ::testing::TestWithParam<TMixCase> {};

TEST_P(FastMixTest, WritesTheFormulasBytesOverWholeTones)
{
    const TMixCase& C = GetParam();
    ASSERT_FALSE(C.Tones.empty());
    const auto Fast = Generated(C.Tones, C.Level, C.Rate, C.Duration);
    const auto Slow = ByFormula(C.Tones, C.Level, C.Rate, C.Duration);
    ASSERT_EQ(Fast.size(), Slow.size());
    const auto Diff = std::mismatch(Fast.begin(), Fast.end(), Slow.begin());
    EXPECT_TRUE(Diff.first == Fast.end()) << "sample " << Diff.first - Fast.begin() << " is " << *Diff.first
                                          << ", the formula gives " << *Diff.second;
}

INSTANTIATE_TEST_SUITE_P(
    Tones, FastMixTest,
    ::testing::Values(
        TMixCase{"Mode50Hz8s", {Mode(50.0f)}, 0.0f, 44100, 8.0f},
        TMixCase{"Mode50Hz8sAttenuated", {Mode(50.0f)}, -6.0f, 44100, 8.0f},
        TMixCase{"TwoModes", {Mode(23.4f), Mode(135.59f)}, -3.0f, 44100, 8.0f},
        TMixCase{"OddFrequenciesAndDuration", {Mode(19.97f), Mode(211.123f), Mode(299.9f)}, -12.0f, 48000, 2.37f},
        TMixCase{"LongTone", {Mode(287.3f)}, 0.0f, 44100, 60.0f},
        TMixCase{"AllModesOfTheDefaultRoom", DefaultRoomModes(), -6.0f, 44100, 0.25f},
        TMixCase{"SineWithLevel", {TTone(tkSine, 97.5f, 0.0f, -2.5f), TTone(tkSine, 440.0f, 0.0f, 0.0f)}, 0.0f, 8000, 5.0f},
        // Sweeps go through the formula itself, mixed with fast sines.
        TMixCase{"SweepsBesideSines",
                 {Mode(60.0f), TTone(tkLinearSweep, 20.0f, 200.0f, 0.0f), TTone(tkExpSweep, 20.0f, 300.0f, 0.0f),
                  TTone(tkCubicChirp, 40.0f, 0.0f, 0.0f), TTone(static_cast<TToneKind>(9), 1.0f, 1.0f, 0.0f)},
                 -1.0f, 44100, 1.5f}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(ToneGeneratorTest, SteadyFiftyHertzToneHasItsKnownFigures)
{
    const auto Full = Generated({Mode(50.0f)}, 0.0f, 44100, 8.0f);
    ASSERT_EQ(Full.size(), 705600u);
    EXPECT_EQ(*std::max_element(Full.begin(), Full.end()), 32767);
    EXPECT_EQ(*std::min_element(Full.begin(), Full.end()), -32767);
    // 88 200 instants per second: the sine crosses zero every 882 samples,
    // peaks a quarter period later, and the right sample of a frame is half
    // a sample period after the left one, not a copy of it.
    for (std::size_t I = 0; I < Full.size(); I += 882)
        ASSERT_EQ(Full[I], 0) << I;
    EXPECT_EQ(Full[441], 32767);
    EXPECT_EQ(Full[441 + 882], -32767);
    EXPECT_NE(Full[2], Full[3]);
    EXPECT_EQ(Full[3], std::lrint(32767.0 * std::sin(2.0 * M_PI * 50.0 * 3.0 / 88200.0)));

    const auto Attenuated = Generated({Mode(50.0f)}, -6.0f, 44100, 8.0f);
    EXPECT_EQ(*std::max_element(Attenuated.begin(), Attenuated.end()), 16422);
    EXPECT_EQ(*std::min_element(Attenuated.begin(), Attenuated.end()), -16422);

    // The mix is the mean of the tones: a tone added twice leaves the
    // samples as they were.
    EXPECT_TRUE(Generated({Mode(50.0f), Mode(50.0f)}, 0.0f, 44100, 1.0f) == Generated({Mode(50.0f)}, 0.0f, 44100, 1.0f));
}

TEST(ToneGeneratorTest, SampleCountRoundsHalvesToEvenAndRefusesOverflow)
{
    EXPECT_EQ(TToneGenerator::SampleCount(44100, 8.0f), 705600);
    EXPECT_EQ(TToneGenerator::SampleCount(1, 2.5f), 4);
    EXPECT_EQ(TToneGenerator::SampleCount(1, 3.5f), 8);
    EXPECT_EQ(TToneGenerator::SampleCount(44100, 0.0f), 0);
    EXPECT_EQ(TToneGenerator::SampleCount(44100, -3.0f), 0);
    EXPECT_EQ(TToneGenerator::SampleCount(44100, 24347.0f), 2147405400);
    EXPECT_THROW(TToneGenerator::SampleCount(44100, 24348.0f), std::length_error);
    EXPECT_THROW(TToneGenerator::SampleCount(44100, INFINITY), std::length_error);
    EXPECT_THROW(TToneGenerator::SampleCount(44100, NAN), std::length_error);
}

TEST(ToneGeneratorTest, NothingToWriteEmptiesTheStoreAndOverflowLeavesIt)
{
    TMemoryStream Store;
    TToneGenerator Gen(&Store);
    Gen.Add(std::make_unique<TTone>(Mode(50.0f)));
    Gen.Generate(44100, 1.0f);
    ASSERT_EQ(Store.Size(), 176400);
    EXPECT_THROW(Gen.Generate(44100, 1.0e6f), std::length_error);
    EXPECT_EQ(Store.Size(), 176400);
    Gen.Generate(44100, 0.0f);
    EXPECT_EQ(Store.Size(), 0);
    Gen.Generate(1, 0.4f);
    EXPECT_EQ(Store.Size(), 0);
    // With no tones at all the duration is silence.
    Gen.Clear();
    Gen.Generate(8000, 1.0f);
    EXPECT_EQ(Store.Data(), TBytes(32000, 0));
}

std::vector<std::pair<int, int>> Reports;
std::thread::id ReportThread;
void Record(int Position, int Total)
{
    Reports.emplace_back(Position, Total);
    ReportThread = std::this_thread::get_id();
}

TEST(ToneGeneratorTest, ProgressEveryThousandSamplesInOrderOnTheCallersThread)
{
    TMemoryStream Store;
    TToneGenerator Gen(&Store);
    Gen.Add(std::make_unique<TTone>(Mode(100.0f)));
    Gen.SetOnProgress(&Record);
    Reports.clear();
    Gen.Generate(44100, 1.0f);
    ASSERT_EQ(Reports.size(), 89u);
    for (std::size_t K = 0; K < Reports.size(); ++K)
        EXPECT_EQ(Reports[K], std::pair(static_cast<int>(K) * 1000, 88200)) << K;
    EXPECT_EQ(ReportThread, std::this_thread::get_id());
    Gen.SetOnProgress(nullptr);
    Reports.clear();
    Gen.Generate(44100, 1.0f);
    EXPECT_TRUE(Reports.empty());
}

TEST(ToneTest, KindsFollowTheirFormulas)
{
    EXPECT_FLOAT_EQ(TTone(tkSine, 250.0f, 0.0f, 0.0f).GetSample(0.001L, 1.0L), 1.0f);
    EXPECT_NEAR(TTone(tkSine, 250.0f, 0.0f, 10.0f).GetSample(0.001L, 1.0L), 10.0f, 1e-5);
    // A linear sweep from 100 to 200 Hz over 1 s has turned 150 cycles by its end.
    EXPECT_NEAR(TTone(tkLinearSweep, 100.0f, 200.0f, 0.0f).GetSample(1.0L, 1.0L), 0.0f, 1e-9);
    EXPECT_NEAR(TTone(tkLinearSweep, 100.0f, 200.0f, 0.0f).GetSample(0.5L, 1.0L),
                std::sin(M_PI * 100.0 * 0.25 + 2 * M_PI * 100.0 * 0.5), 1e-6);
    EXPECT_NEAR(TTone(tkExpSweep, 10.0f, 20.0f, 0.0f).GetSample(0.0L, 2.0L), std::cos(2 * M_PI * 2.0 / std::log(10.0)),
                1e-6);
    EXPECT_NEAR(TTone(tkCubicChirp, 5.0f, 0.0f, 0.0f).GetSample(0.3L, 1.0L),
                std::sin(2 * 0.027 + 2 * M_PI * 5.0 * 0.3), 1e-6);
    // Outside its domain the exponential sweep is silent rather than NaN.
    EXPECT_EQ(TTone(tkExpSweep, 20.0f, 10.0f, 0.0f).GetSample(0.1L, 1.0L), 0.0f);
    EXPECT_EQ(TTone(tkExpSweep, 20.0f, 21.0f, 0.0f).GetSample(0.1L, 1.0L), 0.0f);
    EXPECT_EQ(TTone(static_cast<TToneKind>(4), 20.0f, 21.0f, 0.0f).GetSample(0.1L, 1.0L), 0.0f);
}

}  // namespace
