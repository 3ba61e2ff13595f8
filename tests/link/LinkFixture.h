// A PhoneLink wired to a virtual line whose port is open, with helpers to
// put bytes on the receive side.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "link/PhoneLink.h"
#include "support/VirtualHandset.h"
#include "support/VirtualLine.h"

using Bytes = std::vector<std::uint8_t>;

class LinkFixture : public ::testing::Test {
protected:
    LinkFixture()
    {
        line.SetReceiver([this](int count) { link.onBytesReceived(count); });
    }

    // The bytes arrive now and are handed over in one notification.
    void Deliver(const Bytes& bytes)
    {
        if (!line.isOpen())
            line.open();
        line.ScheduleAt(line.nowUs(), bytes);
        line.processMessages();
    }

    static Bytes Concat(std::initializer_list<Bytes> parts)
    {
        Bytes out;
        for (const Bytes& p : parts)
            out.insert(out.end(), p.begin(), p.end());
        return out;
    }

    LinkState& state() { return link.state(); }

    VirtualLine line;
    PhoneLink link{line, line};
};
