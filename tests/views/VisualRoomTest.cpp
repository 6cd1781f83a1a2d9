// The room view: projections and fitting with the figures of a real layout,
// the picture it draws (checked at chosen pixels), the hit test, and drags
// driven by mouse events.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <string>
#include <vector>

#include "model/Room.h"
#include "support/RecordingCanvas.h"
#include "views/VisualRoom.h"

using ::testing::Contains;
using ::testing::HasSubstr;

namespace {

TColor PixelAt(const QImage& Image, int X, int Y)
{
    const QRgb P = Image.pixel(X, Y);
    return RGB(static_cast<std::uint8_t>(qRed(P)), static_cast<std::uint8_t>(qGreen(P)),
               static_cast<std::uint8_t>(qBlue(P)));
}

constexpr TColor Black = RGB(0, 0, 0);
constexpr TColor White = RGB(255, 255, 255);
constexpr TColor Blue = RGB(0, 0, 255);
constexpr TColor Red = RGB(255, 0, 0);
constexpr TColor Green = RGB(0, 200, 0);

// Sends a mouse event straight to the widget; unlike QTest::mouseMove it can
// say which buttons are held while the pointer moves.
void SendMouse(QWidget& W, QEvent::Type Type, QPoint P, Qt::MouseButton Button, Qt::MouseButtons Held,
               Qt::KeyboardModifiers Keys = Qt::NoModifier)
{
    QMouseEvent E(Type, QPointF(P), QPointF(W.mapToGlobal(P)), Button, Held, Keys);
    QApplication::sendEvent(&W, &E);
}

// A real press; then the events it caused (the pointer moved onto the
// element) are let through before the test goes on.
void Press(QWidget& W, QPoint P, Qt::MouseButton Button = Qt::LeftButton)
{
    QTest::mousePress(&W, Button, Qt::NoModifier, P);
    QApplication::processEvents();
}

void DragTo(QWidget& W, QPoint P) { SendMouse(W, QEvent::MouseMove, P, Qt::NoButton, Qt::LeftButton); }

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

    void ShowParent()
    {
        Parent.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Parent));
    }
};

} // namespace

TEST_F(VisualRoomTest, DefaultsAndNoRoom)
{
    TVisualRoom Fresh;
    EXPECT_EQ(Fresh.Rim(), 5);
    EXPECT_EQ(Fresh.WallSize(), 5);
    EXPECT_EQ(Fresh.WallColor(), White);
    EXPECT_EQ(Fresh.BackgroundColor(), Black);
    EXPECT_EQ(Fresh.Axis(), apXY);
    EXPECT_FALSE(Fresh.ShowAcotation());
    EXPECT_TRUE(Fresh.MoveItems());
    EXPECT_EQ(Fresh.Room(), nullptr);
    EXPECT_EQ(Fresh.BackgroundPicture(), nullptr);
    Fresh.resize(100, 80);
    EXPECT_EQ(Fresh.ItemAt(50, 40), nullptr);
    // Nothing is drawn without a room: the parent shows through.
    const QImage Image = Fresh.Render();
    EXPECT_EQ(qAlpha(Image.pixel(50, 40)), 0);
    Fresh.Repaint();
}

TEST_F(VisualRoomTest, PlanProjectionOfTheLayoutExample)
{
    Room.SetDefaults();
    View->SetRim(30);
    View->resize(278, 419);
    EXPECT_EQ(View->WorldToScreen(Point3D(0, 0, 1.7f)), (TPixel{30, 30}));
    EXPECT_EQ(View->WorldToScreen(Point3D(4.53f, 7.33f, 0.2f)), (TPixel{248, 389}));
    const TPoint3D Corner = View->ScreenToWorld(30, 30);
    EXPECT_EQ(Corner.X, 0.0f);
    EXPECT_EQ(Corner.Y, 0.0f);
    EXPECT_EQ(Corner.Z, 0.0f);
    const TPoint3D Far = View->ScreenToWorld(248, 389);
    EXPECT_FLOAT_EQ(Far.X, 4.53f);
    EXPECT_FLOAT_EQ(Far.Y, 7.33f);
    // Margin pixels lie outside the room, without clamping.
    const TPoint3D Out = View->ScreenToWorld(0, 400);
    EXPECT_LT(Out.X, 0.0f);
    EXPECT_GT(Out.Y, 7.33f);
    // Exact halves go to the even pixel: 4 m over 400 pixels.
    Room.SetWidth(4.0f);
    View->resize(460, 419);
    EXPECT_EQ(View->WorldToScreen(Point3D(0.625f, 0, 0)).X, 30 + 62);
    EXPECT_EQ(View->WorldToScreen(Point3D(0.375f, 0, 0)).X, 30 + 38);
    Room.SetWidth(4.53f);
    View->resize(278, 419);
    // Round trip of every inner pixel of a row.
    for (int X = 30; X <= 248; ++X) {
        const TPoint3D P = View->ScreenToWorld(X, 100);
        EXPECT_EQ(View->WorldToScreen(P).X, X);
    }
}

