// Shows a window, waits until it is on screen and painted, and saves it as a
// PNG twice: the client area alone and the whole screen with its frame.
#pragma once

#include <QDir>
#include <QString>
#include <functional>
#include <vector>

class QWidget;

struct WindowShot {
    QString name; // file name stem: the window's class
    std::function<QWidget*()> window; // looked up when its turn comes
    std::function<void()> fill; // puts representative content in; may be empty
};

// The first window stays shown while the others are taken.
// Returns the number of windows that could not be saved.
int SaveWindowShots(const std::vector<WindowShot>& shots, const QDir& outDir);
