#pragma once
// The modes window's pressure maps and node marks: short adapters between
// the window's table (which rows are marked) and the shared renderer and
// marker drawing. GUI thread only.

#include <vector>

#include "model/Canvas.h"
#include "model/Modes.h"

class TAdvStringGrid;
class TVisualRoom;

// Modes of the marked data rows (row r stands for mode r - 1), in row order;
// marked rows without a mode are skipped.
std::vector<const TMode*> MarkedModes(const TModeManager& Modes, const TAdvStringGrid& Grid);

// The weighted mean pressure map of Marked over View, handed to the view as
// its background picture. Nothing without a room; does not repaint.
void DrawModePressureMap(TVisualRoom& View, const std::vector<const TMode*>& Marked);

// Node marks of a single marked axial mode on Canvas (the view's own drawing
// surface of Width x Height pixels): the centimetre positions of the
// pressure maxima and nodes along the mode's axis in the margin, brackets
// between them and an arrow marker at each maximum. Nothing unless Marked
// holds exactly one mode and it is axial, or when the view shows no axis of
// the mode.
void DrawNodeMarks(TVisualRoom& View, TCanvas& Canvas, int Width, int Height, const std::vector<const TMode*>& Marked);
