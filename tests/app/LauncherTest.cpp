#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <array>
#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

#include "AppTestSupport.h"
#include "app/Pictures.h"
#include "app/main.h"
#include "model/Room.h"
#include "support/CommaLocale.h"
#include "views/ErrorReport.h"

#include <stdexcept>

namespace {

TPoint3D Left(TRoom& R) { return R.Speakers().FindByChannel(0)->GetPosition(); }
TPoint3D Right(TRoom& R) { return R.Speakers().FindByChannel(1)->GetPosition(); }
TPoint3D ListenerAt(TRoom& R) { return R.Listener().GetPosition(); }
// Left and right loudspeaker, listener.
std::array<float, 3> Heights(TRoom& R) { return {Left(R).Z, Right(R).Z, ListenerAt(R).Z}; }

QStringList Dimensions(const TfrmMain& Main)
{
    return {Main.edDepth->text(), Main.edWidth->text(), Main.edHeight->text()};
}

// The horizontal default layout of the 4.53 x 7.33 m room, to the digits known.
void ExpectDefaultLayout(TRoom& R)
{
    EXPECT_NEAR(Left(R).X, 1.2503, 5e-5);
    EXPECT_NEAR(Left(R).Y, 2.8147, 5e-5);
    EXPECT_NEAR(Right(R).X, 3.2797, 5e-5);
    EXPECT_NEAR(Right(R).Y, 2.8147, 5e-5);
    EXPECT_NEAR(ListenerAt(R).X, 2.265, 5e-5);
    EXPECT_NEAR(ListenerAt(R).Y, 4.5723, 5e-5);
}

class Launcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        Main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
    }

    TfrmMain Main;
    TRoom& Room = Main.Room();
};

TEST_F(Launcher, WindowTextsAndDimensionBoxes)
{
    EXPECT_EQ(Main.windowTitle(), QStringLiteral("Velmor acústica / Quorvan V 1.0"));
    EXPECT_EQ(Main.size(), QSize(540, 365));
    EXPECT_EQ(Main.minimumSize(), Main.maximumSize());
    EXPECT_TRUE(Main.Label5->font().bold());
    EXPECT_GT(Main.Label5->font().pointSizeF(), Main.Label1->font().pointSizeF());
    // Two blanks after the second "Podrás"; a lone opening quote in Label2.
    EXPECT_TRUE(Main.Label1->text().contains(QStringLiteral("oblicuos. Podrás  generar un CD")));
    EXPECT_TRUE(Main.Label2->text().endsWith(QStringLiteral("ayudados del CD de la \"Velmor acústica.")));
    EXPECT_EQ(Main.Label2->text().count(QLatin1Char('"')), 1);

    // Depth, width, height, left to right under their title, read-only.
    EXPECT_EQ(Dimensions(Main), (QStringList{"7.33", "4.53", "2.8"}));
    EXPECT_LT(Main.edDepth->x(), Main.edWidth->x());
    EXPECT_LT(Main.edWidth->x(), Main.edHeight->x());
    for (QLineEdit* Box : {Main.edDepth, Main.edWidth, Main.edHeight}) {
        EXPECT_TRUE(Box->isReadOnly());
        EXPECT_GT(Box->y(), Main.Label6->y());
    }

    // Rendered: a red loudspeaker in the first picture, the green foot of a
    // level bar in the second, a sky-blue box behind the text.
    const QImage Shot = Main.grab().toImage();
    const QColor Speaker = Shot.pixelColor(Main.Image1->geometry().topLeft() + QPoint(36, 78));
    EXPECT_GT(Speaker.red(), 180);
    EXPECT_LT(Speaker.green(), 90);
    EXPECT_GT(Shot.pixelColor(Main.Image2->geometry().topLeft() + QPoint(12, 65)).green(), 150);
    const QRect Box = Main.edHeight->geometry();
    EXPECT_EQ(Shot.pixelColor(Box.right() - 6, Box.center().y()), QColor(166, 202, 240));
}

TEST(LauncherPictures, CorruptPicturesLeaveTheirPlacesEmpty)
{
    const unsigned char Noise[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x13, 0x37};
    const std::span<const unsigned char> Good = Pictures::Footprint();
    TfrmMain Main({Good.first(Good.size() / 2), Noise});
    Main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
    EXPECT_TRUE(Main.Image1->pixmap().isNull());
    EXPECT_TRUE(Main.Image2->pixmap().isNull());
    const QImage Shot = Main.grab().toImage();
    const QColor Background = Main.palette().color(QPalette::Window);
    EXPECT_EQ(Shot.pixelColor(Main.Image1->geometry().center()), Background);
    EXPECT_EQ(Shot.pixelColor(Main.Image2->geometry().center()), Background);
    EXPECT_EQ(Dimensions(Main), (QStringList{"7.33", "4.53", "2.8"}));
}

