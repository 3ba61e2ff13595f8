// A file that cannot be read as the format it claims to be; line() is the
// line of the file (from 1) where the trouble starts.
#pragma once

#include <QString>

#include <stdexcept>

class PhonebookParseError : public std::runtime_error {
public:
    PhonebookParseError(int line, const QString& reason);
    int line() const { return line_; }
    QString reason() const { return reason_; }

private:
    int line_;
    QString reason_;
};
