// How m2bus-cli ends when a command fails: the exit status and its one line.
#pragma once

#include <QString>

#include <stdexcept>

// The program's exit status; --help lists them.
enum class ExitCode {
    Ok = 0,
    NoAnswer = 1, // the handset did not answer
    Usage = 2, // bad command line
    Port = 3, // port missing, busy, not permitted, or failing
    File = 4, // a file cannot be read or written, or its contents are bad
    Operator = 5, // unknown operator, or the profile file cannot be read
    Gateway = 6, // the SMS gateway failed or did not confirm the message
    NotConfirmed = 7, // the user said no, or could not be asked
    Changed = 8, // done, but records were left out or changed on the way
    OtherHandset = 9, // a backup of another handset, and no --any-handset
};

// A failure that ends the program with its one line on stderr.
class CliError : public std::runtime_error {
public:
    CliError(ExitCode code, const QString& message)
        : std::runtime_error(message.toStdString())
        , code_(code)
    { }
    ExitCode code() const { return code_; }

private:
    ExitCode code_;
};
