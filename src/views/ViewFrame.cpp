#include "views/ViewFrame.h"

#include <cmath>

#include "views/VisualRoom.h"

namespace {

int RoundToInt(long double V) { return static_cast<int>(std::lrint(V)); }

} // namespace

TViewFrame TViewFrame::Of(const TVisualRoom& View) { return Of(View, View.width(), View.height()); }

TViewFrame TViewFrame::Of(const TVisualRoom& View, int Width, int Height)
{
    TViewFrame F;
    F.Axis = View.Axis();
    F.Rim = View.Rim();
    F.Width = Width;
    F.Height = Height;
    if (const TRoom* Room = View.Room()) {
        F.RoomWidth = Room->GetWidth();
        F.RoomDepth = Room->GetDepth();
        F.RoomHeight = Room->GetHeight();
    }
    return F;
}

bool TViewFrame::HasInnerArea() const { return Width - 2 * Rim > 0 && Height - 2 * Rim > 0; }

// Both conversions widen the inner size and the extents to long double so
// that every product is formed before its division.
TPixel TViewFrame::WorldToScreen(const TPoint3D& P) const
{
    const int R = Rim;
    const long double Iw = Width - 2 * Rim;
    const long double Ih = Height - 2 * Rim;
    const long double W = RoomWidth;
    const long double D = RoomDepth;
    const long double H = RoomHeight;
    switch (Axis) {
    case apXY: return TPixel{RoundToInt(P.X * Iw / W) + R, RoundToInt(P.Y * Ih / D) + R};
    case apXZ: return TPixel{RoundToInt(P.X * Iw / W) + R, Height - (RoundToInt(P.Z * Ih / H) + R)};
    case apYZ: return TPixel{RoundToInt(P.Y * Iw / D) + R, Height - (RoundToInt(P.Z * Ih / H) + R)};
    }
    return TPixel{0, 0};
}

TPoint3D TViewFrame::ScreenToWorld(int X, int Y) const
{
    if (!HasInnerArea())
        return Point3D(0.0f, 0.0f, 0.0f);
    const long double Iw = Width - 2 * Rim;
    const long double Ih = Height - 2 * Rim;
    const long double W = RoomWidth;
    const long double D = RoomDepth;
    const long double H = RoomHeight;
    const long double Sx = X - Rim;
    const long double Sy = Y - Rim;
    switch (Axis) {
    case apXY: return Point3D(static_cast<float>(W * Sx / Iw), static_cast<float>(D * Sy / Ih), 0.0f);
    case apXZ: return Point3D(static_cast<float>(W * Sx / Iw), 0.0f, static_cast<float>(H - H * Sy / Ih));
    case apYZ: return Point3D(0.0f, static_cast<float>(D * Sx / Iw), static_cast<float>(H - H * Sy / Ih));
    }
    return Point3D(0.0f, 0.0f, 0.0f);
}
