// A PhoneLink on a virtual line: the line is its port, its clock and the
// lights it switches.
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
    static Bytes Concat(std::initializer_list<Bytes> parts)
    {
        Bytes out;
        for (const Bytes& p : parts)
            out.insert(out.end(), p.begin(), p.end());
        return out;
    }

    VirtualLine line;
    PhoneLink link{line, line, &line};
};
