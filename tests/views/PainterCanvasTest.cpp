// The QPainter canvas keeps the pixel rules the element symbols and markers
// were laid out for: boxes exclude their right column and bottom row, lines
// leave out their last pixel, text sits on an opaque box.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>

#include "views/PainterCanvas.h"

namespace {

const QColor Red(255, 0, 0);
const QColor Green(0, 255, 0);
const QColor Black(0, 0, 0);
const QColor Navy(0, 0, 128);
const QColor White(255, 255, 255);

// A black W x H picture drawn on through a canvas.
QImage Paint(int W, int H, const std::function<void(TPainterCanvas&)>& Draw)
{
    QImage Image(W, H, QImage::Format_RGB32);
    Image.fill(Qt::black);
    {
        QPainter P(&Image);
        TPainterCanvas C(P);
        Draw(C);
    }
    return Image;
}

struct TExpectedPixel {
    int X;
    int Y;
    QColor Colour;
};

void ExpectPixels(const QImage& Image, std::initializer_list<TExpectedPixel> Pixels)
{
    for (const TExpectedPixel& P : Pixels)
        EXPECT_EQ(Image.pixelColor(P.X, P.Y), P.Colour) << "pixel " << P.X << "," << P.Y;
}

// The pixels of one colour inside Area.
int CountIn(const QImage& Image, const QRect& Area, const QColor& Colour)
{
    int N = 0;
    for (int Y = Area.top(); Y <= Area.bottom(); ++Y)
        for (int X = Area.left(); X <= Area.right(); ++X)
            N += Image.pixelColor(X, Y) == Colour ? 1 : 0;
    return N;
}

} // namespace

TEST(PainterCanvas, RectangleExcludesRightColumnAndBottomRow)
{
    const QImage Image = Paint(40, 30, [](TPainterCanvas& C) {
        C.SetPenColor(RGB(255, 0, 0));
        C.SetBrushColor(RGB(0, 255, 0));
        C.Rectangle(2, 3, 8, 7);
    });
    ExpectPixels(Image, {{2, 3, Red}, {7, 6, Red}, {7, 3, Red}, {4, 5, Green},
                         {8, 5, Black}, {4, 7, Black}, {1, 5, Black}, {4, 2, Black}});
}

TEST(PainterCanvas, EllipseStaysInsideItsBox)
{
    const QImage Image = Paint(40, 40, [](TPainterCanvas& C) {
        C.SetPenColor(RGB(255, 0, 0));
        C.SetBrushColor(RGB(255, 0, 0));
        C.Ellipse(10, 10, 20, 30);
    });
    EXPECT_EQ(Image.pixelColor(15, 20), Red);
    QRect Lit;
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            if (Image.pixelColor(X, Y) == Red)
                Lit |= QRect(X, Y, 1, 1);
    EXPECT_EQ(Lit, QRect(10, 10, 10, 20));
}

TEST(PainterCanvas, LinesLeaveOutTheLastPixelAndDotsHaveGaps)
{
    const QImage Image = Paint(40, 30, [](TPainterCanvas& C) {
        C.SetPenColor(RGB(255, 0, 0));
        C.Line(2, 4, 12, 4);
        C.Line(5, 6, 5, 16);
        C.SetPenStyle(TPenStyle::psDot);
        C.Line(0, 25, 39, 25);
    });
    ExpectPixels(Image, {{2, 4, Red}, {11, 4, Red}, {12, 4, Black}, {5, 6, Red}, {5, 15, Red}, {5, 16, Black}});
    const int Dots = CountIn(Image, QRect(0, 25, 39, 1), Red);
    EXPECT_GT(Dots, 10);
    EXPECT_LT(Dots, 30);
}

TEST(PainterCanvas, PolygonIsFilledAndPolylineIsNot)
{
    const QImage Image = Paint(40, 30, [](TPainterCanvas& C) {
        C.SetPenColor(RGB(255, 0, 0));
        C.SetBrushColor(RGB(0, 255, 0));
        C.Polygon({{2, 2}, {12, 2}, {12, 12}, {2, 12}, {2, 2}});
        C.Polyline({{20, 2}, {30, 2}, {30, 12}, {20, 12}, {20, 2}});
    });
    ExpectPixels(Image, {{7, 7, Green}, {2, 7, Red}, {25, 7, Black}, {25, 2, Red}, {20, 7, Red}});
}

TEST(PainterCanvas, TextSitsOnAnOpaqueBoxOfItsMeasuredSize)
{
    int W = 0;
    int H = 0;
    const QImage Image = Paint(200, 40, [&](TPainterCanvas& C) {
        C.SetPenColor(RGB(255, 255, 255));
        C.SetBrushColor(RGB(0, 0, 128));
        W = C.TextWidth("Alt : 1.1");
        H = C.TextHeight("Alt : 1.1");
        C.TextOut(10, 5, "Alt : 1.1");
        EXPECT_GT(C.TextWidth("Alt : 1.10"), W);
    });
    ASSERT_GT(W, 0);
    ASSERT_GT(H, 0);
    ExpectPixels(Image, {{10, 5, Navy}, {10 + W - 1, 5 + H - 1, Navy}, {10 + W, 5, Black}, {10, 5 + H, Black},
                         {9, 5, Black}});
    EXPECT_GT(CountIn(Image, QRect(10, 5, W, H), White), 10) << "the text is written in the pen colour";
}
