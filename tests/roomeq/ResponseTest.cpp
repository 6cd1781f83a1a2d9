// The equaliser's rules as tables: the pruning threshold, bar levels against
// the decibel scale they stand for, and the bar layout against the figures of
// the design size.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "roomeq/Response.h"

namespace {

TEST(Response, TangentialModesArePrunedAboveFivePercent)
{
    struct TRow {
        const char* Name;
        float LastAxial;
        float F;
        bool Pruned;
    };
    const TRow Rows[] = {
        {"no axial mode below yet", -1.0f, 500.0f, false},
        {"exactly 5 % above", 100.0f, 105.0f, false},
        {"exactly 5 % above a lower mode", 40.0f, 42.0f, false},
        {"5.01 % above", 100.0f, 105.01f, true},
        {"far above", 40.0f, 80.0f, true},
        {"at the axial frequency", 62.5f, 62.5f, false},
    };
    for (const TRow& R : Rows)
        EXPECT_EQ(PrunesTangential(R.LastAxial, R.F), R.Pruned) << R.Name;
}

TEST(Response, LevelsFollowTheDecibelScaleAndClampToTheTrack)
{
    struct TRow {
        const char* Name;
        float Ps, Pl;
        TModeKind Kind;
        int Position;
    };
    const TRow Rows[] = {
        {"full coupling, axial: top", 1.0f, 1.0f, mkAxial, -100},
        {"full coupling, tangential: not clamped", 1.0f, 1.0f, mkTangential, -100},
        {"x = 0.1: 0 db line", 1.0f, 0.1f, mkAxial, 0},
        {"x = 0.01: bottom", 0.1f, 0.1f, mkAxial, 100},
        {"below 0.01: still the bottom", 0.001f, 0.5f, mkTangential, 100},
        {"node at the loudspeaker", 0.0f, 0.7f, mkAxial, 100},
        {"within rounding of a node", 1e-30f, 1e-30f, mkAxial, 100},
        {"x = 10^-0.5: half way", 1.0f, 0.31622776f, mkAxial, -50},
    };
    for (const TRow& R : Rows)
        EXPECT_EQ(BarPosition(BarLevel(R.Ps, R.Pl), BarMin(R.Kind)), R.Position) << R.Name;
    EXPECT_EQ(BarPosition(-0.5f, -100), 0) << "halves go to even";
    EXPECT_EQ(BarPosition(-1.5f, -100), -2);
    EXPECT_EQ(BarPosition(-120.0f, -100), -100);
    EXPECT_EQ(BarPosition(-120.0f, -150), -120);
}

TEST(Response, BarsOfTheDesignPanel)
{
    struct TRow {
        int I, N;
        TBarPlace Bar;
    };
    // 425 x 121 is the panel's design size.
    const TRow Rows[] = {
        {0, 20, {5, 5, 13, 101}},    // step 20 capped to 18
        {1, 20, {25, 5, 13, 101}},   // 19.75 -> 20
        {2, 20, {45, 5, 13, 101}},   // 39.5 -> 40 (even)
        {6, 20, {123, 5, 13, 101}},  // 118.5 -> 118 (even)
        {19, 20, {380, 5, 13, 101}}, // 375.25 -> 375
        {0, 1, {5, 5, 13, 101}},
        {9, 41, {92, 5, 7, 101}},    // step 10
        {409, 410, {399, 5, 1, 101}}, // step 1
        {499, 500, {399, 5, 1, 101}}, // step 0: still one pixel wide
    };
    for (const TRow& R : Rows) {
        const TBarPlace P = PlaceBar(R.I, R.N, 425, 121);
        EXPECT_EQ((std::array{P.Left, P.Top, P.Width, P.Height}),
                  (std::array{R.Bar.Left, R.Bar.Top, R.Bar.Width, R.Bar.Height}))
            << R.I << " of " << R.N;
    }
    EXPECT_EQ(CaptionLeft({45, 5, 13, 101}, 12), 4 + 45 - 6);
    EXPECT_EQ(CaptionLeft({5, 5, 1, 101}, 13), 0 + 5 - 6);
    EXPECT_EQ(CaptionTop(121), 109);
}

} // namespace
