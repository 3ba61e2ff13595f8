// Coloured text on a background the user's desktop theme chooses: navy or
// blue reads well on a light window and not at all on a dark one.
#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

// The contrast ratio of two colours by their relative luminance, from 1
// (the same) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);

// The wanted colour where it reads on the background; otherwise the same hue
// taken towards white (on a dark background) or black (on a light one) until
// it does.
QColor ReadableOn(const QColor& wanted, const QColor& background);

// Gives the widget's text role the wanted colour, made readable on its
// background role as the widget's palette has it.
void SetReadableTextColor(QWidget& widget, const QColor& wanted, QPalette::ColorRole text = QPalette::WindowText,
                          QPalette::ColorRole background = QPalette::Window);