TEST_F(Launcher, DefaultLayoutIsAnEquilateralTriangle)
{
    ExpectDefaultLayout(Room);
    EXPECT_NEAR(Right(Room).X - Left(Room).X, 2.0294, 5e-5);
    EXPECT_EQ(Heights(Room), (std::array{0.65f, 0.65f, 1.1f}));
    // Mirror images across the middle of the room, at the same depth.
    EXPECT_EQ(Left(Room).X + Right(Room).X, 4.53f);
    EXPECT_EQ(Left(Room).Y, Right(Room).Y);

    const struct {
        float W, D;
    } Rooms[] = {{3.0f, 4.0f}, {5.2f, 6.0f}, {12.0f, 20.0f}, {8.0f, 4.0f}};
    for (const auto& Case : Rooms) {
        SCOPED_TRACE(testing::Message() << Case.W << " x " << Case.D);
        Room.SetWidth(Case.W);
        Room.SetDepth(Case.D);
        Main.PlaceDefaultLayout();
        const double Side = Right(Room).X - Left(Room).X;
        EXPECT_NEAR(Left(Room).X, 0.276 * Case.W, 1e-5);
        EXPECT_NEAR(Side, 0.448 * Case.W, 2e-5);
        EXPECT_NEAR(std::hypot(ListenerAt(Room).X - Left(Room).X, ListenerAt(Room).Y - Left(Room).Y), Side, 2e-5);
        EXPECT_NEAR(std::hypot(ListenerAt(Room).X - Right(Room).X, ListenerAt(Room).Y - Right(Room).Y), Side, 2e-5);
        EXPECT_NEAR(ListenerAt(Room).X, Case.W / 2, 1e-6);
    }
    // 8 x 4 m: the listener ends beyond the back wall, left for the next
    // move in a view to pull back.
    EXPECT_NEAR(ListenerAt(Room).Y, 4.64, 1e-3);
    EXPECT_GT(ListenerAt(Room).Y, Room.GetDepth());
}

