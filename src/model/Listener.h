#pragma once

#include "model/Canvas.h"
#include "model/Item.h"

// The listening position: a head at ear height, 1.1 m at creation.
class TListener : public TItem {
public:
    explicit TListener(std::string Name);

    // A blue ellipse the size of a head (0.17 m wide, 0.2 m deep, 0.22 m tall)
    // centred on Centre. Scale is pixels per metre (the views never pass less
    // than 100). A plane other than the three draws nothing.
    void Draw(TCanvas& Canvas, TPixel Centre, int Plane, float Scale) const;
};
