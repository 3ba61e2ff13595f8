// The four service commands of the main window: each opens the port, runs
// its exchanges over the link and closes the port again. What the handset
// told is returned for the window to show, with the failure that stopped
// the command, if one did.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "link/Messages.h"
#include "link/PhoneLink.h"

// What a command read from the handset. Each field is filled as soon as its
// exchange succeeded, so a command that fails half-way still returns what came.
struct HandsetReadings {
    std::optional<std::string> versionText; // Windows-1251, 0x0A between lines
    std::optional<std::string> serialNumber; // Windows-1251
    std::optional<bool> netMonitorOn;
};

struct CommandResult {
    HandsetReadings readings;
    std::optional<LinkFailure> failure; // none: the command went through
};

class ServiceCommands {
public:
    explicit ServiceCommands(PhoneLink& link);

    CommandResult connectToPhone();
    CommandResult switchNetMonitorOn();
    CommandResult switchNetMonitorOff();
    // The serial number alone: one short exchange that tells which handset
    // is on the cable before its phonebook is read or written.
    CommandResult readSerialNumber();
    CommandResult resetHandset();

private:
    // Port opening, the exchanges, and the ending the exchanges' outcome calls for.
    CommandResult run(const std::function<std::optional<LinkFailure>(HandsetReadings&)>& exchanges);
    LinkResult<ReplyFrame> exchange(const LinkMessage& message, int tries, int pauseMs, bool zeroReplyBuffer = false);
    std::optional<LinkFailure> readNetMonitor(HandsetReadings& readings, bool zeroReplyBuffer);

    PhoneLink& link_;
};
