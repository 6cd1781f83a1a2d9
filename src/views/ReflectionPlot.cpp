#include "views/ReflectionPlot.h"

#include <cmath>

namespace {

enum class TMarkerShape { None, Arrow, Square, CrossedSquare };

struct TMarker {
    TMarkerShape Shape;
    float Angle;
};

TMarker MarkerFor(int Plane, TRoomSurface Surface)
{
    constexpr TMarker None{TMarkerShape::None, 0.0f};
    constexpr TMarker Square{TMarkerShape::Square, 0.0f};
    constexpr TMarker Right{TMarkerShape::Arrow, 0.0f};
    constexpr TMarker Down{TMarkerShape::Arrow, 90.0f};
    constexpr TMarker Left{TMarkerShape::Arrow, 180.0f};
    constexpr TMarker Up{TMarkerShape::Arrow, -90.0f};
    switch (Plane) {
    case apXY:
        switch (Surface) {
        case rsFloor:
        case rsCeiling: return TMarker{TMarkerShape::CrossedSquare, 0.0f};
        case rsWallY0: return Down;
        case rsWallYD: return Up;
        case rsWallX0: return Right;
        case rsWallXW: return Left;
        default: return None;
        }
    case apXZ:
        switch (Surface) {
        case rsFloor: return Up;
        case rsCeiling: return Down;
        case rsWallY0:
        case rsWallYD: return Square;
        case rsWallX0: return Right;
        case rsWallXW: return Left;
        default: return None;
        }
    case apYZ:
        // Screen X shows Y here: the wall Y = 0 is the left edge of the view,
        // the X walls are the plane the view looks at.
        switch (Surface) {
        case rsFloor: return Up;
        case rsCeiling: return Down;
        case rsWallY0: return Right;
        case rsWallYD: return Left;
        case rsWallX0:
        case rsWallXW: return Square;
        default: return None;
        }
    default: return None;
    }
}

} // namespace

TReflectionPlot::TReflectionPlot()
    : TPolygon({Point2D(0.0f, -0.025f), Point2D(0.05f, 0.0f), Point2D(0.0f, 0.025f), Point2D(-0.05f, 0.025f),
                Point2D(-0.05f, -0.025f)})
{
}

void TReflectionPlot::DrawMarker(TCanvas& Canvas, TPixel Pixel, int Plane, TRoomSurface Surface, float Scale) const
{
    const TMarker M = MarkerFor(Plane, Surface);
    const int E = static_cast<int>(std::lrint(0.05L * Scale));
    const int X = Pixel.X;
    const int Y = Pixel.Y;
    switch (M.Shape) {
    case TMarkerShape::None: break;
    case TMarkerShape::Arrow: Draw(Canvas, X, Y, Scale, M.Angle); break;
    case TMarkerShape::Square: Canvas.Rectangle(X - E, Y - E, X + E, Y + E); break;
    case TMarkerShape::CrossedSquare:
        Canvas.Rectangle(X - E, Y - E, X + E, Y + E);
        Canvas.Line(X - E, Y - E, X + E, Y + E);
        Canvas.Line(X - E, Y + E - 1, X + E, Y - E - 1);
        break;
    }
}
