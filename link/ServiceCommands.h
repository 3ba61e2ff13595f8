// The four service buttons of the main window: each opens the port, runs its
// exchanges over the link and closes the port again. Messages go through the
// link's host.
#pragma once

#include <functional>

#include "link/CommandUi.h"
#include "link/Messages.h"
#include "link/PhoneLink.h"

class ServiceCommands {
public:
    ServiceCommands(PhoneLink& link, CommandUi& ui);

    void btInfoClick();
    void btNMOnClick();
    void btNMOffClick();
    void btResetClick();

private:
    // Port opening, the exchanges, and the ending the exchanges' outcome calls for.
    void Run(CommandButton button, const std::function<bool()>& exchanges);
    bool Exchange(const LinkMessage& message, int tries, int pauseMs, bool zeroReplyBuffer = false);
    bool ReadNetMonitor(bool zeroReplyBuffer);

    PhoneLink& link_;
    CommandUi& ui_;
};
