// The four service commands of the main window: each opens the port, runs its
// exchanges over the link and closes the port again. Messages go through the
// link's host; what the handset told is returned for the window to show.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "link/CommandButtons.h"
#include "link/Messages.h"
#include "link/PhoneLink.h"

// What a command read from the handset. Each field is filled as soon as its
// exchange succeeded, so a command that fails half-way still returns what came.
struct HandsetReadings {
    std::optional<std::string> versionText; // Windows-1251, 0x0A between lines
    std::optional<std::string> serialNumber; // Windows-1251
    std::optional<bool> netMonitorOn;
};

class ServiceCommands {
public:
    ServiceCommands(PhoneLink& link, CommandButtons& buttons);

    HandsetReadings connectToPhone();
    HandsetReadings switchNetMonitorOn();
    HandsetReadings switchNetMonitorOff();
    // The serial number alone: one short exchange that tells which handset
    // is on the cable before its phonebook is read or written.
    HandsetReadings readSerialNumber();
    // True when the handset answered.
    bool resetHandset();

private:
    // Port opening, the exchanges, and the ending the exchanges' outcome calls for.
    bool run(CommandButton button, const std::function<bool()>& exchanges);
    bool exchange(const LinkMessage& message, int tries, int pauseMs, bool zeroReplyBuffer = false);
    bool readNetMonitor(HandsetReadings& readings, bool zeroReplyBuffer);

    PhoneLink& link_;
    CommandButtons& buttons_;
};
