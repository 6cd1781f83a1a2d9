#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

#include "AppTestSupport.h"
#include "app/MiniRoomSetup.h"
#include "model/Modes.h"
#include "model/Room.h"
#include "model/Utilities.h"

namespace {

// The dialog on its own, shown (not modal) on a fresh room.
class SetupDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        Room = std::make_unique<TRoom>();
        Dialog = std::make_unique<TfrmMiniRoomSetup>();
        Dialog->SetRoom(*Room);
        Dialog->show();
        Dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Dialog.get()));
    }
    void TearDown() override { Dialog.reset(); }

    std::unique_ptr<TRoom> Room;
    std::unique_ptr<TfrmMiniRoomSetup> Dialog;
};

TEST_F(SetupDialog, LayoutCaptionsAndFirstValues)
{
    EXPECT_EQ(Dialog->windowTitle(), QStringLiteral("Configuración de la sala"));
    EXPECT_EQ(Dialog->size(), QSize(296, 220));
    EXPECT_EQ(Dialog->minimumSize(), Dialog->maximumSize());
    EXPECT_FALSE(Dialog->btnOk->isDefault());
    EXPECT_FALSE(Dialog->btnCancel->isDefault());
    EXPECT_TRUE(Dialog->edSoundSpeed->isReadOnly());

    // Depth, width, height, temperature, speed, woofer, listener.
    const std::pair<QLineEdit*, const char*> Shown[] = {
        {Dialog->edDepth, "7.33"},      {Dialog->edWidth, "4.53"},       {Dialog->edHeight, "2.8"},
        {Dialog->edTemperature, "24"},  {Dialog->edSoundSpeed, "345.4"}, {Dialog->edSpeakerPosZ, "0.65"},
        {Dialog->edListenerPosZ, "1.1"},
    };
    for (const auto& [Box, Text] : Shown)
        EXPECT_EQ(Box->text(), QString::fromLatin1(Text)) << Box->objectName().toStdString();
    EXPECT_EQ(QApplication::focusWidget(), Dialog->edDepth);

    // The base window recorded every control, nested ones included.
    ASSERT_NE(Dialog->Layout(), nullptr);
    EXPECT_NE(Dialog->Layout()->FindByName("edSpeakerPosZ"), nullptr);
    EXPECT_NE(Dialog->Layout()->FindByName("btnCancel"), nullptr);
    EXPECT_EQ(Dialog->DesignWidth(), 296);
}

TEST_F(SetupDialog, TabOrderSkipsTheSpeedOfSound)
{
    QWidget* const Expected[] = {Dialog->edWidth,       Dialog->edHeight,       Dialog->edTemperature,
                                 Dialog->btnOk,         Dialog->btnCancel,      Dialog->edListenerPosZ,
                                 Dialog->edSpeakerPosZ, Dialog->edDepth};
    ASSERT_EQ(QApplication::focusWidget(), Dialog->edDepth);
    for (QWidget* Next : Expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), Next) << Next->objectName().toStdString();
    }
    // The read-out can still be clicked into (to copy the figure).
    QTest::mouseClick(Dialog->edSoundSpeed, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), Dialog->edSoundSpeed);
}

TEST_F(SetupDialog, SpeedOfSoundFollowsTheTemperatureAsTyped)
{
    const struct {
        const char* Typed;
        const char* Speed;
    } Cases[] = {
        {"-10", "325"}, {"", "331"},  {"abc", "331"}, {"-", "331"},         {"30", "349"},
        {"20.5", "343.3"}, {"-551.6", "0.04"}, {"-600", "-29"}, {"1e3", "338.8"}, // "1e3" reads as 13
    };
    for (const auto& C : Cases) {
        TypeInto(Dialog->edTemperature, QString::fromLatin1(C.Typed));
        EXPECT_EQ(Dialog->edSoundSpeed->text(), QString::fromLatin1(C.Speed)) << '"' << C.Typed << '"';
    }
    // The room is not touched while typing.
    EXPECT_EQ(Room->GetTemperature(), 24.0f);

    // Character by character, the read-out is live.
    TypeInto(Dialog->edTemperature, QString());
    QTest::keyClick(Dialog->edTemperature, Qt::Key_1);
    EXPECT_EQ(Dialog->edSoundSpeed->text(), QStringLiteral("331.6"));
    QTest::keyClick(Dialog->edTemperature, Qt::Key_5);
    EXPECT_EQ(Dialog->edSoundSpeed->text(), QStringLiteral("340"));
}

