// The room view: projections and fitting with the figures of a real layout,
// the picture it draws (checked at chosen pixels), the hit test, and drags
// driven by mouse events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QTest>
#include <array>
#include <string>
#include <vector>

#include "model/Room.h"
#include "support/RecordingCanvas.h"
#include "views/VisualRoom.h"

namespace {

constexpr TColor White = RGB(255, 255, 255);
constexpr TColor Blue = RGB(0, 0, 255);
constexpr TColor Red = RGB(255, 0, 0);
constexpr TColor Green = RGB(0, 200, 0);
constexpr TColor Yellow = RGB(255, 255, 0);
constexpr TColor Cyan = RGB(0, 255, 255);
constexpr TColor Magenta = RGB(204, 0, 204);

TColor PixelAt(const QImage& Image, int X, int Y)
{
    const QRgb P = Image.pixel(X, Y);
    return RGB(static_cast<std::uint8_t>(qRed(P)), static_cast<std::uint8_t>(qGreen(P)),
               static_cast<std::uint8_t>(qBlue(P)));
}

using TXyz = std::array<float, 3>;
TXyz Xyz(const TPoint3D& P) { return {P.X, P.Y, P.Z}; }

// Sends a mouse event straight to the widget; unlike QTest::mouseMove it can
// say which buttons are held while the pointer moves.
void SendMouse(QWidget& W, QEvent::Type Type, QPoint P, Qt::MouseButton Button, Qt::MouseButtons Held)
{
    QMouseEvent E(Type, QPointF(P), QPointF(W.mapToGlobal(P)), Button, Held, Qt::NoModifier);
    QApplication::sendEvent(&W, &E);
}

class VisualRoomTest : public ::testing::Test {
protected:
    TRoom Room;
    QWidget Parent;
    TVisualRoom* View = nullptr; // owned by Parent

    void SetUp() override
    {
        Parent.resize(800, 800);
        View = new TVisualRoom(&Parent);
        View->SetRoom(&Room);
        Room.Listener().SetPosition(Point3D(2.0f, 3.0f, 1.1f));
        Room.Speakers().FindByChannel(0)->SetPosition(Point3D(1.0f, 1.5f, 0.65f));
        Room.Speakers().FindByChannel(1)->SetPosition(Point3D(3.53f, 1.5f, 0.65f));
    }

    // Plan at exactly 100 pixels per metre on both axes (inner 453 x 733).
    void PlanAt100()
    {
        View->SetRim(10);
        View->setGeometry(0, 0, 473, 753);
    }
    void Show()
    {
        Parent.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Parent));
    }
    QPoint PixelOf(const TItem& Item) const
    {
        const TPixel P = View->WorldToScreen(Item.GetPosition());
        return {P.X, P.Y};
    }
    QPoint Pointer() const { return View->mapFromGlobal(QCursor::pos()); }
    // A real press; the events it caused (the pointer put onto the element)
    // are let through before the test goes on.
    void Press(QPoint P)
    {
        QTest::mousePress(View, Qt::LeftButton, Qt::NoModifier, P);
        QApplication::processEvents();
    }
    void DragTo(QPoint P) { SendMouse(*View, QEvent::MouseMove, P, Qt::NoButton, Qt::LeftButton); }
    void Release(QPoint P) { QTest::mouseRelease(View, Qt::LeftButton, Qt::NoModifier, P); }
};

// The plan at 100 pixels per metre, on the screen, for mouse gestures.
class ShownPlanTest : public VisualRoomTest {
protected:
    void SetUp() override
    {
        VisualRoomTest::SetUp();
        PlanAt100();
        Show();
    }
};

} // namespace

TEST_F(VisualRoomTest, WithoutARoomNothingIsDrawnFoundOrFitted)
{
    View->setGeometry(5, 5, 100, 80);
    View->SetRoom(nullptr);
    EXPECT_EQ(View->ItemAt(50, 40), nullptr);
    EXPECT_EQ(qAlpha(View->Render().pixel(50, 40)), 0) << "the parent shows through";
    View->Repaint();
    View->FitToParent();
    EXPECT_EQ(View->geometry(), QRect(5, 5, 100, 80));
}

