#pragma once
// Helpers for driving the application's windows as a user would.

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <functional>

#include "app/MiniRoomSetup.h"
#include "app/main.h"

// Clicks into Box, selects what it holds and types Text over it, one key per
// character (an empty Text deletes the contents). Characters beyond ASCII
// arrive as key events carrying their text, as from a keyboard layout.
inline void TypeInto(QLineEdit* Box, const QString& Text)
{
    QTest::mouseClick(Box, Qt::LeftButton);
    QTest::keyClick(Box, Qt::Key_A, Qt::ControlModifier);
    if (Text.isEmpty())
        QTest::keyClick(Box, Qt::Key_Delete);
    for (const char32_t C : Text.toUcs4()) {
        if (C < 128)
            QTest::keyClick(Box, static_cast<char>(C));
        else
            QTest::sendKeyEvent(QTest::Click, Box, Qt::Key_unknown, QString::fromUcs4(&C, 1), Qt::NoModifier);
    }
}

// Presses "Configurar" on Main and runs Interact on the setup dialog while it
// is shown modally. Interact ends the dialog itself (Ok, Cancel); should it
// not, the dialog is cancelled so the test can go on. Returns whether
// Interact ran.
inline bool WithSetupDialog(TfrmMain& Main, const std::function<void(TfrmMiniRoomSetup&)>& Interact)
{
    bool Ran = false;
    QTimer Poll;
    Poll.setInterval(5);
    QObject::connect(&Poll, &QTimer::timeout, [&] {
        TfrmMiniRoomSetup* Dialog = frmMiniRoomSetup;
        if (Dialog == nullptr || !Dialog->isVisible())
            return;
        Poll.stop();
        Ran = true;
        Interact(*Dialog);
        if (frmMiniRoomSetup != nullptr && frmMiniRoomSetup->isVisible())
            frmMiniRoomSetup->reject();
    });
    Poll.start();
    QTest::mouseClick(Main.Button1, Qt::LeftButton);
    Poll.stop();
    return Ran;
}
