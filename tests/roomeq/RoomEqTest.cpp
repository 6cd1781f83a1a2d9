// The "Quorvan" window driven with real mouse and key events: the default
// room's bars and read-outs, the bars' reading at nodes and antinodes, the
// band of listed modes, selection, arrow steps in both views, mirroring,
// drags, and the rooms with no mode or very many.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <memory>
#include <string>

#include "model/Utilities.h"
#include "roomeq/RoomEQ.h"
#include "support/AccessibilityCheck.h"

namespace {

constexpr TColor Magenta = RGB(204, 0, 204);
constexpr TColor Black = RGB(0, 0, 0);

TSpeaker& Right(TRoom& Room) { return *Room.Speakers().FindByChannel(1); }
TSpeaker& Left(TRoom& Room) { return *Room.Speakers().FindByChannel(0); }

// The launcher's default layout, worked out here from its geometry: the
// loudspeakers at 0.276 and 0.724 of the width and 0.384 of the depth, the
// listener at the apex of the equilateral triangle they span.
void PlaceDefaultLayout(TRoom& Room)
{
    const double W = Room.GetWidth();
    const double Front = static_cast<float>(Room.GetDepth() * 0.384);
    const float LeftX = static_cast<float>(W * 0.276);
    const float RightX = static_cast<float>(W - LeftX);
    Left(Room).SetPosition(Point3D(LeftX, static_cast<float>(Front), 0.65f));
    Right(Room).SetPosition(Point3D(RightX, static_cast<float>(Front), 0.65f));
    const double Side = static_cast<double>(RightX) - LeftX;
    Room.Listener().SetPosition(
        Point3D(static_cast<float>(W / 2), static_cast<float>(Front + Side * std::sqrt(3.0) / 2), 1.1f));
}

// A bar's Position from the cosine law of a rectangular room's modes and the
// decibel scale of the display, computed in double.
int ExpectedPosition(const TRoom& Room, const TMode& Mode, int Min)
{
    const auto P = [&](const TPoint3D& Q) {
        return std::fabs(std::cos(std::numbers::pi * Mode.NX() * Q.X / Room.GetWidth()) *
                         std::cos(std::numbers::pi * Mode.NY() * Q.Y / Room.GetDepth()) *
                         std::cos(std::numbers::pi * Mode.NZ() * Q.Z / Room.GetHeight()));
    };
    const double X = P(Room.Speakers().FindByChannel(1)->GetPosition()) * P(Room.Listener().GetPosition());
    const double Level = X < 1e-12 ? 100.0 : -(100.0 * std::log10(X) + 100.0);
    return static_cast<int>(std::clamp(std::lrint(Level), static_cast<long>(Min), 100L));
}

class RoomEqTest : public ::testing::Test {
protected:
    TRoom Room;
    std::unique_ptr<TfrmRoomEq> Form;

    void SetUp() override { PlaceDefaultLayout(Room); }