TEST_F(VisualRoomTest, PlanProjectionOfTheLayoutExample)
{
    View->SetRim(30);
    View->resize(278, 419);
    EXPECT_EQ(View->WorldToScreen(Point3D(0, 0, 1.7f)), (TPixel{30, 30}));
    EXPECT_EQ(View->WorldToScreen(Point3D(4.53f, 7.33f, 0.2f)), (TPixel{248, 389}));
    EXPECT_EQ(Xyz(View->ScreenToWorld(30, 30)), (TXyz{0, 0, 0}));
    const TPoint3D Far = View->ScreenToWorld(248, 389);
    EXPECT_FLOAT_EQ(Far.X, 4.53f);
    EXPECT_FLOAT_EQ(Far.Y, 7.33f);
    // Margin pixels lie outside the room, without clamping.
    const TPoint3D Out = View->ScreenToWorld(0, 400);
    EXPECT_LT(Out.X, 0.0f);
    EXPECT_GT(Out.Y, 7.33f);
    for (int X = 30; X <= 248; ++X)
        EXPECT_EQ(View->WorldToScreen(View->ScreenToWorld(X, 100)).X, X) << "round trip of column " << X;
    // Exact halves go to the even pixel: 4 m over 400 pixels.
    Room.SetWidth(4.0f);
    View->resize(460, 419);
    EXPECT_EQ(View->WorldToScreen(Point3D(0.625f, 0, 0)).X, 30 + 62);
    EXPECT_EQ(View->WorldToScreen(Point3D(0.375f, 0, 0)).X, 30 + 38);
}

TEST_F(VisualRoomTest, ElevationsPutTheFloorAtTheBottom)
{
    View->SetRim(10);
    View->resize(300, 120);
    for (const TAxisProjection Axis : {apYZ, apXZ}) {
        View->SetAxis(Axis);
        EXPECT_EQ(View->WorldToScreen(Point3D(0, 0, 0)), (TPixel{10, 110})) << Axis;
        EXPECT_EQ(View->WorldToScreen(Point3D(4.53f, 7.33f, 2.8f)), (TPixel{290, 10})) << Axis;
        const TPoint3D Q = View->ScreenToWorld(150, 10);
        const TXyz Expected = Axis == apYZ ? TXyz{0, 7.33f / 2, 2.8f} : TXyz{4.53f / 2, 0, 2.8f};
        for (int I = 0; I < 3; ++I)
            EXPECT_FLOAT_EQ(Xyz(Q)[I], Expected[I]) << Axis << " coordinate " << I;
    }
}

TEST_F(VisualRoomTest, FitToParentExamples)
{
    View->SetRim(30);
    struct Row { TAxisProjection Axis; QSize ParentSize; QRect Fitted; };
    const Row Rows[] = {
        {apXY, {281, 421}, {1, 1, 278, 419}},   // the plan is relatively taller: full height
        {apYZ, {341, 181}, {1, 19, 339, 142}},  // the elevation is relatively wider: full width
        {apXY, {600, 300}, {198, 1, 204, 298}}, // full height, centred across
    };
    for (const Row& C : Rows) {
        View->SetAxis(C.Axis);
        Parent.resize(C.ParentSize);
        View->FitToParent();
        EXPECT_EQ(View->geometry(), C.Fitted) << C.Axis << " in " << C.ParentSize.width() << "x"
                                              << C.ParentSize.height();
    }
}

TEST_F(VisualRoomTest, SymbolsAreNeverDrawnBelow100PixelsPerMetre)
{
    View->SetRim(10);
    Room.SetWidth(5.0f);
    // Inner widths 244 and 750 over 5 m: 48.8 px/m is drawn at 100, 150 at
    // 150, as the listener's ellipse shows. The listener comes last.
    struct Row { int Width; int HalfW; int HalfH; };
    for (const Row& C : {Row{264, 8, 10}, Row{770, 13, 15}}) {
        View->resize(C.Width, 400);
        TRecordingCanvas Canvas;
        View->DrawElements(Canvas, C.Width, 400);
        const QPoint L = PixelOf(Room.Listener());
        ASSERT_EQ(Canvas.Shapes().size(), 3u);
        EXPECT_EQ(Canvas.Shapes().back(),
                  "ellipse " + TRecordingCanvas::Pts({{L.x() - C.HalfW, L.y() - C.HalfH}, {L.x() + C.HalfW, L.y() + C.HalfH}}))
            << "width " << C.Width;
    }
    View->SetAxis(apYZ);
    EXPECT_FLOAT_EQ(View->SymbolScale(770), static_cast<float>(750.0L / Room.GetDepth())) << "measured along the depth";
}

