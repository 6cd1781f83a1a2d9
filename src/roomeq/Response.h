#pragma once
// The rules of the room-as-equaliser display, as plain functions: which modes
// the window lists, how strongly each one couples the right loudspeaker to
// the listener (the level of its bar), where the bars stand in their panel,
// and the texts under and over each bar. Standard C++ over the model only;
// stateless; any thread.
//
// Units: frequencies in hertz, positions in room metres, bar geometry in
// pixels of the bar panel. "Round" is to the nearest integer, halves to even.

#include <string>
#include <vector>

#include "model/Common.h"
#include "model/ModeSPL.h"
#include "model/Modes.h"
#include "model/Room.h"

// The highest frequency the window lists: the room's Schroeder frequency,
// never above 300 Hz.
inline constexpr float MaxListedFrequency = 300.0f;

// True when a tangential mode at F is dropped: an axial mode lies below it
// (LastAxial > 0, the frequency of the nearest one below) and F lies more
// than 5 % above it, the percentage rounded to float before the comparison.
bool PrunesTangential(float LastAxial, float F);

// Walks the frequency-sorted list once and deletes every tangential mode
// PrunesTangential drops; axial modes and tangential modes below the first
// axial mode stay. Oblique modes are left alone.
void PruneModes(TModeManager& Modes);

// The window's list for Room: axial and tangential modes from 0 Hz to the
// room's Schroeder frequency (at most MaxListedFrequency), pruned.
void BuildModeList(TModeManager& Modes, TRoom& Room);

// The modes of the list with their map weights, in list order.
std::vector<TWeightedMode> WeightedModes(const TModeManager& Modes);

// Bar range: Max is 100 for every bar; Min is -100 for an axial mode and -150
// for any other, so a tangential bar never rises above a fifth of its track.
inline constexpr int BarMax = 100;
int BarMin(TModeKind Kind);

// The coupling level of one mode from its pressures (0 .. 1) at the right
// loudspeaker and at the listener: with x = Ps * Pl in extended precision,
// 100 when x is 0, else -(100 log10 x + 100) held as float. Full coupling
// (x = 1) gives -100, x = 0.1 gives 0, x = 0.01 gives 100.
float BarLevel(float Ps, float Pl);

// The bar's Position for Level: rounded, then clamped into Min .. BarMax.
int BarPosition(float Level, int Min);

// The bar's tooltip: "(NY,NX,NZ) f Hz" with f in the "0.##" format of the
// current locale.
std::string BarHint(const TMode& Mode);
// The caption under a bar: the frequency rounded to an integer.
std::string BarCaption(float Frequency);

// Where bar I of N stands in a panel of Width x Height pixels.
struct TBarPlace {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// step = (Width - 15) div N, at most 18; the bar is round(step * 0.7) wide
// (never below 1 pixel, so that a crowded display still shows every bar) and
// Height - 20 high (never below 0), at top 5 and left
// round(I * (Width - 30) / N) + 5 with the division in floating point.
// N must be positive.
TBarPlace PlaceBar(int I, int N, int Width, int Height);

// The left edge of the caption of LabelWidth pixels under Bar:
// bar width div 3 + bar left - label width div 2.
int CaptionLeft(const TBarPlace& Bar, int LabelWidth);
// The top of every caption in a panel of PanelHeight pixels.
inline int CaptionTop(int PanelHeight) { return PanelHeight - 12; }

// Which arrow of the cross was pressed.
enum TArrow { arLeft, arRight, arUp, arDown };

// The 0.01 m step of Arrow in the frame of a view showing Axis: in the plan
// left/right move X, up/down move Y (drawn growing downwards, so up is -Y);
// in an elevation left/right move Y and up/down move Z.
TPoint3D ArrowStep(TAxisProjection Axis, TArrow Arrow);
