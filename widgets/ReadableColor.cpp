#include "widgets/ReadableColor.h"

#include <QPalette>
#include <QWidget>
#include <cmath>

namespace {

// Ordinary text needs 4.5:1 to be read without effort.
constexpr double kReadableContrast = 4.5;

double Channel(double value)
{
    return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& c)
{
    return 0.2126 * Channel(c.redF()) + 0.7152 * Channel(c.greenF()) + 0.0722 * Channel(c.blueF());
}

QColor Mixed(const QColor& from, const QColor& to, double share)
{
    auto mix = [share](double a, double b) { return a + (b - a) * share; };
    return QColor::fromRgbF(static_cast<float>(mix(from.redF(), to.redF())),
                            static_cast<float>(mix(from.greenF(), to.greenF())),
                            static_cast<float>(mix(from.blueF(), to.blueF())));
}

} // namespace

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor& wanted, const QColor& background)
{
    if (ContrastRatio(wanted, background) >= kReadableContrast)
        return wanted;
    const QColor end = Luminance(background) < 0.18 ? QColor(Qt::white) : QColor(Qt::black);
    for (int step = 1; step < 20; ++step) {
        const QColor candidate = Mixed(wanted, end, step / 20.0);
        if (ContrastRatio(candidate, background) >= kReadableContrast)
            return candidate;
    }
    return end;
}

void SetReadableTextColor(QWidget& widget, const QColor& wanted, QPalette::ColorRole text,
                          QPalette::ColorRole background)
{
    QPalette palette = widget.palette();
    palette.setColor(text, ReadableOn(wanted, palette.color(background)));
    widget.setPalette(palette);
}
