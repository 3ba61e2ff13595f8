// Changes an INI settings file so that it is either replaced whole or left
// byte for byte as it was. QSettings alone cannot promise that: on Qt 6.4 a
// write that runs out of disk space can leave the file empty and still
// report success.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QSettings;

struct IniFileChanged {
    QString failure;       // why the file was left as it was; empty when it holds the change
    int droppedEntries = 0; // entries that could not be written back, and were left out
};

// Runs change on the settings read from the INI file at path (a missing file
// counts as empty; what cannot be parsed is dropped, as QSettings does) and
// puts the result in place of the file. Entries that QSettings reads but
// cannot be sure to write back (a name with an empty section part, as a
// stray backslash line gives) are left out and counted. Exceptions from change
// pass through with the file untouched.
IniFileChanged changeIniFile(const QString& path, const std::function<void(QSettings&)>& change);

// Replaces the file at path with bytes, whole or not at all; returns why it
// failed, or an empty text.
QString replaceFileWhole(const QString& path, const QByteArray& bytes);
