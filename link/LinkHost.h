// What the link needs of the application around it: the event pump, a clock,
// waiting for the port's notifications, sleeping, the two link LEDs, the
// "Connect to Phone" button and a notice box. The main window implements it
// with Qt; tests implement it with a virtual clock.
#pragma once

#include <cstdint>
#include <string>

class LinkHost {
public:
    virtual ~LinkHost() = default;
    // Runs every pending event (and with it any pending received-bytes notification), then returns.
    virtual void processMessages() = 0;
    virtual void sleep(int ms) = 0;
    virtual void setAckLed(bool on) = 0;
    virtual void setPackLed(bool on) = 0;
    virtual void enableConnectButton() = 0;
    // Modal notice with an OK button; text is Windows-1251.
    virtual void showMessage(const std::string& text) = 0;

    // Microseconds on a clock that never runs backwards.
    virtual std::int64_t nowUs();
    // Runs the pending events; when there were none, waits for the next one
    // (a received-bytes notification among them) but not beyond untilUs.
    // May return early; the link looks at its state and waits again.
    // This version polls every millisecond.
    virtual void waitForEvents(std::int64_t untilUs);
};
