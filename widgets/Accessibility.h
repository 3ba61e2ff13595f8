// What the custom widgets share to be read by a screen reader: each hands its
// class an accessible interface of its own and reports its changes.
#pragma once

#include <QAccessible>
#include <QLatin1String>

namespace accessibility_detail {

template <typename Widget, typename Interface>
QAccessibleInterface* make(const QString& className, QObject* object)
{
    // Qt asks once per class up the object's hierarchy; answer for Widget's own name.
    if (className != QLatin1String(Widget::staticMetaObject.className()))
        return nullptr;
    auto* widget = qobject_cast<Widget*>(object);
    return widget ? new Interface(widget) : nullptr;
}

} // namespace accessibility_detail

// Call from Widget's constructor: the factory goes in the first time only.
template <typename Widget, typename Interface>
void installAccessibleInterface()
{
    static const bool installed =
        (QAccessible::installFactory(&accessibility_detail::make<Widget, Interface>), true);
    (void)installed;
}

inline void notifyAccessibleState(QObject* widget, QAccessible::State changed)
{
    QAccessibleStateChangeEvent event(widget, changed);
    QAccessible::updateAccessibility(&event);
}

inline void notifyAccessible(QObject* widget, QAccessible::Event type)
{
    QAccessibleEvent event(widget, type);
    QAccessible::updateAccessibility(&event);
}

inline void notifyAccessibleValue(QObject* widget, int value)
{
    QAccessibleValueChangeEvent event(widget, value);
    QAccessible::updateAccessibility(&event);
}
