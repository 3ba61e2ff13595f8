// Coding of one phonebook record in the handset's read and write messages.
#pragma once

#include <array>
#include <cstdint>
#include <string>

inline constexpr int PhonebookLocations = 100;
inline constexpr int MaxNumberDigits = 30;
inline constexpr int MaxNameChars = 16;
inline constexpr int ReadRequestLength = 12;
inline constexpr int WriteRequestLength = 48;

using ReadRequest = std::array<std::uint8_t, ReadRequestLength>;
using WriteRequest = std::array<std::uint8_t, WriteRequestLength>;
using ReplyFrame = std::array<std::uint8_t, 256>;

// True for the handset's phonebook locations 0-99; the ones above hold other data.
constexpr bool IsPhonebookLocation(int location)
{
    return location >= 0 && location < PhonebookLocations;
}

// Removes leading and trailing spaces and control characters (bytes up to 0x20).
void TrimRecordText(std::string& text);

ReadRequest BuildReadRequest(int location);
// name and number are taken as given (already trimmed); longer texts are cut.
WriteRequest BuildWriteRequest(int location, const std::string& name, const std::string& number);

// Decodes a whole reply frame (data byte k at position 4 + k).
std::string DecodeReplyNumber(const ReplyFrame& reply);
std::string DecodeReplyName(const ReplyFrame& reply);
