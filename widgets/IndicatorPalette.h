// The colour pair of an LED-style control: unlit and lit.
#pragma once

#include <QColor>

struct IndicatorPalette {
    QColor unlit{0x00, 0x80, 0x00}; // green
    QColor lit{0x00, 0xFF, 0x00};   // lime
    friend bool operator==(const IndicatorPalette&, const IndicatorPalette&) = default;
};
