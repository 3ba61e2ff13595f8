// What the link needs of the application around it: the event pump, sleeping,
// the two link LEDs, the "Connect to Phone" button and a notice box. TFMain
// implements it with Qt; tests implement it with a virtual clock.
#pragma once

#include <string>

class LinkHost {
public:
    virtual ~LinkHost() = default;
    // Runs every pending event (and with it any pending received-bytes notification), then returns.
    virtual void ProcessMessages() = 0;
    virtual void Sleep(int ms) = 0;
    virtual void SetAckLed(bool on) = 0;
    virtual void SetPackLed(bool on) = 0;
    virtual void EnableInfoButton() = 0;
    // Modal notice with an OK button; text is Windows-1251.
    virtual void ShowMessage(const std::string& text) = 0;
};