TEST_F(VisualRoomTest, ElevationsPutTheFloorAtTheBottom)
{
    View->SetRim(10);
    View->resize(300, 120);
    for (const TAxisProjection Axis : {apYZ, apXZ}) {
        View->SetAxis(Axis);
        EXPECT_EQ(View->WorldToScreen(Point3D(1, 2, 0)).Y, 110) << Axis;
        EXPECT_EQ(View->WorldToScreen(Point3D(1, 2, 2.8f)).Y, 10) << Axis;
        const TPoint3D Q = View->ScreenToWorld(150, 10);
        EXPECT_FLOAT_EQ(Q.Z, 2.8f);
        EXPECT_EQ(Axis == apYZ ? Q.X : Q.Y, 0.0f) << "the hidden coordinate comes back as 0";
    }
    View->SetAxis(apYZ);
    EXPECT_EQ(View->WorldToScreen(Point3D(0, 7.33f, 0)).X, 290);
    View->SetAxis(apXZ);
    EXPECT_EQ(View->WorldToScreen(Point3D(4.53f, 0, 0)).X, 290);
}

TEST_F(VisualRoomTest, FitToParentExamples)
{
    Room.SetDefaults();
    View->SetRim(30);
    Parent.resize(281, 421);
    View->FitToParent();
    EXPECT_EQ(View->geometry(), QRect(1, 1, 278, 419));

    View->SetAxis(apYZ);
    Parent.resize(341, 181);
    View->FitToParent();
    EXPECT_EQ(View->geometry(), QRect(1, 19, 339, 142));

    // A wide parent for the plan: centred horizontally, one pixel from the
    // top and bottom.
    View->SetAxis(apXY);
    Parent.resize(600, 300);
    View->FitToParent();
    EXPECT_EQ(View->y(), 1);
    EXPECT_EQ(View->height(), 298);
    EXPECT_NEAR(View->x() + View->width() / 2.0, 300.0, 1.0);

    const QRect Fitted = View->geometry();
    View->SetRoom(nullptr);
    Parent.resize(500, 500);
    View->FitToParent();
    EXPECT_EQ(View->geometry(), Fitted) << "no room: nothing happens";
}

TEST_F(VisualRoomTest, SymbolScaleHasAFloorOf100)
{
    View->SetRim(10);
    Room.SetWidth(5.0f);
    // Inner width 244 over 5 m: 48.8 px/m, drawn at 100.
    View->resize(264, 400);
    EXPECT_FLOAT_EQ(View->SymbolScale(264), 100.0f);
    TRecordingCanvas Small;
    View->DrawElements(Small, 264, 400);
    const TPixel L = View->WorldToScreen(Room.Listener().GetPosition());
    EXPECT_EQ(Small.Calls.back(), "ellipse " + TRecordingCanvas::Pts({{L.X - 8, L.Y - 10}, {L.X + 8, L.Y + 10}}));

    // Inner width 750 over 5 m: 150 px/m.
    View->resize(770, 400);
    EXPECT_FLOAT_EQ(View->SymbolScale(770), 150.0f);
    TRecordingCanvas Large;
    View->DrawElements(Large, 770, 400);
    const TPixel L2 = View->WorldToScreen(Room.Listener().GetPosition());
    EXPECT_EQ(Large.Calls.back(), "ellipse " + TRecordingCanvas::Pts({{L2.X - 13, L2.Y - 15}, {L2.X + 13, L2.Y + 15}}));
    // Loudspeakers first, in list order, then the listener on top.
    ASSERT_EQ(Large.Shapes().size(), 3u);
    EXPECT_THAT(Large.Shapes()[0], HasSubstr("polyline"));
    EXPECT_EQ(Large.Calls[0], "pen FFFFFF");

    // The side elevation measures its scale along the depth.
    View->SetAxis(apYZ);
    EXPECT_FLOAT_EQ(View->SymbolScale(770), static_cast<float>(750.0L / Room.GetDepth()));
}

