// The modes window's rules as tables: kinds, table texts, conflicts, track
// names and the longest tone.

#include <gtest/gtest.h>

#include "footprint/TonesRules.h"
#include "support/CommaLocale.h"

namespace {

TMode Axial(float F, int NX = 0, int NY = 1, int NZ = 0) { return TMode(NX, NY, NZ, F); }
TMode Tangential(float F) { return TMode(1, 1, 0, F); }

TEST(TonesRules, NoKindTickedListsAxialModes)
{
    EXPECT_EQ(ModeKindsOf(false, false, false), (TModeKinds{mkAxial}));
    EXPECT_EQ(ModeKindsOf(false, true, false), (TModeKinds{mkTangential}));
    EXPECT_EQ(ModeKindsOf(true, false, true), (TModeKinds{mkAxial, mkOblique}));
}

TEST(TonesRules, ConflictSelectionMarksTheUpperAxialModeBelowFivePercent)
{
    const struct {
        const char* Case;
        std::vector<TMode> Modes;
        std::vector<int> Rows;
    } Cases[] = {
        {"40, 41 (2.5 %), 50", {Axial(40), Axial(41), Axial(50)}, {2}},
        {"exactly 5 % apart", {Axial(40), Axial(42)}, {}},
        {"a tangential mode between them is skipped", {Axial(40), Tangential(40.5f), Axial(41)}, {3}},
        {"tangential modes alone", {Tangential(40), Tangential(40.5f)}, {}},
        {"three close in a row", {Axial(100), Axial(101), Axial(102)}, {2, 3}},
        {"empty list", {}, {}},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(ConflictRows(C.Modes), C.Rows) << C.Case;
}

TEST(TonesRules, TableTexts)
{
    // Room 2.25 wide, 7.33 deep, 2.8 high.
    const auto Rows = ModeRowTexts({Axial(40, 0, 2, 0), Tangential(50), Axial(60, 1, 0, 0), Axial(61.25f, 0, 0, 2)},
                                   2.25f, 7.33f, 2.8f);
    ASSERT_EQ(Rows.size(), 4u);
    const TModeRowTexts Expected[] = {
        {"1", "40 Hz", "(2,0,0)", "", "", "183 cm"},           // 7.33 x 50 / 2 = 183.25
        {"2", "50 Hz", "(1,1,0)", "10 Hz", "25 %", ""},        // no distance for a tangential mode
        {"3", "60 Hz", "(0,1,0)", "10 Hz", "20 %", "112 cm"},  // 2.25 x 50 = 112.5, half to even
        {"4", "61.25 Hz", "(0,0,2)", "1.25 Hz", "2.08 %", "70 cm"},
    };
    for (std::size_t I = 0; I < Rows.size(); ++I)
        EXPECT_EQ(Rows[I], Expected[I]) << "row " << I + 1;

    const TCommaLocale Comma;
    EXPECT_EQ(ModeRowTexts({Axial(23.56f)}, 1, 1, 1)[0][1], "23,56 Hz");
}

TEST(TonesRules, TrackNamesAndListFile)
{
    const struct {
        int Row;
        const char* Number;
    } Numbers[] = {{1, "01"}, {9, "09"}, {10, "10"}, {99, "99"}, {100, "100"}};
    for (const auto& N : Numbers)
        EXPECT_EQ(TrackNumber(N.Row), N.Number);

    EXPECT_EQ(TrackName(1, "Modo", Axial(23.56f)), "01 - Modo (1,0,0) 23.56 Hz.wav");
    {
        const TCommaLocale Comma;
        EXPECT_EQ(TrackName(12, "Test", TMode(1, 2, 3, 150.5f)), "12 - Test (2,1,3) 150,5 Hz.wav");
    }

    const struct {
        const char* Chosen;
        TTrackSetNames Names;
    } Files[] = {
        {"/home/u/cd/Test.wav", {"/home/u/cd/", "Test", "/home/u/cd/Tests.txt"}},
        {"Modo.wav", {"", "Modo", "Modos.txt"}},
        {"/a.b/Modo", {"/a.b/", "Modo", "/a.b/Modos.txt"}},
        {"/x/pista.final.wav", {"/x/", "pista.final", "/x/pista.finals.txt"}},
    };
    for (const auto& F : Files) {
        const TTrackSetNames N = TrackSetNames(F.Chosen);
        EXPECT_EQ(N.Folder, F.Names.Folder) << F.Chosen;
        EXPECT_EQ(N.Base, F.Names.Base) << F.Chosen;
        EXPECT_EQ(N.ListFile, F.Names.ListFile) << F.Chosen;
    }
}

TEST(TonesRules, LongestToneFitsBothTheSampleCountAndTheWaveSize)
{
    // 24 347 s x 88 200 samples = 2 147 405 400 <= 2^31 - 1 < 24 348 x 88 200;
    // 24 347 s x 176 400 bytes = 4 294 810 800 <= 2^32 - 37.
    EXPECT_EQ(MaxToneSeconds(44100), 24347);
    EXPECT_FALSE(DurationRefusal(24347, 44100));
    EXPECT_FALSE(DurationRefusal(-5, 44100));
    const auto Refusal = DurationRefusal(24348, 44100);
    ASSERT_TRUE(Refusal);
    EXPECT_NE(Refusal->find("24347"), std::string::npos);
}

}  // namespace
