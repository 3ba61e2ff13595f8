// What the LED-style controls share: the unlit/lit colour pair, colour values
// in the Windows sense, and where a control's image goes beside its caption.
#pragma once

#include <QColor>

#include <cstdint>

// Colour value in the Windows sense: 0x00BBGGRR.
using TColor = std::uint32_t;
inline QColor ColorFromTColor(TColor c)
{
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

struct TVrPalette {
    QColor Low{0x00, 0x80, 0x00};   // green
    QColor High{0x00, 0xFF, 0x00};  // lime
    friend bool operator==(const TVrPalette&, const TVrPalette&) = default;
};

enum class TVrImageLayout { ImageLeft, ImageRight, ImageTop, ImageBottom };
