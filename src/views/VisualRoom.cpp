#include "views/VisualRoom.h"

#include <QCursor>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <cmath>

#include "model/Utilities.h"
#include "views/PainterCanvas.h"
#include "views/ViewFrame.h"

namespace {

int RoundToInt(long double V) { return static_cast<int>(std::lrint(V)); }

TShiftState ShiftOf(const QMouseEvent* Event, bool Double)
{
    return TShiftState{Event->modifiers(), Event->buttons(), Double};
}

} // namespace

TVisualRoom::TVisualRoom(QWidget* Parent)
    : QWidget(Parent), FAcotations(std::make_unique<TAcotationManager>())
{
    // Hover must reach mouseMoveEvent for the tooltip, not only drags.
    setMouseTracking(true);
}

TVisualRoom::~TVisualRoom() = default;

void TVisualRoom::SetBackgroundColor(TColor Value)
{
    FBackgroundColor = Value;
    update();
}

void TVisualRoom::SetRoom(TRoom* Room)
{
    FRoom = Room;
    FAcotations->SetRoom(Room);
    // With a room every pixel is painted; without one the parent shows
    // through.
    setAttribute(Qt::WA_OpaquePaintEvent, Room != nullptr);
}

void TVisualRoom::FitToParent()
{
    QWidget* Parent = parentWidget();
    if (FRoom == nullptr || Parent == nullptr)
        return;
    const int Pw = Parent->width();
    const int Ph = Parent->height();
    if (Pw <= 0 || Ph <= 0)
        return;
    const long double W = FRoom->GetWidth();
    const long double D = FRoom->GetDepth();
    const long double H = FRoom->GetHeight();
    float A = 0.0f;
    switch (FAxis) {
    case apXY: A = static_cast<float>(W / D); break;
    case apXZ: A = static_cast<float>(W / H); break;
    case apYZ: A = static_cast<float>(D / H); break;
    }
    const int Cx = Pw / 2;
    const int Cy = Ph / 2;
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    if (A >= static_cast<float>(static_cast<long double>(Pw) / Ph)) {
        Left = 1;
        Right = Pw - 1;
        const long double T = static_cast<long double>(Pw + FRim) / (static_cast<long double>(A) * 2.0L);
        Top = RoundToInt(Cy - T);
        Bottom = RoundToInt(Cy + T);
    } else {
        Top = 1;
        Bottom = Ph - 1;
        const long double T = static_cast<long double>(Ph + FRim) * A / 2.0L;
        Left = RoundToInt(Cx - T);
        Right = RoundToInt(Cx + T);
    }
    setGeometry(Left, Top, std::max(0, Right - Left), std::max(0, Bottom - Top));
}

void TVisualRoom::SetBackgroundPicture(const QImage* Picture)
{
    if (Picture == nullptr) {
        FBackground.reset();
        return;
    }
    if (FBackground == nullptr || FBackground->size() != size()) {
        // A new or resized copy starts in the background colour where the
        // picture does not reach.
        FBackground = std::make_unique<QImage>(size(), QImage::Format_RGB32);
        FBackground->fill(ToQColor(FBackgroundColor));
    }
    if (FBackground->isNull())
        return;
    QPainter P(FBackground.get());
    P.setCompositionMode(QPainter::CompositionMode_Source);
    P.drawImage(0, 0, *Picture);
}

bool TVisualRoom::HasInnerArea(int Width, int Height) const
{
    return Width - 2 * FRim > 0 && Height - 2 * FRim > 0;
}

TPixel TVisualRoom::WorldToScreen(const TPoint3D& P) const { return WorldToScreen(P, width(), height()); }

TPoint3D TVisualRoom::ScreenToWorld(int X, int Y) const { return ScreenToWorld(X, Y, width(), height()); }

TPixel TVisualRoom::WorldToScreen(const TPoint3D& P, int Width, int Height) const
{
    if (FRoom == nullptr)
        return TPixel{0, 0};
    return TViewFrame::Of(*this, Width, Height).WorldToScreen(P);
}

TPoint3D TVisualRoom::ScreenToWorld(int X, int Y, int Width, int Height) const
{
    if (FRoom == nullptr)
        return Point3D(0.0f, 0.0f, 0.0f);
    return TViewFrame::Of(*this, Width, Height).ScreenToWorld(X, Y);
}

