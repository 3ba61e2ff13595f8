#include "widgets/LedProgressBar.h"

#include "widgets/Accessibility.h"
#include "widgets/BarAccessible.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

LedProgressBar::LedProgressBar(QWidget* parent)
    : QWidget(parent)
{
    installAccessibleInterface<LedProgressBar, BarAccessible<LedProgressBar>>();
    resize(200, 16);
}

void LedProgressBar::setMinimum(int minimum)
{
    if (minimum >= maximum_)
        return;
    minimum_ = minimum;
    setValue(value_);
    update();
}

void LedProgressBar::setMaximum(int maximum)
{
    if (maximum <= minimum_)
        return;
    maximum_ = maximum;
    setValue(value_);
    update();
}

void LedProgressBar::setValue(int value)
{
    const int clamped = std::clamp(value, minimum_, maximum_);
    if (clamped == value_)
        return;
    value_ = clamped;
    update();
    notifyAccessibleValue(this, value_);
    emit valueChanged(value_);
}

void LedProgressBar::setStartColor(const QColor& color)
{
    startColor_ = color;
    update();
}

void LedProgressBar::setEndColor(const QColor& color)
{
    endColor_ = color;
    update();
}

void LedProgressBar::setPlainColors(bool plain)
{
    plainColors_ = plain;
    update();
}

void LedProgressBar::setSmooth(bool smooth)
{
    smooth_ = smooth;
    update();
}

void LedProgressBar::setOrientation(Qt::Orientation orientation)
{
    orientation_ = orientation;
    update();
}

void LedProgressBar::setStep(int step)
{
    step_ = step;
}

int LedProgressBar::percent() const
{
    // 64-bit: a wide range times 100 must not overflow.
    return static_cast<int>((static_cast<long long>(value_) - minimum_) * 100 / (static_cast<long long>(maximum_) - minimum_));
}

int LedProgressBar::filledLength(int innerLength) const
{
    return innerLength * percent() / 100;
}

void LedProgressBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect outer = rect();
    painter.fillRect(outer, palette().color(QPalette::Window));
    // Lowered bevel: dark on top and left, light on bottom and right.
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(outer.topLeft(), outer.topRight());
    painter.drawLine(outer.topLeft(), outer.bottomLeft());
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(outer.bottomLeft(), outer.bottomRight());
    painter.drawLine(outer.topRight(), outer.bottomRight());

    const QRect inner = outer.adjusted(kBevelWidth, kBevelWidth, -kBevelWidth, -kBevelWidth);
    if (inner.isEmpty())
        return;
    const bool horizontal = orientation_ == Qt::Horizontal;
    const int length = horizontal ? inner.width() : inner.height();
    const int thickness = horizontal ? inner.height() : inner.width();
    const int filled = filledLength(length);

    // The gradient spans the whole length; only the filled part shows it.
    QBrush brush(palette().color(QPalette::Highlight));
    if (!plainColors_) {
        QLinearGradient gradient = horizontal ? QLinearGradient(inner.left(), 0, inner.right() + 1, 0)
                                              : QLinearGradient(0, inner.bottom() + 1, 0, inner.top());
        gradient.setColorAt(0, startColor_);
        gradient.setColorAt(1, endColor_);
        brush = QBrush(gradient);
    }
    auto segment = [&](int from, int to) {
        if (horizontal)
            painter.fillRect(QRect(inner.left() + from, inner.top(), to - from, thickness), brush);
        else
            painter.fillRect(QRect(inner.left(), inner.bottom() + 1 - to, thickness, to - from), brush);
    };
    if (smooth_) {
        segment(0, filled);
        return;
    }
    const int block = std::max(1, thickness * 2 / 3);
    for (int from = 0; from < filled; from += block + kBlockGap)
        segment(from, std::min(from + block, filled));
}
