// Coloured text on a background the user's desktop theme chooses: navy or
// blue reads well on a light window and not at all on a dark one.
#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

// The contrast ratio of two colours by their relative luminance, from 1
// (the same) to 21 (black on white).
double contrastRatio(const QColor& a, const QColor& b);

// Whether text on this background should be light.
bool isDarkColor(const QColor& background);

// The wanted colour where it reads on the background; otherwise the same hue
// taken towards white (on a dark background) or black (on a light one) until
// it does.
QColor readableOn(const QColor& wanted, const QColor& background);

// Gives the widget's text role the wanted colour, made readable on its
// background role as the widget's palette has it: now, and again whenever
// that palette changes (a desktop switched to a dark theme while the program
// runs).
void setReadableTextColor(QWidget& widget, const QColor& wanted, QPalette::ColorRole text = QPalette::WindowText,
                          QPalette::ColorRole background = QPalette::Window);
// The same with the wanted colour taken from a role of the widget's palette,
// such as the desktop's highlight colour.
void setReadableTextColor(QWidget& widget, QPalette::ColorRole wanted, QPalette::ColorRole text = QPalette::WindowText,
                          QPalette::ColorRole background = QPalette::Window);

// Text on a patch of its own behind the widget: the patch colour on a light
// window; on a dark one a shade a little lighter than the window, so that
// no light patch glares out of it. The text is made readable on the patch.
void setReadablePatch(QWidget& widget, const QColor& text, const QColor& patch);