TEST_F(VisualRoomTest, WallsMarginAndPicture)
{
    View->SetRim(10);
    View->SetWallSize(3);
    const int W = 200;
    const int H = 150;
    View->resize(W, H);
    View->SetBackgroundColor(Magenta);
    QImage Picture(W, H, QImage::Format_RGB888);
    Picture.fill(QColor(0, 200, 0));
    View->SetBackgroundPicture(&Picture);
    Picture.fill(Qt::yellow); // the view keeps its own copy
    const QImage Image = View->Render();
    for (const int X : {8, 9, 10, W - 11, W - 10, W - 9})
        EXPECT_EQ(PixelAt(Image, X, 40), White) << "wall column " << X;
    for (const int Y : {8, 9, 10, H - 11, H - 10, H - 9})
        EXPECT_EQ(PixelAt(Image, 60, Y), White) << "wall row " << Y;
    for (const int X : {0, 7, W - 8, W - 1})
        EXPECT_EQ(PixelAt(Image, X, 40), Magenta) << "margin column " << X;
    for (const int X : {11, 100, W - 12})
        EXPECT_EQ(PixelAt(Image, X, 40), Green) << "picture column " << X;
    View->SetBackgroundPicture(nullptr);
    EXPECT_EQ(PixelAt(View->Render(), 100, 40), Magenta) << "picture dropped";
}

TEST_F(VisualRoomTest, DrawingOrder)
{
    PlanAt100();
    QImage Picture(View->size(), QImage::Format_RGB32);
    Picture.fill(QColor(0, 200, 0));
    View->SetBackgroundPicture(&Picture);
    const QPoint L = PixelOf(Room.Listener());
    const QPoint S = PixelOf(*Room.Speakers().FindByChannel(1));
    QImage Image = View->Render();
    EXPECT_EQ(PixelAt(Image, L.x(), L.y()), Blue) << "listener over the picture";
    EXPECT_EQ(PixelAt(Image, S.x(), S.y() - 4), Red) << "loudspeaker's magnet over the picture";

    // With the loudspeaker under the listener; OnPaint covers the picture
    // and the margin, OnOverlay paints over the listener.
    Room.Speakers().FindByChannel(1)->SetPosition(Room.Listener().GetPosition());
    std::vector<std::string> Order;
    View->OnPaint = [&](TVisualRoom& Sender, TCanvas& Canvas) {
        EXPECT_EQ(&Sender, View);
        Order.push_back("paint");
        Canvas.SetPenColor(Yellow);
        Canvas.SetBrushColor(Yellow);
        Canvas.Rectangle(0, 0, Sender.width(), Sender.height());
    };
    View->OnOverlay = [&](TVisualRoom&, TCanvas& Canvas) {
        Order.push_back("overlay");
        Canvas.SetPenColor(Cyan);
        Canvas.SetBrushColor(Cyan);
        Canvas.Rectangle(L.x() - 1, L.y() - 1, L.x() + 2, L.y() + 2);
    };
    Image = View->Render();
    EXPECT_EQ(PixelAt(Image, 100, 100), Yellow) << "OnPaint after the picture";
    EXPECT_EQ(PixelAt(Image, 10, 100), White) << "walls after OnPaint";
    EXPECT_EQ(PixelAt(Image, L.x(), L.y() - 4), Blue) << "listener after OnPaint and the loudspeakers";
    EXPECT_EQ(PixelAt(Image, L.x(), L.y()), Cyan) << "overlay last";
    EXPECT_EQ(Order, (std::vector<std::string>{"paint", "overlay"}));
}