TEST_F(SetupDialog, EnterInABoxAndEscapeDoNotCloseEnterOnAButtonPressesIt)
{
    TypeInto(Dialog->edWidth, QStringLiteral("6"));
    QTest::keyClick(Dialog->edWidth, Qt::Key_Return);
    QTest::keyClick(Dialog->edWidth, Qt::Key_Enter);
    EXPECT_TRUE(Dialog->isVisible());
    QTest::keyClick(Dialog->edWidth, Qt::Key_Escape);
    EXPECT_TRUE(Dialog->isVisible());
    EXPECT_EQ(Room->GetWidth(), 4.53f);
    EXPECT_EQ(Dialog->edWidth->text(), QStringLiteral("6"));

    Dialog->btnOk->setFocus(Qt::TabFocusReason);
    QTest::keyClick(Dialog->btnOk, Qt::Key_Return);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(Dialog->result(), QDialog::Accepted);
    EXPECT_EQ(Room->GetWidth(), 6.0f);
}

TEST_F(SetupDialog, CancelWritesNothing)
{
    for (QLineEdit* Box : {Dialog->edDepth, Dialog->edWidth, Dialog->edHeight, Dialog->edTemperature,
                           Dialog->edSpeakerPosZ, Dialog->edListenerPosZ})
        TypeInto(Box, QStringLiteral("2"));
    QTest::mouseClick(Dialog->btnCancel, Qt::LeftButton);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(Dialog->result(), QDialog::Rejected);
    EXPECT_EQ(Room->GetWidth(), 4.53f);
    EXPECT_EQ(Room->GetDepth(), 7.33f);
    EXPECT_EQ(Room->GetHeight(), 2.8f);
    EXPECT_EQ(Room->GetTemperature(), 24.0f);
    EXPECT_EQ(Room->Listener().GetPosition().Z, 1.1f);
    EXPECT_EQ(Room->Speakers().FindByChannel(0)->GetPosition().Z, 0.65f);
}

TEST_F(SetupDialog, OkWritesEveryBoxAndLeavesXAndYAlone)
{
    TSpeaker& Left = *Room->Speakers().FindByChannel(0);
    TSpeaker& Right = *Room->Speakers().FindByChannel(1);
    Left.SetPosition({1.0f, 2.0f, 0.65f});
    Right.SetPosition({3.5f, 2.5f, 0.3f});
    Room->Listener().SetPosition({2.0f, 5.0f, 1.1f});

    TypeInto(Dialog->edDepth, QStringLiteral("6.1"));
    TypeInto(Dialog->edWidth, QStringLiteral("3.9"));
    TypeInto(Dialog->edHeight, QStringLiteral("2.45"));
    TypeInto(Dialog->edTemperature, QStringLiteral("18"));
    TypeInto(Dialog->edSpeakerPosZ, QStringLiteral("0.9"));
    TypeInto(Dialog->edListenerPosZ, QStringLiteral("1.2"));
    QTest::mouseClick(Dialog->btnOk, Qt::LeftButton);

    EXPECT_EQ(Dialog->result(), QDialog::Accepted);
    EXPECT_EQ(Room->GetDepth(), 6.1f);
    EXPECT_EQ(Room->GetWidth(), 3.9f);
    EXPECT_EQ(Room->GetHeight(), 2.45f);
    EXPECT_EQ(Room->GetTemperature(), 18.0f);
    EXPECT_EQ(Left.GetPosition().X, 1.0f);
    EXPECT_EQ(Left.GetPosition().Y, 2.0f);
    EXPECT_EQ(Left.GetPosition().Z, 0.9f);
    EXPECT_EQ(Right.GetPosition().X, 3.5f);
    EXPECT_EQ(Right.GetPosition().Y, 2.5f);
    EXPECT_EQ(Right.GetPosition().Z, 0.9f);
    EXPECT_EQ(Room->Listener().GetPosition().X, 2.0f);
    EXPECT_EQ(Room->Listener().GetPosition().Y, 5.0f);
    EXPECT_EQ(Room->Listener().GetPosition().Z, 1.2f);
}

