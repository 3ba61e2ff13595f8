// Coding of one phonebook record in the handset's read and write messages.
#pragma once

#include <array>

#include "link/ReplyLayout.h"
#include <cstdint>
#include <string>

inline constexpr int kPhonebookLocations = 100;
inline constexpr int kMaxNumberDigits = 30;
inline constexpr int kMaxNameChars = 16;
inline constexpr int kReadRequestLength = 12;
inline constexpr int kWriteRequestLength = 48;

using ReadRequest = std::array<std::uint8_t, kReadRequestLength>;
using WriteRequest = std::array<std::uint8_t, kWriteRequestLength>;

// True for the handset's phonebook locations 0-99; the ones above hold other data.
constexpr bool isPhonebookLocation(int location)
{
    return location >= 0 && location < kPhonebookLocations;
}

// Removes leading and trailing spaces and control characters (bytes up to 0x20).
void trimRecordText(std::string& text);

ReadRequest buildReadRequest(int location);
// name and number are taken as given (already trimmed); longer texts are cut.
WriteRequest buildWriteRequest(int location, const std::string& name, const std::string& number);

// Decodes a whole reply frame (data byte k at position 4 + k).
std::string decodeReplyNumber(const ReplyFrame& reply);
std::string decodeReplyName(const ReplyFrame& reply);