TItem* TVisualRoom::ItemAt(int X, int Y) const
{
    if (FRoom == nullptr || !HasInnerArea(width(), height()))
        return nullptr;
    const TPoint3D Q = ScreenToWorld(X, Y);
    TItem* Best = &FRoom->Listener();
    float BestDistance = PlaneDistance(Best->GetPosition(), Q, FAxis);
    const TSpeakerManager& Speakers = FRoom->Speakers();
    for (int I = 0; I < Speakers.Count(); ++I) {
        TSpeaker* S = Speakers.GetSpeaker(I);
        const float D = PlaneDistance(S->GetPosition(), Q, FAxis);
        if (D < BestDistance) {
            Best = S;
            BestDistance = D;
        }
    }
    return static_cast<long double>(BestDistance) <= 0.3L ? Best : nullptr;
}

float TVisualRoom::SymbolScale(int Width) const
{
    if (FRoom == nullptr)
        return 100.0f;
    const long double Extent = FAxis == apYZ ? FRoom->GetDepth() : FRoom->GetWidth();
    const float S = static_cast<float>((Width - 2 * FRim) / Extent);
    return S < 100.0f ? 100.0f : S;
}

void TVisualRoom::DrawRoom(QPainter& Painter, int Width, int Height)
{
    if (FRoom == nullptr)
        return;
    TPainterCanvas Canvas(Painter);
    const int R = FRim;
    Painter.fillRect(QRect(0, 0, Width, Height), ToQColor(FBackgroundColor));
    if (FBackground != nullptr && HasInnerArea(Width, Height)) {
        const QRect Inner(R, R, Width - 2 * R, Height - 2 * R);
        Painter.drawImage(Inner.topLeft(), *FBackground, Inner);
    }
    if (OnPaint)
        OnPaint(*this, Canvas);
    // Walls: WallSize nested one-pixel frames, the first on the inner face,
    // the others growing into the margin.
    const QColor Wall = ToQColor(FWallColor);
    for (int I = 0; I < FWallSize; ++I) {
        const int L = R - I;
        const int T = R - I;
        const int Rt = Width - R + I;
        const int B = Height - R + I;
        if (Rt - L < 1 || B - T < 1)
            continue;
        Painter.fillRect(QRect(L, T, Rt - L, 1), Wall);
        Painter.fillRect(QRect(L, B - 1, Rt - L, 1), Wall);
        Painter.fillRect(QRect(L, T, 1, B - T), Wall);
        Painter.fillRect(QRect(Rt - 1, T, 1, B - T), Wall);
    }
    DrawElements(Canvas, Width, Height);
    if (FShowAcotation)
        DrawAcotations(Canvas, Width, Height);
    if (OnOverlay)
        OnOverlay(*this, Canvas);
}

void TVisualRoom::DrawElements(TCanvas& Canvas, int Width, int Height)
{
    if (FRoom == nullptr)
        return;
    const float S = SymbolScale(Width);
    const TSpeakerManager& Speakers = FRoom->Speakers();
    for (int I = 0; I < Speakers.Count(); ++I) {
        const TSpeaker* Sp = Speakers.GetSpeaker(I);
        Sp->Draw(Canvas, WorldToScreen(Sp->GetPosition(), Width, Height), FAxis, S);
    }
    const TListener& L = FRoom->Listener();
    L.Draw(Canvas, WorldToScreen(L.GetPosition(), Width, Height), FAxis, S);
}

void TVisualRoom::DrawAcotations(TCanvas& Canvas, int Width, int Height)
{
    if (FRoom == nullptr)
        return;
    Canvas.SetPenColor(FBackgroundColor ^ 0x00FFFFFFu);
    Canvas.SetBrushColor(FBackgroundColor);
    FAcotations->Build();
    for (int I = 0; I < FAcotations->Count(); ++I) {
        const TCote* Cote = FAcotations->GetCote(I);
        if (Cote == nullptr)
            continue;
        if (IsWallSurface(Cote->Surface())) {
            Canvas.SetPenStyle(TPenStyle::psSolid);
            DrawWallCote(Canvas, *Cote, Width, Height);
        } else {
            Canvas.SetPenStyle(TPenStyle::psDashDotDot);
            DrawDistanceCote(Canvas, *Cote, Width, Height);
        }
        DrawHeightLabel(Canvas, *Cote, Width, Height);
    }
    Canvas.SetPenStyle(TPenStyle::psSolid);
}

