// Command line of m2bus-sim.
#pragma once

#include "sim/HandsetLine.h"

#include <optional>
#include <string>
#include <vector>

namespace handset {

struct SimOptions {
    LineSettings line;
    std::string statePath; // empty: state lives in memory only
    std::optional<std::string> versionText; // overrides the state's text
    std::optional<std::string> serialNumber;
    // The number kept at location 115; empty: none kept.
    std::optional<std::string> ownNumber;
    bool verbose = false; // frames to stderr
    bool help = false;
    bool version = false;
};

// The program's defaults differ from a bare LineSettings: no pacing unless
// asked for, so that tests over a pseudo-terminal run quickly.
SimOptions defaultSimOptions();

// Throws std::invalid_argument with a message for the user on a bad option.
SimOptions parseSimOptions(const std::vector<std::string>& args);

std::string simUsage();

} // namespace handset
