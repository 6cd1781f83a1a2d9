#pragma once
// The marker the modes window draws where a pressure maximum meets a room
// surface: an arrow 0.1 m long and 0.05 m wide pointing from the surface into
// the room, or a square where the surface faces the viewer. Plain C++.

#include "model/Canvas.h"
#include "model/Common.h"
#include "model/Room.h"
#include "views/Polygon.h"

class TReflectionPlot : public TPolygon {
public:
    // The arrow along +X: tip 0.05 m ahead of the reference point, body
    // 0.05 m wide reaching 0.05 m behind it.
    TReflectionPlot();

    // Draws at Pixel, in the canvas's current pen and brush, the marker of
    // Surface as seen in Plane; Scale in pixels per metre (e = Round(0.05
    // Scale) is the half-size of the squares). Which figure each plane and
    // surface gets:
    //   plan apXY:      floor, ceiling: square with cross; wall Y = 0: arrow
    //                   down (90 deg); wall Y = D: arrow up (-90); wall X = 0:
    //                   arrow right (0); wall X = W: arrow left (180).
    //   elevation apXZ: floor: arrow up; ceiling: arrow down; walls Y = 0 and
    //                   Y = D (facing the viewer): square; X = 0: right;
    //                   X = W: left.
    //   elevation apYZ: floor: arrow up; ceiling: arrow down; wall Y = 0 (the
    //                   left edge): right; Y = D: left; walls X = 0 and X = W
    //                   (facing the viewer): square.
    // rsNone, or a plane outside the three, draws nothing.
    void DrawMarker(TCanvas& Canvas, TPixel Pixel, int Plane, TRoomSurface Surface, float Scale) const;
};