TEST_F(VisualRoomTest, WallsBackgroundAndPicture)
{
    View->SetRim(10);
    View->SetWallSize(3);
    const int W = 200;
    const int H = 150;
    View->resize(W, H);
    View->SetBackgroundColor(RGB(204, 0, 204));
    QImage Picture(W, H, QImage::Format_RGB888);
    Picture.fill(QColor(0, 200, 0));
    View->SetBackgroundPicture(&Picture);
    Picture.fill(Qt::yellow); // the view keeps its own copy
    const QImage Image = View->Render();
    const int Row = 40;
    const int Col = 60;
    for (const int X : {8, 9, 10, W - 11, W - 10, W - 9})
        EXPECT_EQ(PixelAt(Image, X, Row), White) << "column " << X;
    for (const int Y : {8, 9, 10, H - 11, H - 10, H - 9})
        EXPECT_EQ(PixelAt(Image, Col, Y), White) << "row " << Y;
    for (const int X : {0, 7, W - 8, W - 1})
        EXPECT_EQ(PixelAt(Image, X, Row), RGB(204, 0, 204)) << "margin column " << X;
    for (const int X : {11, 100, W - 12})
        EXPECT_EQ(PixelAt(Image, X, Row), Green) << "picture column " << X;

    View->SetBackgroundPicture(nullptr);
    EXPECT_EQ(View->BackgroundPicture(), nullptr);
    EXPECT_EQ(PixelAt(View->Render(), 100, Row), RGB(204, 0, 204));
}

TEST_F(VisualRoomTest, SymbolsAreDrawnOverThePicture)
{
    PlanAt100();
    QImage Picture(View->size(), QImage::Format_RGB32);
    Picture.fill(QColor(0, 200, 0));
    View->SetBackgroundPicture(&Picture);
    const TPixel L = View->WorldToScreen(Room.Listener().GetPosition());
    const TPixel S = View->WorldToScreen(Room.Speakers().FindByChannel(1)->GetPosition());
    const QImage Image = View->Render();
    EXPECT_EQ(PixelAt(Image, L.X, L.Y), Blue);
    // The right loudspeaker's magnet: the line 1 u above the centre.
    const int U = 4; // 100 / 2.5 * 0.1
    EXPECT_EQ(PixelAt(Image, S.X, S.Y - U), Red);
    EXPECT_EQ(PixelAt(Image, S.X, S.Y), Green) << "the outline is not filled";

    // The listener is drawn after the loudspeakers.
    Room.Speakers().FindByChannel(1)->SetPosition(Room.Listener().GetPosition());
    EXPECT_EQ(PixelAt(View->Render(), L.X, L.Y - 4), Blue);
}

TEST_F(VisualRoomTest, PaintHooksRunInTheirPlaces)
{
    PlanAt100();
    std::vector<std::string> Order;
    View->OnPaint = [&](TVisualRoom& Sender, TCanvas& Canvas) {
        EXPECT_EQ(&Sender, View);
        Order.push_back("paint");
        Canvas.SetPenColor(RGB(255, 255, 0));
        Canvas.SetBrushColor(RGB(255, 255, 0));
        Canvas.Rectangle(0, 0, Sender.width(), Sender.height());
    };
    View->OnOverlay = [&](TVisualRoom&, TCanvas& Canvas) {
        Order.push_back("overlay");
        Canvas.SetPenColor(RGB(0, 255, 255));
        Canvas.SetBrushColor(RGB(0, 255, 255));
        Canvas.Rectangle(0, 0, 3, 3);
    };
    const TPixel L = View->WorldToScreen(Room.Listener().GetPosition());
    const QImage Image = View->Render();
    EXPECT_EQ(PixelAt(Image, 100, 100), RGB(255, 255, 0)) << "OnPaint after the background";
    EXPECT_EQ(PixelAt(Image, 10, 100), White) << "walls after OnPaint";
    EXPECT_EQ(PixelAt(Image, L.X, L.Y), Blue) << "symbols after OnPaint";
    EXPECT_EQ(PixelAt(Image, 1, 1), RGB(0, 255, 255)) << "overlay last";
    EXPECT_EQ(Order, (std::vector<std::string>{"paint", "overlay"}));
}

