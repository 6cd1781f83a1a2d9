#include "views/Scalable.h"

#include <QLineEdit>
#include <QWidget>

#include <cmath>

namespace {

bool IsControl(const QWidget& W)
{
    const QString Name = W.objectName();
    return !Name.isEmpty() && !Name.startsWith(QLatin1String("qt_"));
}

// Depth-first, in creation order. A child window (a dialog the form owns,
// say) is not part of the form's layout, and neither is anything inside it.
void CollectControls(const QObject& Parent, QList<QWidget*>& Result)
{
    for (QObject* Child : Parent.children()) {
        auto* W = qobject_cast<QWidget*>(Child);
        if (W == nullptr || W->isWindow())
            continue;
        if (IsControl(*W))
            Result.append(W);
        CollectControls(*W, Result);
    }
}

QList<QWidget*> Controls(const QWidget& Form)
{
    QList<QWidget*> Result;
    CollectControls(Form, Result);
    return Result;
}

float Quotient(int Current, int Design)
{
    if (Design <= 0)
        return 1.0f;
    return static_cast<float>(static_cast<long double>(Current) / static_cast<long double>(Design));
}

// Round(Factor * Value), halves to even, kept inside what a widget accepts
// so an absurd window size cannot overflow the integer.
int Scaled(float Factor, int Value)
{
    const long double R = std::nearbyint(static_cast<long double>(Factor) * static_cast<long double>(Value));
    if (R > QWIDGETSIZE_MAX)
        return QWIDGETSIZE_MAX;
    if (R < -QWIDGETSIZE_MAX)
        return -QWIDGETSIZE_MAX;
    return static_cast<int>(R);
}

} // namespace

TfrmScalable::TfrmScalable(QWidget* Parent) : QDialog(Parent) {}

TfrmScalable::~TfrmScalable()
{
    FormDestroy();
}

void TfrmScalable::FormCreate()
{
    FDesignWidth = width();
    FDesignHeight = height();
    FLayout = std::make_unique<Items::TItemManager>();
    for (QWidget* W : Controls(*this)) {
        const QRect R = W->geometry();
        FLayout->Add(std::make_unique<Items::TItem>(W->objectName(), R.width(), R.height(), R.top(), R.left()));
    }
}

void TfrmScalable::FormDestroy()
{
    FLayout.reset();
}

float TfrmScalable::GetScaleX() const
{
    return Quotient(width(), FLayout ? FDesignWidth : 0);
}

float TfrmScalable::GetScaleY() const
{
    return Quotient(height(), FLayout ? FDesignHeight : 0);
}

void TfrmScalable::FormResize()
{
    if (!FLayout)
        return;
    const float Fx = GetScaleX();
    const float Fy = GetScaleY();
    for (QWidget* W : Controls(*this)) {
        const Items::TItem* Item = FLayout->FindByName(W->objectName());
        if (Item == nullptr)
            continue;
        const int Width = Scaled(Fx, Item->FWidth);
        const int Height = qobject_cast<QLineEdit*>(W) != nullptr ? W->height() : Scaled(Fy, Item->FHeight);
        W->setGeometry(Scaled(Fx, Item->FLeft), Scaled(Fy, Item->FTop), Width, Height);
    }
}

void TfrmScalable::resizeEvent(QResizeEvent* Event)
{
    QDialog::resizeEvent(Event);
    FormResize();
}
