#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <memory>

#include "AppTestSupport.h"
#include "app/Pictures.h"
#include "app/main.h"
#include "model/Room.h"
#include "support/CommaLocale.h"

namespace {

TPoint3D Left(TRoom& R)
{
    return R.Speakers().FindByChannel(0)->GetPosition();
}
TPoint3D Right(TRoom& R)
{
    return R.Speakers().FindByChannel(1)->GetPosition();
}
TPoint3D ListenerAt(TRoom& R)
{
    return R.Listener().GetPosition();
}

QStringList Dimensions(const TfrmMain& Main)
{
    return {Main.edDepth->text(), Main.edWidth->text(), Main.edHeight->text()};
}

class Launcher : public ::testing::Test {
protected:
    void SetUp() override
    {
        Main = std::make_unique<TfrmMain>();
        Main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
    }
    void TearDown() override { Main.reset(); }

    std::unique_ptr<TfrmMain> Main;
};

TEST_F(Launcher, WindowAndTexts)
{
    EXPECT_EQ(Main->windowTitle(), QStringLiteral("Velmor acústica / Quorvan V 1.0"));
    EXPECT_EQ(Main->size(), QSize(540, 365));
    EXPECT_EQ(Main->minimumSize(), Main->maximumSize());
    EXPECT_TRUE(Main->Label5->font().bold());
    EXPECT_GT(Main->Label5->font().pointSizeF(), Main->Label1->font().pointSizeF());
    // Two blanks after the second "Podrás"; a lone opening quote in Label2.
    EXPECT_TRUE(Main->Label1->text().contains(QStringLiteral("oblicuos. Podrás  generar un CD")));
    EXPECT_TRUE(Main->Label2->text().endsWith(QStringLiteral("ayudados del CD de la \"Velmor acústica.")));
    EXPECT_EQ(Main->Label2->text().count(QLatin1Char('"')), 1);

    // At start-up: depth, width, height, left to right, under their title.
    EXPECT_EQ(Dimensions(*Main), (QStringList{"7.33", "4.53", "2.8"}));
    EXPECT_LT(Main->edDepth->x(), Main->edWidth->x());
    EXPECT_LT(Main->edWidth->x(), Main->edHeight->x());
    for (QLineEdit* Box : {Main->edDepth, Main->edWidth, Main->edHeight}) {
        EXPECT_TRUE(Box->isReadOnly());
        EXPECT_GT(Box->y(), Main->Label6->y());
    }
}

TEST_F(Launcher, RenderedPicturesAndBoxes)
{
    const QImage Shot = Main->grab().toImage();
    const QColor Background = Main->palette().color(QPalette::Window);
    // Each picture area shows decoded pixels: a red loudspeaker in the plan,
    // the green foot of a level bar.
    const QPoint Picture1 = Main->Image1->geometry().topLeft();
    const QColor Speaker = Shot.pixelColor(Picture1 + QPoint(36, 78));
    EXPECT_GT(Speaker.red(), 180);
    EXPECT_LT(Speaker.green(), 90);
    const QPoint Picture2 = Main->Image2->geometry().topLeft();
    const QColor Bar = Shot.pixelColor(Picture2 + QPoint(12, 65));
    EXPECT_GT(Bar.green(), 150);
    EXPECT_NE(Shot.pixelColor(Main->Image1->geometry().center()), Background);
    EXPECT_NE(Shot.pixelColor(Main->Image2->geometry().center()), Background);

    // The dimension boxes are sky blue behind their text.
    const QRect Box = Main->edHeight->geometry();
    EXPECT_EQ(Shot.pixelColor(Box.right() - 6, Box.center().y()), QColor(166, 202, 240));
    // Outside the frame and its contents: plain window background.
    EXPECT_EQ(Shot.pixelColor(3, 3), Background);
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
    // The launcher works as ever.
    EXPECT_EQ(Dimensions(Main), (QStringList{"7.33", "4.53", "2.8"}));
    EXPECT_TRUE(WithSetupDialog(Main, [](TfrmMiniRoomSetup& D) {
        TypeInto(D.edWidth, QStringLiteral("5"));
        QTest::mouseClick(D.btnOk, Qt::LeftButton);
    }));
    EXPECT_EQ(Main.edWidth->text(), QStringLiteral("5"));
}

TEST_F(Launcher, DefaultLayoutOfTheDefaultRoom)
{
    TRoom& R = Main->Room();
    EXPECT_NEAR(Left(R).X, 1.2503, 5e-5);
    EXPECT_NEAR(Left(R).Y, 2.8147, 5e-5);
    EXPECT_NEAR(Right(R).X, 3.2797, 5e-5);
    EXPECT_NEAR(Right(R).Y, 2.8147, 5e-5);
    EXPECT_NEAR(Right(R).X - Left(R).X, 2.0294, 5e-5);
    EXPECT_NEAR(ListenerAt(R).X, 2.265, 5e-5);
    EXPECT_NEAR(ListenerAt(R).Y, 4.5723, 5e-5);
    EXPECT_EQ(Left(R).Z, 0.65f);
    EXPECT_EQ(Right(R).Z, 0.65f);
    EXPECT_EQ(ListenerAt(R).Z, 1.1f);
    // Mirror images across the middle of the room, at the same depth.
    EXPECT_EQ(Left(R).X + Right(R).X, 4.53f);
    EXPECT_EQ(Left(R).Y, Right(R).Y);
}

TEST_F(Launcher, DefaultLayoutIsAnEquilateralTriangleInOtherRooms)
{
    const struct {
        float W, D;
    } Rooms[] = {{3.0f, 4.0f}, {5.2f, 6.0f}, {12.0f, 20.0f}, {8.0f, 4.0f}};
    for (const auto& Case : Rooms) {
        TRoom& R = Main->Room();
        R.SetWidth(Case.W);
        R.SetDepth(Case.D);
        Main->PlaceDefaultLayout();
        const double Side = Right(R).X - Left(R).X;
        EXPECT_NEAR(Left(R).X, 0.276 * Case.W, 1e-5);
        EXPECT_NEAR(Side, 0.448 * Case.W, 2e-5);
        EXPECT_NEAR(std::hypot(ListenerAt(R).X - Left(R).X, ListenerAt(R).Y - Left(R).Y), Side, 2e-5);
        EXPECT_NEAR(std::hypot(ListenerAt(R).X - Right(R).X, ListenerAt(R).Y - Right(R).Y), Side, 2e-5);
        EXPECT_NEAR(ListenerAt(R).X, Case.W / 2, 1e-6);
    }
    // 8 x 4 m: the listener ends beyond the back wall, left for the next
    // move in a view to pull back.
    EXPECT_NEAR(ListenerAt(Main->Room()).Y, 4.64, 1e-3);
    EXPECT_GT(ListenerAt(Main->Room()).Y, Main->Room().GetDepth());
}

TEST_F(Launcher, ModuleButtonsAndPicturesOpenTheirModules)
{
    int Footprint = 0;
    int RoomEq = 0;
    TRoom* Seen = nullptr;
    // Unset, nothing happens.
    QTest::mouseClick(Main->btnVelmor, Qt::LeftButton);
    QTest::mouseClick(Main->Image2, Qt::LeftButton);
    Main->OnOpenFootprint = [&](TRoom& R) {
        ++Footprint;
        Seen = &R;
    };
    Main->OnOpenRoomEq = [&](TRoom&) { ++RoomEq; };
    QTest::mouseClick(Main->btnVelmor, Qt::LeftButton);
    QTest::mouseClick(Main->Image1, Qt::LeftButton);
    QTest::mouseClick(Main->Image1, Qt::RightButton);
    EXPECT_EQ(Footprint, 2);
    EXPECT_EQ(Seen, &Main->Room());
    QTest::mouseClick(Main->btnEQ, Qt::LeftButton);
    QTest::mouseClick(Main->Image2, Qt::LeftButton);
    EXPECT_EQ(RoomEq, 2);
    // A press that is released outside the picture is no click.
    QTest::mousePress(Main->Image2, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(Main->Image2, Qt::LeftButton, {}, QPoint(300, 10));
    EXPECT_EQ(RoomEq, 2);
}

TEST_F(Launcher, SetupDialogShowsTheRoomAndOkStoresIt)
{
    QStringList Shown;
    EXPECT_TRUE(WithSetupDialog(*Main, [&](TfrmMiniRoomSetup& D) {
        EXPECT_EQ(D.GetRoom(), &Main->Room());
        EXPECT_TRUE(D.isModal());
        for (QLineEdit* Box : {D.edDepth, D.edWidth, D.edHeight, D.edTemperature, D.edSoundSpeed, D.edSpeakerPosZ,
                               D.edListenerPosZ})
            Shown << Box->text();
        TypeInto(D.edDepth, QStringLiteral("6"));
        TypeInto(D.edWidth, QStringLiteral("12"));
        TypeInto(D.edHeight, QStringLiteral("3.1"));
        QTest::mouseClick(D.btnOk, Qt::LeftButton);
    }));
    EXPECT_EQ(Shown, (QStringList{"7.33", "4.53", "2.8", "24", "345.4", "0.65", "1.1"}));
    EXPECT_EQ(frmMiniRoomSetup, nullptr);
    EXPECT_EQ(Dimensions(*Main), (QStringList{"6", "12", "3.1"}));
    // The layout follows the new room at once.
    EXPECT_NEAR(Left(Main->Room()).X, 12 * 0.276, 1e-5);
    EXPECT_NEAR(Left(Main->Room()).Y, 6 * 0.384, 1e-5);
}

TEST_F(Launcher, CancelKeepsTheRoomButRestoresTheDefaultLayout)
{
    // A module moves the elements in place, as the room-as-equaliser does.
    Main->OnOpenRoomEq = [](TRoom& R) {
        R.Speakers().FindByChannel(0)->SetPosition({0.5f, 1.0f, 0.65f});
        R.Speakers().FindByChannel(1)->SetPosition({4.0f, 1.0f, 0.65f});
        R.Listener().SetPosition({2.0f, 6.0f, 1.1f});
    };
    QTest::mouseClick(Main->btnEQ, Qt::LeftButton);
    ASSERT_EQ(Left(Main->Room()).X, 0.5f);

    EXPECT_TRUE(WithSetupDialog(*Main, [](TfrmMiniRoomSetup& D) {
        TypeInto(D.edWidth, QStringLiteral("9"));
        QTest::mouseClick(D.btnCancel, Qt::LeftButton);
    }));
    EXPECT_EQ(Main->Room().GetWidth(), 4.53f);
    EXPECT_NEAR(Left(Main->Room()).X, 1.2503, 5e-5);
    EXPECT_NEAR(Right(Main->Room()).X, 3.2797, 5e-5);
    EXPECT_NEAR(ListenerAt(Main->Room()).Y, 4.5723, 5e-5);

    // Closing through the window frame is a Cancel too.
    EXPECT_TRUE(WithSetupDialog(*Main, [](TfrmMiniRoomSetup& D) {
        TypeInto(D.edWidth, QStringLiteral("9"));
        D.close();
    }));
    EXPECT_EQ(Main->Room().GetWidth(), 4.53f);
}

TEST_F(Launcher, OkClampsHeightsIntoTheRoom)
{
    EXPECT_TRUE(WithSetupDialog(*Main, [](TfrmMiniRoomSetup& D) {
        TypeInto(D.edSpeakerPosZ, QStringLiteral("3"));
        TypeInto(D.edListenerPosZ, QStringLiteral("5"));
        QTest::mouseClick(D.btnOk, Qt::LeftButton);
    }));
    EXPECT_EQ(Left(Main->Room()).Z, 2.8f);
    EXPECT_EQ(Right(Main->Room()).Z, 2.8f);
    EXPECT_EQ(ListenerAt(Main->Room()).Z, 2.8f);

    EXPECT_TRUE(WithSetupDialog(*Main, [](TfrmMiniRoomSetup& D) {
        EXPECT_EQ(D.edSpeakerPosZ->text(), QStringLiteral("2.8"));
        TypeInto(D.edSpeakerPosZ, QString()); // the floor
        TypeInto(D.edListenerPosZ, QStringLiteral("-2"));
        QTest::mouseClick(D.btnOk, Qt::LeftButton);
    }));
    EXPECT_EQ(Left(Main->Room()).Z, 0.0f);
    EXPECT_EQ(Right(Main->Room()).Z, 0.0f);
    EXPECT_EQ(ListenerAt(Main->Room()).Z, 0.0f);
    // The layout ran after the clamping, on the horizontal positions only.
    EXPECT_NEAR(Left(Main->Room()).X, 1.2503, 5e-5);
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
        TypeInto(D.edWidth, QStringLiteral("0,2")); // too small: ignored
        TypeInto(D.edDepth, QStringLiteral("6,25"));
        QTest::mouseClick(D.btnOk, Qt::LeftButton);
    }));
    EXPECT_EQ(Dimensions(Main), (QStringList{"6,25", "4,53", "2,8"}));
    EXPECT_EQ(Main.Room().GetTemperature(), 20.5f);
    EXPECT_TRUE(WithSetupDialog(Main, [](TfrmMiniRoomSetup& D) {
        TypeInto(D.edWidth, QStringLiteral("12"));
        QTest::mouseClick(D.btnOk, Qt::LeftButton);
    }));
    EXPECT_EQ(Main.Room().GetWidth(), 12.0f);
    EXPECT_EQ(Main.edWidth->text(), QStringLiteral("12"));
}

} // namespace
