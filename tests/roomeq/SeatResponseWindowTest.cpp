// The seat-response companion driven as a user would: it follows moves of
// the room's elements, reads the level under the pointer, takes the listener
// to the best point (the "Quorvan" read-outs follow), and names every control
// for screen readers.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cmath>
#include <vector>

#include "model/Utilities.h"
#include "roomeq/RoomEQ.h"
#include "roomeq/SeatResponseWindow.h"

namespace {

void Layout(TRoom& Room)
{
    Room.Speakers().FindByChannel(0)->SetPosition(TPoint3D{1.25f, 2.81f, 0.65f});
    Room.Speakers().FindByChannel(1)->SetPosition(TPoint3D{3.28f, 2.81f, 0.65f});
    Room.Listener().SetPosition(TPoint3D{2.0f, 4.57f, 1.1f});
}

class SeatWindowTest : public ::testing::Test {
protected:
    TRoom Room;
    std::unique_ptr<TSeatResponseWindow> W;
    void SetUp() override
    {
        Layout(Room);
        W = std::make_unique<TSeatResponseWindow>(Room, std::vector<float>{23.56f, 38.12f, 47.12f},
                                                  std::function<void()>{}, nullptr);
        W->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(W.get()));
    }
};

TEST_F(SeatWindowTest, CurveAndMapFollowTheRoomAndTheChoices)
{
    const TSeatCurve First = W->Curve();
    ASSERT_EQ(First.Levels.size(), 208u);
    const TFlatnessMap FirstMap = W->Map();
    EXPECT_NEAR(W->SchroederFrequency(), Room.GetSchroederFrequency(), 0.01);

    // A listener move changes the curve, not the map (same ear height).
    Room.Listener().MoveBy(TPoint3D{0.3f, 0.0f, 0.0f});
    W->Refresh();
    EXPECT_NE(W->Curve().Levels, First.Levels);
    EXPECT_EQ(W->Map().StdDb, FirstMap.StdDb);
    // A loudspeaker move changes the map.
    Room.Speakers().FindByChannel(1)->MoveBy(TPoint3D{0.0f, 0.4f, 0.0f});
    W->Refresh();
    EXPECT_NE(W->Map().StdDb, FirstMap.StdDb);

    // The source and T60 boxes, by keyboard.
    const auto Before = W->Curve().Levels;
    W->cbSource->setFocus();
    QTest::keyClick(W->cbSource, Qt::Key_Up); // "Ambos" -> "Altavoz izquierdo"
    EXPECT_EQ(W->cbSource->currentIndex(), TSeatResponseWindow::srLeft);
    EXPECT_NE(W->Curve().Levels, Before);
    const auto Left = W->Curve().Levels;
    W->edT60->setFocus();
    W->edT60->selectAll();
    QTest::keyClicks(W->edT60, QStringLiteral("2"));
    QTest::keyClick(W->edT60, Qt::Key_Enter);
    EXPECT_DOUBLE_EQ(W->edT60->value(), 2.0);
    EXPECT_NE(W->Curve().Levels, Left);
    EXPECT_NEAR(W->SchroederFrequency(), 1849.0 * std::sqrt(2.0 / Room.GetVolume()), 1e-3);
}

TEST_F(SeatWindowTest, PointerReadsTheCurve)
{
    QChart* Chart = W->ChartView->chart();
    const QPointF Scene = Chart->mapToPosition(QPointF(50.0, 0.0), Chart->series().constLast());
    const QPoint Pixel = W->ChartView->mapFromScene(Chart->mapToScene(Scene));
    QTest::mouseMove(W->ChartView->viewport(), Pixel);
    const QString Text = W->lbPointer->text();
    ASSERT_TRUE(Text.contains(QStringLiteral("Hz"))) << Text.toStdString();
    // The text's frequency is the pointer's (within a pixel) and its level
    // the curve's there.
    const QStringList Parts = Text.section(':', 1).split(',');
    ASSERT_GE(Parts.size(), 2);
    const double F = Parts[0].trimmed().section(' ', 0, 0).toDouble();
    EXPECT_NEAR(F, 50.0, 1.0);
    const double L = Parts[1].trimmed().section(' ', 0, 0).toDouble();
    EXPECT_NEAR(L, W->LevelAt(F), 0.05); // both shown to two decimals
    QTest::mouseMove(W->ChartView->viewport(), QPoint(2, 2)); // outside the plot
    EXPECT_TRUE(W->lbPointer->text().endsWith(QStringLiteral("-")));
}