TEST_F(Launcher, ModuleButtonsAndPicturesOpenTheirModules)
{
    // Unset, nothing happens.
    QTest::mouseClick(Main.btnVelmor, Qt::LeftButton);
    QTest::mouseClick(Main.Image2, Qt::LeftButton);
    std::vector<std::pair<char, TRoom*>> Opened;
    Main.OnOpenFootprint = [&](TRoom& R) { Opened.emplace_back('F', &R); };
    Main.OnOpenRoomEq = [&](TRoom& R) { Opened.emplace_back('Q', &R); };
    for (QWidget* W : std::initializer_list<QWidget*>{Main.btnVelmor, Main.Image1, Main.btnEQ, Main.Image2})
        QTest::mouseClick(W, Qt::LeftButton);
    QTest::mouseClick(Main.Image1, Qt::RightButton);
    // A press released outside the picture is no click.
    QTest::mousePress(Main.Image2, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(Main.Image2, Qt::LeftButton, {}, QPoint(300, 10));
    const std::vector<std::pair<char, TRoom*>> Expected = {{'F', &Room}, {'F', &Room}, {'Q', &Room}, {'Q', &Room}};
    EXPECT_EQ(Opened, Expected);
}

TEST_F(Launcher, AModuleThatFailsToOpenIsReportedAndTheLauncherGoesOn)
{
    QStringList Reports;
    SetErrorReporter([&](const QString& M) { Reports << M; });
    Main.OnOpenFootprint = [](TRoom&) { throw std::runtime_error("sin memoria para la velmor"); };
    Main.OnOpenRoomEq = [](TRoom&) { throw 7; };
    for (QWidget* W : std::initializer_list<QWidget*>{Main.btnVelmor, Main.Image1, Main.btnEQ, Main.Image2})
        QTest::mouseClick(W, Qt::LeftButton);
    SetErrorReporter(nullptr);
    ASSERT_EQ(Reports.size(), 4);
    EXPECT_EQ(Reports[0], QStringLiteral("sin memoria para la velmor"));
    EXPECT_EQ(Reports[1], Reports[0]);
    EXPECT_FALSE(Reports[2].isEmpty());
    EXPECT_TRUE(Main.isVisible());
}

TEST_F(Launcher, SetupDialogOkStoresTheRoomAndRenewsTheLayout)
{
    EXPECT_TRUE(WithSetupDialog(Main, [&](TfrmMiniRoomSetup& D) {
        EXPECT_EQ(D.GetRoom(), &Room);
        EXPECT_TRUE(D.isModal());
        TypeInto({{D.edDepth, "6"}, {D.edWidth, "12"}, {D.edHeight, "3.1"}});
        QTest::mouseClick(D.btnOk, Qt::LeftButton);
    }));
    EXPECT_EQ(frmMiniRoomSetup, nullptr);
    EXPECT_EQ(Dimensions(Main), (QStringList{"6", "12", "3.1"}));
    EXPECT_NEAR(Left(Room).X, 12 * 0.276, 1e-5);
    EXPECT_NEAR(Left(Room).Y, 6 * 0.384, 1e-5);
}

TEST_F(Launcher, CancelKeepsTheRoomButRestoresTheDefaultLayout)
{
    // A module moves the elements in place, as the room-as-equaliser does.
    Main.OnOpenRoomEq = [](TRoom& R) {
        R.Speakers().FindByChannel(0)->SetPosition({0.5f, 1.0f, 0.65f});
        R.Speakers().FindByChannel(1)->SetPosition({4.0f, 1.0f, 0.65f});
        R.Listener().SetPosition({2.0f, 6.0f, 1.1f});
    };
    QTest::mouseClick(Main.btnEQ, Qt::LeftButton);
    ASSERT_EQ(Left(Room).X, 0.5f);

    EXPECT_TRUE(WithSetupDialog(Main, [](TfrmMiniRoomSetup& D) {
        TypeInto(D.edWidth, QStringLiteral("9"));
        QTest::mouseClick(D.btnCancel, Qt::LeftButton);
    }));
    EXPECT_EQ(Room.GetWidth(), 4.53f);
    ExpectDefaultLayout(Room);

    // Closing through the window frame is a Cancel too.
    EXPECT_TRUE(WithSetupDialog(Main, [](TfrmMiniRoomSetup& D) {
        TypeInto(D.edWidth, QStringLiteral("9"));
        D.close();
    }));
    EXPECT_EQ(Room.GetWidth(), 4.53f);
}

TEST_F(Launcher, OkClampsHeightsIntoTheRoom)
{
    EXPECT_TRUE(WithSetupDialog(Main, [](TfrmMiniRoomSetup& D) {
        TypeInto({{D.edSpeakerPosZ, "3"}, {D.edListenerPosZ, "5"}});
        QTest::mouseClick(D.btnOk, Qt::LeftButton);
    }));
    EXPECT_EQ(Heights(Room), (std::array{2.8f, 2.8f, 2.8f}));

    EXPECT_TRUE(WithSetupDialog(Main, [](TfrmMiniRoomSetup& D) {
        EXPECT_EQ(D.edSpeakerPosZ->text(), QStringLiteral("2.8"));
        TypeInto({{D.edSpeakerPosZ, ""}, {D.edListenerPosZ, "-2"}});
        QTest::mouseClick(D.btnOk, Qt::LeftButton);
    }));
    EXPECT_EQ(Heights(Room), (std::array{0.0f, 0.0f, 0.0f}));
    // The layout ran after the clamping, on the horizontal positions only.
    ExpectDefaultLayout(Room);
}

TEST(LauncherCommaLocale, BoxesAndDialogUseTheComma)
{
    const TCommaLocale Comma;
    TfrmMain Main;
    Main.show();
    EXPECT_EQ(Dimensions(Main), (QStringList{"7,33", "4,53", "2,8"}));
    EXPECT_TRUE(WithSetupDialog(Main, [](TfrmMiniRoomSetup& D) {
        EXPECT_EQ(D.edDepth->text(), QStringLiteral("7,33"));
        EXPECT_EQ(D.edSoundSpeed->text(), QStringLiteral("345,4"));
        TypeInto(D.edTemperature, QStringLiteral("20,5"));
        EXPECT_EQ(D.edSoundSpeed->text(), QStringLiteral("343,3"));
        TypeInto({{D.edWidth, "0,2"}, {D.edDepth, "6,25"}}); // a width that small is ignored
        QTest::mouseClick(D.btnOk, Qt::LeftButton);
    }));
    EXPECT_EQ(Dimensions(Main), (QStringList{"6,25", "4,53", "2,8"}));
    EXPECT_EQ(Main.Room().GetTemperature(), 20.5f);
}

} // namespace
