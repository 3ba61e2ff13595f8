// The icon the package installs, for every window, the task bar and the
// window switcher.
#pragma once

#include <QIcon>

QIcon programIcon();
