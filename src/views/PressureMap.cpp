#include "views/PressureMap.h"

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

// Where the pixel columns and rows of the inner rectangle lie in the room:
// a column's coordinate does not depend on the row and the other way round.
TPressureGrid GridOf(const TViewFrame& Frame)
{
    TPressureGrid Grid;
    const int First = Frame.Rim;
    const int LastColumn = Frame.Width - Frame.Rim - 1;
    const int LastRow = Frame.Height - Frame.Rim - 1;
    Grid.Columns.reserve(static_cast<std::size_t>(LastColumn - First + 1));
    Grid.Rows.reserve(static_cast<std::size_t>(LastRow - First + 1));
    switch (Frame.Axis) {
    case apXY:
        Grid.ColumnAxis = raX;
        Grid.RowAxis = raY;
        for (int X = First; X <= LastColumn; ++X)
            Grid.Columns.push_back(Frame.ScreenToWorld(X, First).X);
        for (int Y = First; Y <= LastRow; ++Y)
            Grid.Rows.push_back(Frame.ScreenToWorld(First, Y).Y);
        break;
    case apXZ:
        Grid.ColumnAxis = raX;
        Grid.RowAxis = raZ;
        for (int X = First; X <= LastColumn; ++X)
            Grid.Columns.push_back(Frame.ScreenToWorld(X, First).X);
        for (int Y = First; Y <= LastRow; ++Y)
            Grid.Rows.push_back(Frame.ScreenToWorld(First, Y).Z);
        break;
    case apYZ:
        Grid.ColumnAxis = raY;
        Grid.RowAxis = raZ;
        for (int X = First; X <= LastColumn; ++X)
            Grid.Columns.push_back(Frame.ScreenToWorld(X, First).Y);
        for (int Y = First; Y <= LastRow; ++Y)
            Grid.Rows.push_back(Frame.ScreenToWorld(First, Y).Z);
        break;
    }
    return Grid;
}

} // namespace

QImage RenderPressureMap(const TViewFrame& Frame, const TRoom& Room, const std::vector<TWeightedMode>& Modes,
                         TColor Background)
{
    QImage Picture = BackgroundPicture(Frame, Background);
    if (Picture.isNull() || !Frame.HasInnerArea())
        return Picture;
    const TPressureGrid Grid = GridOf(Frame);
    RenderPressureGrid(Room, Modes, Grid, Picture.scanLine(Frame.Rim) + 3 * Frame.Rim, Picture.bytesPerLine());
    return Picture;
}

QImage RenderPressureMapPerPixel(const TViewFrame& Frame, const TRoom& Room,
                                 const std::vector<TWeightedMode>& Modes, TColor Background)
{
    QImage Picture = BackgroundPicture(Frame, Background);
    if (Picture.isNull() || !Frame.HasInnerArea())
        return Picture;
    for (int Y = Frame.Rim; Y <= Frame.Height - Frame.Rim - 1; ++Y) {
        uchar* Line = Picture.scanLine(Y);
        for (int X = Frame.Rim; X <= Frame.Width - Frame.Rim - 1; ++X) {
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