TEST_F(VisualRoomTest, OverlaySurvivesRepaintsDuringADrag)
{
    PlanAt100();
    ShowParent();
    int Overlays = 0;
    View->OnOverlay = [&](TVisualRoom&, TCanvas&) { ++Overlays; };
    const TPixel L = View->WorldToScreen(Room.Listener().GetPosition());
    Press(*View, QPoint(L.X, L.Y));
    const int Before = Overlays;
    DragTo(*View, QPoint(L.X + 20, L.Y));
    DragTo(*View, QPoint(L.X + 40, L.Y));
    EXPECT_GE(Overlays - Before, 2);
    QTest::mouseRelease(View, Qt::LeftButton, Qt::NoModifier, QPoint(L.X + 40, L.Y));
    // And what the screen got is the full picture, symbols included.
    const QImage Shown = View->grab().toImage();
    EXPECT_EQ(PixelAt(Shown, L.X + 40, L.Y), Blue);
    EXPECT_EQ(PixelAt(Shown, 9, 300), White);
}

TEST_F(VisualRoomTest, SettingTheBackgroundColourSchedulesAPaint)
{
    PlanAt100();
    ShowParent();
    QApplication::processEvents();
    struct PaintCounter : QObject {
        int Count = 0;
        bool eventFilter(QObject*, QEvent* E) override
        {
            if (E->type() == QEvent::Paint)
                ++Count;
            return false;
        }
    } Counter;
    View->installEventFilter(&Counter);
    View->SetRim(20);
    View->SetWallColor(Red);
    QApplication::processEvents();
    EXPECT_EQ(Counter.Count, 0) << "plain stores do not repaint";
    View->SetBackgroundColor(RGB(204, 0, 204));
    QApplication::processEvents();
    EXPECT_GE(Counter.Count, 1);
    EXPECT_EQ(PixelAt(View->grab().toImage(), 2, 2), RGB(204, 0, 204));
    View->removeEventFilter(&Counter);
}

