// links: views Qt6::Widgets
// Speed of the room view and the marked-row grid: the redraw of a large view
// with a pressure picture behind all symbols, a drag of 100 pointer moves,
// and the grid with thousands of rows.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <cstdlib>
#include <memory>

#include "model/Room.h"
#include "views/AdvStringGrid.h"
#include "views/VisualRoom.h"

namespace {

struct ViewSetup {
    TRoom Room;
    QWidget Window;
    TVisualRoom* View; // owned by Window

    explicit ViewSetup(bool Acotations = false)
    {
        Room.Listener().SetPosition(Point3D(2.265f, 3.9f, 1.1f));
        Room.Speakers().FindByChannel(0)->SetPosition(Point3D(1.25f, 2.81f, 0.65f));
        Room.ItemMoved(*Room.Speakers().FindByChannel(0));
        Window.resize(1000, 1000);
        View = new TVisualRoom(&Window);
        View->setGeometry(0, 0, 1000, 1000);
        View->SetRim(10);
        View->SetWallSize(3);
        View->SetShowAcotation(Acotations);
        View->SetRoom(&Room);
        QImage Picture(1000, 1000, QImage::Format_RGB888);
        for (int Y = 0; Y < Picture.height(); ++Y) {
            uchar* Line = Picture.scanLine(Y);
            for (int X = 0; X < Picture.width(); ++X) {
                Line[3 * X] = static_cast<uchar>(X);
                Line[3 * X + 1] = static_cast<uchar>(Y);
                Line[3 * X + 2] = static_cast<uchar>(X + Y);
            }
        }
        View->SetBackgroundPicture(&Picture);
        Window.show();
        QApplication::processEvents();
    }
};

void BM_RepaintView1000(benchmark::State& State)
{
    ViewSetup S(State.range(0) != 0);
    for (auto _ : State)
        S.View->Repaint();
    State.SetLabel(State.range(0) != 0 ? "with annotations" : "symbols only");
}
BENCHMARK(BM_RepaintView1000)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_DrawRoomToImage1000(benchmark::State& State)
{
    ViewSetup S;
    QImage Target(1000, 1000, QImage::Format_RGB32);
    for (auto _ : State) {
        QPainter P(&Target);
        S.View->DrawRoom(P, 1000, 1000);
    }
}
BENCHMARK(BM_DrawRoomToImage1000)->Unit(benchmark::kMicrosecond);

void Send(QWidget& W, QEvent::Type Type, QPoint P, Qt::MouseButton Button, Qt::MouseButtons Held)
{
    QMouseEvent E(Type, QPointF(P), QPointF(W.mapToGlobal(P)), Button, Held, Qt::NoModifier);
    QApplication::sendEvent(&W, &E);
}

// One press on the left loudspeaker, 100 moves with the left button held
// (each: move, mirror, confine, redraw), one release.
void BM_Drag100Moves(benchmark::State& State)
{
    ViewSetup S;
    for (auto _ : State) {
        const TPixel P = S.View->WorldToScreen(S.Room.Speakers().FindByChannel(0)->GetPosition());
        Send(*S.View, QEvent::MouseButtonPress, QPoint(P.X, P.Y), Qt::LeftButton, Qt::LeftButton);
        for (int I = 0; I < 100; ++I)
            Send(*S.View, QEvent::MouseMove, QPoint(P.X + (I % 20), P.Y + (I % 20)), Qt::NoButton, Qt::LeftButton);
        Send(*S.View, QEvent::MouseButtonRelease, QPoint(P.X, P.Y), Qt::LeftButton, Qt::NoButton);
    }
    State.SetItemsProcessed(State.iterations() * 100);
}
BENCHMARK(BM_Drag100Moves)->Unit(benchmark::kMillisecond);

void FillGrid(TAdvStringGrid& Grid, int Rows)
{
    Grid.SetColCount(6);
    for (int R = 1; R <= Rows; ++R) {
        Grid.SetCell(0, R, QString::number(R));
        Grid.SetCell(1, R, QStringLiteral("123.45 Hz"));
        Grid.SetCell(2, R, QStringLiteral("(1,2,3)"));
        Grid.SetCell(3, R, QStringLiteral("0.5 Hz"));
        Grid.SetCell(4, R, QStringLiteral("0.41 %"));
        Grid.SetCell(5, R, QStringLiteral("183 cm"));
    }
    Grid.SetRowCount(Rows + 1);
}

void BM_GridFill(benchmark::State& State)
{
    TAdvStringGrid Grid;
    Grid.resize(320, 300);
    Grid.show();
    QApplication::processEvents();
    for (auto _ : State) {
        Grid.ClearRows();
        FillGrid(Grid, static_cast<int>(State.range(0)));
        QApplication::processEvents();
    }
}
BENCHMARK(BM_GridFill)->Arg(5000)->Unit(benchmark::kMillisecond);

// Marking rows and repainting a grid of many rows costs what the visible
// rows cost.
void BM_GridMarkAndRepaint(benchmark::State& State)
{
    TAdvStringGrid Grid;
    Grid.resize(320, 300);
    FillGrid(Grid, static_cast<int>(State.range(0)));
    Grid.show();
    QApplication::processEvents();
    int Row = 1;
    for (auto _ : State) {
        Grid.SetRowMarked(Row, !Grid.IsRowMarked(Row));
        Grid.viewport()->repaint();
        Row = Row % 10 + 1;
    }
}
BENCHMARK(BM_GridMarkAndRepaint)->Arg(100)->Arg(20000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
