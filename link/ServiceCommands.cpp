#include "link/ServiceCommands.h"

#include <exception>

#include "link/ReplyText.h"

ServiceCommands::ServiceCommands(PhoneLink& link, CommandUi& ui) : link_(link), ui_(ui) {}

void ServiceCommands::Run(CommandButton button, const std::function<bool()>& exchanges) {
    ui_.SetButtonEnabled(button, false);
    if (!link_.TryOpenPort()) {
        ui_.SetButtonEnabled(button, true);
        link_.ShowInvalidPort();
        return;
    }
    bool ok = false;
    try {
        ok = exchanges();
    } catch (const std::exception&) {
        // A port error ends the command; leave the button usable and the port free.
        ui_.SetButtonEnabled(button, true);
        link_.ClosePort();
        throw;
    }
    if (!ok) {
        ui_.SetButtonEnabled(button, true);
        link_.ClosePort();
        link_.ShowNoAnswer();
        return;
    }
    link_.LedsOff();
    ui_.SetButtonEnabled(button, true);
    link_.ClosePort();
}

bool ServiceCommands::Exchange(const LinkMessage& message, int tries, int pauseMs, bool zeroReplyBuffer) {
    return link_.Exchange({message.head.data(), message.length, tries, pauseMs, zeroReplyBuffer,
                           message.longestReplyFrame});
}

bool ServiceCommands::ReadNetMonitor(bool zeroReplyBuffer) {
    if (!Exchange(messages::NetMonitorRead, 3, 100, zeroReplyBuffer))
        return false;
    ui_.SetNetMonitorLed(link_.ReplyBuffer()[14] != 0);
    return true;
}

void ServiceCommands::btInfoClick() {
    Run(CommandButton::Info, [this] {
        if (!Exchange(messages::VersionQuery, 3, 100))
            return false;
        ui_.SetInfoCaption(DecodeReplyText(link_.ReplyBuffer(), 6, 37));
        if (!Exchange(messages::SerialNumberRead, 3, 100))
            return false;
        ui_.SetSerNumCaption(DecodeReplyText(link_.ReplyBuffer(), 14, 23));
        // Zeroed first, so a short reply reads as "off" rather than an older frame's byte.
        return ReadNetMonitor(true);
    });
}

void ServiceCommands::btNMOnClick() {
    Run(CommandButton::NMOn, [this] {
        return Exchange(messages::NetMonitorOn, 10, 10) && ReadNetMonitor(false);
    });
}

void ServiceCommands::btNMOffClick() {
    Run(CommandButton::NMOff, [this] {
        return Exchange(messages::NetMonitorOff, 10, 10) && ReadNetMonitor(false);
    });
}

void ServiceCommands::btResetClick() {
    Run(CommandButton::Reset, [this] {
        return Exchange(messages::SoftwareReset, 3, 100);
    });
}
