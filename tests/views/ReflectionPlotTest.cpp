// Polygon rotation and placement, and the markers the modes window draws
// where pressure maxima meet a surface.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/RecordingCanvas.h"
#include "views/ReflectionPlot.h"

namespace {

std::string Poly(const std::vector<TPixel>& P) { return "polygon " + TRecordingCanvas::Pts(P); }

// The arrow of a TReflectionPlot at 100 px/m, drawn at (X, Y) and turned so
// that its tip points along the screen direction given.
std::string Arrow(int X, int Y, const std::string& Direction)
{
    if (Direction == "right")
        return Poly({{X, Y - 3}, {X + 5, Y}, {X, Y + 3}, {X - 5, Y + 3}, {X - 5, Y - 3}, {X, Y - 3}});
    if (Direction == "left")
        return Poly({{X, Y + 3}, {X - 5, Y}, {X, Y - 3}, {X + 5, Y - 3}, {X + 5, Y + 3}, {X, Y + 3}});
    if (Direction == "down")
        return Poly({{X + 3, Y}, {X, Y + 5}, {X - 3, Y}, {X - 3, Y - 5}, {X + 3, Y - 5}, {X + 3, Y}});
    return Poly({{X - 3, Y}, {X, Y - 5}, {X + 3, Y}, {X + 3, Y + 5}, {X - 3, Y + 5}, {X - 3, Y}}); // up
}

} // namespace

TEST(Polygon, RotationTurnsClockwiseOnScreen)
{
    const TPoint2D Quarter = TPolygon::RotatePoint(Point2D(0.05f, 0.0f), 90.0f);
    EXPECT_NEAR(Quarter.X, 0.0f, 1e-9f);
    EXPECT_FLOAT_EQ(Quarter.Y, 0.05f);
    const TPoint2D Half = TPolygon::RotatePoint(Point2D(1.0f, 2.0f), 180.0f);
    EXPECT_FLOAT_EQ(Half.X, -1.0f);
    EXPECT_FLOAT_EQ(Half.Y, -2.0f);
    const TPoint2D Back = TPolygon::RotatePoint(Point2D(0.0f, 1.0f), -90.0f);
    EXPECT_FLOAT_EQ(Back.X, 1.0f);
    EXPECT_NEAR(Back.Y, 0.0f, 1e-9f);
    // Rotation keeps the length.
    const TPoint2D Any = TPolygon::RotatePoint(Point2D(3.0f, 4.0f), 37.0f);
    EXPECT_NEAR(std::hypot(Any.X, Any.Y), 5.0, 1e-6);

    // Drawn at 100 px/m, the rotated tip lies 5 pixels below the reference.
    const TPolygon Tip({Point2D(0.05f, 0.0f)});
    EXPECT_EQ(Tip.Outline(40, 60, 100.0f, 90.0f), (std::vector<TPixel>{{40, 65}, {40, 65}}));
}

TEST(Polygon, OutlineIsClosedAndRoundsHalvesToEven)
{
    // Exact halves go to the even neighbour, as everywhere in the views.
    const TPolygon Halves({Point2D(0.5f, 1.5f), Point2D(2.5f, -0.5f)});
    EXPECT_EQ(Halves.Outline(0, 0, 1.0f, 0.0f), (std::vector<TPixel>{{0, 2}, {2, 0}, {0, 2}}));

    TRecordingCanvas Canvas;
    TPolygon({}).Draw(Canvas, 0, 0, 100.0f, 0.0f);
    EXPECT_TRUE(Canvas.Calls.empty());
    Halves.Draw(Canvas, 1, 1, 1.0f, 0.0f);
    EXPECT_EQ(Canvas.Calls, (std::vector<std::string>{"polygon 1,3 3,1 1,3"}));
}

TEST(ReflectionPlot, PlanMarkersPointIntoTheRoom)
{
    const TReflectionPlot Marker;
    ASSERT_EQ(Marker.Count(), 5);
    struct Case {
        TRoomSurface Surface;
        std::vector<std::string> Shapes;
    };
    const int X = 50;
    const int Y = 70;
    const std::vector<Case> Cases = {
        {rsFloor, {"rectangle 45,65 55,75", "line 45,65 55,75", "line 45,74 55,64"}},
        {rsCeiling, {"rectangle 45,65 55,75", "line 45,65 55,75", "line 45,74 55,64"}},
        {rsWallY0, {Arrow(X, Y, "down")}},
        {rsWallYD, {Arrow(X, Y, "up")}},
        {rsWallX0, {Arrow(X, Y, "right")}},
        {rsWallXW, {Arrow(X, Y, "left")}},
        {rsNone, {}},
    };
    for (const Case& C : Cases) {
        TRecordingCanvas Canvas;
        Marker.DrawMarker(Canvas, TPixel{X, Y}, apXY, C.Surface, 100.0f);
        EXPECT_EQ(Canvas.Calls, C.Shapes) << "surface " << static_cast<int>(C.Surface);
    }
}

TEST(ReflectionPlot, ElevationMarkersPointIntoTheRoom)
{
    const TReflectionPlot Marker;
    const int X = 20;
    const int Y = 30;
    const std::string Square = "rectangle 15,25 25,35";
    struct Case {
        int Plane;
        TRoomSurface Surface;
        std::string Shape; // empty: nothing drawn
    };
    const std::vector<Case> Cases = {
        {apXZ, rsFloor, Arrow(X, Y, "up")},     {apXZ, rsCeiling, Arrow(X, Y, "down")},
        {apXZ, rsWallY0, Square},               {apXZ, rsWallYD, Square},
        {apXZ, rsWallX0, Arrow(X, Y, "right")}, {apXZ, rsWallXW, Arrow(X, Y, "left")},
        {apXZ, rsNone, ""},
        // In the side elevation screen X shows Y: the wall Y = 0 is the left
        // edge, the X walls face the viewer.
        {apYZ, rsFloor, Arrow(X, Y, "up")},     {apYZ, rsCeiling, Arrow(X, Y, "down")},
        {apYZ, rsWallY0, Arrow(X, Y, "right")}, {apYZ, rsWallYD, Arrow(X, Y, "left")},
        {apYZ, rsWallX0, Square},               {apYZ, rsWallXW, Square},
        {apYZ, rsNone, ""},
        {7, rsWallX0, ""},
    };
    for (const Case& C : Cases) {
        TRecordingCanvas Canvas;
        Marker.DrawMarker(Canvas, TPixel{X, Y}, C.Plane, C.Surface, 100.0f);
        const std::vector<std::string> Expected = C.Shape.empty() ? std::vector<std::string>{}
                                                                  : std::vector<std::string>{C.Shape};
        EXPECT_EQ(Canvas.Calls, Expected) << "plane " << C.Plane << " surface " << static_cast<int>(C.Surface);
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
    EXPECT_EQ(Canvas.Calls, (std::vector<std::string>{"polygon 0,-8 15,0 0,8 -15,8 -15,-8 0,-8"}));
}
