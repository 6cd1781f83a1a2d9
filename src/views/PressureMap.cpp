#include "views/PressureMap.h"

#include <algorithm>

#include "model/Utilities.h"
#include "views/PainterCanvas.h"
#include "views/VisualRoom.h"

namespace {

QImage BackgroundPicture(const TViewFrame& Frame, TColor Background)
{
    if (Frame.Width <= 0 || Frame.Height <= 0)
        return QImage();
    QImage Picture(Frame.Width, Frame.Height, QImage::Format_RGB888);
    Picture.fill(ToQColor(Background));
    return Picture;
}

// A picture whose inner rectangle is left for the map to fill: only the rim
// gets the background, so that the large inner part is written once.
QImage RimPicture(const TViewFrame& Frame, TColor Background)
{
    QImage Picture(Frame.Width, Frame.Height, QImage::Format_RGB888);
    const uchar Colour[3] = {GetRValue(Background), GetGValue(Background), GetBValue(Background)};
    const auto Paint = [&](int Y, int From, int To) {
        uchar* Line = Picture.scanLine(Y);
        for (int X = From; X < To; ++X)
            for (int K = 0; K < 3; ++K)
                Line[3 * X + K] = Colour[K];
    };
    for (int Y = 0; Y < Frame.Height; ++Y) {
        if (Y < Frame.Rim || Y >= Frame.Height - Frame.Rim) {
            Paint(Y, 0, Frame.Width);
        } else {
            Paint(Y, 0, Frame.Rim);
            Paint(Y, Frame.Width - Frame.Rim, Frame.Width);
        }
    }
    return Picture;
}

// The pixels the map covers: the inner rectangle, clipped to the picture (a
// negative rim would otherwise reach outside it).
struct TInnerBlock {
    int Left, Top, Right, Bottom; // inclusive; empty when Right < Left or Bottom < Top
};

TInnerBlock InnerBlockOf(const TViewFrame& Frame)
{
    if (!Frame.HasInnerArea())
        return TInnerBlock{0, 0, -1, -1};
    return TInnerBlock{std::max(Frame.Rim, 0), std::max(Frame.Rim, 0), std::min(Frame.Width - Frame.Rim, Frame.Width) - 1,
                       std::min(Frame.Height - Frame.Rim, Frame.Height) - 1};
}

// Where the pixel columns and rows of the block lie in the room: a column's
// coordinate does not depend on the row and the other way round.
TPressureGrid GridOf(const TViewFrame& Frame, const TInnerBlock& Block)
{
    TPressureGrid Grid;
    Grid.ColumnAxis = Frame.Axis == apYZ ? raY : raX;
    Grid.RowAxis = Frame.Axis == apXY ? raY : raZ;
    const auto Along = [](const TPoint3D& P, TRoomAxis Axis) { return Axis == raX ? P.X : Axis == raY ? P.Y : P.Z; };
    for (int X = Block.Left; X <= Block.Right; ++X)
        Grid.Columns.push_back(Along(Frame.ScreenToWorld(X, Block.Top), Grid.ColumnAxis));
    for (int Y = Block.Top; Y <= Block.Bottom; ++Y)
        Grid.Rows.push_back(Along(Frame.ScreenToWorld(Block.Left, Y), Grid.RowAxis));
    return Grid;
}

} // namespace

QImage RenderPressureMap(const TViewFrame& Frame, const TRoom& Room, const std::vector<TWeightedMode>& Modes,
                         TColor Background)
{
    const TInnerBlock Block = InnerBlockOf(Frame);
    if (Frame.Width <= 0 || Frame.Height <= 0 || Block.Right < Block.Left || Block.Bottom < Block.Top)
        return BackgroundPicture(Frame, Background);
    QImage Picture = RimPicture(Frame, Background);
    if (Picture.isNull())
        return Picture;
    RenderPressureGrid(Room, Modes, GridOf(Frame, Block), Picture.scanLine(Block.Top) + 3 * Block.Left,
                       Picture.bytesPerLine());
    return Picture;
}

QImage RenderPressureMapPerPixel(const TViewFrame& Frame, const TRoom& Room,
                                 const std::vector<TWeightedMode>& Modes, TColor Background)
{
    QImage Picture = BackgroundPicture(Frame, Background);
    if (Picture.isNull())
        return Picture;
    const TInnerBlock Block = InnerBlockOf(Frame);
    for (int Y = Block.Top; Y <= Block.Bottom; ++Y) {
        uchar* Line = Picture.scanLine(Y);
        for (int X = Block.Left; X <= Block.Right; ++X) {
            const float V = MeanModePressure(Room, Modes, Frame.ScreenToWorld(X, Y));
            ValueToRGB(V, Line[3 * X], Line[3 * X + 1], Line[3 * X + 2]);
        }
    }
    return Picture;
}

void PaintPressureMap(TVisualRoom& View, const std::vector<TWeightedMode>& Modes)
{
    if (View.Room() == nullptr)
        return;
    const QImage Picture = RenderPressureMap(TViewFrame::Of(View), *View.Room(), Modes, View.BackgroundColor());
    View.SetBackgroundPicture(&Picture);
}
