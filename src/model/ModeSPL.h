#pragma once
// Mean modal pressure maps: the weighted mean of several modes' relative
// pressures at a point, and the same over a whole pixel grid at once.
//
// A map is the weighted mean of |cos(NX pi x/W) cos(NY pi y/D) cos(NZ pi z/H)|
// over a set of modes, weights 1, 1/2 and 1/4 for axial, tangential and
// oblique modes. MeanModePressure evaluates it at one point exactly as the
// windows define it; the grid evaluator gives the same picture for a whole
// view in a few milliseconds (within float rounding of the point form).
//
// Threads: every function here is reentrant and touches no shared state;
// the grid evaluator may use one helper thread of its own.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/Common.h"   // TPoint3D, TAxisProjection
#include "model/Modes.h"    // TModeKind, TMode, TModeManager
#include "model/Room.h"

// One mode's share of a mean-pressure map: its indices and its weight by kind.
struct TWeightedMode {
    int NX = 0;
    int NY = 0;
    int NZ = 0;
    float Weight = 0.0f;   // 1 axial, 0.5 tangential, 0.25 oblique
};

// 1 for axial, 0.5 for tangential, 0.25 for oblique, 0 for mkNone.
float KindWeight(TModeKind Kind);
// The weighted form of one mode.
TWeightedMode WeightMode(const TMode& Mode);

// The word-for-word weighted mean at one point, in list order, single-precision sums:
// sum += GetModePressure(P, mode) * Weight (== v/2, v/4 exactly), weight += Weight;
// result sum / weight if weight > 0, else sum (0 for an empty list). In 0 .. 1.
// This is MeanPressureAt of the equaliser window and the per-pixel oracle of the maps.
float MeanModePressure(const TRoom& Room, const std::vector<TWeightedMode>& Modes, const TPoint3D& P);

// A room axis: x (width), y (depth) or z (height).
enum TRoomAxis : int { raX = 0, raY = 1, raZ = 2 };

// A rectangular grid of room points as a view's pixels give them: column c
// lies at coordinate Columns[c] along ColumnAxis, row r at Rows[r] along
// RowAxis, and the third room coordinate is 0 everywhere. The two axes must
// differ.
struct TPressureGrid {
    TRoomAxis ColumnAxis = raX;
    std::vector<float> Columns;
    TRoomAxis RowAxis = raY;
    std::vector<float> Rows;
};

// The mean pressure at every grid point, row by row (Rows.size() x
// Columns.size() values). Each value is MeanModePressure at that point up to
// the order and rounding of the single-precision sums.
std::vector<float> MeanModePressureGrid(const TRoom& Room, const std::vector<TWeightedMode>& Modes,
                                        const TPressureGrid& Grid);

// The grid as colours: ValueToRGB of each grid value, three bytes (red,
// green, blue) per point; row r starts at Pixels + r * Stride. With an empty
// mode list every point gets ValueToRGB(0).
void RenderPressureGrid(const TRoom& Room, const std::vector<TWeightedMode>& Modes, const TPressureGrid& Grid,
                        std::uint8_t* Pixels, std::ptrdiff_t Stride);
