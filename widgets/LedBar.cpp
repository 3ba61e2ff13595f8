#include "widgets/LedBar.h"

#include "widgets/Accessibility.h"
#include "widgets/BarAccessible.h"

#include <QPainter>
#include <algorithm>

namespace {

const IndicatorPalette kLowPalette{{0x00, 0x80, 0x00}, {0x00, 0xFF, 0x00}};    // green / lime
const IndicatorPalette kMediumPalette{{0x80, 0x80, 0x00}, {0xFF, 0xFF, 0x00}}; // olive / yellow
const IndicatorPalette kHighPalette{{0x80, 0x00, 0x00}, {0xFF, 0x00, 0x00}};   // maroon / red

} // namespace

int litLedCount(int value, int minimum, int maximum, int ledCount)
{
    if (maximum == minimum)
        return 0;
    const long long clamped = std::clamp(value, std::min(minimum, maximum), std::max(minimum, maximum));
    const long long percent = (clamped - minimum) * 100 / (static_cast<long long>(maximum) - minimum);
    return static_cast<int>(ledCount * percent / 100);
}

LedBar::LedBar(QWidget* parent)
    : QWidget(parent)
{
    installAccessibleInterface<LedBar, BarAccessible<LedBar>>();
}

void LedBar::setMinimum(int minimum)
{
    if (minimum >= maximum_ || minimum == minimum_)
        return;
    minimum_ = minimum;
    showChange();
}

void LedBar::setMaximum(int maximum)
{
    if (maximum <= minimum_ || maximum == maximum_)
        return;
    maximum_ = maximum;
    showChange();
}

void LedBar::setValue(int value)
{
    if (value == value_)
        return;
    value_ = value;
    notifyAccessibleValue(this, std::clamp(value_, minimum_, maximum_));
    emit valueChanged(value_);
    showChange();
}

void LedBar::setLowLedCount(int count)
{
    lowLeds_ = std::max(0, count);
    showChange();
}

void LedBar::setMediumLedCount(int count)
{
    mediumLeds_ = std::max(0, count);
    showChange();
}

void LedBar::setHighLedCount(int count)
{
    highLeds_ = std::max(0, count);
    showChange();
}

void LedBar::setSpacing(int spacing)
{
    spacing_ = std::max(0, spacing);
    update();
}

void LedBar::setLedStyle(LedStyle style)
{
    style_ = style;
    update();
}

void LedBar::setPlainColors(bool plain)
{
    plainColors_ = plain;
    update();
}

const IndicatorPalette& LedBar::ledPalette(int i) const
{
    if (i <= lowLeds_)
        return kLowPalette;
    if (i <= lowLeds_ + mediumLeds_)
        return kMediumPalette;
    return kHighPalette;
}

QRect LedBar::ledRect(int i) const
{
    const int n = ledCount();
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
    const int n = ledCount();
    const int lit = litCount();
    for (int i = 1; i <= n; ++i) {
        const QRect led = ledRect(i);
        if (led.isEmpty())
            continue;
        const IndicatorPalette& colours = plainColors_ ? kLowPalette : ledPalette(i);
        painter.fillRect(led, i <= lit ? colours.lit : colours.unlit);
        if (style_ == LedStyle::None)
            continue;
        const QRect edge = led.adjusted(0, 0, -1, -1);
        if (style_ == LedStyle::Flat) {
            painter.setPen(Qt::black);
            painter.drawRect(edge);
            continue;
        }
        const QColor light = style_ == LedStyle::Raised ? Qt::white : QColor(0x80, 0x80, 0x80);
        const QColor dark = style_ == LedStyle::Raised ? QColor(0x80, 0x80, 0x80) : Qt::white;
        painter.setPen(light);
        painter.drawLine(edge.topLeft(), edge.topRight());
        painter.drawLine(edge.topLeft(), edge.bottomLeft());
        painter.setPen(dark);
        painter.drawLine(edge.bottomLeft(), edge.bottomRight());
        painter.drawLine(edge.topRight(), edge.bottomRight());
    }
}

void LedBar::showChange()
{
    update();
    emit changed();
}
