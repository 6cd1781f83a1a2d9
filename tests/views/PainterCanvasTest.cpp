// The QPainter canvas keeps the pixel rules the element symbols and markers
// were laid out for: boxes exclude their right column and bottom row, lines
// leave out their last pixel, text sits on an opaque box.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "views/PainterCanvas.h"

namespace {

class PainterCanvasTest : public ::testing::Test {
protected:
    QImage Image{40, 30, QImage::Format_RGB32};
    void SetUp() override { Image.fill(Qt::black); }
    QColor At(int X, int Y) const { return Image.pixelColor(X, Y); }
};

const QColor Red(255, 0, 0);
const QColor Green(0, 255, 0);
const QColor Black(0, 0, 0);

} // namespace

TEST_F(PainterCanvasTest, RectangleExcludesRightColumnAndBottomRow)
{
    {
        QPainter P(&Image);
        TPainterCanvas C(P);
        C.SetPenColor(RGB(255, 0, 0));
        C.SetBrushColor(RGB(0, 255, 0));
        C.Rectangle(2, 3, 8, 7);
    }
    EXPECT_EQ(At(2, 3), Red);
    EXPECT_EQ(At(7, 6), Red);
    EXPECT_EQ(At(7, 3), Red);
    EXPECT_EQ(At(4, 5), Green);
    EXPECT_EQ(At(8, 5), Black);
    EXPECT_EQ(At(4, 7), Black);
    EXPECT_EQ(At(1, 5), Black);
    EXPECT_EQ(At(4, 2), Black);
}

TEST_F(PainterCanvasTest, EllipseStaysInsideItsBox)
{
    {
        QPainter P(&Image);
        TPainterCanvas C(P);
        C.SetPenColor(RGB(255, 0, 0));
        C.SetBrushColor(RGB(255, 0, 0));
        C.Ellipse(10, 10, 20, 30);
    }
    EXPECT_EQ(At(15, 20), Red);
    int MinX = 99, MaxX = -1, MinY = 99, MaxY = -1;
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            if (At(X, Y) == Red) {
                MinX = std::min(MinX, X);
                MaxX = std::max(MaxX, X);
                MinY = std::min(MinY, Y);
                MaxY = std::max(MaxY, Y);
            }
    EXPECT_EQ(MinX, 10);
    EXPECT_EQ(MaxX, 19);
    EXPECT_EQ(MinY, 10);
    EXPECT_EQ(MaxY, 29);
}

TEST_F(PainterCanvasTest, LinesLeaveOutTheLastPixelAndDotsHaveGaps)
{
    {
        QPainter P(&Image);
        TPainterCanvas C(P);
        C.SetPenColor(RGB(255, 0, 0));
        C.Line(2, 4, 12, 4);
        C.Line(5, 6, 5, 16);
        C.SetPenStyle(TPenStyle::psDot);
        C.Line(0, 25, 39, 25);
    }
    EXPECT_EQ(At(2, 4), Red);
    EXPECT_EQ(At(11, 4), Red);
    EXPECT_EQ(At(12, 4), Black);
    EXPECT_EQ(At(5, 6), Red);
    EXPECT_EQ(At(5, 15), Red);
    EXPECT_EQ(At(5, 16), Black);
    int Lit = 0;
    for (int X = 0; X < 39; ++X)
        Lit += At(X, 25) == Red ? 1 : 0;
    EXPECT_GT(Lit, 10);
    EXPECT_LT(Lit, 30);
}

TEST_F(PainterCanvasTest, PolygonIsFilledAndPolylineIsNot)
{
    {
        QPainter P(&Image);
        TPainterCanvas C(P);
        C.SetPenColor(RGB(255, 0, 0));
        C.SetBrushColor(RGB(0, 255, 0));
        C.Polygon({{2, 2}, {12, 2}, {12, 12}, {2, 12}, {2, 2}});
        C.Polyline({{20, 2}, {30, 2}, {30, 12}, {20, 12}, {20, 2}});
    }
    EXPECT_EQ(At(7, 7), Green);
    EXPECT_EQ(At(2, 7), Red);
    EXPECT_EQ(At(25, 7), Black);
    EXPECT_EQ(At(25, 2), Red);
    EXPECT_EQ(At(20, 7), Red);
}

TEST_F(PainterCanvasTest, TextSitsOnAnOpaqueBoxOfItsMeasuredSize)
{
    QImage Wide(200, 40, QImage::Format_RGB32);
    Wide.fill(Qt::black);
    int W = 0;
    int H = 0;
    {
        QPainter P(&Wide);
        TPainterCanvas C(P);
        C.SetPenColor(RGB(255, 255, 255));
        C.SetBrushColor(RGB(0, 0, 128));
        W = C.TextWidth("Alt : 1.1");
        H = C.TextHeight("Alt : 1.1");
        C.TextOut(10, 5, "Alt : 1.1");
        EXPECT_GT(C.TextWidth("Alt : 1.10"), W);
    }
    ASSERT_GT(W, 0);
    ASSERT_GT(H, 0);
    EXPECT_EQ(Wide.pixelColor(10, 5), QColor(0, 0, 128));
    EXPECT_EQ(Wide.pixelColor(10 + W - 1, 5 + H - 1), QColor(0, 0, 128));
    EXPECT_EQ(Wide.pixelColor(10 + W, 5), Black);
    EXPECT_EQ(Wide.pixelColor(10, 5 + H), Black);
    EXPECT_EQ(Wide.pixelColor(9, 5), Black);
    int Ink = 0;
    for (int Y = 5; Y < 5 + H; ++Y)
        for (int X = 10; X < 10 + W; ++X)
            Ink += Wide.pixelColor(X, Y) == QColor(255, 255, 255) ? 1 : 0;
    EXPECT_GT(Ink, 10) << "the text is written in the pen colour";
}
