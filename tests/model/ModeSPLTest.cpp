// Mean modal pressure: the weights by kind, the point form against the
// cosine formula worked out independently, and the grid form against the
// point form on grids of several rooms, axes and mode sets.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "model/ModeSPL.h"
#include "model/Modes.h"
#include "model/Room.h"
#include "model/Utilities.h"

namespace {

TEST(ModeSPL, WeightsFollowTheKind)
{
    EXPECT_EQ(KindWeight(mkAxial), 1.0f);
    EXPECT_EQ(KindWeight(mkTangential), 0.5f);
    EXPECT_EQ(KindWeight(mkOblique), 0.25f);
    EXPECT_EQ(KindWeight(mkNone), 0.0f);
    const struct {
        TMode Mode;
        float Weight;
    } Cases[] = {{TMode(0, 3, 0, 70.0f), 1.0f}, {TMode(1, 0, 2, 90.0f), 0.5f}, {TMode(2, 1, 1, 110.0f), 0.25f}};
    for (const auto& C : Cases) {
        const TWeightedMode W = WeightMode(C.Mode);
        EXPECT_EQ(W.NX, C.Mode.NX());
        EXPECT_EQ(W.NY, C.Mode.NY());
        EXPECT_EQ(W.NZ, C.Mode.NZ());
        EXPECT_EQ(W.Weight, C.Weight);
    }
}

// |cos(n pi c / L)| in double, away from the program's own rounding.
double Shape(int N, double C, double L) { return N == 0 ? 1.0 : std::fabs(std::cos(N * std::numbers::pi * C / L)); }

TEST(ModeSPL, PointMeanIsTheWeightedMeanOfTheCosines)
{
    TRoom Room; // 4.53 x 7.33 x 2.8 m
    const double W = Room.GetWidth(), D = Room.GetDepth(), H = Room.GetHeight();
    const TPoint3D P = Point3D(1.1f, 2.3f, 0.9f);
    const auto Mode = [&](int X, int Y, int Z) { return Shape(X, P.X, W) * Shape(Y, P.Y, D) * Shape(Z, P.Z, H); };
    const struct {
        std::vector<TWeightedMode> Modes;
        double Expected;
    } Cases[] = {
        {{}, 0.0},
        {{{1, 0, 0, 1.0f}}, Mode(1, 0, 0)},
        {{{0, 2, 0, 1.0f}, {1, 1, 0, 0.5f}}, (Mode(0, 2, 0) + 0.5 * Mode(1, 1, 0)) / 1.5},
        {{{1, 1, 1, 0.25f}, {0, 0, 3, 1.0f}, {2, 0, 1, 0.5f}},
         (0.25 * Mode(1, 1, 1) + Mode(0, 0, 3) + 0.5 * Mode(2, 0, 1)) / 1.75},
        // Only weightless entries: the plain sum, which is 0.
        {{{1, 0, 0, 0.0f}}, 0.0},
    };
    for (const auto& C : Cases)
        EXPECT_NEAR(MeanModePressure(Room, C.Modes, P), C.Expected, 2e-6) << C.Modes.size() << " modes";
    // On the node of the second width mode the pressure vanishes.
    const TPoint3D Node = Point3D(static_cast<float>(W / 4), 1.0f, 1.0f);
    EXPECT_NEAR(MeanModePressure(Room, {{2, 0, 0, 1.0f}}, Node), 0.0f, 1e-6f);
}

std::vector<TWeightedMode> ModesOf(const TRoom& Room, TModeKinds Kinds)
{
    TModeManager Manager;
    Manager.Compute(Room, Kinds);
    std::vector<TWeightedMode> Modes;
    for (int I = 0; I < Manager.Count(); ++I)
        Modes.push_back(WeightMode(*Manager.GetMode(I)));
    return Modes;
}

std::vector<float> Spread(float From, float To, int Count)
{
    std::vector<float> V;
    for (int I = 0; I < Count; ++I)
        V.push_back(static_cast<float>(From + (static_cast<double>(To) - From) * I / (Count - 1)));
    return V;
}

TEST(ModeSPL, GridAgreesWithThePointFormEverywhere)
{
    const struct {
        float W, D, H;
    } Rooms[] = {{4.53f, 7.33f, 2.8f}, {3.1f, 3.1f, 2.4f}, {6.0f, 9.75f, 3.3f}};
    const struct {
        TRoomAxis Column, Row;
    } Planes[] = {{raX, raY}, {raX, raZ}, {raY, raZ}, {raZ, raX}};
    for (const auto& R : Rooms) {
        TRoom Room;
        Room.SetWidth(R.W);
        Room.SetDepth(R.D);
        Room.SetHeight(R.H);
        const float Extent[3] = {R.W, R.D, R.H};
        const std::vector<std::vector<TWeightedMode>> Sets = {
            {},
            ModesOf(Room, {mkAxial}),
            ModesOf(Room, {mkTangential}),
            ModesOf(Room, {mkAxial, mkTangential, mkOblique}),
            {{3, 0, 0, 1.0f}, {3, 0, 0, 1.0f}, {0, 1, 2, 0.5f}, {0, 0, 0, 1.0f}},
        };
        for (const auto& Plane : Planes) {
            TPressureGrid Grid;
            Grid.ColumnAxis = Plane.Column;
            Grid.RowAxis = Plane.Row;
            // A little past the walls, as margin pixels give.
            Grid.Columns = Spread(-0.05f, Extent[Plane.Column] + 0.05f, 37);
            Grid.Rows = Spread(-0.05f, Extent[Plane.Row] + 0.05f, 23);
            for (const auto& Modes : Sets) {
                const std::vector<float> Values = MeanModePressureGrid(Room, Modes, Grid);
                ASSERT_EQ(Values.size(), Grid.Columns.size() * Grid.Rows.size());
                int Bad = 0;
                for (std::size_t Row = 0; Row < Grid.Rows.size(); ++Row)
                    for (std::size_t Col = 0; Col < Grid.Columns.size(); ++Col) {
                        float C[3] = {0.0f, 0.0f, 0.0f};
                        C[Plane.Column] = Grid.Columns[Col];
                        C[Plane.Row] = Grid.Rows[Row];
                        const float Expected = MeanModePressure(Room, Modes, Point3D(C[0], C[1], C[2]));
                        const float Got = Values[Row * Grid.Columns.size() + Col];
                        Bad += !(std::fabs(Got - Expected) <= 2e-6f);
                    }
                EXPECT_EQ(Bad, 0) << R.W << " x " << R.D << " x " << R.H << ", plane " << Plane.Column
                                  << Plane.Row << ", " << Modes.size() << " modes";
            }
        }
    }
}

// For one axial mode a grid value is the point value exactly, whichever
// axis carries the index: the factor tables hold the very floats the point
// form computes.
TEST(ModeSPL, AxialGridValuesAreThePointValuesExactly)
{
    TRoom Room;
    Room.SetWidth(5.17f);
    const float Extent[3] = {Room.GetWidth(), Room.GetDepth(), Room.GetHeight()};
    int Bad = 0;
    for (const TRoomAxis Axis : {raX, raY, raZ})
        for (int N = 1; N <= 25; ++N) {
            TWeightedMode M{0, 0, 0, 1.0f};
            (Axis == raX ? M.NX : Axis == raY ? M.NY : M.NZ) = N;
            for (const bool AlongRows : {false, true}) {
                const TRoomAxis Other = Axis == raX ? raY : raX;
                TPressureGrid Grid;
                Grid.ColumnAxis = AlongRows ? Other : Axis;
                Grid.RowAxis = AlongRows ? Axis : Other;
                (AlongRows ? Grid.Rows : Grid.Columns) = Spread(-0.01f, Extent[Axis] + 0.01f, 1501);
                (AlongRows ? Grid.Columns : Grid.Rows) = {0.0f};
                const std::vector<float> Values = MeanModePressureGrid(Room, {M}, Grid);
                const std::vector<float>& Along = AlongRows ? Grid.Rows : Grid.Columns;
                for (std::size_t K = 0; K < Along.size(); ++K) {
                    float C[3] = {0.0f, 0.0f, 0.0f};
                    C[Axis] = Along[K];
                    Bad += Values[K] != MeanModePressure(Room, {M}, Point3D(C[0], C[1], C[2]));
                }
            }
        }
    EXPECT_EQ(Bad, 0);
}

// With one mode every grid value is the point value itself, so the colours
// must be exactly ValueToRGB's, the tie at 0.5 and both ends included.
TEST(ModeSPL, GridColoursOfOneModeAreExactlyTheRamp)
{
    TRoom Room;
    TPressureGrid Grid;
    Grid.Columns = Spread(0.0f, Room.GetWidth(), 4001);
    Grid.Columns.push_back(Room.GetWidth() / 3.0f);
    Grid.Rows = {0.0f, 1.7f};
    const std::vector<TWeightedMode> Modes = {{1, 0, 0, 1.0f}};
    ASSERT_EQ(MeanModePressure(Room, Modes, Point3D(Grid.Columns.back(), 0.0f, 0.0f)), 0.5f);
    std::vector<std::uint8_t> Pixels(3 * Grid.Columns.size() * Grid.Rows.size());
    RenderPressureGrid(Room, Modes, Grid, Pixels.data(), static_cast<std::ptrdiff_t>(3 * Grid.Columns.size()));
    int Bad = 0;
    for (std::size_t R = 0; R < Grid.Rows.size(); ++R)
        for (std::size_t C = 0; C < Grid.Columns.size(); ++C) {
            std::uint8_t E[3];
            ValueToRGB(MeanModePressure(Room, Modes, Point3D(Grid.Columns[C], Grid.Rows[R], 0.0f)), E[0], E[1], E[2]);
            const std::uint8_t* P = &Pixels[3 * (R * Grid.Columns.size() + C)];
            Bad += P[0] != E[0] || P[1] != E[1] || P[2] != E[2];
        }
    EXPECT_EQ(Bad, 0);
}

} // namespace