TEST_F(ShownPlanTest, OnlyTheBackgroundColourSchedulesAPaint)
{
    QApplication::processEvents();
    struct PaintCounter : QObject {
        int Count = 0;
        bool eventFilter(QObject*, QEvent* E) override
        {
            Count += E->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } Counter;
    View->installEventFilter(&Counter);
    View->SetRim(20);
    View->SetWallColor(Red);
    QApplication::processEvents();
    EXPECT_EQ(Counter.Count, 0) << "plain stores do not repaint";
    View->SetBackgroundColor(Magenta);
    QApplication::processEvents();
    EXPECT_GE(Counter.Count, 1);
    EXPECT_EQ(PixelAt(View->grab().toImage(), 2, 2), Magenta);
    View->removeEventFilter(&Counter);
}

TEST_F(VisualRoomTest, HitTestInRoomMetres)
{
    View->SetRim(10);
    for (const int Scale : {1, 2}) {
        // 100 and 200 pixels per metre: the 0.3 m reach does not depend on it.
        View->resize(453 * Scale + 20, 733 * Scale + 20);
        const int Lx = 10 + 200 * Scale;
        const int Ly = 10 + 300 * Scale;
        EXPECT_EQ(View->ItemAt(Lx + 29 * Scale, Ly), &Room.Listener()) << Scale;
        EXPECT_EQ(View->ItemAt(Lx, Ly - 29 * Scale), &Room.Listener()) << Scale;
        EXPECT_EQ(View->ItemAt(Lx + 31 * Scale, Ly), nullptr) << Scale;
        EXPECT_EQ(View->ItemAt(10 + 100 * Scale, 10 + 150 * Scale), Room.Speakers().FindByChannel(0)) << Scale;
    }
    // A tie between the listener and a loudspeaker goes to the listener.
    Room.SetWidth(4.0f);
    View->resize(420, 753);
    Room.Speakers().FindByChannel(1)->SetPosition(Point3D(2.5f, 3.0f, 0.65f));
    EXPECT_EQ(View->ItemAt(10 + 225, 10 + 300), &Room.Listener());
    EXPECT_EQ(View->ItemAt(10 + 226, 10 + 300), Room.Speakers().FindByChannel(1));
    // A view no larger than twice its Rim finds nothing.
    View->resize(20, 20);
    EXPECT_EQ(View->ItemAt(10, 10), nullptr);
}

TEST_F(ShownPlanTest, PressesGrabButOnlyTheLeftButtonDrags)
{
    const TXyz Before = Xyz(Room.Listener().GetPosition());
    const QPoint L = PixelOf(Room.Listener());
    TItem* SeenAtDown = nullptr;
    TItem* SeenAtUp = nullptr;
    Qt::MouseButton SeenButton = Qt::NoButton;
    bool SeenDouble = false;
    View->OnMouseDown = [&](TVisualRoom& Sender, Qt::MouseButton Button, TShiftState Shift, int, int) {
        SeenAtDown = Sender.DragItem();
        SeenButton = Button;
        SeenDouble = Shift.Double;
    };
    View->OnMouseUp = [&](TVisualRoom& Sender, Qt::MouseButton, TShiftState, int, int) { SeenAtUp = Sender.DragItem(); };
    // Each press, then a move with its button held that must not move anything.
    struct Row { const char* Name; QEvent::Type Type; Qt::MouseButton Button; bool MoveItems; QPoint At; bool Grabs; bool PointerJumps; };
    const Row Rows[] = {
        {"left, MoveItems off", QEvent::MouseButtonPress, Qt::LeftButton, false, L + QPoint(12, 7), true, true},
        {"right button", QEvent::MouseButtonPress, Qt::RightButton, true, L + QPoint(5, 0), true, true},
        {"double click", QEvent::MouseButtonDblClick, Qt::LeftButton, false, L + QPoint(10, 0), true, false},
        {"empty floor", QEvent::MouseButtonPress, Qt::LeftButton, true, QPoint(400, 700), false, false},
    };
    for (const Row& C : Rows) {
        View->SetMoveItems(C.MoveItems);
        QCursor::setPos(View->mapToGlobal(QPoint(3, 3)));
        QApplication::processEvents();
        SeenAtUp = &Room.Listener();
        SendMouse(*View, C.Type, C.At, C.Button, C.Button);
        EXPECT_EQ(SeenAtDown, C.Grabs ? &Room.Listener() : nullptr) << C.Name << ": OnMouseDown comes after the grab";
        EXPECT_EQ(SeenButton, C.Button) << C.Name;
        EXPECT_EQ(SeenDouble, C.Type == QEvent::MouseButtonDblClick) << C.Name;
        EXPECT_EQ(Pointer(), C.PointerJumps ? L : QPoint(3, 3)) << C.Name;
        SendMouse(*View, QEvent::MouseMove, C.At + QPoint(50, 50), Qt::NoButton, C.Button);
        EXPECT_EQ(Xyz(Room.Listener().GetPosition()), Before) << C.Name;
        SendMouse(*View, QEvent::MouseButtonRelease, C.At + QPoint(50, 50), C.Button, Qt::NoButton);
        EXPECT_EQ(SeenAtUp, nullptr) << C.Name << ": OnMouseUp comes after the release";
    }
}

TEST_F(ShownPlanTest, DragInThePlanMovesMirrorsAndConfines)
{
    TSpeaker& Left = *Room.Speakers().FindByChannel(0);
    TSpeaker& Right = *Room.Speakers().FindByChannel(1);
    TXyz SeenInMove{};
    View->OnMouseMove = [&](TVisualRoom&, TShiftState Shift, int, int) {
        if (Shift.LeftHeld())
            SeenInMove = Xyz(Left.GetPosition());
    };
    int Overlays = 0;
    View->OnOverlay = [&](TVisualRoom&, TCanvas&) { ++Overlays; };
    Press(PixelOf(Left));
    const int OverlaysBefore = Overlays;
    DragTo(QPoint(110, 210));
    const TPoint3D Q = View->ScreenToWorld(110, 210);
    EXPECT_EQ(Xyz(Left.GetPosition()), (TXyz{Q.X, Q.Y, 0.65f})) << "the plan keeps the height";
    EXPECT_EQ(SeenInMove, Xyz(Left.GetPosition())) << "OnMouseMove runs after the move";
    EXPECT_FLOAT_EQ(Right.GetPosition().X, Room.GetWidth() - Q.X) << "the partner mirrors across X = W / 2";
    EXPECT_FLOAT_EQ(Right.GetPosition().Y, Q.Y);
    EXPECT_FLOAT_EQ(Right.GetPosition().Z, 0.65f);
    EXPECT_EQ(PixelAt(View->grab().toImage(), 110, 210 - 4), White) << "repainted at the new place";

    // Into the top-left margin: back onto the walls.
    DragTo(QPoint(2, 3));
    EXPECT_EQ(Left.GetPosition().X, 0.0f);
    EXPECT_EQ(Left.GetPosition().Y, 0.0f);
    EXPECT_FLOAT_EQ(Right.GetPosition().X, Room.GetWidth());
    EXPECT_GE(Overlays - OverlaysBefore, 2) << "every drag step redraws the overlay too";
    Release(QPoint(2, 3));
    DragTo(QPoint(300, 300));
    EXPECT_EQ(Left.GetPosition().X, 0.0f) << "after the release moves change nothing";
}

TEST_F(VisualRoomTest, DragInTheSideElevationKeepsX)
{
    View->SetAxis(apYZ);
    View->SetRim(10);
    View->setGeometry(0, 0, 753, 300);
    Show();
    Press(PixelOf(Room.Listener()));
    DragTo(QPoint(500, 100));
    const TPoint3D Q = View->ScreenToWorld(500, 100);
    EXPECT_EQ(Xyz(Room.Listener().GetPosition()), (TXyz{2.0f, Q.Y, Q.Z}));
    DragTo(QPoint(500, 0));
    EXPECT_FLOAT_EQ(Room.Listener().GetPosition().Z, Room.GetHeight()) << "confined below the ceiling";
    Release(QPoint(500, 0));
}

TEST_F(ShownPlanTest, HoverNamesTheElementUnderThePointer)
{
    Room.Listener().SetPosition(Point3D(2.5f, 4.75f, 1.1f));
    const QString Hint = QString::fromUtf8("Oyente\r\n(4.75   2.50   1.10)");
    const QPoint L = PixelOf(Room.Listener());
    SendMouse(*View, QEvent::MouseMove, L + QPoint(3, 0), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(View->Hint(), Hint);
    EXPECT_TRUE(View->ShowHint());
    SendMouse(*View, QEvent::MouseMove, QPoint(440, 40), Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(View->Hint().isEmpty());
    EXPECT_FALSE(View->ShowHint());

    // While dragging, the hint tells where the element was before this move.
    Press(L);
    DragTo(L + QPoint(0, 10));
    EXPECT_EQ(View->Hint(), Hint);
    Release(L + QPoint(0, 10));
}

TEST_F(VisualRoomTest, DegenerateSizesMoveNothingAndDrawSafely)
{
    View->SetRim(10);
    View->setGeometry(0, 0, 15, 300);
    Show();
    const TXyz Before = Xyz(Room.Listener().GetPosition());
    SendMouse(*View, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
    DragTo(QPoint(7, 100));
    EXPECT_EQ(Xyz(Room.Listener().GetPosition()), Before);
    SendMouse(*View, QEvent::MouseButtonRelease, QPoint(7, 100), Qt::LeftButton, Qt::NoButton);
    View->Repaint();
    View->setGeometry(0, 0, 0, 0);
    View->Repaint();
    View->Render();
}
