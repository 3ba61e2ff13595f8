#include "link/ServiceCommands.h"

#include <exception>

#include "link/ReplyText.h"

ServiceCommands::ServiceCommands(PhoneLink& link, CommandButtons& buttons)
    : link_(link)
    , buttons_(buttons)
{ }

bool ServiceCommands::run(CommandButton button, const std::function<bool()>& exchanges)
{
    buttons_.setButtonEnabled(button, false);
    if (!link_.tryOpenPort()) {
        buttons_.setButtonEnabled(button, true);
        link_.showInvalidPort();
        return false;
    }
    bool ok = false;
    try {
        ok = exchanges();
    } catch (const std::exception&) {
        // A port error ends the command; leave the button usable and the port free.
        buttons_.setButtonEnabled(button, true);
        link_.closePort();
        throw;
    }
    if (!ok) {
        buttons_.setButtonEnabled(button, true);
        link_.closePort();
        link_.showNoAnswer();
        return false;
    }
    link_.ledsOff();
    buttons_.setButtonEnabled(button, true);
    link_.closePort();
    return true;
}

bool ServiceCommands::exchange(const LinkMessage& message, int tries, int pauseMs, bool zeroReplyBuffer)
{
    return link_.exchange(
        {message.head.data(), message.length, tries, pauseMs, zeroReplyBuffer, message.longestReplyFrame});
}

bool ServiceCommands::readNetMonitor(HandsetReadings& readings, bool zeroReplyBuffer)
{
    if (!exchange(messages::kNetMonitorRead, 3, 100, zeroReplyBuffer))
        return false;
    readings.netMonitorOn = link_.replyBuffer()[14] != 0;
    return true;
}

HandsetReadings ServiceCommands::connectToPhone()
{
    HandsetReadings readings;
    run(CommandButton::Connect, [&] {
        if (!exchange(messages::kVersionQuery, 3, 100))
            return false;
        readings.versionText = decodeReplyText(link_.replyBuffer(), 6, 37);
        if (!exchange(messages::kSerialNumberRead, 3, 100))
            return false;
        readings.serialNumber = decodeReplyText(link_.replyBuffer(), 14, 23);
        // Zeroed first, so a short reply reads as "off" rather than an older frame's byte.
        return readNetMonitor(readings, true);
    });
    return readings;
}

HandsetReadings ServiceCommands::switchNetMonitorOn()
{
    HandsetReadings readings;
    run(CommandButton::NetMonitorOn,
        [&] { return exchange(messages::kNetMonitorOn, 10, 10) && readNetMonitor(readings, false); });
    return readings;
}

HandsetReadings ServiceCommands::switchNetMonitorOff()
{
    HandsetReadings readings;
    run(CommandButton::NetMonitorOff,
        [&] { return exchange(messages::kNetMonitorOff, 10, 10) && readNetMonitor(readings, false); });
    return readings;
}

HandsetReadings ServiceCommands::readSerialNumber()
{
    HandsetReadings readings;
    run(CommandButton::Connect, [&] {
        if (!exchange(messages::kSerialNumberRead, 3, 100))
            return false;
        readings.serialNumber = decodeReplyText(link_.replyBuffer(), 14, 23);
        return true;
    });
    return readings;
}

bool ServiceCommands::resetHandset()
{
    return run(CommandButton::Reset, [this] { return exchange(messages::kSoftwareReset, 3, 100); });
}
