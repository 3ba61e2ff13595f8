// Frames as the handset puts them on the bus, and the XOR checksum both
// directions share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace handset {

inline constexpr std::uint8_t kAckLength = 0x7F; // length byte that marks an acknowledgement
inline constexpr std::size_t kMaxMessageLength = 250; // a frame must fit 256 bytes

// XOR of every byte before the checksum: bytes 0-3 of an acknowledgement,
// bytes 0 to N+4 of a data frame. `frame` must hold at least that many.
std::uint8_t frameChecksum(const std::uint8_t* frame);

// Total length of a frame announced by its length byte.
inline std::size_t frameLengthFor(std::uint8_t lengthByte)
{
    return lengthByte == kAckLength ? 5 : std::size_t{lengthByte} + 6;
}

// E9 00 7F s c
std::vector<std::uint8_t> handsetAck(std::uint8_t sequence);

// E9 00 N type data... sequence checksum. Throws std::invalid_argument for a
// data length the frame cannot carry (127 or above 250).
std::vector<std::uint8_t> handsetDataFrame(std::uint8_t type, const std::vector<std::uint8_t>& data,
                                           std::uint8_t sequence);

} // namespace handset
