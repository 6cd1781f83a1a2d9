#pragma once
// A small closed outline given in metres around a reference point, drawn at
// any pixel with a scale (pixels per metre) and a rotation. Vertex X runs
// along screen X, vertex Y along screen Y (downwards), so a positive angle
// turns the outline clockwise on the screen. Plain C++, no Qt.

#include <vector>

#include "model/Canvas.h"
#include "model/Common.h"

class TPolygon {
public:
    // Copies the vertices; they never change afterwards.
    explicit TPolygon(std::vector<TPoint2D> Points);
    virtual ~TPolygon() = default;

    int Count() const { return static_cast<int>(FPoints.size()); }
    const std::vector<TPoint2D>& Points() const { return FPoints; }

    // P turned about the origin by Angle degrees: (cos t X - sin t Y,
    // sin t X + cos t Y), computed in long double and held as float.
    static TPoint2D RotatePoint(const TPoint2D& P, float Angle);

    // The pixels of the outline turned by Angle and placed at (X, Y): each
    // vertex at (Round(Scale r.X) + X, Round(Scale r.Y) + Y), halves to even,
    // with the first pixel repeated at the end (Count + 1 pixels).
    std::vector<TPixel> Outline(int X, int Y, float Scale, float Angle) const;

    // The closed outline as one filled polygon in the canvas's current pen
    // (outline) and brush (fill). Nothing for a polygon without vertices.
    void Draw(TCanvas& Canvas, int X, int Y, float Scale, float Angle) const;

private:
    std::vector<TPoint2D> FPoints;
};
