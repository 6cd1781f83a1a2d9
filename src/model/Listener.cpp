#include "model/Listener.h"

#include <cmath>
#include <utility>

TListener::TListener(std::string Name) : TItem(std::move(Name))
{
    SetPosition(Point3D(0.0f, 0.0f, 1.1f));
}

void TListener::Draw(TCanvas& Canvas, TPixel Centre, int Plane, float Scale) const
{
    const long double S = static_cast<long double>(Scale) / 2.0L;
    long double HalfWidth = 0.0L;
    long double HalfHeight = 0.0L;
    switch (Plane) {
    case apXY: HalfWidth = 0.17L * S; HalfHeight = 0.2L * S; break;
    case apXZ: HalfWidth = 0.17L * S; HalfHeight = 0.22L * S; break;
    case apYZ: HalfWidth = 0.2L * S; HalfHeight = 0.22L * S; break;
    default: return;
    }
    Canvas.SetPenColor(RGB(0, 0, 255));
    Canvas.SetBrushColor(RGB(0, 0, 255));
    if (Plane == apXY) {
        // The plan rounds the half-extents first, so the head keeps an even size.
        const int Hw = static_cast<int>(std::lrint(HalfWidth));
        const int Hh = static_cast<int>(std::lrint(HalfHeight));
        Canvas.Ellipse(Centre.X - Hw, Centre.Y - Hh, Centre.X + Hw, Centre.Y + Hh);
    } else {
        Canvas.Ellipse(static_cast<int>(std::lrint(Centre.X - HalfWidth)),
                       static_cast<int>(std::lrint(Centre.Y - HalfHeight)),
                       static_cast<int>(std::lrint(Centre.X + HalfWidth)),
                       static_cast<int>(std::lrint(Centre.Y + HalfHeight)));
    }
}
