#include "app/Controls.h"

#include <QColor>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

namespace Controls {

QLabel* MakeLabel(QWidget* Parent, const char* Name, const QRect& Bounds, const QString& Text)
{
    auto* L = Make<QLabel>(Parent, Name, Bounds);
    L->setText(Text);
    L->setTextFormat(Qt::PlainText);
    return L;
}

QPushButton* MakeButton(QWidget* Parent, const char* Name, const QRect& Bounds, const QString& Caption)
{
    auto* B = Make<QPushButton>(Parent, Name, Bounds);
    B->setText(Caption);
    return B;
}

QLineEdit* MakeDisplayBox(QWidget* Parent, const char* Name, const QRect& Bounds)
{
    auto* Box = Make<QLineEdit>(Parent, Name, Bounds);
    Box->setReadOnly(true);
    QPalette P = Box->palette();
    P.setColor(QPalette::Base, QColor(166, 202, 240));
    Box->setPalette(P);
    return Box;
}

} // namespace Controls
