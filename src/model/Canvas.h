#pragma once
// The small drawing surface the room elements and markers draw on. The views
// implement it over QPainter; tests implement it as a recorder. Coordinates
// are whole pixels, screen Y downwards.

#include <string>
#include <vector>

#include "model/Common.h"

struct TPixel {
    int X;
    int Y;
    friend bool operator==(const TPixel&, const TPixel&) = default;
};

enum class TPenStyle { psSolid, psDot, psDashDotDot };

class TCanvas {
public:
    virtual ~TCanvas() = default;

    virtual void SetPenColor(TColor Color) = 0;
    virtual void SetPenStyle(TPenStyle Style) = 0;
    virtual void SetBrushColor(TColor Color) = 0;

    // A straight line from (X1, Y1) to (X2, Y2) in the pen.
    virtual void Line(int X1, int Y1, int X2, int Y2) = 0;
    // Connected lines through the points, in the pen, not filled.
    virtual void Polyline(const std::vector<TPixel>& Points) = 0;
    // Closed outline in the pen, filled with the brush.
    virtual void Polygon(const std::vector<TPixel>& Points) = 0;
    // Ellipse inside the box (Left, Top)-(Right, Bottom), right and bottom
    // exclusive; outline in the pen, filled with the brush.
    virtual void Ellipse(int Left, int Top, int Right, int Bottom) = 0;
    // Box (Left, Top)-(Right, Bottom), right and bottom exclusive, filled with
    // the brush and outlined in the pen.
    virtual void Rectangle(int Left, int Top, int Right, int Bottom) = 0;
    // Text with its top-left corner at (X, Y), in the pen colour on an opaque
    // box of the brush colour.
    virtual void TextOut(int X, int Y, const std::string& Text) = 0;
    virtual int TextWidth(const std::string& Text) = 0;
    virtual int TextHeight(const std::string& Text) = 0;
};
