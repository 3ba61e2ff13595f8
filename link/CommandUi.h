// What the service commands change on the main window. TFMain implements it
// and forwards its button clicks to ServiceCommands.
#pragma once

#include <string>

enum class CommandButton { Info, NMOn, NMOff, Reset };  // btInfo, btNMOn, btNMOff, btReset

class CommandUi {
public:
    virtual ~CommandUi() = default;
    virtual void SetButtonEnabled(CommandButton button, bool enabled) = 0;
    virtual void SetInfoCaption(const std::string& text) = 0;    // lblInfo, Windows-1251
    virtual void SetSerNumCaption(const std::string& text) = 0;  // lblSerNum, Windows-1251
    virtual void SetNetMonitorLed(bool on) = 0;                  // ledNMStat
};
