#pragma once
// Driving the launcher and the setup dialog as a user would.

#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <functional>
#include <initializer_list>
#include <utility>

#include "app/MiniRoomSetup.h"
#include "app/main.h"

// Clicks into Box, selects all and types Text over it key by key (empty Text
// deletes the contents). Characters beyond ASCII arrive as key events that
// carry their text, as from a keyboard layout.
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

inline void TypeInto(std::initializer_list<std::pair<QLineEdit*, QString>> Entries)
{
    for (const auto& [Box, Text] : Entries)
        TypeInto(Box, Text);
}

// Presses "Configurar" on Main and runs Interact on the modal setup dialog
// once it shows. Interact ends the dialog itself; should it not, the dialog is
// cancelled so the test goes on. Returns whether Interact ran.
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
