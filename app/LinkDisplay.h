#pragma once

#include <string>

#include "link/CommandButtons.h"

// What the link shows; called on the window's thread, in the order the link
// asked for it, and always before the job that asked is seen to end.
class LinkDisplay {
public:
    virtual ~LinkDisplay() = default;
    virtual void setAckLed(bool on) = 0;
    virtual void setPackLed(bool on) = 0;
    virtual void enableConnectButton() = 0;
    // Modal notice; text is Windows-1251.
    virtual void showMessage(const std::string& text) = 0;
    virtual void setButtonEnabled(CommandButton button, bool enabled) = 0;
};
