#include "phonebook/PhoneRecord.h"

#include "link/Messages.h"
#include "phonebook/PhoneChars.h"

#include <algorithm>

namespace {

constexpr int kRecordOffset = 14; // data byte of the number length
constexpr int kDigitsOffset = 15; // 15 bytes of packed digit codes
constexpr int kNameOffset = 30; // 16 name bytes
constexpr int kGroupOffset = 46; // group byte after the name
constexpr std::uint8_t kDefaultGroup = 0x05;

bool isTrimmed(unsigned char c)
{
    return c <= 0x20;
}

std::uint8_t digitCode(char c)
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

static_assert(messages::kPhonebookRead.length == kReadRequestLength);
static_assert(messages::kPhonebookWrite.length == kWriteRequestLength);

// The location goes in one byte; only its low byte is sent.
std::uint8_t locationByte(int location)
{
    return static_cast<std::uint8_t>(location & 0xFF);
}

} // namespace

void trimRecordText(std::string& text)
{
    auto first = std::find_if_not(text.begin(), text.end(), [](char c) { return isTrimmed(c); });
    auto last = std::find_if_not(text.rbegin(), text.rend(), [](char c) { return isTrimmed(c); }).base();
    text = first < last ? std::string(first, last) : std::string();
}

ReadRequest buildReadRequest(int location)
{
    ReadRequest message{};
    composeMessage(messages::kPhonebookRead, locationByte(location), nullptr, message.data());
    return message;
}

WriteRequest buildWriteRequest(int location, const std::string& name, const std::string& number)
{
    // The record fields are filled in after the message table's head.
    constexpr std::array<std::uint8_t, kWriteRequestLength> blankRecord{};
    WriteRequest message{};
    composeMessage(messages::kPhonebookWrite, locationByte(location), blankRecord.data(), message.data());

    const int digits = std::min<int>(static_cast<int>(number.size()), kMaxNumberDigits);
    message[kRecordOffset] = static_cast<std::uint8_t>(digits);
    for (int i = 0; i < digits; ++i) {
        const std::uint8_t code = digitCode(number[i]);
        message[kDigitsOffset + i / 2] |= (i % 2 == 0) ? static_cast<std::uint8_t>(code << 4) : code;
    }

    const int chars = std::min<int>(static_cast<int>(name.size()), kMaxNameChars);
    for (int i = 0; i < chars; ++i)
        message[kNameOffset + i] = kWinToPhoneChars[storedLetter(static_cast<unsigned char>(name[i]))];
    message[kGroupOffset] = kDefaultGroup;
    return message;
}

std::string decodeReplyNumber(const ReplyFrame& reply)
{
    // The digit field holds 30 codes: a larger count must not run into the name.
    const int digits = std::min<int>(reply[reply::kDataAt + kRecordOffset], kMaxNumberDigits);
    std::string number;
    number.reserve(digits);
    for (int i = 0; i < digits; ++i) {
        const std::uint8_t packed = reply[reply::kDataAt + kDigitsOffset + i / 2];
        number += kPhoneDigits[(i % 2 == 0) ? packed >> 4 : packed & 0x0F];
    }
    return number;
}

std::string decodeReplyName(const ReplyFrame& reply)
{
    std::string name;
    for (int i = 0; i < kMaxNameChars; ++i) {
        const std::uint8_t code = reply[reply::kDataAt + kNameOffset + i];
        if (code == 0)
            break;
        name += static_cast<char>(code < 0x80 ? kPhoneCharsLow[code] : kPhoneCharsHigh[code - 0x80]);
    }
    return name;
}