TEST_F(SeatWindowTest, EveryControlHasAnAccessibleName)
{
    std::vector<QWidget*> Controls{W->Tabs, W->ChartView, W->Plan, W->lbPointer, W->lbBest};
    for (QWidget* C : W->findChildren<QAbstractButton*>())
        if (qobject_cast<QTabBar*>(C->parentWidget()) == nullptr) // not the tab bar's scroll arrows
            Controls.push_back(C);
    for (QWidget* C : W->findChildren<QComboBox*>())
        Controls.push_back(C);
    for (QWidget* C : W->findChildren<QDoubleSpinBox*>())
        Controls.push_back(C);
    ASSERT_GE(Controls.size(), 8u);
    for (QWidget* C : Controls)
        EXPECT_FALSE(C->accessibleName().isEmpty()) << C->metaObject()->className();
}

// The companion from inside the "Quorvan" window.
class QuorvanSeatTest : public ::testing::Test {
protected:
    TRoom Room;
    std::unique_ptr<TfrmRoomEq> Form;
    void SetUp() override
    {
        Layout(Room);
        Form = std::make_unique<TfrmRoomEq>();
        Form->SetRoom(Room);
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    }
    TSeatResponseWindow* OpenByShortcut()
    {
        Form->activateWindow(); // a shortcut of the window works while it is the active one
        EXPECT_TRUE(QTest::qWaitForWindowActive(Form.get()));
        QTest::keyClick(Form.get(), Qt::Key_R, Qt::ControlModifier);
        TSeatResponseWindow* W = Form->SeatResponse();
        if (W != nullptr) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(W));
        }
        return W;
    }
    void Press(TVisualRoom* View, const TPoint3D& At)
    {
        const TPixel Q = View->WorldToScreen(At);
        QTest::mouseClick(View, Qt::LeftButton, Qt::NoModifier, QPoint(Q.X, Q.Y));
    }
    // The curve and map the companion shows against a fresh computation from
    // the room as it stands.
    void ExpectCurrent(const TSeatResponseWindow& W)
    {
        const TRoomBox B{Room.GetWidth(), Room.GetDepth(), Room.GetHeight(), Room.GetSpeedOfSound()};
        const std::vector<TPoint3D> Both{Room.Speakers().FindByChannel(1)->GetPosition(),
                                         Room.Speakers().FindByChannel(0)->GetPosition()};
        TSeatResponse R;
        EXPECT_EQ(W.Curve().Levels, R.Compute(B, Both, Room.Listener().GetPosition(), 0.5).Levels);
        EXPECT_EQ(W.Map().StdDb, FlatnessMap(B, Both, Room.Listener().GetPosition().Z, 0.5).StdDb);
    }
};

