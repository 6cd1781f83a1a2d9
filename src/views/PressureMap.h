#pragma once
// The mean modal pressure map of a room view as a picture, shared by the
// modes window and the equaliser window.

#include <QImage>
#include <vector>

#include "model/Common.h"
#include "model/ModeSPL.h"
#include "views/ViewFrame.h"

class TVisualRoom;

// The map picture of Frame's size (QImage::Format_RGB888): Background outside the inner rectangle
// (Rim .. Width-Rim-1, Rim .. Height-Rim-1), ValueToRGB(mean pressure of Modes) inside.
// With an empty Modes list the inside is ValueToRGB(0). Frame without inner area: all Background.
QImage RenderPressureMap(const TViewFrame& Frame, const TRoom& Room,
                         const std::vector<TWeightedMode>& Modes, TColor Background);
// As RenderPressureMap, into Picture. Picture's memory is reused when it
// already has Frame's size and the 24-bit format: maps follow every resize,
// and a fresh picture of a large view costs about as much in page faults as
// the map itself.
void RenderPressureMapInto(QImage& Picture, const TViewFrame& Frame, const TRoom& Room,
                           const std::vector<TWeightedMode>& Modes, TColor Background);
// Convenience: renders for View's current frame/room/BackgroundColor and hands the picture to it
// with SetBackgroundPicture. Does nothing when the view has no room. Does not repaint.
void PaintPressureMap(TVisualRoom& View, const std::vector<TWeightedMode>& Modes);

// The same picture as RenderPressureMap, computed pixel by pixel: ScreenToWorld,
// MeanModePressure, ValueToRGB. Slow; the reference the fast map is held to.
QImage RenderPressureMapPerPixel(const TViewFrame& Frame, const TRoom& Room,
                                 const std::vector<TWeightedMode>& Modes, TColor Background);
