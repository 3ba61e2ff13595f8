// The fonts the windows were laid out with, in the nearest families found here.
#pragma once

#include <QFont>

// The dialog font: 11-pixel sans serif.
QFont DialogFont();
// The fixed-pitch font of tables: 13 pixels.
QFont TableFont();
