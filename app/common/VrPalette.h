// The unlit/lit colour pair of the LED-style controls.
#pragma once

#include <QColor>

struct TVrPalette {
    QColor Low{0x00, 0x80, 0x00};   // green
    QColor High{0x00, 0xFF, 0x00};  // lime
    friend bool operator==(const TVrPalette&, const TVrPalette&) = default;
};