TEST_F(SetupDialog, UnreadableOrTinyValuesFollowTheRoomsRules)
{
    TypeInto(Dialog->edWidth, QStringLiteral("0.25")); // not above the minimum
    TypeInto(Dialog->edDepth, QStringLiteral("abc"));  // reads as 0
    TypeInto(Dialog->edHeight, QString());
    TypeInto(Dialog->edTemperature, QStringLiteral("frío")); // 0 degC is stored
    TypeInto(Dialog->edSpeakerPosZ, QString());               // the floor
    TypeInto(Dialog->edListenerPosZ, QStringLiteral("-1"));   // stored; clamping is the launcher's
    QTest::mouseClick(Dialog->btnOk, Qt::LeftButton);

    EXPECT_EQ(Room->GetWidth(), 4.53f);
    EXPECT_EQ(Room->GetDepth(), 7.33f);
    EXPECT_EQ(Room->GetHeight(), 2.8f);
    EXPECT_EQ(Room->GetTemperature(), 0.0f);
    EXPECT_EQ(Room->Speakers().FindByChannel(0)->GetPosition().Z, 0.0f);
    EXPECT_EQ(Room->Speakers().FindByChannel(1)->GetPosition().Z, 0.0f);
    EXPECT_EQ(Room->Listener().GetPosition().Z, -1.0f);
}

TEST_F(SetupDialog, AnyTextInEveryBoxIsHarmless)
{
    const QString Texts[] = {
        QStringLiteral("1e9"),
        QStringLiteral("99999999999999999999999999999999999999999999"),
        QStringLiteral("-340282350000000000000000000000000000000"),
        QStringLiteral("..,,--"),
        QStringLiteral("ñ€𝄞 m"),
        QString(400, QLatin1Char('9')),
        QStringLiteral("1000"),
    };
    for (const QString& Text : Texts) {
        Dialog->show();
        for (QLineEdit* Box : {Dialog->edDepth, Dialog->edWidth, Dialog->edHeight, Dialog->edTemperature,
                               Dialog->edSpeakerPosZ, Dialog->edListenerPosZ})
            TypeInto(Box, Text);
        QTest::mouseClick(Dialog->btnOk, Qt::LeftButton);
        EXPECT_EQ(Dialog->result(), QDialog::Accepted);
        // A dimension no listening room has is refused by the room.
        EXPECT_GT(Room->GetWidth(), TRoom::MinDimension);
        EXPECT_LE(Room->GetWidth(), TRoom::MaxDimension);
        EXPECT_LE(Room->GetDepth(), TRoom::MaxDimension);
        EXPECT_LE(Room->GetHeight(), TRoom::MaxDimension);
    }
    // The dialog shows again with whatever the room now holds.
    Dialog->show();
    EXPECT_EQ(Dialog->edWidth->text().toStdString(), FormatShort(Room->GetWidth()));
}

TEST_F(SetupDialog, TemperatureAloneChangesTheModesNotTheRoom)
{
    TModeManager Before;
    Before.Compute(*Room, {mkAxial, mkTangential, mkOblique});
    TypeInto(Dialog->edTemperature, QStringLiteral("5"));
    QTest::mouseClick(Dialog->btnOk, Qt::LeftButton);
    TModeManager After;
    After.Compute(*Room, {mkAxial, mkTangential, mkOblique});

    EXPECT_EQ(Room->GetWidth(), 4.53f);
    EXPECT_EQ(Room->GetDepth(), 7.33f);
    EXPECT_EQ(Room->GetHeight(), 2.8f);
    ASSERT_GT(After.Count(), 0);
    // Colder air, slower sound: the first mode (half a wave along the
    // length, c / 2L) moves down in proportion.
    const TMode* First = After.GetMode(0);
    EXPECT_EQ(First->NY(), 1);
    EXPECT_NEAR(First->GetFrequency(), (331 + 0.6 * 5) / (2 * 7.33), 1e-3);
    EXPECT_LT(First->GetFrequency(), Before.GetMode(0)->GetFrequency());
}

} // namespace
