#include "views/PainterCanvas.h"

#include <QFontMetrics>
#include <QPolygon>
#include <QString>

QColor ToQColor(TColor Color)
{
    return QColor(GetRValue(Color), GetGValue(Color), GetBValue(Color));
}

TPainterCanvas::TPainterCanvas(QPainter& Painter) : FPainter(Painter)
{
    FPainter.setRenderHint(QPainter::Antialiasing, false);
    FPainter.setRenderHint(QPainter::TextAntialiasing, false);
}

void TPainterCanvas::SetPenColor(TColor Color) { FPenColor = Color; }
void TPainterCanvas::SetPenStyle(TPenStyle Style) { FPenStyle = Style; }
void TPainterCanvas::SetBrushColor(TColor Color) { FBrushColor = Color; }

void TPainterCanvas::ApplyPen(bool Outline)
{
    Qt::PenStyle Style = Qt::SolidLine;
    switch (FPenStyle) {
    case TPenStyle::psSolid: Style = Qt::SolidLine; break;
    case TPenStyle::psDot: Style = Qt::DotLine; break;
    case TPenStyle::psDashDotDot: Style = Qt::DashDotDotLine; break;
    }
    // A cosmetic one-pixel pen with flat caps leaves out a line's last pixel,
    // as raster canvases do, so joined segments never double a pixel.
    QPen Pen(ToQColor(FPenColor), 0, Style, Qt::FlatCap, Qt::MiterJoin);
    FPainter.setPen(Pen);
    FPainter.setBrush(Outline ? QBrush(Qt::NoBrush) : QBrush(ToQColor(FBrushColor)));
}

void TPainterCanvas::Line(int X1, int Y1, int X2, int Y2)
{
    ApplyPen(true);
    FPainter.drawLine(X1, Y1, X2, Y2);
}

namespace {

QPolygon ToQPolygon(const std::vector<TPixel>& Points)
{
    QPolygon Poly;
    Poly.reserve(static_cast<qsizetype>(Points.size()));
    for (const TPixel& P : Points)
        Poly << QPoint(P.X, P.Y);
    return Poly;
}

} // namespace

void TPainterCanvas::Polyline(const std::vector<TPixel>& Points)
{
    if (Points.size() < 2)
        return;
    const QPolygon Poly = ToQPolygon(Points);
    ApplyPen(true);
    FPainter.drawPolyline(Poly);
}

void TPainterCanvas::Polygon(const std::vector<TPixel>& Points)
{
    if (Points.empty())
        return;
    const QPolygon Poly = ToQPolygon(Points);
    ApplyPen(false);
    FPainter.drawPolygon(Poly);
}

void TPainterCanvas::Ellipse(int Left, int Top, int Right, int Bottom)
{
    if (Right - Left < 1 || Bottom - Top < 1)
        return;
    ApplyPen(false);
    // The outline of a QRect covers one pixel more than its size; the box
    // excludes its right column and bottom row.
    FPainter.drawEllipse(QRect(Left, Top, Right - Left - 1, Bottom - Top - 1));
}

void TPainterCanvas::Rectangle(int Left, int Top, int Right, int Bottom)
{
    if (Right - Left < 1 || Bottom - Top < 1)
        return;
    FPainter.fillRect(QRect(Left, Top, Right - Left, Bottom - Top), ToQColor(FBrushColor));
    ApplyPen(true);
    FPainter.drawRect(QRect(Left, Top, Right - Left - 1, Bottom - Top - 1));
}

void TPainterCanvas::TextOut(int X, int Y, const std::string& Text)
{
    const QString S = QString::fromStdString(Text);
    const QFontMetrics Metrics(FPainter.font());
    const QRect Box(X, Y, Metrics.horizontalAdvance(S), Metrics.height());
    FPainter.fillRect(Box, ToQColor(FBrushColor));
    FPainter.setPen(QPen(ToQColor(FPenColor)));
    FPainter.drawText(QPoint(X, Y + Metrics.ascent()), S);
}

int TPainterCanvas::TextWidth(const std::string& Text)
{
    return QFontMetrics(FPainter.font()).horizontalAdvance(QString::fromStdString(Text));
}

int TPainterCanvas::TextHeight(const std::string&)
{
    return QFontMetrics(FPainter.font()).height();
}
