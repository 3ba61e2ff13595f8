// The LED bars to a screen reader: a progress bar with its value and range.
#pragma once

#include <QAccessibleWidget>

#include <algorithm>

template <typename Bar>
class BarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit BarAccessible(Bar* bar)
        : QAccessibleWidget(bar, QAccessible::ProgressBar)
    { }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The share done, as a progress bar says it.
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Value)
            return QAccessibleWidget::text(t);
        const long long done = shownValue() - bar()->minimum();
        return QStringLiteral("%1%").arg(done * 100 / (static_cast<long long>(bar()->maximum()) - bar()->minimum()));
    }

    QVariant currentValue() const override { return shownValue(); }
    // Only the program moves a progress bar.
    void setCurrentValue(const QVariant&) override { }
    QVariant maximumValue() const override { return bar()->maximum(); }
    QVariant minimumValue() const override { return bar()->minimum(); }
    QVariant minimumStepSize() const override { return 0; }

private:
    Bar* bar() const { return static_cast<Bar*>(widget()); }
    // A bar shows a value beyond its range as the range's end.
    int shownValue() const { return std::clamp(bar()->value(), bar()->minimum(), bar()->maximum()); }
};
