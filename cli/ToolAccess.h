// Everything m2bus-cli uses of the program's own parts, in one place: the
// port and the link with the service commands, the phonebook and logo
// transfers, the settings store, the operator profiles and the SMS
// submission, and the Windows-1251 boundary. The rest of the command line
// sees only this header.
#pragma once

#include "link/LinkObserver.h"
#include "logo/LogoBlocks.h"
#include "phonebook/PhonebookFile.h"
#include "serial/PortChoice.h"

#include <QImage>
#include <QSettings>
#include <QString>

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

// The program's exit status; --help lists them.
enum class ExitCode {
    Ok = 0,
    NoAnswer = 1,      // the handset did not answer
    Usage = 2,         // bad command line
    Port = 3,          // port missing, busy, not permitted, or failing
    File = 4,          // a file cannot be read or written, or its contents are bad
    Operator = 5,      // unknown operator, or the profile file cannot be read
    Gateway = 6,       // the SMS gateway failed or did not confirm the message
    NotConfirmed = 7,  // the user said no, or could not be asked
    Changed = 8,       // done, but records were left out or changed on the way
    OtherHandset = 9,  // a backup of another handset, and no --any-handset
};

// A failure that ends the program with its one line on stderr.
class CliError : public std::runtime_error {
public:
    CliError(ExitCode code, const QString& message)
        : std::runtime_error(message.toStdString()), code_(code) {}
    ExitCode code() const { return code_; }

private:
    ExitCode code_;
};

QString FromHandsetText(std::string_view win1251);
// Characters Windows-1251 cannot hold become '?'; *lossy tells whether that happened.
std::string ToHandsetText(const QString& text, bool* lossy = nullptr);

// The settings the windows keep (the port used last among them).
std::unique_ptr<QSettings> OpenToolSettings();
// The operator profiles the SMS window uses.
QString OperatorsIniPath();

struct HandsetInfo {
    QString version;  // the handset's lines, joined by '\n'
    QString serialNumber;
    bool netMonitor = false;
};

// The handset on one port: each call opens the port, runs its exchanges the
// way the windows do and closes the port. Failures raise CliError (NoAnswer
// or Port).
class Handset {
public:
    Handset(const PortChoice& choice, const QSettings& settings, LinkObserver* frameLog);
    ~Handset();
    Handset(const Handset&) = delete;
    Handset& operator=(const Handset&) = delete;

    QString DevicePath() const;
    HandsetInfo ReadInfo();
    // One short exchange: which handset is on the cable.
    QString ReadSerialNumber();
    // Switches the net monitor and returns its state as read back.
    bool SwitchNetMonitor(bool on);
    void Reset();
    // location 0..99, the handset's own record number.
    PhonebookEntry ReadRecord(int location);
    void WriteRecord(int location, PhonebookEntry entry);
    LogoBlock ReadLogoBlock(int block);
    void WriteLogoBlock(int block, LogoBlock data);

private:
    struct Parts;
    [[noreturn]] void Fail();
    std::unique_ptr<Parts> parts_;
};

// Raise CliError(File) naming the file.
QImage LoadLogoPicture(const QString& path);
// .bmp or .png by extension, replaced whole or not at all.
void SaveLogoPicture(const QImage& picture, const QString& path);
QImage LogoPictureFromBlocks(const LogoBlocks& blocks);

// Submits the message through the named profile as the SMS window does.
// Returns the window's success text; raises CliError (Operator, Gateway).
QString SendSms(const QString& operatorName, const QString& phone, const QString& text);