TEST_F(QuorvanSeatTest, OpensFromTheBarsOrTheShortcutAndClosesWithTheWindow)
{
    const QRect Geometry = Form->pnRightEq->geometry();
    EXPECT_TRUE(Form->pnRightEq->toolTip().contains(QStringLiteral("Ctrl+R")));
    EXPECT_EQ(Form->SeatResponse(), nullptr);
    // A right click on a bar offers the companion; Enter takes it.
    QString Offered;
    QTimer::singleShot(0, [&] {
        if (auto* Menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            Offered = Menu->actions().value(0)->text();
            QTest::keyClick(Menu, Qt::Key_Down);
            QTest::keyClick(Menu, Qt::Key_Return);
        }
    });
    TLevelBar* Bar = Form->Bars()[3];
    // The context-menu request a right click raises (the offscreen platform
    // does not raise it from a synthetic click); the bar is disabled, so the
    // request travels on to the panel.
    const QPoint At = Bar->rect().center();
    QContextMenuEvent Request(QContextMenuEvent::Mouse, At, Bar->mapToGlobal(At));
    QApplication::sendEvent(Bar, &Request);
    EXPECT_EQ(Offered.toStdString(), "Respuesta en el punto de escucha");
    TSeatResponseWindow* W = Form->SeatResponse();
    ASSERT_NE(W, nullptr);
    EXPECT_TRUE(W->isVisible());
    EXPECT_TRUE(W->isWindow());
    EXPECT_EQ(W->windowModality(), Qt::NonModal);
    EXPECT_EQ(W->windowTitle().toStdString(), "Respuesta en el punto de escucha");
    EXPECT_EQ(Form->pnRightEq->geometry(), Geometry);
    EXPECT_EQ(Form->size(), QSize(693, 351));

    W->close();
    EXPECT_EQ(OpenByShortcut(), W); // the same window again
    EXPECT_TRUE(W->isVisible());
    Form->close();
    EXPECT_FALSE(W->isVisible());
}

TEST_F(QuorvanSeatTest, FollowsArrowKeysButtonsAndDrags)
{
    TSeatResponseWindow* W = OpenByShortcut();
    ASSERT_NE(W, nullptr);
    ExpectCurrent(*W);
    Form->activateWindow();
    Press(Form->vrTop, Room.Speakers().FindByChannel(1)->GetPosition());
    ASSERT_EQ(Form->Selected(), Room.Speakers().FindByChannel(1));
    const auto Map = W->Map().StdDb;
    QTest::keyClick(Form.get(), Qt::Key_Left);
    EXPECT_NE(W->Map().StdDb, Map);
    ExpectCurrent(*W);
    QTest::mouseClick(Form->sbDown, Qt::LeftButton);
    ExpectCurrent(*W);

    TVisualRoom* View = Form->vrHeight;
    const TPixel F = View->WorldToScreen(Room.Listener().GetPosition());
    const QPoint From(F.X, F.Y), To = From + QPoint(-30, -10);
    QTest::mousePress(View, Qt::LeftButton, Qt::NoModifier, From);
    const auto Curve = W->Curve().Levels;
    QMouseEvent Move(QEvent::MouseMove, QPointF(To), QPointF(View->mapToGlobal(To)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(View, &Move);
    EXPECT_NE(W->Curve().Levels, Curve) << "during the drag";
    ExpectCurrent(*W);
    QTest::mouseRelease(View, Qt::LeftButton, Qt::NoModifier, To);
}

TEST_F(QuorvanSeatTest, TheListenerGoesToTheBestPointAndTheReadoutsFollow)
{
    TSeatResponseWindow* W = OpenByShortcut();
    ASSERT_NE(W, nullptr);
    W->Tabs->setCurrentIndex(1);
    const TPoint3D Best = W->Map().Best;
    QTest::mouseClick(W->btBring, Qt::LeftButton);
    ASSERT_EQ(Form->Selected(), &Room.Listener());
    EXPECT_EQ(Form->edPosX->text().toStdString(), FormatShort(Best.X));
    EXPECT_EQ(Form->edPosY->text().toStdString(), FormatShort(Best.Y));
    EXPECT_EQ(Form->edPosZ->text().toStdString(), "1.1");
    EXPECT_EQ(Form->edSPL->text().toStdString(), FormatShort(Form->MeanPressureAt(Room.Listener().GetPosition())));
    ExpectCurrent(*W);
}

} // namespace
