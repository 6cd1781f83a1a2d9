#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "model/Modes.h"
#include "model/Utilities.h"

namespace {

const TModeKinds AllKinds{mkAxial, mkTangential, mkOblique};

std::vector<std::string> Describe(const TModeManager& M, int N)
{
    std::vector<std::string> Out;
    for (int I = 0; I < N && I < M.Count(); ++I)
        Out.push_back(M.GetMode(I)->ModeToStr() + " " + FormatShort(M.GetMode(I)->GetFrequency()));
    return Out;
}

TEST(Modes, DefaultRoomAllKinds)
{
    TRoom Room;
    TModeManager M;
    M.Compute(Room, AllKinds);
    ASSERT_EQ(M.Count(), 338);
    int PerKind[4] = {0, 0, 0, 0};
    for (int I = 0; I < M.Count(); ++I)
        ++PerKind[M.GetMode(I)->GetKind()];
    EXPECT_EQ(PerKind[mkAxial], 23);
    EXPECT_EQ(PerKind[mkTangential], 131);
    EXPECT_EQ(PerKind[mkOblique], 184);
    EXPECT_EQ(Describe(M, 6), (std::vector<std::string>{"(1,0,0) 23.56", "(0,1,0) 38.12", "(1,1,0) 44.82",
                                                         "(2,0,0) 47.12", "(2,1,0) 60.61", "(0,0,1) 61.68"}));
    EXPECT_EQ(M.GetMode(2)->GetKind(), mkTangential);
    EXPECT_EQ(FormatShort(M.GetMode(M.Count() - 1)->GetFrequency()), "299.58");
    for (int I = 1; I < M.Count(); ++I)
        EXPECT_LE(M.GetMode(I - 1)->GetFrequency(), M.GetMode(I)->GetFrequency());
}

TEST(Modes, DefaultRoomAxialOnly)
{
    TRoom Room;
    TModeManager M;
    M.Compute(Room, {mkAxial});
    EXPECT_EQ(M.Count(), 23);
    EXPECT_EQ(Describe(M, 4),
              (std::vector<std::string>{"(1,0,0) 23.56", "(0,1,0) 38.12", "(2,0,0) 47.12", "(0,0,1) 61.68"}));
}

// An independent enumeration in double precision over generous index ranges,
// for rooms where no mode lies within a hair of a band limit.
std::vector<double> Reference(double W, double D, double H, double C, double Min, double Max, TModeKinds Kinds)
{
    std::vector<double> Out;
    const int N = static_cast<int>(2 * Max * std::max({W, D, H}) / C) + 3;
    for (int X = 0; X <= N; ++X)
        for (int Y = 0; Y <= N; ++Y)
            for (int Z = 0; Z <= N; ++Z) {
                const double F = C / 2 * std::sqrt(X * X / (W * W) + Y * Y / (D * D) + Z * Z / (H * H));
                const auto Kind = static_cast<TModeKind>((X > 0) + (Y > 0) + (Z > 0));
                if (F > Min - 0.1 && F < Max && Kinds.Contains(Kind))
                    Out.push_back(F);
            }
    std::sort(Out.begin(), Out.end());
    return Out;
}

TEST(Modes, MatchAnIndependentEnumeration)
{
    const struct {
        float W, D, H, T;
        TModeKinds Kinds;
    } Rooms[] = {
        {4.53f, 7.33f, 2.8f, 24.0f, AllKinds},
        {12.0f, 20.0f, 6.0f, 20.0f, AllKinds},
        {3.1f, 5.7f, 2.45f, -10.0f, {mkAxial, mkTangential}},
        {6.0f, 9.5f, 3.3f, 35.0f, {mkOblique}},
    };
    for (const auto& R : Rooms) {
        TRoom Room;
        Room.SetWidth(R.W);
        Room.SetDepth(R.D);
        Room.SetHeight(R.H);
        Room.SetTemperature(R.T);
        TModeManager M;
        M.Compute(Room, R.Kinds);
        const auto Ref = Reference(R.W, R.D, R.H, 331 + 0.6 * R.T, 10, 300, R.Kinds);
        ASSERT_EQ(M.Count(), static_cast<int>(Ref.size())) << R.W << " x " << R.D << " x " << R.H;
        for (int I = 0; I < M.Count(); ++I)
            EXPECT_NEAR(M.GetMode(I)->GetFrequency(), Ref[static_cast<std::size_t>(I)], 1e-3);
    }
}

TEST(Modes, AxialModesAreWholeHalfWaves)
{
    TRoom Room;
    Room.SetWidth(5.0f);
    Room.SetDepth(8.0f);
    Room.SetHeight(2.5f);
    const double C = Room.GetSpeedOfSound();
    for (int N = 1; N <= 6; ++N) {
        EXPECT_NEAR(TModeManager::ModeFrequency(Room, N, 0, 0), N * C / (2 * 5.0), 1e-4);
        EXPECT_NEAR(TModeManager::ModeFrequency(Room, 0, N, 0), N * C / (2 * 8.0), 1e-4);
        EXPECT_NEAR(TModeManager::ModeFrequency(Room, 0, 0, N), N * C / (2 * 2.5), 1e-4);
    }
    // Doubling the width halves every mode along it.
    const float Before = TModeManager::ModeFrequency(Room, 4, 0, 0);
    Room.SetWidth(10.0f);
    EXPECT_FLOAT_EQ(TModeManager::ModeFrequency(Room, 8, 0, 0), Before);
    EXPECT_FLOAT_EQ(TModeManager::ModeFrequency(Room, 4, 0, 0), Before / 2);
}

TEST(Modes, TemperatureScalesEveryFrequency)
{
    TRoom Room;
    TModeManager Warm;
    TModeManager Cold;
    Room.SetTemperature(0.0f);
    Cold.Compute(Room, AllKinds);
    Room.SetTemperature(40.0f);
    Warm.Compute(Room, AllKinds);
    const double Ratio = (331.0 + 24.0) / 331.0;
    ASSERT_GT(Cold.Count(), Warm.Count()) << "the band holds more modes when sound is slower";
    for (int I = 0; I < Warm.Count(); ++I) {
        const TMode* W = Warm.GetMode(I);
        EXPECT_NEAR(W->GetFrequency(), TModeManager::ModeFrequency(Room, W->NX(), W->NY(), W->NZ()), 0);
    }
    // The lowest mode is the same mode at both temperatures, scaled by c.
    EXPECT_EQ(Warm.GetMode(0)->ModeToStr(), Cold.GetMode(0)->ModeToStr());
    EXPECT_NEAR(Warm.GetMode(0)->GetFrequency() / Cold.GetMode(0)->GetFrequency(), Ratio, 1e-6);
}

TEST(Modes, BandLimits)
{
    TRoom Room;
    TModeManager M;
    M.SetMinFrequency(0.0f);
    M.Compute(Room, {mkNone, mkAxial});
    ASSERT_GT(M.Count(), 0);
    EXPECT_EQ(M.GetMode(0)->ModeToStr(), "(0,0,0)");
    EXPECT_EQ(M.GetMode(0)->GetFrequency(), 0.0f);
    EXPECT_EQ(M.GetMode(0)->GetKind(), mkNone);
    M.Compute(Room, {mkAxial, mkTangential});
    EXPECT_NE(M.GetMode(0)->ModeToStr(), "(0,0,0)");

    // A mode exactly at the upper limit is dropped; just above the widened
    // lower limit it is kept.
    // The lowest mode of the default room: one half-wave along the length.
    const float F100 = TModeManager::ModeFrequency(Room, 0, 1, 0);
    M.SetMaxFrequency(F100);
    M.SetMinFrequency(0.0f);
    M.Compute(Room, {mkAxial});
    EXPECT_EQ(M.Count(), 0);
    M.SetMaxFrequency(300.0f);
    M.SetMinFrequency(F100 + 0.05f);
    M.Compute(Room, {mkAxial});
    ASSERT_GT(M.Count(), 0);
    EXPECT_EQ(M.GetMode(0)->ModeToStr(), "(1,0,0)");
    M.SetMinFrequency(F100 + 0.15f);
    M.Compute(Room, {mkAxial});
    EXPECT_EQ(M.GetMode(0)->ModeToStr(), "(0,1,0)");

    // A band without modes, and no kinds at all, give empty lists.
    M.SetMinFrequency(1.0f);
    M.SetMaxFrequency(5.0f);
    M.Compute(Room, AllKinds);
    EXPECT_EQ(M.Count(), 0);
    M.SetMaxFrequency(300.0f);
    M.Compute(Room, TModeKinds{});
    EXPECT_EQ(M.Count(), 0);
}

TEST(Modes, ListOperations)
{
    TRoom Room;
    TModeManager M;
    M.Compute(Room, {mkAxial});
    EXPECT_EQ(M.GetMode(-1), nullptr);
    EXPECT_EQ(M.GetMode(23), nullptr);
    EXPECT_FALSE(M.Delete(23));
    EXPECT_FALSE(M.Delete(-1));
    const std::string Second = M.GetMode(1)->ModeToStr();
    EXPECT_TRUE(M.Delete(0));
    EXPECT_EQ(M.Count(), 22);
    EXPECT_EQ(M.GetMode(0)->ModeToStr(), Second);

    const TMode A(1, 0, 0, 20.0f);
    const TMode B(0, 1, 0, 20.0f);
    const TMode C(0, 0, 1, 30.0f);
    EXPECT_EQ(TModeManager::CompareModes(&A, &A), 0);
    EXPECT_EQ(TModeManager::CompareModes(&A, &B), 1);
    EXPECT_EQ(TModeManager::CompareModes(&B, &A), 1);
    EXPECT_EQ(TModeManager::CompareModes(&A, &C), -1);
    EXPECT_EQ(TModeManager::CompareModes(&C, &A), 1);
    EXPECT_EQ(TMode(3, 12, 0, 1.0f).ModeToStr(), "(12,3,0)");

    M.Clear();
    EXPECT_EQ(M.Count(), 0);
}

TEST(Modes, EqualDimensionsGiveDegenerateModes)
{
    TRoom Room;
    Room.SetWidth(3.0f);
    Room.SetDepth(3.0f);
    Room.SetHeight(3.0f);
    TModeManager M;
    M.Compute(Room, AllKinds);
    ASSERT_GE(M.Count(), 3);
    // The three first-order axial modes of a cube share one frequency.
    EXPECT_EQ(M.GetMode(0)->GetFrequency(), M.GetMode(1)->GetFrequency());
    EXPECT_EQ(M.GetMode(1)->GetFrequency(), M.GetMode(2)->GetFrequency());
    EXPECT_EQ(M.GetMode(0)->GetKind(), mkAxial);
}

TEST(Modes, SoundlessOrRunawayRoomsGiveNoModes)
{
    TRoom Room;
    TModeManager M;
    M.SetMinFrequency(0.0f);
    // At -551.67 degC and below the speed of sound is zero or negative.
    for (const float T : {-551.67f, -551.7f, -600.0f, -1e30f}) {
        Room.SetTemperature(T);
        M.Compute(Room, {mkNone, mkAxial, mkTangential, mkOblique});
        EXPECT_EQ(M.Count(), 0) << T;
    }
    // Just above it, sound is so slow that the enumeration would run to
    // billions of combinations: refused instead of hanging.
    Room.SetTemperature(-551.6f);
    ASSERT_GT(Room.GetSpeedOfSound(), 0.0f);
    M.Compute(Room, AllKinds);
    EXPECT_EQ(M.Count(), 0);
    EXPECT_TRUE(M.Refused());
}

// The largest room the model takes (a 30 m cube), from room temperature down
// to where its list passes the mode cap; the reference counts the band
// independently.
TEST(Modes, ListsLongerThanTheCapAreRefused)
{
    const struct {
        float T;
        TModeKinds Kinds;
        bool Refused;
    } Cases[] = {
        {24.0f, AllKinds, false},  {-23.0f, AllKinds, false}, {-24.0f, AllKinds, true},
        {-273.0f, AllKinds, true}, {-360.0f, AllKinds, true},
        // The cap counts what is listed, not what is enumerated.
        {-360.0f, {mkAxial}, false},
    };
    TRoom Room;
    Room.SetWidth(TRoom::MaxDimension);
    Room.SetDepth(TRoom::MaxDimension);
    Room.SetHeight(TRoom::MaxDimension);
    TModeManager M;
    for (const auto& C : Cases) {
        Room.SetTemperature(C.T);
        const double Speed = 331 + 0.6 * static_cast<double>(C.T);
        const auto Ref = Reference(30, 30, 30, Speed, 10, 300, C.Kinds);
        ASSERT_EQ(Ref.size() > TModeManager::MaxModes, C.Refused) << C.T << " gives " << Ref.size();
        M.Compute(Room, C.Kinds);
        EXPECT_EQ(M.Refused(), C.Refused) << C.T;
        EXPECT_EQ(M.Count(), C.Refused ? 0 : static_cast<int>(Ref.size())) << C.T;
    }
    Room.SetTemperature(24.0f);
    M.Compute(Room, AllKinds);
    EXPECT_EQ(M.Count(), 77361);
    EXPECT_FALSE(M.Refused());
}

} // namespace
