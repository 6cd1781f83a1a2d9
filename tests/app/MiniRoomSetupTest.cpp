#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <array>
#include <utility>

#include "AppTestSupport.h"
#include "app/MiniRoomSetup.h"
#include "model/Modes.h"
#include "model/Room.h"
#include "model/Utilities.h"

namespace {

// What the dialog may write: width, depth, height, temperature, then the
// heights of the left and the right loudspeaker and of the listener.
using TStored = std::array<float, 7>;
TStored Stored(TRoom& R)
{
    auto& S = R.Speakers();
    return {R.GetWidth(), R.GetDepth(), R.GetHeight(), R.GetTemperature(), S.FindByChannel(0)->GetPosition().Z,
            S.FindByChannel(1)->GetPosition().Z, R.Listener().GetPosition().Z};
}
const TStored Fresh = {4.53f, 7.33f, 2.8f, 24.0f, 0.65f, 0.65f, 1.1f};

std::pair<float, float> XY(const TItem& Item)
{
    return {Item.GetPosition().X, Item.GetPosition().Y};
}

// The dialog on its own, shown (not modal) on a fresh room.
class SetupDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        Dialog.SetRoom(Room);
        Dialog.show();
        Dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Dialog));
    }
    void PressOk() { QTest::mouseClick(Dialog.btnOk, Qt::LeftButton); }

    TRoom Room;
    TfrmMiniRoomSetup Dialog;
};

TEST_F(SetupDialog, LayoutCaptionsAndFirstValues)
{
    EXPECT_EQ(Dialog.windowTitle(), QStringLiteral("Configuración de la sala"));
    EXPECT_EQ(Dialog.size(), QSize(296, 220));
    EXPECT_EQ(Dialog.minimumSize(), Dialog.maximumSize());
    EXPECT_FALSE(Dialog.btnOk->isDefault());
    EXPECT_FALSE(Dialog.btnCancel->isDefault());
    EXPECT_TRUE(Dialog.edSoundSpeed->isReadOnly());

    const std::pair<QLineEdit*, const char*> Shown[] = {
        {Dialog.edDepth, "7.33"},      {Dialog.edWidth, "4.53"},       {Dialog.edHeight, "2.8"},
        {Dialog.edTemperature, "24"},  {Dialog.edSoundSpeed, "345.4"}, {Dialog.edSpeakerPosZ, "0.65"},
        {Dialog.edListenerPosZ, "1.1"},
    };
    for (const auto& [Box, Text] : Shown)
        EXPECT_EQ(Box->text(), QString::fromLatin1(Text)) << Box->objectName().toStdString();
    EXPECT_EQ(QApplication::focusWidget(), Dialog.edDepth);

    // Built before the base window recorded the layout, nested boxes included.
    ASSERT_NE(Dialog.Layout(), nullptr);
    EXPECT_NE(Dialog.Layout()->FindByName("edSpeakerPosZ"), nullptr);
}

TEST_F(SetupDialog, TabOrderSkipsTheSpeedOfSound)
{
    QWidget* const Expected[] = {Dialog.edWidth,       Dialog.edHeight,       Dialog.edTemperature,
                                 Dialog.btnOk,         Dialog.btnCancel,      Dialog.edListenerPosZ,
                                 Dialog.edSpeakerPosZ, Dialog.edDepth};
    ASSERT_EQ(QApplication::focusWidget(), Dialog.edDepth);
    for (QWidget* Next : Expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), Next) << Next->objectName().toStdString();
    }
    // The read-out can still be clicked into (to copy the figure).
    QTest::mouseClick(Dialog.edSoundSpeed, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), Dialog.edSoundSpeed);
}

TEST_F(SetupDialog, SpeedOfSoundFollowsTheTemperatureAsTyped)
{
    const std::pair<const char*, const char*> Cases[] = {
        {"-10", "325"},     {"", "331"},         {"abc", "331"},
        {"20.5", "343.3"},  {"-551.6", "0.04"},  {"-600", "-29"},
    };
    for (const auto& [Typed, Speed] : Cases) {
        TypeInto(Dialog.edTemperature, QString::fromLatin1(Typed));
        EXPECT_EQ(Dialog.edSoundSpeed->text(), QString::fromLatin1(Speed)) << '"' << Typed << '"';
    }
    EXPECT_EQ(Room.GetTemperature(), 24.0f); // nothing written while typing

    // Live at every key, not only when the box is left.
    TypeInto(Dialog.edTemperature, QString());
    QTest::keyClick(Dialog.edTemperature, Qt::Key_1);
    EXPECT_EQ(Dialog.edSoundSpeed->text(), QStringLiteral("331.6"));
    QTest::keyClick(Dialog.edTemperature, Qt::Key_5);
    EXPECT_EQ(Dialog.edSoundSpeed->text(), QStringLiteral("340"));
}

