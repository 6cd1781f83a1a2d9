#pragma once
// TViewFrame: a room view's conversion between pixels and room metres as a
// plain value (axis, rim, size in pixels, room extents), so that the
// conversion can be used away from the widget, off the GUI thread included.
//
// Pixels are widget coordinates (0, 0 top-left); the room's plane is
// stretched over the inner rectangle (Rim, Rim)-(Width - Rim, Height - Rim)
// with separate horizontal and vertical scales; metres as in model/Common.h.

#include "model/Canvas.h"   // TPixel
#include "model/Common.h"

class TVisualRoom;

// A view's pixel <-> metre conversion as a value: axis, rim, size in pixels, room extents.
struct TViewFrame {
    TAxisProjection Axis = apXY;
    int Rim = 0;
    int Width = 0;
    int Height = 0;
    float RoomWidth = 0, RoomDepth = 0, RoomHeight = 0;
    static TViewFrame Of(const TVisualRoom& View);          // the view's current size, rim, axis, room
    // The same for a canvas of Width x Height pixels. Without a room the
    // extents are 0.
    static TViewFrame Of(const TVisualRoom& View, int Width, int Height);
    // Whether the inner rectangle holds at least one pixel.
    bool HasInnerArea() const;
    // Room point to pixel; rounds halves to even.
    TPixel WorldToScreen(const TPoint3D& P) const;          // same long double steps as TVisualRoom
    // Pixel to room point, no rounding and no clamping; the coordinate the
    // view does not show is 0. (0, 0, 0) without an inner area.
    TPoint3D ScreenToWorld(int X, int Y) const;
};
