// Reading one value of the window settings: every value is text.
#pragma once

#include <QString>

class QSettings;

// The text under key, or defaultValue when there is none. Anything else in
// the store (a number written by hand into the registry) throws
// WindowStateError; a text is cut to a length no window stalls on.
QString readStoredText(QSettings& store, const QString& key, const QString& defaultValue);
