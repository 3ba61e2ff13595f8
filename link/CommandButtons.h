// The main window's four service buttons, as the service commands see them:
// each command disables its own button while it runs.
#pragma once

enum class CommandButton { Connect, NetMonitorOn, NetMonitorOff, Reset };

class CommandButtons {
public:
    virtual ~CommandButtons() = default;
    virtual void setButtonEnabled(CommandButton button, bool enabled) = 0;
};