void TVisualRoom::DrawDistanceCote(TCanvas& Canvas, const TCote& Cote, int Width, int Height)
{
    const TPoint3D P = Cote.Position();
    const long double W = FRoom->GetWidth();
    const long double D = FRoom->GetDepth();
    const TPixel Pp = WorldToScreen(P, Width, Height);
    const auto Measure = [&](const TPoint3D& Ref, long double Distance) {
        const TPixel Q = WorldToScreen(Ref, Width, Height);
        Canvas.Line(Pp.X, Pp.Y, Q.X, Q.Y);
        const std::string Text = FormatShort(static_cast<float>(Distance));
        const int Tw = Canvas.TextWidth(Text);
        const int Th = Canvas.TextHeight(Text);
        Canvas.TextOut((Pp.X + Q.X - Tw) / 2, (Pp.Y + Q.Y - Th) / 2, Text);
    };
    // Across the width an element a hair past the middle still counts from
    // X = 0; along the depth there is no such allowance.
    const float XRef = W / 2.0L + 0.01L >= P.X ? 0.0f : FRoom->GetWidth();
    Measure(Point3D(XRef, P.Y, P.Z), std::fabs(static_cast<long double>(P.X) - XRef));
    const float YRef = D / 2.0L >= P.Y ? 0.0f : FRoom->GetDepth();
    Measure(Point3D(P.X, YRef, P.Z), std::fabs(static_cast<long double>(P.Y) - YRef));
}

void TVisualRoom::DrawWallCote(TCanvas& Canvas, const TCote& Cote, int Width, int Height)
{
    const TPoint3D Ref = FAcotations->ReferencePoint(Cote);
    const TPixel P1 = WorldToScreen(Ref, Width, Height);
    const TPixel P2 = WorldToScreen(Cote.Position(), Width, Height);
    const std::string Text = FormatShort(PlaneDistance(Ref, Cote.Position(), FAxis));
    const int K = Cote.Level() * 12 + FWallSize;
    int Dx = 0;
    int Dy = 0;
    switch (Cote.Surface()) {
    case rsWallY0: Dy = -K; break;
    case rsWallYD: Dy = K; break;
    case rsWallX0: Dx = -K; break;
    case rsWallXW: Dx = K; break;
    default: break;
    }
    Canvas.Polyline({P1, TPixel{P1.X + Dx, P1.Y + Dy}, TPixel{P2.X + Dx, P2.Y + Dy}, P2});
    const int Tw = Canvas.TextWidth(Text);
    const int Th = Canvas.TextHeight(Text);
    Canvas.TextOut((P1.X + P2.X - Tw) / 2 + Dx, (P1.Y + P2.Y - Th) / 2 + Dy, Text);
}

void TVisualRoom::DrawHeightLabel(TCanvas& Canvas, const TCote& Cote, int Width, int Height)
{
    const TPoint3D P = Cote.Position();
    if (static_cast<long double>(P.Z) <= 0.01L)
        return;
    const TPixel Pp = WorldToScreen(P, Width, Height);
    const std::string Text = "Alt : " + FormatShort(P.Z);
    const int Tw = Canvas.TextWidth(Text);
    const int Th = Canvas.TextHeight(Text);
    int Dx = -(Tw / 2);
    int Dy = -(Th / 2);
    switch (Cote.Surface()) {
    case rsWallY0: Dy = 10; break;
    case rsWallYD: Dy = -(Th + 10); break;
    default:
        Dx = static_cast<long double>(FRoom->GetWidth()) / 2.0L + 0.01L >= P.X ? 17 : -(Tw + 17);
        break;
    }
    Canvas.TextOut(Pp.X + Dx, Pp.Y + Dy, Text);
}

void TVisualRoom::Repaint()
{
    if (FRoom == nullptr) {
        // Nothing to draw: let the parent show through.
        update();
        return;
    }
    // The buffer has the screen's pixel density, so the copy onto the
    // widget is one to one; drawing still uses the widget's coordinates.
    const qreal Ratio = devicePixelRatioF();
    if (FBuffer.deviceIndependentSize() != QSizeF(size()) || FBuffer.devicePixelRatio() != Ratio) {
        FBuffer = QImage(size() * Ratio, QImage::Format_RGB32);
        FBuffer.setDevicePixelRatio(Ratio);
    }
    if (FBuffer.isNull())
        return;
    {
        QPainter P(&FBuffer);
        P.setFont(font());
        DrawRoom(P, width(), height());
    }
    FBufferFresh = true;
    repaint();
    FBufferFresh = false;
}

