// links: views Qt6::Widgets
// Speed of the mean pressure maps: the plan of a 1000 x 1000 view of the
// default room with every mode marked, and the equaliser's pair of views
// (plan and elevation) with a few pruned modes, plus the pixel-by-pixel
// formula on a small map for scale.
#include <benchmark/benchmark.h>

#include <QImage>
#include <vector>

#include "model/ModeSPL.h"
#include "model/Modes.h"
#include "model/Room.h"
#include "views/PressureMap.h"
#include "views/ViewFrame.h"

namespace {

std::vector<TWeightedMode> AllModes(const TRoom& Room)
{
    TModeManager Manager;
    Manager.Compute(Room, {mkAxial, mkTangential, mkOblique});
    std::vector<TWeightedMode> Modes;
    for (int I = 0; I < Manager.Count(); ++I)
        Modes.push_back(WeightMode(*Manager.GetMode(I)));
    return Modes;
}

TViewFrame Frame(const TRoom& Room, TAxisProjection Axis, int Size)
{
    TViewFrame F;
    F.Axis = Axis;
    F.Rim = 5;
    F.Width = Size;
    F.Height = Size;
    F.RoomWidth = Room.GetWidth();
    F.RoomDepth = Room.GetDepth();
    F.RoomHeight = Room.GetHeight();
    return F;
}

void FootprintMapAllModes(benchmark::State& State)
{
    const TRoom Room;
    const std::vector<TWeightedMode> Modes = AllModes(Room);
    const TViewFrame F = Frame(Room, apXY, 1000);
    for (auto _ : State) {
        QImage Map = RenderPressureMap(F, Room, Modes, RGB(0, 0, 0));
        benchmark::DoNotOptimize(Map.constBits());
    }
    State.counters["modes"] = static_cast<double>(Modes.size());
}
BENCHMARK(FootprintMapAllModes)->Unit(benchmark::kMillisecond);

// Both views of one list: every mode (argument 0), or the first N, as the
// equaliser's short list.
void MapsTwoViews(benchmark::State& State)
{
    const TRoom Room;
    std::vector<TWeightedMode> Modes = AllModes(Room);
    if (State.range(0) > 0)
        Modes.resize(static_cast<std::size_t>(State.range(0)));
    const TViewFrame Plan = Frame(Room, apXY, 1000);
    const TViewFrame Elevation = Frame(Room, apYZ, 1000);
    for (auto _ : State) {
        QImage A = RenderPressureMap(Plan, Room, Modes, RGB(0, 0, 0));
        QImage B = RenderPressureMap(Elevation, Room, Modes, RGB(0, 0, 0));
        benchmark::DoNotOptimize(A.constBits());
        benchmark::DoNotOptimize(B.constBits());
    }
}
BENCHMARK(MapsTwoViews)->Arg(0)->Arg(20)->Unit(benchmark::kMillisecond);

// The defining formula, pixel by pixel, on a 100 x 100 plan (all modes): a
// 1000 x 1000 map costs about a hundred times this.
void PerPixelPlanAllModes100(benchmark::State& State)
{
    const TRoom Room;
    const std::vector<TWeightedMode> Modes = AllModes(Room);
    const TViewFrame F = Frame(Room, apXY, 100);
    for (auto _ : State) {
        QImage Map = RenderPressureMapPerPixel(F, Room, Modes, RGB(0, 0, 0));
        benchmark::DoNotOptimize(Map.constBits());
    }
}
BENCHMARK(PerPixelPlanAllModes100)->Unit(benchmark::kMillisecond);

// The share of pixels of the 1000 x 1000 plan (all modes) whose colour is
// exactly that of the per-pixel formula, and the largest channel difference.
// One evaluation of the formula takes about two minutes, so this runs once.
void FootprintMapExactShare(benchmark::State& State)
{
    const TRoom Room;
    const std::vector<TWeightedMode> Modes = AllModes(Room);
    const TViewFrame F = Frame(Room, apXY, 1000);
    double Equal = 0, Total = 0;
    int Largest = 0;
    for (auto _ : State) {
        const QImage Fast = RenderPressureMap(F, Room, Modes, RGB(0, 0, 0));
        const QImage Slow = RenderPressureMapPerPixel(F, Room, Modes, RGB(0, 0, 0));
        for (int Y = F.Rim; Y < F.Height - F.Rim; ++Y) {
            const uchar* A = Fast.constScanLine(Y);
            const uchar* B = Slow.constScanLine(Y);
            for (int X = F.Rim; X < F.Width - F.Rim; ++X) {
                bool Same = true;
                for (int K = 0; K < 3; ++K) {
                    const int D = A[3 * X + K] > B[3 * X + K] ? A[3 * X + K] - B[3 * X + K] : B[3 * X + K] - A[3 * X + K];
                    Largest = D > Largest ? D : Largest;
                    Same = Same && D == 0;
                }
                Equal += Same;
                Total += 1;
            }
        }
    }
    State.counters["exact_share"] = Equal / Total;
    State.counters["largest_difference"] = Largest;
}
BENCHMARK(FootprintMapExactShare)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
