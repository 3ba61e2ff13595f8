// Frame layout on the M2BUS line: header bytes, the acknowledgement marker,
// the XOR checksum and builders for the two frames the program sends.
#pragma once

#include <cstdint>

namespace frame {

inline constexpr std::uint8_t kHandsetAddress = 0xE9;
inline constexpr std::uint8_t kPcAddress = 0x00;

// Every frame on the bus opens with both addresses: 00 E9 from the PC (our
// echo), E9 00 from the handset.
constexpr bool isFrameStart(std::uint8_t first, std::uint8_t second)
{
    return (first == kPcAddress && second == kHandsetAddress) || (first == kHandsetAddress && second == kPcAddress);
}
inline constexpr std::uint8_t kPcDataType = 0xE5;
inline constexpr std::uint8_t kAckMarker = 0x7F; // length byte of every acknowledgement
inline constexpr int kAckLength = 5;
inline constexpr int kOverhead = 6; // header, sequence byte and checksum
inline constexpr int kBufferSize = 256;
inline constexpr int kMaxMessage = kBufferSize - kOverhead;

// XOR of the bytes the checksum covers: four for an acknowledgement, header
// plus message plus sequence byte otherwise. Reads frame[0..2] to decide.
std::uint8_t checksum(const std::uint8_t* frame);

// Whole length of a frame announced by its length byte (5 for an acknowledgement).
constexpr int announcedLength(std::uint8_t lengthByte)
{
    return lengthByte == kAckMarker ? kAckLength : lengthByte + kOverhead;
}

// A message length the sender can frame: fits the buffer and is not the marker.
constexpr bool isSendableLength(int n)
{
    return n >= 0 && n <= kMaxMessage && n != kAckMarker;
}

// Builds 00 E9 N E5 message sequence checksum into out (n + 6 bytes); n must be sendable.
int buildDataFrame(const std::uint8_t* message, int n, std::uint8_t sequence, std::uint8_t* out);

// Builds the program's acknowledgement 00 <to> 7F sequence checksum (5 bytes).
void buildAck(std::uint8_t to, std::uint8_t sequence, std::uint8_t* out);

} // namespace frame
