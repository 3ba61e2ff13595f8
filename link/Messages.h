// Every message the program sends to the handset, with the longest frame
// that can come back as its reply (used to give an acknowledged request
// enough line time before the exchange gives up).
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct LinkMessage {
    std::array<std::uint8_t, 14> head{}; // fixed leading bytes
    int headLength = 0;
    int length = 0; // N, message bytes in the frame
    int indexAt = -1; // position of the location/block byte, -1 when none
    int longestReplyFrame = 0; // whole reply frame, header to checksum
};

namespace messages {

// Version text length is the handset's own, so allow the largest frame we take in.
inline constexpr int kLargestFrame = 256;
// Writes, reset and the net monitor switch and read get a short acknowledging frame.
inline constexpr int kShortReplyFrame = 32;

inline constexpr LinkMessage kVersionQuery{{0x00, 0x03, 0x00}, 3, 3, -1, kLargestFrame};
inline constexpr LinkMessage kSerialNumberRead{
    {0x0F, 0x19, 0x03, 0x00, 0x01, 0x0B, 0x00, 0x00}, 8, 8, -1, kLargestFrame};
inline constexpr LinkMessage kNetMonitorRead{
    {0x0F, 0x19, 0x03, 0x00, 0x06, 0x03, 0x00, 0x00}, 8, 8, -1, kShortReplyFrame};
inline constexpr LinkMessage kNetMonitorOn{
    {0x10, 0x08, 0x03, 0x00, 0x06, 0x03, 0x00, 0x00, 0x00, 0x01, 0x03, 0x00}, 12, 12, -1, kShortReplyFrame};
inline constexpr LinkMessage kNetMonitorOff{
    {0x10, 0x08, 0x03, 0x00, 0x06, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00}, 12, 12, -1, kShortReplyFrame};
inline constexpr LinkMessage kSoftwareReset{{0x43, 0x00, 0x00}, 3, 3, -1, kShortReplyFrame};
inline constexpr LinkMessage kPhonebookRead{
    {0x0F, 0x2D, 0x03, 0x00, 0x07, 0x1F, 0x7F, 0xF0, 0x00, 0x00, 0x00, 0x00}, 12, 12, 9, 53};
inline constexpr LinkMessage kPhonebookWrite{
    {0x10, 0x08, 0x03, 0x00, 0x07, 0x1F, 0x7F, 0xF0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x21}, 14, 48, 9, kShortReplyFrame};
inline constexpr LinkMessage kLogoRead{
    {0x0F, 0x60, 0x03, 0x00, 0x07, 0x3A, 0x7F, 0xF0, 0x00, 0x00, 0x00, 0x00}, 12, 12, 9, 104};
inline constexpr LinkMessage kLogoWrite{
    {0x10, 0x08, 0x03, 0x00, 0x07, 0x3A, 0x7F, 0xF0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x54}, 14, 98, 9, kShortReplyFrame};

} // namespace messages

// Writes the message into out (message.length bytes): its head, the index byte
// where it has one, then tail, which supplies length - headLength bytes.
// Returns message.length.
int composeMessage(const LinkMessage& message, std::uint8_t index, const std::uint8_t* tail, std::uint8_t* out);

// What a message asks for, in words: "version query", "phonebook read of
// location 57", "logo block 3 write". A message that is none of the
// program's own is "unknown request".
std::string describeMessage(const std::uint8_t* message, int length);
