// What the LED-style controls share: the unlit/lit colour pair, colour values
// in the Windows sense, and where a control's image goes beside its caption.
#pragma once

#include <QColor>

#include <cstdint>

// Colour value in the Windows sense: 0x00BBGGRR.
using Rgb = std::uint32_t;
inline QColor ColorFromTColor(Rgb c)
{
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

struct IndicatorPalette {
    QColor Low{0x00, 0x80, 0x00}; // green
    QColor High{0x00, 0xFF, 0x00}; // lime
    friend bool operator==(const IndicatorPalette&, const IndicatorPalette&) = default;
};

enum class ImageLayout { ImageLeft, ImageRight, ImageTop, ImageBottom };
