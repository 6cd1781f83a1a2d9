#pragma once
// Which controls a screen reader would reach without a name. Walks Root and
// every widget under it that is shown with it, asks Qt's accessibility layer
// (the same interfaces AT-SPI serves) for each one's name, and lists those
// that take the keyboard focus or are read out (texts, pictures, buttons,
// boxes, lists, tables) but have an empty name. Frames, group panes and other
// plain containers are skipped: a reader passes over them. GUI thread only.

#include <QAccessible>
#include <QAccessibleInterface>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <initializer_list>

namespace Accessibility {

inline bool IsReadOut(QAccessible::Role Role)
{
    static constexpr std::initializer_list<QAccessible::Role> Roles = {
        QAccessible::StaticText,  QAccessible::Graphic,     QAccessible::EditableText, QAccessible::PushButton,
        QAccessible::CheckBox,    QAccessible::RadioButton, QAccessible::ComboBox,     QAccessible::SpinBox,
        QAccessible::Slider,      QAccessible::ProgressBar, QAccessible::Table,        QAccessible::List,
        QAccessible::Tree,        QAccessible::PageTab,     QAccessible::Link,         QAccessible::Dial,
        QAccessible::ButtonMenu,  QAccessible::ButtonDropDown, QAccessible::ScrollBar,
    };
    return std::find(Roles.begin(), Roles.end(), Role) != Roles.end();
}

// One entry per unnamed control: "objectName (class, role n)".
inline QStringList UnnamedControls(QWidget* Root)
{
    QList<QWidget*> Widgets = Root->findChildren<QWidget*>();
    Widgets.prepend(Root);
    QStringList Unnamed;
    for (QWidget* W : Widgets) {
        if (W != Root && !W->isVisibleTo(Root))
            continue;
        QAccessibleInterface* Face = QAccessible::queryAccessibleInterface(W);
        if (Face == nullptr || !Face->isValid())
            continue;
        const bool Reached = W->focusPolicy() != Qt::NoFocus || IsReadOut(Face->role());
        if (Reached && Face->text(QAccessible::Name).trimmed().isEmpty())
            Unnamed << QStringLiteral("%1 (%2, role %3)")
                           .arg(W->objectName(), QString::fromLatin1(W->metaObject()->className()))
                           .arg(static_cast<int>(Face->role()));
    }
    return Unnamed;
}

// The name a screen reader reads for W (empty when Qt has no interface).
inline QString NameOf(QWidget* W)
{
    QAccessibleInterface* Face = QAccessible::queryAccessibleInterface(W);
    return Face != nullptr ? Face->text(QAccessible::Name) : QString();
}

} // namespace Accessibility
