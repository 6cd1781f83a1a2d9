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

// Gives Picture Frame's size and format (keeping its memory when it has them
// already) and paints only its rim with the background, so that the large
// inner part is written once, by the map.
void PrepareRimPicture(QImage& Picture, const TViewFrame& Frame, TColor Background)
{
    if (Picture.width() != Frame.Width || Picture.height() != Frame.Height || Picture.format() != QImage::Format_RGB888)
        Picture = QImage(Frame.Width, Frame.Height, QImage::Format_RGB888);
    if (Picture.isNull())
        return;
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
    QImage Picture;
    RenderPressureMapInto(Picture, Frame, Room, Modes, Background);
    return Picture;
}

void RenderPressureMapInto(QImage& Picture, const TViewFrame& Frame, const TRoom& Room,
                           const std::vector<TWeightedMode>& Modes, TColor Background)
{
    const TInnerBlock Block = InnerBlockOf(Frame);
    if (Frame.Width <= 0 || Frame.Height <= 0 || Block.Right < Block.Left || Block.Bottom < Block.Top) {
        Picture = BackgroundPicture(Frame, Background);
        return;
    }
    PrepareRimPicture(Picture, Frame, Background);
    if (Picture.isNull())
        return;
    RenderPressureGrid(Room, Modes, GridOf(Frame, Block), Picture.scanLine(Block.Top) + 3 * Block.Left,
                       Picture.bytesPerLine());
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
    // The view keeps its own copy, so one scratch picture serves every view
    // (GUI thread only, like the views).
    static QImage Picture;
    RenderPressureMapInto(Picture, TViewFrame::Of(View), *View.Room(), Modes, View.BackgroundColor());
    View.SetBackgroundPicture(&Picture);
}
