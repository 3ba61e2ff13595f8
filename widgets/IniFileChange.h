// Changes an INI settings file so that it is either replaced whole or left
// byte for byte as it was. QSettings alone cannot promise that: on Qt 6.4 a
// write that runs out of disk space can leave the file empty and still
// report success.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QSettings;

// Runs change on the settings read from the INI file at path (a missing file
// counts as empty; what cannot be parsed is dropped, as QSettings does) and
// puts the result in place of the file. Returns why that failed, or an empty
// text when the file now holds the change. Exceptions from change pass
// through with the file untouched.
QString ChangeIniFile(const QString& path, const std::function<void(QSettings&)>& change);

// Replaces the file at path with bytes, whole or not at all; returns why it
// failed, or an empty text.
QString ReplaceFileWhole(const QString& path, const QByteArray& bytes);