TEST_F(SetupDialog, EnterInABoxAndEscapeDoNotCloseEnterOnAButtonPressesIt)
{
    TypeInto(Dialog.edWidth, QStringLiteral("6"));
    for (const Qt::Key Key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
        QTest::keyClick(Dialog.edWidth, Key);
    EXPECT_TRUE(Dialog.isVisible());
    EXPECT_EQ(Room.GetWidth(), 4.53f);
    EXPECT_EQ(Dialog.edWidth->text(), QStringLiteral("6"));

    Dialog.btnOk->setFocus(Qt::TabFocusReason);
    QTest::keyClick(Dialog.btnOk, Qt::Key_Return);
    EXPECT_FALSE(Dialog.isVisible());
    EXPECT_EQ(Dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Room.GetWidth(), 6.0f);
}

TEST_F(SetupDialog, CancelWritesNothing)
{
    for (QLineEdit* Box : {Dialog.edDepth, Dialog.edWidth, Dialog.edHeight, Dialog.edTemperature,
                           Dialog.edSpeakerPosZ, Dialog.edListenerPosZ})
        TypeInto(Box, QStringLiteral("2"));
    QTest::mouseClick(Dialog.btnCancel, Qt::LeftButton);
    EXPECT_FALSE(Dialog.isVisible());
    EXPECT_EQ(Dialog.result(), QDialog::Rejected);
    EXPECT_EQ(Stored(Room), Fresh);
}

TEST_F(SetupDialog, OkWritesEveryBoxAndLeavesXAndYAlone)
{
    TSpeaker& Left = *Room.Speakers().FindByChannel(0);
    TSpeaker& Right = *Room.Speakers().FindByChannel(1);
    Left.SetPosition({1.0f, 2.0f, 0.65f});
    Right.SetPosition({3.5f, 2.5f, 0.3f});
    Room.Listener().SetPosition({2.0f, 5.0f, 1.1f});

    TypeInto({{Dialog.edDepth, "6.1"},
              {Dialog.edWidth, "3.9"},
              {Dialog.edHeight, "2.45"},
              {Dialog.edTemperature, "18"},
              {Dialog.edSpeakerPosZ, "0.9"},
              {Dialog.edListenerPosZ, "1.2"}});
    PressOk();

    EXPECT_EQ(Dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Stored(Room), (TStored{3.9f, 6.1f, 2.45f, 18.0f, 0.9f, 0.9f, 1.2f}));
    EXPECT_EQ(XY(Left), std::pair(1.0f, 2.0f));
    EXPECT_EQ(XY(Right), std::pair(3.5f, 2.5f));
    EXPECT_EQ(XY(Room.Listener()), std::pair(2.0f, 5.0f));
}

TEST_F(SetupDialog, UnreadableOrTinyValuesFollowTheRoomsRules)
{
    TypeInto({{Dialog.edWidth, "0.25"},       // not above the minimum
              {Dialog.edDepth, "abc"},        // reads as 0
              {Dialog.edHeight, ""},
              {Dialog.edTemperature, "frío"}, // 0 degC is stored
              {Dialog.edSpeakerPosZ, ""},     // the floor
              {Dialog.edListenerPosZ, "-1"}}); // stored; clamping is the launcher's
    PressOk();
    EXPECT_EQ(Stored(Room), (TStored{4.53f, 7.33f, 2.8f, 0.0f, 0.0f, 0.0f, -1.0f}));
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
        Dialog.show();
        for (QLineEdit* Box : {Dialog.edDepth, Dialog.edWidth, Dialog.edHeight, Dialog.edTemperature,
                               Dialog.edSpeakerPosZ, Dialog.edListenerPosZ})
            TypeInto(Box, Text);
        PressOk();
        EXPECT_EQ(Dialog.result(), QDialog::Accepted);
        // A dimension no listening room has is refused by the room.
        EXPECT_GT(Room.GetWidth(), TRoom::MinDimension);
        EXPECT_LE(Room.GetWidth(), TRoom::MaxDimension);
        EXPECT_LE(Room.GetDepth(), TRoom::MaxDimension);
        EXPECT_LE(Room.GetHeight(), TRoom::MaxDimension);
    }
    // The dialog shows again with whatever the room now holds.
    Dialog.show();
    EXPECT_EQ(Dialog.edWidth->text().toStdString(), FormatShort(Room.GetWidth()));
}

TEST_F(SetupDialog, TemperatureAloneChangesTheModesNotTheRoom)
{
    TModeManager Before;
    Before.Compute(Room, {mkAxial, mkTangential, mkOblique});
    TypeInto(Dialog.edTemperature, QStringLiteral("5"));
    PressOk();
    TModeManager After;
    After.Compute(Room, {mkAxial, mkTangential, mkOblique});

    EXPECT_EQ(Stored(Room), (TStored{4.53f, 7.33f, 2.8f, 5.0f, 0.65f, 0.65f, 1.1f}));
    ASSERT_GT(After.Count(), 0);
    // Colder air, slower sound: the first mode (half a wave along the
    // length, c / 2L) moves down in proportion.
    const TMode* First = After.GetMode(0);
    EXPECT_EQ(First->NY(), 1);
    EXPECT_NEAR(First->GetFrequency(), (331 + 0.6 * 5) / (2 * 7.33), 1e-3);
    EXPECT_LT(First->GetFrequency(), Before.GetMode(0)->GetFrequency());
}

} // namespace