    void Open()
    {
        Form = std::make_unique<TfrmRoomEq>();
        Form->SetRoom(Room);
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    }
    static QPoint PixelOf(const TVisualRoom& View, const TPoint3D& P)
    {
        const TPixel Q = View.WorldToScreen(P);
        return {Q.X, Q.Y};
    }
    void Press(TVisualRoom* View, const TPoint3D& At)
    {
        QTest::mouseClick(View, Qt::LeftButton, Qt::NoModifier, PixelOf(*View, At));
        QApplication::processEvents();
    }
    std::string Text(const QLineEdit* Box) const { return Box->text().toStdString(); }
    void ExpectBarsFollowTheRoom()
    {
        for (std::size_t I = 0; I < Form->Bars().size(); ++I) {
            const TLevelBar* Bar = Form->Bars()[I];
            EXPECT_EQ(Bar->value(), ExpectedPosition(Room, *Form->Modes().GetMode(static_cast<int>(I)), Bar->minimum()))
                << Bar->toolTip().toStdString();
        }
    }
};

TEST_F(RoomEqTest, DefaultRoomShowsTheTwentyBarsAndTheListener)
{
    Open();
    struct TRow {
        const char* Index;
        const char* Label;
        int Position;
    };
    const TRow Rows[] = {
        {"(1,0,0)", "24", -13}, {"(0,1,0)", "38", 100},  {"(2,0,0)", "47", -73},  {"(0,0,1)", "62", -39},
        {"(3,0,0)", "71", -91}, {"(0,1,1)", "73", 100},  {"(0,2,0)", "76", -21},  {"(2,0,1)", "78", -12},
        {"(1,2,0)", "80", 66},  {"(4,0,0)", "94", 100},  {"(0,2,1)", "98", 40},   {"(0,3,0)", "114", 100},
        {"(1,3,0)", "117", 100}, {"(5,0,0)", "118", -96}, {"(4,2,0)", "121", 100}, {"(0,0,2)", "123", 6},
        {"(2,3,0)", "124", 100}, {"(5,1,0)", "124", 100}, {"(1,0,2)", "126", 93},  {"(0,1,2)", "129", 100},
    };
    ASSERT_EQ(Form->Bars().size(), std::size(Rows));
    for (std::size_t I = 0; I < std::size(Rows); ++I) {
        const TLevelBar* Bar = Form->Bars()[I];
        const QString Hint = Bar->toolTip();
        EXPECT_TRUE(Hint.startsWith(QString::fromLatin1(Rows[I].Index) + ' ')) << I << ": " << Hint.toStdString();
        EXPECT_EQ(Bar->Caption()->text().toStdString(), Rows[I].Label) << I;
        EXPECT_EQ(Bar->value(), Rows[I].Position) << Rows[I].Index;
        EXPECT_EQ(Bar->accessibleDescription(), Hint);
        EXPECT_EQ(Bar->geometry(), QRect(static_cast<int>(std::lrint(I * 19.75)) + 5, 5, 13, 101)) << I;
        EXPECT_EQ(Bar->Caption()->y(), 109);
    }
    EXPECT_EQ(Form->Bars()[0]->toolTip().toStdString(), "(1,0,0) 23.56 Hz");
    EXPECT_EQ(Form->windowTitle().toStdString(), "Quorvan");
    EXPECT_EQ(Text(Form->edName), "Oyente");
    EXPECT_EQ(Text(Form->edSPL), "0.38");
    const std::pair<const QLineEdit*, const char*> Named[] = {
        {Form->edName, "Nombre"}, {Form->edPosY, "Frontal"}, {Form->edPosX, "Izqda."},
        {Form->edPosZ, "Suelo"}, {Form->edSPL, "Presión (0-1)"}};
    for (const auto& [Box, Caption] : Named)
        EXPECT_EQ(Box->accessibleName().toStdString(), Caption);
    EXPECT_EQ(Accessibility::UnnamedControls(Form.get()), QStringList());
}

TEST_F(RoomEqTest, BarsSitAtTheBottomOnANodeAndNearTheTopAtAntinodes)
{
    const float W = Room.GetWidth(), D = Room.GetDepth(), H = Room.GetHeight();
    struct TRow {
        const char* Name;
        TPoint3D Speaker, Listener;
    };
    const TRow Rows[] = {
        {"node of the first width mode at the loudspeaker", {W / 2, 1.0f, 1.0f}, {1.0f, 1.3f, 1.2f}},
        {"node of the first width mode at the listener", {1.0f, 1.3f, 1.2f}, {W / 2, 1.0f, 1.0f}},
        {"both in corners: every mode fully coupled", {W, 0.0f, 0.0f}, {0.0f, D, H}},
    };
    for (const TRow& R : Rows) {
        Right(Room).SetPosition(R.Speaker);
        Room.Listener().SetPosition(R.Listener);
        Open();
        ExpectBarsFollowTheRoom();
        const TLevelBar* Width1 = Form->Bars()[1]; // (0,1,0): NX = 1
        const TLevelBar* Axial = Form->Bars()[0];
        const TLevelBar* Tangential = Form->Bars()[5]; // (0,1,1)
        if (R.Speaker.X == W / 2 || R.Listener.X == W / 2) {
            EXPECT_EQ(Width1->value(), 100) << R.Name;
            EXPECT_EQ(Width1->ThumbRect().bottom(), Width1->height() - 1) << R.Name;
        } else {
            ASSERT_EQ(Axial->value(), -100) << R.Name;
            ASSERT_EQ(Tangential->value(), -100) << R.Name;
            EXPECT_EQ(Axial->ThumbRect().top(), 0) << "Min is at the top of the track";
            const int Span = Tangential->height() - Tangential->ThumbRect().height();
            EXPECT_NEAR(Tangential->ThumbRect().top(), Span / 5.0, 1.0) << "a fifth of the way down";
        }
    }
}

TEST_F(RoomEqTest, ArrowsMoveTheSelectionInTheFrameOfTheActiveView)
{
    Open();
    struct TRow {
        TVisualRoom* TfrmRoomEq::*View;
        QToolButton* TfrmRoomEq::*Button;
        Qt::Key Key;
        TPoint3D Step;
    };
    const TRow Rows[] = {
        {&TfrmRoomEq::vrTop, &TfrmRoomEq::sbLeft, Qt::Key_Left, {-0.01f, 0, 0}},
        {&TfrmRoomEq::vrTop, &TfrmRoomEq::sbRight, Qt::Key_Right, {0.01f, 0, 0}},
        {&TfrmRoomEq::vrTop, &TfrmRoomEq::sbUp, Qt::Key_Up, {0, -0.01f, 0}},
        {&TfrmRoomEq::vrTop, &TfrmRoomEq::sbDown, Qt::Key_Down, {0, 0.01f, 0}},
        {&TfrmRoomEq::vrHeight, &TfrmRoomEq::sbLeft, Qt::Key_Left, {0, -0.01f, 0}},
        {&TfrmRoomEq::vrHeight, &TfrmRoomEq::sbRight, Qt::Key_Right, {0, 0.01f, 0}},
        {&TfrmRoomEq::vrHeight, &TfrmRoomEq::sbUp, Qt::Key_Up, {0, 0, 0.01f}},
        {&TfrmRoomEq::vrHeight, &TfrmRoomEq::sbDown, Qt::Key_Down, {0, 0, -0.01f}},
    };
    TListener& L = Room.Listener();
    for (const TRow& R : Rows) {
        TVisualRoom* View = (*Form).*R.View;
        Form->edName->setText(QStringLiteral("?"));
        Press(View, L.GetPosition()); // the selected element: only the active view changes
        ASSERT_EQ(Form->Selected(), &L);
        EXPECT_EQ(Text(Form->edName), "?") << "read-outs not refreshed";
        EXPECT_EQ(Form->ActiveView(), View);
        EXPECT_EQ(View->BackgroundColor(), Magenta);
        EXPECT_EQ((View == Form->vrTop ? Form->vrHeight : Form->vrTop)->BackgroundColor(), Black);
        // The button, the key to the window, and the key to a focused
        // read-out each take exactly one step.
        for (int Way = 0; Way < 3; ++Way) {
            const TPoint3D Before = L.GetPosition();
            if (Way == 0)
                QTest::mouseClick((*Form).*R.Button, Qt::LeftButton);
            else if (Way == 1)
                QTest::keyClick(Form.get(), R.Key);
            else {
                QTest::mouseClick(Form->edSPL, Qt::LeftButton);
                QTest::keyClick(Form->edSPL, R.Key);
            }
            const TPoint3D After = L.GetPosition();
            EXPECT_NEAR(After.X - Before.X, R.Step.X, 1e-6) << Way;
            EXPECT_NEAR(After.Y - Before.Y, R.Step.Y, 1e-6) << Way;
            EXPECT_NEAR(After.Z - Before.Z, R.Step.Z, 1e-6) << Way;
        }
        EXPECT_EQ(Text(Form->edName), "Oyente");
        EXPECT_EQ(Text(Form->edPosX), FormatShort(L.GetPosition().X));
        EXPECT_EQ(Text(Form->edPosY), FormatShort(L.GetPosition().Y));
        EXPECT_EQ(Text(Form->edPosZ), FormatShort(L.GetPosition().Z));
        ExpectBarsFollowTheRoom();
    }
    // The moves stay in the room: the next window, opened as the launcher
    // opens it, starts from them.
    QTest::keyClick(Form.get(), Qt::Key_Up); // the rows above cancel out
    const TPoint3D Moved = L.GetPosition();
    ASSERT_EQ(FormatShort(Moved.Z), "1.11");
    Form.reset();
    std::string Shown;
    QTimer::singleShot(0, [&] {
        if (frmRoomEq != nullptr) {
            Shown = Text(frmRoomEq->edPosZ);
            frmRoomEq->reject();
        }
    });
    OpenRoomEq(Room);
    EXPECT_EQ(Shown, FormatShort(Moved.Z));
    EXPECT_EQ(frmRoomEq, nullptr);
}

TEST_F(RoomEqTest, APressOnEmptyFloorClearsTheSelectionAndStopsTheArrows)
{
    Open();
    Press(Form->vrTop, Point3D(0.2f, Room.GetDepth() - 0.2f, 0.0f));
    EXPECT_EQ(Form->Selected(), nullptr);
    for (const QLineEdit* Box : {Form->edName, Form->edPosY, Form->edPosX, Form->edPosZ, Form->edSPL})
        EXPECT_EQ(Text(Box), "-") << Box->objectName().toStdString();
    const TPoint3D Before[] = {Room.Listener().GetPosition(), Left(Room).GetPosition(), Right(Room).GetPosition()};
    QTest::mouseClick(Form->sbUp, Qt::LeftButton);
    QTest::keyClick(Form.get(), Qt::Key_Left);
    const TPoint3D After[] = {Room.Listener().GetPosition(), Left(Room).GetPosition(), Right(Room).GetPosition()};
    for (int I = 0; I < 3; ++I)
        EXPECT_TRUE(Before[I].X == After[I].X && Before[I].Y == After[I].Y && Before[I].Z == After[I].Z) << I;
}

TEST_F(RoomEqTest, MovingOneLoudspeakerMirrorsTheOtherAndStopsAtTheWall)
{
    Open();
    Press(Form->vrTop, Right(Room).GetPosition());
    ASSERT_EQ(Form->Selected(), &Right(Room));
    EXPECT_EQ(Text(Form->edName), "Altavoz derecho");
    for (int I = 0; I < 200; ++I) // 1.25 m towards a wall 1.25 m away
        QTest::keyClick(Form.get(), Qt::Key_Right);
    const float W = Room.GetWidth();
    EXPECT_EQ(Right(Room).GetPosition().X, W) << "held at the wall";
    EXPECT_NEAR(Left(Room).GetPosition().X, W - Right(Room).GetPosition().X, 1e-5);
    EXPECT_EQ(Left(Room).GetPosition().Y, Right(Room).GetPosition().Y);
    EXPECT_EQ(Text(Form->edPosX), FormatShort(W));
    ExpectBarsFollowTheRoom();
}

TEST_F(RoomEqTest, DraggingUpdatesBarsAndReadoutsAsItHappens)
{
    Open();
    TVisualRoom* View = Form->vrHeight;
    const QPoint From = PixelOf(*View, Room.Listener().GetPosition());
    QTest::mousePress(View, Qt::LeftButton, Qt::NoModifier, From);
    QApplication::processEvents();
    const QPoint To = From + QPoint(-40, -30);
    QMouseEvent Move(QEvent::MouseMove, QPointF(To), QPointF(View->mapToGlobal(To)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(View, &Move);
    const TPoint3D Now = Room.Listener().GetPosition();
    EXPECT_NEAR(Now.Y, View->ScreenToWorld(To.x(), To.y()).Y, 1e-5);
    EXPECT_EQ(Text(Form->edPosY), FormatShort(Now.Y)) << "before the button is released";
    EXPECT_EQ(Text(Form->edPosZ), FormatShort(Now.Z));
    ExpectBarsFollowTheRoom();
    QTest::mouseRelease(View, Qt::LeftButton, Qt::NoModifier, To);
}

TEST_F(RoomEqTest, TheBandEndsAt300HzWhenTheSchroederFrequencyLiesAbove)
{
    Room.SetWidth(2.0f);
    Room.SetDepth(2.0f);
    Room.SetHeight(2.0f);
    PlaceDefaultLayout(Room);
    ASSERT_GT(Room.GetSchroederFrequency(), 300.0f);
    Open();
    EXPECT_EQ(Form->Modes().MaxFrequency(), 300.0f);
    ASSERT_GT(Form->Modes().Count(), 0);
    EXPECT_LT(Form->Modes().GetMode(Form->Modes().Count() - 1)->GetFrequency(), 300.0f);
    // n c / 2L along the width: the third lies below 300 Hz, the fourth above.
    const QString Third = QStringLiteral("(0,3,0) "), Fourth = QStringLiteral("(0,4,0) ");
    int Found = 0;
    for (const TLevelBar* Bar : Form->Bars())
        Found += Bar->toolTip().startsWith(Third) ? 1 : Bar->toolTip().startsWith(Fourth) ? 100 : 0;
    EXPECT_EQ(Found, 1);
}

TEST_F(RoomEqTest, ARoomWithoutModesShowsAnEmptyDisplayAndTheColourOfZero)
{
    for (auto Set : {&TRoom::SetWidth, &TRoom::SetDepth, &TRoom::SetHeight})
        (Room.*Set)(0.26f);
    PlaceDefaultLayout(Room);
    Room.ClampElements();
    Open();
    EXPECT_EQ(Form->Modes().Count(), 0);
    EXPECT_TRUE(Form->Bars().empty());
    EXPECT_EQ(Text(Form->edSPL), "0");
    std::uint8_t R = 1, G = 1, B = 1;
    ValueToRGB(0.0f, R, G, B);
    for (const TVisualRoom* View : {Form->vrTop, Form->vrHeight}) {
        ASSERT_NE(View->BackgroundPicture(), nullptr);
        const QColor C = View->BackgroundPicture()->pixelColor(View->width() / 2, View->height() / 2);
        EXPECT_EQ((std::array{C.red(), C.green(), C.blue()}), (std::array<int, 3>{R, G, B}));
    }
}

TEST_F(RoomEqTest, EveryRemainingModeGetsABarInsideThePanelBeyond255)
{
    // Sound nearly still: the same room holds far more low modes.
    Room.SetTemperature(-366.0f);
    Open();
    const int N = Form->Modes().Count();
    ASSERT_GT(N, 255);
    ASSERT_EQ(Form->Bars().size(), static_cast<std::size_t>(N));
    for (const TLevelBar* Bar : Form->Bars()) {
        EXPECT_GE(Bar->width(), 1);
        EXPECT_LE(Bar->geometry().right(), Form->pnRightEq->width() - 1);
    }
    ExpectBarsFollowTheRoom();
}

} // namespace
