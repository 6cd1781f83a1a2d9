#include "footprint/ModeSPL.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "model/ModeSPL.h"
#include "views/AdvStringGrid.h"
#include "views/PressureMap.h"
#include "views/ReflectionPlot.h"
#include "views/VisualRoom.h"

std::vector<const TMode*> MarkedModes(const TModeManager& Modes, const TAdvStringGrid& Grid)
{
    std::vector<const TMode*> Marked;
    for (int Row = TAdvStringGrid::FixedRows; Row < Grid.RowCount(); ++Row)
        if (Grid.IsRowMarked(Row))
            if (const TMode* M = Modes.GetMode(Row - 1))
                Marked.push_back(M);
    return Marked;
}

void DrawModePressureMap(TVisualRoom& View, const std::vector<const TMode*>& Marked)
{
    std::vector<TWeightedMode> Weighted;
    Weighted.reserve(Marked.size());
    for (const TMode* M : Marked)
        Weighted.push_back(WeightMode(*M));
    PaintPressureMap(View, Weighted);
}

void DrawNodeMarks(TVisualRoom& View, TCanvas& Canvas, int Width, int Height, const std::vector<const TMode*>& Marked)
{
    const TRoom* Room = View.Room();
    if (Room == nullptr || Marked.size() != 1 || Marked.front()->GetKind() != mkAxial)
        return;
    const TMode& Mode = *Marked.front();
    const int N = std::max({Mode.NX(), Mode.NY(), Mode.NZ()});
    // Which axis the view can label: the mode's own, in a view that shows it
    // along one of its edges.
    enum { None, AlongX, AlongY, AlongZ } Along = None;
    int Dx = 0, Dy = 0;
    TRoomSurface Surface = rsNone;
    float L = 0;
    if (Mode.NX() > 0 && View.Axis() == apXY) {
        Along = AlongX, Dx = 0, Dy = -10, Surface = rsWallY0, L = Room->GetWidth();
    } else if (Mode.NY() > 0 && View.Axis() == apXY) {
        Along = AlongY, Dx = -10, Dy = 0, Surface = rsWallX0, L = Room->GetDepth();
    } else if (Mode.NZ() > 0 && View.Axis() == apYZ) {
        Along = AlongZ, Dx = -10, Dy = 0, Surface = rsWallY0, L = Room->GetHeight();
    }
    if (Along == None)
        return;
    const auto PointAt = [&](long double Metres) {
        const auto V = static_cast<float>(Metres);
        return Along == AlongX ? TPoint3D{V, 0, 0} : Along == AlongY ? TPoint3D{0, V, 0} : TPoint3D{0, 0, V};
    };
    const auto Coordinate = [&](const TPoint3D& P) { return Along == AlongX ? P.X : Along == AlongY ? P.Y : P.Z; };
    const auto Centimetres = [&](const TPoint3D& P) {
        return std::to_string(static_cast<long long>(std::nearbyint(static_cast<long double>(Coordinate(P)) * 100)));
    };

    const TReflectionPlot Marker;
    Canvas.SetBrushColor(RGB(0, 0, 255));
    Canvas.SetPenColor(RGB(255, 255, 255));
    for (int M = 0; M < N; ++M) {
        Canvas.SetBrushColor(RGB(0, 0, 0));
        const TPoint3D A = PointAt(static_cast<long double>(M) * L / N);
        const TPoint3D B = PointAt((M + 0.5L) * L / N);
        const TPixel PA = View.WorldToScreen(A, Width, Height);
        const TPixel PB = View.WorldToScreen(B, Width, Height);
        Canvas.TextOut(PA.X + 3 * Dx, PA.Y + 3 * Dy, Centimetres(A));
        Canvas.TextOut(PB.X + 3 * Dx, PB.Y + 3 * Dy, Centimetres(B));
        Canvas.Line(PA.X, PA.Y, PA.X + Dx, PA.Y + Dy);
        Canvas.Line(PA.X + Dx, PA.Y + Dy, PB.X + Dx, PB.Y + Dy);
        Canvas.Line(PB.X + Dx, PB.Y + Dy, PB.X, PB.Y);
        Canvas.SetBrushColor(RGB(0, 0, 255));
        Marker.DrawMarker(Canvas, PA, View.Axis(), Surface, 100.0f);
    }
}
