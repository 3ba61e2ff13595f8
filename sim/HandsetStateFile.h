// The simulator's state as a text file a person can read and edit:
//
//   version "V 4.10\n12-03-98\nNMT-650"
//   serial "4711082015"
//   netmonitor off
//   collisions 2   (on the bus only: collisions seen since the simulator started)
//   record 0 len=11 digits=+4951234567___________________ name="Anna" group=05
//   other 120 len=3 digits=112___________________________ name="" group=00
//   logo #####...   (48 lines of 84 dots, top row first; '#' set, '.' clear)
//
// Digits are written one character per 4-bit code ('_' for code 0). Text in
// quotes is byte for byte (names in the handset's own character set), with
// \n, \\, \" and \xHH escapes. Records that are all zero are left out.
// Lines starting with '#' are comments. The collision count describes one
// run of the simulator, not the handset, so reading ignores it.
#pragma once

#include "sim/HandsetState.h"

#include <cstdint>
#include <optional>
#include <string>

namespace handset {

std::string stateToText(const HandsetState& state, std::optional<std::uint64_t> collisions = std::nullopt);

// Throws std::runtime_error naming the line that could not be read.
HandsetState stateFromText(const std::string& text);

// Nothing when the file does not exist; a file that exists but cannot be
// read or parsed throws std::runtime_error.
std::optional<HandsetState> loadStateFile(const std::string& path);

// Writes a temporary file beside `path` and renames it over, so a crash never
// leaves half a state file. Throws std::runtime_error on failure.
void saveStateFile(const std::string& path, const HandsetState& state,
                   std::optional<std::uint64_t> collisions = std::nullopt);

} // namespace handset
