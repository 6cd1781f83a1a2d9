#pragma once
// TCanvas over a QPainter, with the pixel rules of a classic raster canvas:
// boxes given as (Left, Top)-(Right, Bottom) exclude their right column and
// bottom row, lines leave out their last pixel, text is written on an opaque
// box. The room elements, the markers and the annotations draw through it,
// so the same drawing code serves the widget, an off-screen QImage and a
// recording canvas in tests.
//
// Not owning: the painter must outlive the canvas and stay active while it is
// used. GUI thread only (or any thread for a painter on a QImage).

#include <QColor>
#include <QPainter>

#include "model/Canvas.h"

// 0x00BBGGRR to an opaque QColor.
QColor ToQColor(TColor Color);

class TPainterCanvas : public TCanvas {
public:
    // Starts with a solid black pen, a white brush and the painter's font.
    // Antialiasing is switched off on the painter: every shape lands on whole
    // pixels.
    explicit TPainterCanvas(QPainter& Painter);

    void SetPenColor(TColor Color) override;
    void SetPenStyle(TPenStyle Style) override;
    void SetBrushColor(TColor Color) override;

    void Line(int X1, int Y1, int X2, int Y2) override;
    void Polyline(const std::vector<TPixel>& Points) override;
    void Polygon(const std::vector<TPixel>& Points) override;
    void Ellipse(int Left, int Top, int Right, int Bottom) override;
    void Rectangle(int Left, int Top, int Right, int Bottom) override;
    // Text (UTF-8) in the pen colour on a box of the brush colour that is
    // exactly TextWidth x TextHeight pixels, top-left corner at (X, Y).
    void TextOut(int X, int Y, const std::string& Text) override;
    int TextWidth(const std::string& Text) override;
    // The font's line height, whatever the text.
    int TextHeight(const std::string& Text) override;

    TColor PenColor() const { return FPenColor; }
    TColor BrushColor() const { return FBrushColor; }
    QPainter& Painter() { return FPainter; }

private:
    void ApplyPen(bool Outline);

    QPainter& FPainter;
    TColor FPenColor = 0;
    TPenStyle FPenStyle = TPenStyle::psSolid;
    TColor FBrushColor = 0x00FFFFFF;
};
