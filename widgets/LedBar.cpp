#include "widgets/LedBar.h"

#include <QPainter>
#include <algorithm>

int VrIndicatorLitCount(int position, int min, int max, int ledCount)
{
    if (max == min)
        return 0;
    const long long clamped = std::clamp(position, std::min(min, max), std::max(min, max));
    const long long percent = (clamped - min) * 100 / (static_cast<long long>(max) - min);
    return static_cast<int>(ledCount * percent / 100);
}

LedBar::LedBar(QWidget* parent)
    : QWidget(parent)
{ }

void LedBar::SetMin(int value)
{
    if (value >= max_ || value == min_)
        return;
    min_ = value;
    changed();
}

void LedBar::SetMax(int value)
{
    if (value <= min_ || value == max_)
        return;
    max_ = value;
    changed();
}

void LedBar::SetPosition(int value)
{
    if (value == position_)
        return;
    position_ = value;
    changed();
}

void LedBar::SetLedsLow(int value)
{
    ledsLow_ = std::max(0, value);
    changed();
}

void LedBar::SetLedsMedium(int value)
{
    ledsMedium_ = std::max(0, value);
    changed();
}

void LedBar::SetLedsHigh(int value)
{
    ledsHigh_ = std::max(0, value);
    changed();
}

void LedBar::SetSpacing(int value)
{
    spacing_ = std::max(0, value);
    update();
}

void LedBar::SetStyle(LedStyle value)
{
    style_ = value;
    update();
}

void LedBar::SetPlainColors(bool value)
{
    plainColors_ = value;
    update();
}

const IndicatorPalette& LedBar::LedPalette(int i) const
{
    if (i <= ledsLow_)
        return Palette1;
    if (i <= ledsLow_ + ledsMedium_)
        return Palette2;
    return Palette3;
}

QRect LedBar::LedRect(int i) const
{
    const int n = LedCount();
    if (n <= 0)
        return QRect();
    const int ledWidth = std::max(0, (width() - spacing_ * (n - 1)) / n);
    const int used = ledWidth * n + spacing_ * (n - 1);
    const int left = (width() - used) / 2;
    return QRect(left + (i - 1) * (ledWidth + spacing_), 0, ledWidth, height());
}

void LedBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int n = LedCount();
    const int lit = LitCount();
    for (int i = 1; i <= n; ++i) {
        const QRect led = LedRect(i);
        if (led.isEmpty())
            continue;
        const IndicatorPalette& colours = plainColors_ ? Palette1 : LedPalette(i);
        painter.fillRect(led, i <= lit ? colours.High : colours.Low);
        if (style_ == LedStyle::lsNone)
            continue;
        const QRect edge = led.adjusted(0, 0, -1, -1);
        if (style_ == LedStyle::lsFlat) {
            painter.setPen(Qt::black);
            painter.drawRect(edge);
            continue;
        }
        const QColor light = style_ == LedStyle::lsRaised ? Qt::white : QColor(0x80, 0x80, 0x80);
        const QColor dark = style_ == LedStyle::lsRaised ? QColor(0x80, 0x80, 0x80) : Qt::white;
        painter.setPen(light);
        painter.drawLine(edge.topLeft(), edge.topRight());
        painter.drawLine(edge.topLeft(), edge.bottomLeft());
        painter.setPen(dark);
        painter.drawLine(edge.bottomLeft(), edge.bottomRight());
        painter.drawLine(edge.topRight(), edge.bottomRight());
    }
}

void LedBar::changed()
{
    update();
    emit OnChange(this);
}
