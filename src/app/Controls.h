#pragma once
// Builders for the hand-placed controls of the launcher and the setup dialog.
// Each control gets its component name (objectName), by which the rescaling
// base window records and finds it, and its design bounds in pixels relative
// to Parent, which owns it. GUI thread only.

#include <QRect>
#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Controls {

template <class T> T* Make(QWidget* Parent, const char* Name, const QRect& Bounds)
{
    auto* W = new T(Parent); // owned by Parent
    W->setObjectName(QString::fromLatin1(Name));
    W->setGeometry(Bounds);
    return W;
}

// A label showing Text as it is (never as rich text).
QLabel* MakeLabel(QWidget* Parent, const char* Name, const QRect& Bounds, const QString& Text);
QPushButton* MakeButton(QWidget* Parent, const char* Name, const QRect& Bounds, const QString& Caption);
// A read-only edit box on a sky-blue background: a figure shown, not asked for.
QLineEdit* MakeDisplayBox(QWidget* Parent, const char* Name, const QRect& Bounds);

} // namespace Controls