TEST_F(VisualRoomTest, HitTestInRoomMetres)
{
    for (const int Scale : {1, 2}) {
        // 100 and 200 pixels per metre: the 0.3 m reach does not depend on it.
        View->SetRim(10);
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
    Room.Listener().SetPosition(Point3D(2.0f, 3.0f, 1.1f));
    Room.Speakers().FindByChannel(1)->SetPosition(Point3D(2.5f, 3.0f, 0.65f));
    EXPECT_EQ(View->ItemAt(10 + 225, 10 + 300), &Room.Listener());
    EXPECT_EQ(View->ItemAt(10 + 226, 10 + 300), Room.Speakers().FindByChannel(1));
    // A view no larger than twice its Rim finds nothing.
    View->resize(20, 20);
    EXPECT_EQ(View->ItemAt(10, 10), nullptr);
}

TEST_F(VisualRoomTest, PressGrabsAndPutsThePointerOnTheElement)
{
    PlanAt100();
    ShowParent();
    TItem* SeenAtDown = nullptr;
    Qt::MouseButton SeenButton = Qt::NoButton;
    View->OnMouseDown = [&](TVisualRoom& Sender, Qt::MouseButton Button, TShiftState, int, int) {
        SeenAtDown = Sender.DragItem();
        SeenButton = Button;
    };
    const TPixel L = View->WorldToScreen(Room.Listener().GetPosition());
    Press(*View, QPoint(L.X + 12, L.Y + 7));
    EXPECT_EQ(View->DragItem(), &Room.Listener());
    EXPECT_EQ(SeenAtDown, &Room.Listener()) << "OnMouseDown runs after the view's own handling";
    EXPECT_EQ(SeenButton, Qt::LeftButton);
    EXPECT_EQ(QCursor::pos(), View->mapToGlobal(QPoint(L.X, L.Y)));
    TItem* SeenAtUp = &Room.Listener();
    View->OnMouseUp = [&](TVisualRoom& Sender, Qt::MouseButton, TShiftState, int, int) { SeenAtUp = Sender.DragItem(); };
    QTest::mouseRelease(View, Qt::LeftButton, Qt::NoModifier, QPoint(L.X, L.Y));
    EXPECT_EQ(View->DragItem(), nullptr);
    EXPECT_EQ(SeenAtUp, nullptr);

    // A press on empty floor grabs nothing and leaves the pointer alone.
    QCursor::setPos(View->mapToGlobal(QPoint(5, 5)));
    QApplication::processEvents();
    Press(*View, QPoint(400, 700));
    EXPECT_EQ(View->DragItem(), nullptr);
    EXPECT_EQ(QCursor::pos(), View->mapToGlobal(QPoint(5, 5)));
    QTest::mouseRelease(View, Qt::LeftButton, Qt::NoModifier, QPoint(400, 700));
}

TEST_F(VisualRoomTest, DoubleClickGrabsWithoutMovingThePointer)
{
    PlanAt100();
    ShowParent();
    const TPixel L = View->WorldToScreen(Room.Listener().GetPosition());
    QCursor::setPos(View->mapToGlobal(QPoint(3, 3)));
    QApplication::processEvents();
    bool SawDouble = false;
    View->OnMouseDown = [&](TVisualRoom&, Qt::MouseButton, TShiftState Shift, int, int) { SawDouble = Shift.Double; };
    SendMouse(*View, QEvent::MouseButtonDblClick, QPoint(L.X + 10, L.Y), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(View->DragItem(), &Room.Listener());
    EXPECT_TRUE(SawDouble);
    EXPECT_EQ(QCursor::pos(), View->mapToGlobal(QPoint(3, 3)));
    SendMouse(*View, QEvent::MouseButtonRelease, QPoint(L.X + 10, L.Y), Qt::LeftButton, Qt::NoButton);
}

TEST_F(VisualRoomTest, RightButtonGrabsButOnlyTheLeftDrags)
{
    PlanAt100();
    ShowParent();
    const TPoint3D Before = Room.Listener().GetPosition();
    const TPixel L = View->WorldToScreen(Before);
    SendMouse(*View, QEvent::MouseButtonPress, QPoint(L.X + 5, L.Y), Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(View->DragItem(), &Room.Listener());
    EXPECT_EQ(QCursor::pos(), View->mapToGlobal(QPoint(L.X, L.Y)));
    SendMouse(*View, QEvent::MouseMove, QPoint(L.X + 50, L.Y + 50), Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(Room.Listener().GetPosition().X, Before.X);
    EXPECT_EQ(Room.Listener().GetPosition().Y, Before.Y);
    SendMouse(*View, QEvent::MouseButtonRelease, QPoint(L.X + 50, L.Y + 50), Qt::RightButton, Qt::NoButton);
}

TEST_F(VisualRoomTest, DragInThePlanMovesMirrorsAndConfines)
{
    PlanAt100();
    ShowParent();
    TSpeaker& Left = *Room.Speakers().FindByChannel(0);
    TSpeaker& Right = *Room.Speakers().FindByChannel(1);
    TPoint3D SeenInMove{};
    View->OnMouseMove = [&](TVisualRoom&, TShiftState Shift, int, int) {
        if (Shift.LeftHeld())
            SeenInMove = Left.GetPosition();
    };
    const TPixel P = View->WorldToScreen(Left.GetPosition());
    Press(*View, QPoint(P.X, P.Y));
    DragTo(*View, QPoint(110, 210));
    const TPoint3D Q = View->ScreenToWorld(110, 210);
    EXPECT_EQ(Left.GetPosition().X, Q.X);
    EXPECT_EQ(Left.GetPosition().Y, Q.Y);
    EXPECT_FLOAT_EQ(Left.GetPosition().Z, 0.65f) << "the plan keeps the height";
    EXPECT_FLOAT_EQ(SeenInMove.X, Q.X) << "OnMouseMove runs after the move";
    // The partner mirrors across X = W / 2.
    EXPECT_FLOAT_EQ(Right.GetPosition().X, Room.GetWidth() - Q.X);
    EXPECT_FLOAT_EQ(Right.GetPosition().Y, Q.Y);
    EXPECT_FLOAT_EQ(Right.GetPosition().Z, 0.65f);
    EXPECT_EQ(PixelAt(View->grab().toImage(), 110, 210 - 4), White) << "repainted at the new place";

    // Into the top-left margin: back onto the walls.
    DragTo(*View, QPoint(2, 3));
    EXPECT_EQ(Left.GetPosition().X, 0.0f);
    EXPECT_EQ(Left.GetPosition().Y, 0.0f);
    EXPECT_FLOAT_EQ(Right.GetPosition().X, Room.GetWidth());
    QTest::mouseRelease(View, Qt::LeftButton, Qt::NoModifier, QPoint(2, 3));

    // After the release moves change nothing.
    DragTo(*View, QPoint(300, 300));
    EXPECT_EQ(Left.GetPosition().X, 0.0f);
}

TEST_F(VisualRoomTest, DragInTheSideElevationKeepsX)
{
    View->SetAxis(apYZ);
    View->SetRim(10);
    View->setGeometry(0, 0, 753, 300);
    ShowParent();
    const TPixel L = View->WorldToScreen(Room.Listener().GetPosition());
    Press(*View, QPoint(L.X, L.Y));
    DragTo(*View, QPoint(500, 100));
    const TPoint3D Q = View->ScreenToWorld(500, 100);
    EXPECT_FLOAT_EQ(Room.Listener().GetPosition().X, 2.0f);
    EXPECT_EQ(Room.Listener().GetPosition().Y, Q.Y);
    EXPECT_EQ(Room.Listener().GetPosition().Z, Q.Z);
    // Above the ceiling: confined to it.
    DragTo(*View, QPoint(500, 0));
    EXPECT_FLOAT_EQ(Room.Listener().GetPosition().Z, Room.GetHeight());
    QTest::mouseRelease(View, Qt::LeftButton, Qt::NoModifier, QPoint(500, 0));
}

TEST_F(VisualRoomTest, MoveItemsOffOnlyGrabs)
{
    PlanAt100();
    ShowParent();
    View->SetMoveItems(false);
    const TPoint3D Before = Room.Listener().GetPosition();
    const TPixel L = View->WorldToScreen(Before);
    Press(*View, QPoint(L.X, L.Y));
    EXPECT_EQ(View->DragItem(), &Room.Listener());
    DragTo(*View, QPoint(L.X + 60, L.Y + 60));
    EXPECT_EQ(Room.Listener().GetPosition().X, Before.X);
    QTest::mouseRelease(View, Qt::LeftButton, Qt::NoModifier, QPoint(L.X + 60, L.Y + 60));
}

TEST_F(VisualRoomTest, HoverNamesTheElementUnderThePointer)
{
    PlanAt100();
    ShowParent();
    Room.Listener().SetPosition(Point3D(2.5f, 4.75f, 1.1f));
    const TPixel L = View->WorldToScreen(Room.Listener().GetPosition());
    SendMouse(*View, QEvent::MouseMove, QPoint(L.X + 3, L.Y), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(View->Hint(), QString::fromUtf8("Oyente\r\n(4.75   2.50   1.10)"));
    EXPECT_TRUE(View->ShowHint());
    SendMouse(*View, QEvent::MouseMove, QPoint(440, 40), Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(View->Hint().isEmpty());
    EXPECT_FALSE(View->ShowHint());

    // While dragging, the hint tells where the element was before this move.
    Press(*View, QPoint(L.X, L.Y));
    DragTo(*View, QPoint(L.X, L.Y + 10));
    EXPECT_EQ(View->Hint(), QString::fromUtf8("Oyente\r\n(4.75   2.50   1.10)"));
    QTest::mouseRelease(View, Qt::LeftButton, Qt::NoModifier, QPoint(L.X, L.Y + 10));
}

TEST_F(VisualRoomTest, DegenerateSizesDoNotMoveAnything)
{
    View->SetRim(10);
    View->setGeometry(0, 0, 15, 300);
    ShowParent();
    const TPoint3D Before = Room.Listener().GetPosition();
    SendMouse(*View, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
    DragTo(*View, QPoint(7, 100));
    EXPECT_EQ(Room.Listener().GetPosition().X, Before.X);
    EXPECT_EQ(Room.Listener().GetPosition().Y, Before.Y);
    SendMouse(*View, QEvent::MouseButtonRelease, QPoint(7, 100), Qt::LeftButton, Qt::NoButton);
    // Drawing such views must not fail either.
    View->Repaint();
    View->setGeometry(0, 0, 0, 0);
    View->Repaint();
    View->Render();
}
