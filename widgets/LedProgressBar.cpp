#include "widgets/LedProgressBar.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

LedProgressBar::LedProgressBar(QWidget* parent)
    : QWidget(parent)
{
    resize(200, 16);
}

void LedProgressBar::setMin(int value)
{
    if (value >= max_)
        return;
    min_ = value;
    setPosition(position_);
    update();
}

void LedProgressBar::setMax(int value)
{
    if (value <= min_)
        return;
    max_ = value;
    setPosition(position_);
    update();
}

void LedProgressBar::setPosition(int value)
{
    position_ = std::clamp(value, min_, max_);
    update();
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

void LedProgressBar::setPlainColors(bool on)
{
    plainColors_ = on;
    update();
}

void LedProgressBar::setSmooth(bool on)
{
    smooth_ = on;
    update();
}

void LedProgressBar::setOrientation(BarOrientation orientation)
{
    orientation_ = orientation;
    update();
}

void LedProgressBar::setStep(int value)
{
    step_ = value;
}

void LedProgressBar::StepIt()
{
    setPosition(position_ + step_);
}

int LedProgressBar::Percent() const
{
    // 64-bit: a wide range times 100 must not overflow.
    return static_cast<int>(static_cast<long long>(position_ - min_) * 100 / (static_cast<long long>(max_) - min_));
}

int LedProgressBar::FilledLength(int innerLength) const
{
    return innerLength * Percent() / 100;
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

    const QRect inner = outer.adjusted(BevelWidth, BevelWidth, -BevelWidth, -BevelWidth);
    if (inner.isEmpty())
        return;
    const bool horizontal = orientation_ == voHorizontal;
    const int length = horizontal ? inner.width() : inner.height();
    const int thickness = horizontal ? inner.height() : inner.width();
    const int filled = FilledLength(length);

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
    for (int from = 0; from < filled; from += block + BlockGap)
        segment(from, std::min(from + block, filled));
}
