// What the link's thread needs of its line: the port with its clock, and
// which port the next job opens. The serial line is one; tests put a
// virtual line with a modelled handset in its place.
#pragma once

#include "link/LinkClock.h"
#include "link/LinkPort.h"

class WorkerLine : public LinkPort, public LinkClock {
public:
    // COMn, or 0 for the device chosen by its path; the port is closed.
    virtual void setPortNumber(int number) = 0;
};
