#include "roomeq/Response.h"

#include <algorithm>
#include <cmath>

#include "model/Utilities.h"

bool PrunesTangential(float LastAxial, float F)
{
    if (!(LastAxial > 0.0f))
        return false;
    const float Percent = static_cast<float>((static_cast<long double>(F) - LastAxial) * 100.0L / LastAxial);
    return Percent > 5.0f;
}

void PruneModes(TModeManager& Modes)
{
    float LastAxial = -1.0f;
    // Count() is read afresh on every step: deleting shortens the list and the
    // same index then holds the next mode.
    int I = 0;
    while (I < Modes.Count()) {
        const TMode* Mode = Modes.GetMode(I);
        const float F = Mode->GetFrequency();
        switch (Mode->GetKind()) {
        case mkAxial:
            LastAxial = F;
            break;
        case mkTangential:
            if (PrunesTangential(LastAxial, F)) {
                Modes.Delete(I);
                continue;
            }
            break;
        default:
            break;
        }
        ++I;
    }
}

void BuildModeList(TModeManager& Modes, TRoom& Room)
{
    Modes.SetMinFrequency(0.0f);
    Modes.SetMaxFrequency(std::min(Room.GetSchroederFrequency(), MaxListedFrequency));
    Modes.Compute(Room, {mkAxial, mkTangential});
    PruneModes(Modes);
}

std::vector<TWeightedMode> WeightedModes(const TModeManager& Modes)
{
    std::vector<TWeightedMode> Result;
    Result.reserve(static_cast<std::size_t>(Modes.Count()));
    for (int I = 0; I < Modes.Count(); ++I)
        Result.push_back(WeightMode(*Modes.GetMode(I)));
    return Result;
}

int BarMin(TModeKind Kind) { return Kind == mkAxial ? -100 : -150; }

float BarLevel(float Ps, float Pl)
{
    const long double X = static_cast<long double>(Ps) * Pl;
    if (X == 0.0L)
        return 100.0f;
    return static_cast<float>(-(100.0L * std::log10(X) + 100.0L));
}

int BarPosition(float Level, int Min)
{
    // Clamp before converting: a level far below the track (a pressure
    // within rounding of a node) must not overflow the integer.
    const float Rounded = std::nearbyint(Level);
    if (!(Rounded > static_cast<float>(Min)))
        return Min;
    if (Rounded > static_cast<float>(BarMax))
        return BarMax;
    return static_cast<int>(Rounded);
}

std::string BarHint(const TMode& Mode)
{
    return Mode.ModeToStr() + " " + FormatShort(Mode.GetFrequency()) + " Hz";
}

std::string BarCaption(float Frequency)
{
    return std::to_string(std::lrint(Frequency));
}

TBarPlace PlaceBar(int I, int N, int Width, int Height)
{
    const int Step = std::min((Width - 15) / N, 18);
    TBarPlace Bar;
    Bar.Width = std::max(1, static_cast<int>(std::lrint(Step * 0.7)));
    Bar.Height = std::max(0, Height - 20);
    Bar.Top = 5;
    Bar.Left = static_cast<int>(std::lrint(static_cast<long double>(I) * (Width - 30) / N)) + 5;
    return Bar;
}

int CaptionLeft(const TBarPlace& Bar, int LabelWidth) { return Bar.Width / 3 + Bar.Left - LabelWidth / 2; }

TPoint3D ArrowStep(TAxisProjection Axis, TArrow Arrow)
{
    constexpr float D = 0.01f;
    const float Across = Arrow == arLeft ? -D : Arrow == arRight ? D : 0.0f;
    // The plan draws Y downwards; the elevations draw Z upwards.
    const float Plan = Arrow == arUp ? -D : Arrow == arDown ? D : 0.0f;
    const float Height = -Plan;
    switch (Axis) {
    case apXY: return {Across, Plan, 0.0f};
    case apYZ: return {0.0f, Across, Height};
    case apXZ: return {Across, 0.0f, Height};
    }
    return {0.0f, 0.0f, 0.0f};
}
