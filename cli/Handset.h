// The handset on the far side of the port, as the command line uses it.
#pragma once

#include "link/LinkFailure.h"
#include "link/LinkObserver.h"
#include "logo/LogoBlocks.h"
#include "phonebook/HandsetNumbers.h"
#include "phonebook/PhonebookFile.h"
#include "serial/PortChoice.h"

#include <QSettings>
#include <QString>

#include <memory>

struct HandsetInfo {
    QString version; // the handset's lines, joined by '\n'
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

    QString devicePath() const;
    HandsetInfo readInfo();
    // One short exchange: which handset is on the cable.
    QString readSerialNumber();
    // Switches the net monitor and returns its state as read back.
    bool switchNetMonitor(bool on);
    void reset();
    // What the handset keeps beside its phonebook; nothing where it keeps
    // none or does not answer. Only a port that cannot be opened fails.
    StoredNumber readOwnNumber();
    DialledNumbers readDialledNumbers();
    HandsetNumbers readNumbers();
    // location 0..99, the handset's own record number.
    PhonebookEntry readRecord(int location);
    void writeRecord(int location, PhonebookEntry entry);
    LogoBlock readLogoBlock(int block);
    void writeLogoBlock(int block, LogoBlock data);

private:
    struct Parts;
    [[noreturn]] void fail(const LinkFailure& failure);
    std::unique_ptr<Parts> parts_;
};
