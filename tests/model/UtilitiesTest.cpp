#include <gtest/gtest.h>

#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <string>

#include "model/Common.h"
#include "model/Utilities.h"
#include "support/CommaLocale.h"

namespace {

struct TTextCase {
    const char* Text;
    float Expected;
};

TEST(CleanStrToFloat, ReadsWhatSurvivesTheFilter)
{
    const TTextCase Cases[] = {
        {"", 0.0f},         {"abc", 0.0f},       {"-", 0.0f},          {"2.5", 2.5f},
        {" 4.53 m", 4.53f}, {"-10", -10.0f},     {"+7", 7.0f},         {"1e3", 13.0f},
        {"1.2.3", 0.0f},    {"12-3", 0.0f},      {"--1", 0.0f},        {".5", 0.5f},
        {"5.", 5.0f},       {"1,000.5", 1000.5f}, {"0.26", 0.26f},
        // Beyond the float range is a failed conversion, not infinity.
        {"1000000000000000000000000000000000000000000000000", 0.0f},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(CleanStrToFloat(C.Text), C.Expected) << '"' << C.Text << '"';
}

TEST(CleanStrToFloat, RoundsTheExactValueOnceToFloat)
{
    EXPECT_EQ(CleanStrToFloat("7.33"), 7.33f);
    // Rounds down to the largest float; the next representable step would not.
    EXPECT_EQ(CleanStrToFloat("340282350000000000000000000000000000000"), FLT_MAX);
    EXPECT_EQ(CleanStrToFloat("340282360000000000000000000000000000000"), 0.0f);
}

TEST(CleanStrToFloat, FollowsACommaLocale)
{
    const TCommaLocale Comma;
    EXPECT_EQ(DecimalSeparator(), ',');
    EXPECT_EQ(CleanStrToFloat("2,5 m"), 2.5f);
    EXPECT_EQ(CleanStrToFloat("2.5"), 25.0f); // the full stop is dropped
    EXPECT_EQ(CleanStrToFloat("0,2"), 0.2f);
    EXPECT_EQ(CleanStrToFloat("1,2,3"), 0.0f);
}

TEST(CleanStrToInt, ReadsDigitsAndSign)
{
    EXPECT_EQ(CleanStrToInt("8 s"), 8);
    EXPECT_EQ(CleanStrToInt("1e3"), 13);
    EXPECT_EQ(CleanStrToInt("12-3"), 0);
    EXPECT_EQ(CleanStrToInt("-42"), -42);
    EXPECT_EQ(CleanStrToInt(""), 0);
    EXPECT_EQ(CleanStrToInt("-"), 0);
    EXPECT_EQ(CleanStrToInt("3.5"), 0); // the separator survives and spoils it
    EXPECT_EQ(CleanStrToInt("2147483647"), 2147483647);
    EXPECT_EQ(CleanStrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(CleanStrToInt("2147483648"), 0);
    EXPECT_EQ(CleanStrToInt("99999999999999999999999"), 0);
}

TEST(CleanStrToInt, FollowsACommaLocale)
{
    const TCommaLocale Comma;
    EXPECT_EQ(CleanStrToInt("3,5"), 0);
    EXPECT_EQ(CleanStrToInt("3.5"), 35);
}

TEST(NumberFormats, ShortAndTwoDecimals)
{
    const struct {
        float V;
        const char* Short;
        const char* Two;
    } Cases[] = {
        {24.0f, "24", "24.00"},    {7.33f, "7.33", "7.33"},   {4.53f, "4.53", "4.53"},
        {2.8f, "2.8", "2.80"},     {0.004f, "0", "0.00"},     {-0.004f, "0", "0.00"},
        {345.4f, "345.4", "345.40"}, {-10.5f, "-10.5", "-10.50"}, {0.995f, "1", "1.00"},
        {1234567.0f, "1234567", "1234567.00"}, {2.675f, "2.67", "2.67"},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(FormatShort(C.V), C.Short) << C.V;
        EXPECT_EQ(FormatTwoDecimals(C.V), C.Two) << C.V;
    }
}

// The exact stored value decides: a float that is exactly a half rounds away
// from zero, one a hair either side of it rounds to the nearer hundredth.
TEST(NumberFormats, ExactHalvesRoundAwayFromZero)
{
    const struct {
        float V;
        const char* Short;
        const char* Two;
    } Cases[] = {
        {0.125f, "0.13", "0.13"},   {2.125f, "2.13", "2.13"},     {-0.125f, "-0.13", "-0.13"},
        {0.375f, "0.38", "0.38"},   {-4.875f, "-4.88", "-4.88"},  {1048575.875f, "1048575.88", "1048575.88"},
        {8388607.5f, "8388607.5", "8388607.50"},
        // Stored just below the half.
        {1.005f, "1", "1.00"},      {0.005f, "0", "0.00"},        {-0.005f, "0", "0.00"},
        // Stored just above it.
        {1.115f, "1.12", "1.12"},   {0.045f, "0.05", "0.05"},
    };
    for (const auto& C : Cases) {
        EXPECT_EQ(FormatShort(C.V), C.Short) << C.V;
        EXPECT_EQ(FormatTwoDecimals(C.V), C.Two) << C.V;
    }
    const TCommaLocale Comma;
    EXPECT_EQ(FormatShort(-0.125f), "-0,13");
    EXPECT_EQ(FormatTwoDecimals(2.125f), "2,13");
}

TEST(NumberFormats, UseTheLocaleSeparatorWithoutGrouping)
{
    const TCommaLocale Comma;
    EXPECT_EQ(FormatShort(7.33f), "7,33");
    EXPECT_EQ(FormatShort(24.0f), "24");
    EXPECT_EQ(FormatTwoDecimals(2.8f), "2,80");
    EXPECT_EQ(FormatShort(12345.5f), "12345,5");
    EXPECT_EQ(Point3DToStr(Point3D(2.5f, 4.75f, 1.1f)), "(4,75   2,50   1,10)");
}

TEST(ValueToRGB, SegmentBordersAndEnds)
{
    const struct {
        float V;
        int R, G, B;
    } Cases[] = {
        {0.0f, 0, 0, 0},     {0.1f, 0, 0, 128},     {0.2f, 0, 0, 255},   {0.3f, 0, 128, 255},
        {0.4f, 0, 255, 255}, {0.5f, 0, 255, 128},   {0.6f, 0, 255, 0},   {0.7f, 127, 255, 0},
        {0.8f, 255, 255, 0}, {0.9f, 255, 128, 0},   {1.0f, 255, 0, 0},
        // Just below a border stays in the lower segment, at its top.
        {0.19999f, 0, 0, 255}, {0.39999f, 0, 255, 255}, {0.79999f, 255, 255, 0},
        // Outside the contract the ramp holds its ends.
        {-0.5f, 0, 0, 0},    {1.5f, 255, 0, 0},
    };
    for (const auto& C : Cases) {
        std::uint8_t R = 1, G = 1, B = 1;
        ValueToRGB(C.V, R, G, B);
        EXPECT_EQ((std::array<int, 3>{R, G, B}), (std::array<int, 3>{C.R, C.G, C.B})) << C.V;
    }
}

TEST(Geometry, PointsAndPlaneDistances)
{
    const TPoint3D A = Point3D(1.0f, 2.0f, 3.0f);
    const TPoint3D B = Point3D(4.0f, 6.0f, 15.0f);
    EXPECT_EQ(PlaneDistance(A, B, apXY), 5.0f);
    EXPECT_EQ(PlaneDistance(A, B, apXZ), PlaneDistance(Point3D(0, 0, 0), Point3D(3, 0, 12), apXZ));
    EXPECT_FLOAT_EQ(PlaneDistance(A, B, apXZ), std::sqrt(153.0f));
    EXPECT_FLOAT_EQ(PlaneDistance(A, B, apYZ), std::sqrt(160.0f));
    EXPECT_EQ(PlaneDistance(A, B, 3), 0.0f);
    EXPECT_EQ(PlaneDistance(A, B, -1), 0.0f);

    const TPoint3D S = AddPoints(Point3D(0.1f, 1e8f, -1.0f), Point3D(0.2f, 1.0f, 1.0f));
    EXPECT_EQ(S.X, 0.1f + 0.2f);
    EXPECT_EQ(S.Y, 1e8f); // the sum is rounded to float
    EXPECT_EQ(S.Z, 0.0f);

    EXPECT_EQ(Point3DToStr(Point3D(2.5f, 4.75f, 1.1f)), "(4.75   2.50   1.10)");
}

} // namespace
