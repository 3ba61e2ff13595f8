// A backup or restore that cannot be made or finished; what() is the text
// shown to the user.
#pragma once

#include <QString>

#include <stdexcept>

class BackupError : public std::runtime_error {
public:
    explicit BackupError(const QString& message)
        : std::runtime_error(message.toStdString())
    { }
    QString message() const { return QString::fromStdString(what()); }
};
