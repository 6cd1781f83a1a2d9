// links: roomeq Qt6::Test
// The equaliser window's two costs the user feels: the pressure maps of both
// views, and one arrow key press up to refreshed bars and read-outs.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include <cstdlib>

#include "roomeq/Response.h"
#include "roomeq/RoomEQ.h"
#include "views/PressureMap.h"
#include "views/ViewFrame.h"

namespace {

// The launcher's default layout for the default room.
void PlaceDefaultLayout(TRoom& Room)
{
    Room.Speakers().FindByChannel(0)->SetPosition(Point3D(1.2503f, 2.8147f, 0.65f));
    Room.Speakers().FindByChannel(1)->SetPosition(Point3D(3.2797f, 2.8147f, 0.65f));
    Room.Listener().SetPosition(Point3D(2.265f, 4.5723f, 1.1f));
}

TViewFrame Frame(TAxisProjection Axis, const TRoom& Room)
{
    TViewFrame F;
    F.Axis = Axis;
    F.Rim = 10;
    F.Width = 1000;
    F.Height = 1000;
    F.RoomWidth = Room.GetWidth();
    F.RoomDepth = Room.GetDepth();
    F.RoomHeight = Room.GetHeight();
    return F;
}

// Both maps of the window, plan and elevation, 1000 x 1000 pixels each.
void RoomEqMaps(benchmark::State& State)
{
    TRoom Room;
    TModeManager Modes;
    BuildModeList(Modes, Room);
    const std::vector<TWeightedMode> Weighted = WeightedModes(Modes);
    const TViewFrame Plan = Frame(apXY, Room), Elevation = Frame(apYZ, Room);
    // The pictures of the previous resize are drawn over, as the window's
    // maps are.
    QImage A, B;
    for (auto _ : State) {
        RenderPressureMapInto(A, Plan, Room, Weighted, RGB(204, 0, 204));
        RenderPressureMapInto(B, Elevation, Room, Weighted, RGB(0, 0, 0));
        benchmark::DoNotOptimize(A.constBits());
        benchmark::DoNotOptimize(B.constBits());
    }
    State.counters["modes"] = Modes.Count();
}
BENCHMARK(RoomEqMaps)->Unit(benchmark::kMillisecond);

// One arrow key press delivered to the shown window: the step, the partner
// and clamping, both views repainted, every bar and read-out refreshed and
// painted.
// Argument: the air temperature, which sets how many bars the room has
// (24 degC: the default room's 20; -346 degC: 201).
void RoomEqArrowKey(benchmark::State& State)
{
    TRoom Room;
    Room.SetTemperature(static_cast<float>(State.range(0)));
    PlaceDefaultLayout(Room);
    TfrmRoomEq Form;
    Form.SetRoom(Room);
    Form.show();
    if (!QTest::qWaitForWindowExposed(&Form)) {
        State.SkipWithError("window not shown");
        return;
    }
    QApplication::processEvents();
    bool Up = true;
    for (auto _ : State) {
        // Up and down in turn, so the listener never reaches a wall.
        QKeyEvent Press(QEvent::KeyPress, Up ? Qt::Key_Up : Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(&Form, &Press);
        // The bars and boxes changed by the press are painted here.
        QApplication::processEvents();
        Up = !Up;
    }
    State.counters["bars"] = static_cast<double>(Form.Bars().size());
}
BENCHMARK(RoomEqArrowKey)->Arg(24)->Arg(-346)->Unit(benchmark::kMicrosecond);

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