QImage TVisualRoom::Render(int Width, int Height)
{
    const int W = Width < 0 ? width() : Width;
    const int H = Height < 0 ? height() : Height;
    QImage Image(std::max(W, 1), std::max(H, 1), QImage::Format_ARGB32_Premultiplied);
    Image.fill(Qt::transparent);
    QPainter P(&Image);
    P.setFont(font());
    DrawRoom(P, W, H);
    return Image;
}

void TVisualRoom::Paint(QPainter& Painter)
{
    Painter.setFont(font());
    DrawRoom(Painter, width(), height());
}

void TVisualRoom::paintEvent(QPaintEvent*)
{
    QPainter P(this);
    if (FBufferFresh && FBuffer.deviceIndependentSize() == QSizeF(size()))
        P.drawImage(0, 0, FBuffer);
    else
        Paint(P);
}

void TVisualRoom::MousePressed(QMouseEvent* Event, bool Double)
{
    const QPoint Pos = Event->position().toPoint();
    FDragItem = ItemAt(Pos.x(), Pos.y());
    if (!Double && FDragItem != nullptr) {
        // The dragged element follows the pointer absolutely: put the pointer
        // on the element first so that it does not jump when the drag starts.
        const TPixel P = WorldToScreen(FDragItem->GetPosition());
        QCursor::setPos(mapToGlobal(QPoint(P.X, P.Y)));
    }
    if (OnMouseDown)
        OnMouseDown(*this, Event->button(), ShiftOf(Event, Double), Pos.x(), Pos.y());
}

void TVisualRoom::mousePressEvent(QMouseEvent* Event) { MousePressed(Event, false); }

void TVisualRoom::mouseDoubleClickEvent(QMouseEvent* Event) { MousePressed(Event, true); }

void TVisualRoom::mouseReleaseEvent(QMouseEvent* Event)
{
    FDragItem = nullptr;
    if (OnMouseUp) {
        const QPoint Pos = Event->position().toPoint();
        OnMouseUp(*this, Event->button(), ShiftOf(Event, false), Pos.x(), Pos.y());
    }
}

void TVisualRoom::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint Pos = Event->position().toPoint();
    if (FRoom != nullptr) {
        TPoint3D Q = ScreenToWorld(Pos.x(), Pos.y());
        const QString OldHint = toolTip();
        QString NewHint;
        const TItem* Under = ItemAt(Pos.x(), Pos.y());
        FShowHint = Under != nullptr;
        if (Under != nullptr)
            NewHint = QString::fromStdString(Under->Name() + "\r\n" + Point3DToStr(Under->GetPosition()));
        setToolTip(NewHint);
        if (QToolTip::isVisible() && NewHint != OldHint) {
            if (FShowHint)
                QToolTip::showText(Event->globalPosition().toPoint(), QString(NewHint).remove(QLatin1Char('\r')), this);
            else
                QToolTip::hideText();
        }
        if (Event->buttons().testFlag(Qt::LeftButton) && FDragItem != nullptr && FMoveItems &&
            HasInnerArea(width(), height())) {
            // Keep the coordinate this view does not show.
            const TPoint3D Old = FDragItem->GetPosition();
            switch (FAxis) {
            case apXY: Q.Z = Old.Z; break;
            case apXZ: Q.Y = Old.Y; break;
            case apYZ: Q.X = Old.X; break;
            }
            FDragItem->SetPosition(Q);
            FRoom->ItemMoved(*FDragItem);
            FRoom->ClampElements();
            Repaint();
        }
    }
    if (OnMouseMove)
        OnMouseMove(*this, ShiftOf(Event, false), Pos.x(), Pos.y());
}

bool TVisualRoom::event(QEvent* Event)
{
    if (Event->type() == QEvent::ToolTip) {
        const auto* Help = static_cast<QHelpEvent*>(Event);
        if (FShowHint && !toolTip().isEmpty())
            QToolTip::showText(Help->globalPos(), toolTip().remove(QLatin1Char('\r')), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(Event);
}
