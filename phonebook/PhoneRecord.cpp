#include "phonebook/PhoneRecord.h"

#include "link/Messages.h"
#include "phonebook/PhoneChars.h"

#include <algorithm>

namespace {

constexpr int RecordOffset = 14; // data byte of the number length
constexpr int DigitsOffset = 15; // 15 bytes of packed digit codes
constexpr int NameOffset = 30; // 16 name bytes
constexpr int GroupOffset = 46; // group byte after the name
constexpr std::uint8_t DefaultGroup = 0x05;
constexpr int FrameHeader = 4; // reply data byte k is at 4 + k

bool IsTrimmed(unsigned char c)
{
    return c <= 0x20;
}

std::uint8_t DigitCode(char c)
{
    switch (c) {
    case '0':
        return 10;
    case '*':
        return 11;
    case '#':
        return 12;
    case 'p':
        return 13;
    case 'w':
        return 14;
    case '+':
        return 15;
    default:
        return c >= '1' && c <= '9' ? static_cast<std::uint8_t>(c - '0') : 0;
    }
}

static_assert(messages::kPhonebookRead.length == ReadRequestLength);
static_assert(messages::kPhonebookWrite.length == WriteRequestLength);

// The location goes in one byte; only its low byte is sent.
std::uint8_t LocationByte(int location)
{
    return static_cast<std::uint8_t>(location & 0xFF);
}

} // namespace

void TrimRecordText(std::string& text)
{
    auto first = std::find_if_not(text.begin(), text.end(), [](char c) { return IsTrimmed(c); });
    auto last = std::find_if_not(text.rbegin(), text.rend(), [](char c) { return IsTrimmed(c); }).base();
    text = first < last ? std::string(first, last) : std::string();
}

ReadRequest BuildReadRequest(int location)
{
    ReadRequest message{};
    composeMessage(messages::kPhonebookRead, LocationByte(location), nullptr, message.data());
    return message;
}

WriteRequest BuildWriteRequest(int location, const std::string& name, const std::string& number)
{
    // The record fields are filled in after the message table's head.
    constexpr std::array<std::uint8_t, WriteRequestLength> blankRecord{};
    WriteRequest message{};
    composeMessage(messages::kPhonebookWrite, LocationByte(location), blankRecord.data(), message.data());

    const int digits = std::min<int>(static_cast<int>(number.size()), MaxNumberDigits);
    message[RecordOffset] = static_cast<std::uint8_t>(digits);
    for (int i = 0; i < digits; ++i) {
        const std::uint8_t code = DigitCode(number[i]);
        message[DigitsOffset + i / 2] |= (i % 2 == 0) ? static_cast<std::uint8_t>(code << 4) : code;
    }

    const int chars = std::min<int>(static_cast<int>(name.size()), MaxNameChars);
    for (int i = 0; i < chars; ++i)
        message[NameOffset + i] = WinToPhoneChars[StoredLetter(static_cast<unsigned char>(name[i]))];
    message[GroupOffset] = DefaultGroup;
    return message;
}

std::string DecodeReplyNumber(const ReplyFrame& reply)
{
    // The digit field holds 30 codes: a larger count must not run into the name.
    const int digits = std::min<int>(reply[FrameHeader + RecordOffset], MaxNumberDigits);
    std::string number;
    number.reserve(digits);
    for (int i = 0; i < digits; ++i) {
        const std::uint8_t packed = reply[FrameHeader + DigitsOffset + i / 2];
        number += PhoneDigits[(i % 2 == 0) ? packed >> 4 : packed & 0x0F];
    }
    return number;
}

std::string DecodeReplyName(const ReplyFrame& reply)
{
    std::string name;
    for (int i = 0; i < MaxNameChars; ++i) {
        const std::uint8_t code = reply[FrameHeader + NameOffset + i];
        if (code == 0)
            break;
        name += static_cast<char>(code < 0x80 ? PhoneCharsLow[code] : PhoneCharsHigh[code - 0x80]);
    }
    return name;
}
