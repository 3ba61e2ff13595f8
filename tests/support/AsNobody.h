// Root writes through permissions; tests of "access denied" run the action
// with the effective user id of nobody and restore root afterwards.
#pragma once

#include <cstdlib>
#include <unistd.h>

class AsNobody {
public:
    AsNobody()
        : dropped_(geteuid() == 0)
    {
        if (dropped_ && seteuid(65534) != 0)
            dropped_ = false;
    }
    ~AsNobody()
    {
        if (dropped_ && seteuid(0) != 0)
            std::abort();
    }
    AsNobody(const AsNobody&) = delete;
    AsNobody& operator=(const AsNobody&) = delete;

    // False when the process is not root: then permissions apply anyway.
    bool Dropped() const { return dropped_; }

private:
    bool dropped_;
};
