#include "model/Speaker.h"

#include <cmath>
#include <utility>

TSpeaker::TSpeaker(std::string Name, std::uint8_t Channel)
    : TItem(std::move(Name)), FChannel(Channel),
      FColor(Channel == 0 ? RGB(255, 255, 255) : RGB(255, 0, 0))
{
    SetPosition(Point3D(0.0f, 0.0f, 0.65f));
}

namespace {

int RoundPx(long double V) { return static_cast<int>(std::lrint(V)); }

// Outline of a cone (trapezoid) and its magnet, in multiples of u; the first
// point is where the pen starts.
constexpr long double SideOutline[8][2] = {
    {-1, -0.5L}, {-2.5L, 1}, {2.5L, 1}, {1, -0.5L}, {-1, -0.5L}, {-1, -1}, {1, -1}, {1, -0.5L}};

} // namespace

void TSpeaker::Draw(TCanvas& Canvas, TPixel Centre, int Plane, float Scale) const
{
    if (Plane != apXY && Plane != apXZ && Plane != apYZ)
        return;
    Canvas.SetPenColor(FColor);
    Canvas.SetBrushColor(FColor);
    if (Plane == apXZ) {
        const float R = static_cast<float>(static_cast<long double>(FRadius) * Scale);
        Canvas.SetBrushColor(RGB(0, 0, 0));
        Canvas.Ellipse(RoundPx(static_cast<long double>(Centre.X) - R), RoundPx(static_cast<long double>(Centre.Y) - R),
                       RoundPx(static_cast<long double>(Centre.X) + R), RoundPx(static_cast<long double>(Centre.Y) + R));
        const long double Cap = static_cast<long double>(R) / 4.0L;
        Canvas.SetBrushColor(FColor);
        Canvas.Ellipse(RoundPx(Centre.X - Cap), RoundPx(Centre.Y - Cap), RoundPx(Centre.X + Cap), RoundPx(Centre.Y + Cap));
        return;
    }
    const long double U = static_cast<long double>(Scale) / 2.5L * FRadius;
    std::vector<TPixel> Points;
    Points.reserve(8);
    for (const auto& P : SideOutline) {
        // The side view is the plan figure turned a quarter: the cone opens
        // towards increasing screen x instead of increasing screen y.
        const long double H = Plane == apXY ? P[0] : P[1];
        const long double V = Plane == apXY ? P[1] : P[0];
        Points.push_back(TPixel{Centre.X + RoundPx(H * U), Centre.Y + RoundPx(V * U)});
    }
    Canvas.Polyline(Points);
}

int TSpeakerManager::Add(std::unique_ptr<TSpeaker> Speaker)
{
    FList.push_back(std::move(Speaker));
    return Count() - 1;
}

TSpeaker* TSpeakerManager::GetSpeaker(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return FList[static_cast<std::size_t>(Index)].get();
}

TSpeaker* TSpeakerManager::FindByChannel(int Channel) const
{
    TSpeaker* Found = nullptr;
    for (const auto& S : FList)
        if (S->Channel() == Channel)
            Found = S.get();
    return Found;
}
