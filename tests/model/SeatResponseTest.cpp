// The seat response against truths of the modal sum that do not depend on
// how it is computed: a plain triple loop in std::complex, reciprocity,
// nodal planes, corners, a lone mode's peak and bandwidth, damping, the
// slope below the first mode, mirror cancellation; the flatness map against
// the point form.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "model/SeatResponse.h"

namespace {

constexpr double Pi = std::numbers::pi;
const TRoomBox Box{4.53, 7.33, 2.8, 345.4};
const TPoint3D Left{1.25f, 2.81f, 0.65f}, Right{3.28f, 2.81f, 0.65f}, Seat{2.265f, 4.57f, 1.1f};

std::complex<double> At(std::span<const TSeatMode> Modes, std::span<const TPoint3D> Sources, const TPoint3D& R,
                        double T60, double F)
{
    std::vector<std::complex<double>> P;
    const double Fs[] = {F};
    SeatPressure(Modes, Box, Sources, R, T60, Fs, P);
    return P[0];
}
double Level(std::span<const TSeatMode> Modes, std::span<const TPoint3D> Sources, const TPoint3D& R, double T60,
             double F)
{
    return LevelDb(At(Modes, Sources, R, T60, F));
}

// The sum written out directly from its definition.
std::complex<double> Direct(const std::vector<TPoint3D>& Sources, const TPoint3D& R, double T60, double F,
                            double MaxF)
{
    const double W = 2 * Pi * F, D = 6.91 / T60;
    std::complex<double> Sum = 0.0;
    for (int X = 0; X < 40; ++X)
        for (int Y = 0; Y < 40; ++Y)
            for (int Z = 0; Z < 40; ++Z) {
                const double FN = Box.SpeedOfSound / 2 *
                                  std::hypot(X / Box.Width, Y / Box.Depth, Z / Box.Height);
                if (FN > MaxF)
                    continue;
                auto Psi = [&](const TPoint3D& P) {
                    return std::cos(X * Pi * P.X / Box.Width) * std::cos(Y * Pi * P.Y / Box.Depth) *
                           std::cos(Z * Pi * P.Z / Box.Height);
                };
                double S = 0;
                for (const TPoint3D& P : Sources)
                    S += Psi(P);
                const double E = (X ? 2 : 1) * (Y ? 2 : 1) * (Z ? 2 : 1);
                const double WN = 2 * Pi * FN;
                Sum += E * S * Psi(R) / std::complex<double>(WN * WN - W * W, 2 * D * W);
            }
    return Sum;
}

TEST(SeatResponse, ModeTableAndBand)
{
    const auto Modes = SeatModes(Box, 450.0);
    ASSERT_FALSE(Modes.empty());
    EXPECT_EQ(Modes[0].NX + Modes[0].NY + Modes[0].NZ, 0);
    EXPECT_NEAR(Modes[1].Frequency, 345.4 / (2 * 7.33), 1e-9); // (0,1,0) is the lowest
    EXPECT_EQ(Modes[1].Epsilon, 2.0);
    for (std::size_t I = 1; I < Modes.size(); ++I)
        EXPECT_LE(Modes[I - 1].Frequency, Modes[I].Frequency);
    EXPECT_LE(Modes.back().Frequency, 450.0);
    const auto F = LogFrequencies(15.0, 300.0, 48);
    EXPECT_DOUBLE_EQ(F.front(), 15.0);
    EXPECT_LE(F.back(), 300.0); // 300/15 = 2^(207.45/48): the last point below 300
    EXPECT_GT(F.back() * std::exp2(1.0 / 48), 300.0);
    EXPECT_NEAR(F[48], 30.0, 1e-9);
    EXPECT_EQ(F.size(), 208u);
    EXPECT_TRUE(SeatModes(TRoomBox{0, 1, 1, 340}, 100).empty());
}

TEST(SeatResponse, MatchesTheDirectSumForEverySourceChoice)
{
    const auto Modes = SeatModes(Box, 450.0);
    const std::vector<std::vector<TPoint3D>> Choices{{Right}, {Left}, {Left, Right}};
    for (const auto& S : Choices)
        for (double F : {15.0, 23.6, 41.0, 87.3, 150.0, 299.0}) {
            const std::complex<double> Want = Direct(S, Seat, 0.5, F, 450.0);
            const std::complex<double> Got = At(Modes, S, Seat, 0.5, F);
            EXPECT_NEAR(std::abs(Got - Want), 0.0, 1e-9 * std::abs(Want)) << F;
        }
}

TEST(SeatResponse, ReciprocityNodalPlaneAndCorner)
{
    const auto Modes = SeatModes(Box, 450.0);
    const TPoint3D A{0.4f, 1.3f, 0.3f}, B{3.9f, 6.2f, 1.7f};
    for (double F : {18.0, 38.1, 64.0, 120.0, 250.0})
        EXPECT_NEAR(Level(Modes, {&A, 1}, B, 0.5, F), Level(Modes, {&B, 1}, A, 0.5, F), 1e-9);

    // On the plane x = W/2 the (1,0,0) mode has a node: removing it changes
    // nothing, anywhere, at any frequency. Off that plane it matters.
    std::vector<TSeatMode> Without;
    for (const TSeatMode& M : Modes)
        if (!(M.NX == 1 && M.NY == 0 && M.NZ == 0))
            Without.push_back(M);
    const TPoint3D OnNode{static_cast<float>(Box.Width / 2), 1.3f, 0.3f};
    const double F100 = 345.4 / (2 * 4.53);
    EXPECT_NEAR(Level(Modes, {&OnNode, 1}, B, 2.0, F100), Level(Without, {&OnNode, 1}, B, 2.0, F100), 1e-6);
    EXPECT_GT(std::fabs(Level(Modes, {&A, 1}, B, 2.0, F100) - Level(Without, {&A, 1}, B, 2.0, F100)), 3.0);

    // From a corner to the opposite one every isolated mode below 100 Hz
    // shows as a peak (long T60: narrow peaks); from the centre the odd ones
    // vanish.
    const TPoint3D Corner{static_cast<float>(Box.Width), static_cast<float>(Box.Depth),
                          static_cast<float>(Box.Height)};
    const TPoint3D Origin{0, 0, 0}, Centre{static_cast<float>(Box.Width / 2), static_cast<float>(Box.Depth / 2),
                                           static_cast<float>(Box.Height / 2)};
    int Peaks = 0, CentrePeaks = 0;
    for (std::size_t I = 1; I < Modes.size() && Modes[I].Frequency < 100; ++I) {
        const double F = Modes[I].Frequency;
        if (F - Modes[I - 1].Frequency < 1.5 || (I + 1 < Modes.size() && Modes[I + 1].Frequency - F < 1.5))
            continue;
        const auto Peak = [&](const TPoint3D& S) {
            return Level(Modes, {&S, 1}, Corner, 10.0, F) > Level(Modes, {&S, 1}, Corner, 10.0, F - 0.7) + 3 &&
                   Level(Modes, {&S, 1}, Corner, 10.0, F) > Level(Modes, {&S, 1}, Corner, 10.0, F + 0.7) + 3;
        };
        EXPECT_TRUE(Peak(Origin)) << F;
        ++Peaks;
        CentrePeaks += Peak(Centre) ? 1 : 0;
    }
    EXPECT_GE(Peaks, 5);
    EXPECT_LT(CentrePeaks, Peaks);
}

TEST(SeatResponse, LoneModePeakBandwidthAndDamping)
{
    const std::vector<TSeatMode> Lone{TSeatMode{0, 1, 0, 23.56, 2.0}};
    const TPoint3D S{1, 0.2f, 1}, R{2, 7.0f, 1};
    // Damping pulls the peak below f_n by about d^2 / w_n: a small part of
    // the bandwidth.
    for (double T60 : {0.5, 1.0, 2.0, 4.0}) {
        // Peak: scan finely around the mode.
        double Best = 0, BestF = 0;
        for (double F = 20; F < 27; F += 0.0005) {
            const double L = Level(Lone, {&S, 1}, R, T60, F);
            if (BestF == 0 || L > Best)
                Best = L, BestF = F;
        }
        EXPECT_NEAR(BestF, 23.56, 0.1 * 2.2 / T60) << T60;
        // The half-power points, by bisection on each side.
        auto Edge = [&](double Inside, double Outside) {
            for (int K = 0; K < 60; ++K) {
                const double M = (Inside + Outside) / 2;
                (Level(Lone, {&S, 1}, R, T60, M) > Best - 10 * std::log10(2.0) ? Inside : Outside) = M;
            }
            return Inside;
        };
        EXPECT_NEAR(Edge(BestF, 40) - Edge(BestF, 5), 2.2 / T60, 0.03 * 2.2 / T60) << T60;
    }
    // In the whole room: the isolated (0,1,0) peak rises ~6 dB per doubling.
    const auto Modes = SeatModes(Box, 450.0);
    for (double T60 : {0.5, 1.0, 2.0})
        EXPECT_NEAR(Level(Modes, {&S, 1}, R, 2 * T60, 23.56) - Level(Modes, {&S, 1}, R, T60, 23.56),
                    20 * std::log10(2.0), 0.6)
            << T60;
}

TEST(SeatResponse, BelowTheFirstModeFollowsTheZeroTerm)
{
    const auto Modes = SeatModes(Box, 450.0);
    const std::vector<TSeatMode> Zero{Modes[0]};
    for (double F : {1.5, 3.0, 5.0}) {
        const double Slope = Level(Modes, {&Right, 1}, Seat, 0.5, 2 * F) - Level(Modes, {&Right, 1}, Seat, 0.5, F);
        const double ZeroSlope = Level(Zero, {&Right, 1}, Seat, 0.5, 2 * F) - Level(Zero, {&Right, 1}, Seat, 0.5, F);
        EXPECT_NEAR(Slope, ZeroSlope, 0.5) << F;
    }
    // Undamped, the (0,0,0) term alone falls 12 dB per octave.
    EXPECT_NEAR(Level(Zero, {&Right, 1}, Seat, 1e6, 2.0) - Level(Zero, {&Right, 1}, Seat, 1e6, 1.0),
                -40 * std::log10(2.0), 1e-6);
}

TEST(SeatResponse, MirroredPairCancelsOddWidthModes)
{
    const auto Modes = SeatModes(Box, 450.0);
    std::vector<TSeatMode> Even;
    for (const TSeatMode& M : Modes)
        if (M.NX % 2 == 0)
            Even.push_back(M);
    const TPoint3D L{1.1f, 2.0f, 0.7f}, R{static_cast<float>(Box.Width) - 1.1f, 2.0f, 0.7f};
    const std::vector<TPoint3D> Pair{L, R};
    const TPoint3D CentreSeat{static_cast<float>(Box.Width / 2), 4.6f, 1.1f};
    for (double F : {38.1, 55.0, 76.2, 140.0})
        for (const TPoint3D& At : {CentreSeat, Seat, TPoint3D{0.8f, 5.0f, 1.2f}}) {
            const double Full = Level(Modes, Pair, At, 0.5, F);
            EXPECT_NEAR(Full, Level(Even, Pair, At, 0.5, F), 1e-3); // the float mirror's rounding
        }
    // One loudspeaker alone does excite them off the centre plane.
    const TPoint3D Off{0.8f, 5.0f, 1.2f};
    EXPECT_GT(std::fabs(Level(Modes, {&L, 1}, Off, 0.5, 38.1) - Level(Even, {&L, 1}, Off, 0.5, 38.1)), 1.0);
}

TEST(SeatResponse, CurveIsCentredOnItsMean)
{
    TSeatResponse R;
    const std::vector<TPoint3D> Both{Left, Right};
    const TSeatCurve& C = R.Compute(Box, Both, Seat, 0.5);
    ASSERT_EQ(C.Levels.size(), 208u);
    double Sum = 0;
    for (double L : C.Levels)
        Sum += L;
    EXPECT_NEAR(Sum / 208, 0.0, 1e-9);
    EXPECT_NEAR(C.Levels[50] + C.MeanLevel, Level(R.Modes(), Both, Seat, 0.5, C.Frequencies[50]), 1e-9);
}

TEST(SeatResponse, FlatnessMapMatchesThePointForm)
{
    const std::vector<TPoint3D> Both{Left, Right};
    const TFlatnessMap Map = FlatnessMap(Box, Both, 1.1f, 0.5);
    ASSERT_GT(Map.Columns, 24);
    ASSERT_GT(Map.Rows, 24);
    const double Top = SchroederFrequency(Box, 0.5);
    EXPECT_NEAR(Map.TopFrequency, Top, 1e-9);
    const auto Modes = SeatModes(Box, 1.5 * Top);
    const auto F = LogFrequencies(20.0, Top, 12);
    std::vector<std::complex<double>> P;
    for (int C : {0, 7, Map.Columns - 1})
        for (int R : {0, 11, Map.Rows - 1}) {
            const TPoint3D At{static_cast<float>((C + 0.5) * Box.Width / Map.Columns),
                              static_cast<float>((R + 0.5) * Box.Depth / Map.Rows), 1.1f};
            SeatPressure(Modes, Box, Both, At, 0.5, F, P);
            EXPECT_NEAR(Map.StdDb[static_cast<std::size_t>(R * Map.Columns + C)], FlatnessOf(P), 1e-3);
        }
    // The best sample is the flattest and lies inside the room at ear height.
    for (float V : Map.StdDb)
        EXPECT_GE(V, Map.BestStdDb);
    EXPECT_EQ(Map.BestStdDb, Map.MinStdDb);
    EXPECT_GT(Map.Best.X, 0);
    EXPECT_LT(Map.Best.X, Box.Width);
    EXPECT_EQ(Map.Best.Z, 1.1f);
    // A mirrored pair gives a map symmetric across the centre plane.
    const int Mid = Map.Rows / 2;
    EXPECT_NEAR(Map.StdDb[static_cast<std::size_t>(Mid * Map.Columns)],
                Map.StdDb[static_cast<std::size_t>(Mid * Map.Columns + Map.Columns - 1)], 0.05);
    EXPECT_EQ(Map.Frequencies, static_cast<int>(F.size()));
    // A hall whose Schroeder frequency lies below 20 Hz has no band to judge.
    const TFlatnessMap Hall = FlatnessMap(TRoomBox{30, 30, 30, 345.4}, Both, 1.1f, 0.5);
    EXPECT_EQ(Hall.Frequencies, 0);
    EXPECT_EQ(Hall.MaxStdDb, 0.0f);
    // The raster reads the samples at their own centres.
    std::vector<float> Raster;
    RenderFlatness(Map, Map.Columns, Map.Rows, Raster);
    for (std::size_t I = 0; I < Raster.size(); I += 97)
        EXPECT_NEAR(Raster[I], Map.StdDb[I], 1e-4);
}

} // namespace
