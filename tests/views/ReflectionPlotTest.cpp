// Polygon rotation and placement, and the markers the modes window draws
// where pressure maxima meet a surface.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/RecordingCanvas.h"
#include "views/ReflectionPlot.h"

namespace {

using Strings = std::vector<std::string>;

// The arrow of a TReflectionPlot at 100 px/m drawn at (X, Y), its tip
// pointing along the screen direction given. The vertices +-0.025 held as
// float are a hair above 0.025, so 2.5 pixels round to 3.
std::string Arrow(int X, int Y, char Direction)
{
    std::vector<TPixel> P;
    switch (Direction) {
    case 'R': P = {{X, Y - 3}, {X + 5, Y}, {X, Y + 3}, {X - 5, Y + 3}, {X - 5, Y - 3}}; break;
    case 'L': P = {{X, Y + 3}, {X - 5, Y}, {X, Y - 3}, {X + 5, Y - 3}, {X + 5, Y + 3}}; break;
    case 'D': P = {{X + 3, Y}, {X, Y + 5}, {X - 3, Y}, {X - 3, Y - 5}, {X + 3, Y - 5}}; break;
    default: P = {{X - 3, Y}, {X, Y - 5}, {X + 3, Y}, {X + 3, Y + 5}, {X - 3, Y + 5}}; break; // up
    }
    P.push_back(P.front());
    return "polygon " + TRecordingCanvas::Pts(P);
}

} // namespace

TEST(Polygon, RotationTurnsClockwiseOnScreen)
{
    const TPoint2D Quarter = TPolygon::RotatePoint(Point2D(0.05f, 0.0f), 90.0f);
    EXPECT_NEAR(Quarter.X, 0.0f, 1e-9f);
    EXPECT_FLOAT_EQ(Quarter.Y, 0.05f);
    const TPoint2D Any = TPolygon::RotatePoint(Point2D(3.0f, 4.0f), 37.0f);
    EXPECT_NEAR(std::hypot(Any.X, Any.Y), 5.0, 1e-6) << "rotation keeps the length";
    // Drawn at 100 px/m the turned tip lies 5 pixels below the reference.
    EXPECT_EQ(TPolygon({Point2D(0.05f, 0.0f)}).Outline(40, 60, 100.0f, 90.0f), (std::vector<TPixel>{{40, 65}, {40, 65}}));
}

TEST(Polygon, OutlineIsClosedAndRoundsHalvesToEven)
{
    const TPolygon Halves({Point2D(0.5f, 1.5f), Point2D(2.5f, -0.5f)});
    TRecordingCanvas Canvas;
    TPolygon({}).Draw(Canvas, 0, 0, 100.0f, 0.0f);
    EXPECT_TRUE(Canvas.Calls.empty());
    Halves.Draw(Canvas, 1, 1, 1.0f, 0.0f);
    EXPECT_EQ(Canvas.Calls, (Strings{"polygon 1,3 3,1 1,3"}));
}

TEST(ReflectionPlot, MarkersPointFromTheSurfaceIntoTheRoom)
{
    const int X = 50;
    const int Y = 70;
    const Strings CrossedSquare = {"rectangle 45,65 55,75", "line 45,65 55,75", "line 45,74 55,64"};
    const Strings Square = {"rectangle 45,65 55,75"};
    struct Row {
        int Plane;
        TRoomSurface Surface;
        Strings Shapes;
    };
    const Row Rows[] = {
        {apXY, rsFloor, CrossedSquare},    {apXY, rsCeiling, CrossedSquare},
        {apXY, rsWallY0, {Arrow(X, Y, 'D')}}, {apXY, rsWallYD, {Arrow(X, Y, 'U')}},
        {apXY, rsWallX0, {Arrow(X, Y, 'R')}}, {apXY, rsWallXW, {Arrow(X, Y, 'L')}},
        {apXY, rsNone, {}},
        {apXZ, rsFloor, {Arrow(X, Y, 'U')}},  {apXZ, rsCeiling, {Arrow(X, Y, 'D')}},
        {apXZ, rsWallY0, Square},             {apXZ, rsWallYD, Square},
        {apXZ, rsWallX0, {Arrow(X, Y, 'R')}}, {apXZ, rsWallXW, {Arrow(X, Y, 'L')}},
        {apXZ, rsNone, {}},
        // In the side elevation screen X shows Y: the wall Y = 0 is the left
        // edge, the X walls face the viewer.
        {apYZ, rsFloor, {Arrow(X, Y, 'U')}},  {apYZ, rsCeiling, {Arrow(X, Y, 'D')}},
        {apYZ, rsWallY0, {Arrow(X, Y, 'R')}}, {apYZ, rsWallYD, {Arrow(X, Y, 'L')}},
        {apYZ, rsWallX0, Square},             {apYZ, rsWallXW, Square},
        {apYZ, rsNone, {}},
        {7, rsWallX0, {}},
    };
    const TReflectionPlot Marker;
    for (const Row& C : Rows) {
        TRecordingCanvas Canvas;
        Marker.DrawMarker(Canvas, TPixel{X, Y}, C.Plane, C.Surface, 100.0f);
        EXPECT_EQ(Canvas.Calls, C.Shapes) << "plane " << C.Plane << " surface " << static_cast<int>(C.Surface);
    }
}

TEST(ReflectionPlot, MarkerGrowsWithTheScale)
{
    TRecordingCanvas Canvas;
    TReflectionPlot().DrawMarker(Canvas, TPixel{0, 0}, apXY, rsFloor, 300.0f);
    ASSERT_FALSE(Canvas.Calls.empty());
    EXPECT_EQ(Canvas.Calls.front(), "rectangle -15,-15 15,15");
    Canvas.Calls.clear();
    TReflectionPlot().DrawMarker(Canvas, TPixel{0, 0}, apXY, rsWallX0, 300.0f);
    EXPECT_EQ(Canvas.Calls, (Strings{"polygon 0,-8 15,0 0,8 -15,8 -15,-8 0,-8"}));
}
