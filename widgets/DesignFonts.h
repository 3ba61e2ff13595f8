// Fonts of the window designs. The forms name the classic Windows families
// ("MS Sans Serif", "Arial", "Courier") at pixel heights; where a family is
// missing, a metric-compatible one stands in so that no caption is clipped.
#pragma once

#include <QFont>

// Registers the stand-in families once; call before the first window is made.
void installFontSubstitutes();

// A font of the given family at a pixel height (the forms' negative heights).
QFont designFont(const QString& family, int pixelHeight, bool bold = false, bool italic = false);
