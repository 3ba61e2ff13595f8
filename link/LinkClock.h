// Time as the link sees it, and waiting for the line: the link's own thread
// waits on its serial port; tests run on a virtual clock that moves only
// when the link waits or sleeps.
#pragma once

#include <cstdint>

class LinkClock {
public:
    virtual ~LinkClock() = default;
    // Microseconds on a clock that never runs backwards.
    virtual std::int64_t nowUs();
    // Returns once bytes have come in at the port, or when untilUs has come.
    // May return early; the link looks at the line and waits again.
    virtual void waitForBytes(std::int64_t untilUs) = 0;
    virtual void sleep(int ms);
};
