#include "sim/HandsetState.h"

#include "sim/DemoLogo.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace handset {
namespace {

std::uint8_t digitCode(char c)
{
    constexpr std::string_view digits = " 1234567890*#pw+";
    const auto at = digits.find(c);
    return at == std::string_view::npos || c == ' ' ? 0 : static_cast<std::uint8_t>(at);
}

std::uint8_t nameCode(unsigned char c)
{
    if (c < 0x20 || (c >= 0x80 && c < 0xC0))
        return 0x20;
    if (c >= 0xC0 && c <= 0xDC)
        return static_cast<std::uint8_t>(0x83 + (c - 0xC0));
    if (c >= 0xDD && c <= 0xDF)
        return static_cast<std::uint8_t>(0xC1 + (c - 0xDD));
    if (c >= 0xE0 && c <= 0xFC)
        return static_cast<std::uint8_t>(0xA3 + (c - 0xE0));
    if (c >= 0xFD)
        return static_cast<std::uint8_t>(0xC5 + (c - 0xFD));
    switch (c) {
    case '$':
        return 0xFC;
    case '%':
        return 0x26;
    case '&':
        return 0x25;
    case '@':
        return 0xFB;
    case '`':
        return 0x3F;
    default:
        return c;
    }
}

} // namespace

Record makeRecord(const std::string& number, const std::string& name, std::uint8_t group)
{
    Record record{};
    const std::size_t digits = std::min<std::size_t>(number.size(), 30);
    record[0] = static_cast<std::uint8_t>(digits);
    for (std::size_t k = 0; k < digits; ++k) {
        const std::uint8_t code = digitCode(number[k]);
        record[kRecordDigits + k / 2] |= (k % 2 == 0) ? static_cast<std::uint8_t>(code << 4) : code;
    }
    const std::size_t letters = std::min(name.size(), kNameSize);
    for (std::size_t k = 0; k < letters; ++k)
        record[kRecordName + k] = nameCode(static_cast<unsigned char>(name[k]));
    record[kRecordGroup] = group;
    return record;
}

HandsetState defaultHandsetState()
{
    HandsetState state;
    state.versionText = "V 4.10\n12-03-98\nNMT-650";
    state.serialNumber = "4711082015";
    state.phonebook[0] = makeRecord("+4951234567", "Anna");
    state.phonebook[1] = makeRecord("0951234", "\xC8\xE2\xE0\xED"); // Иван
    state.phonebook[2] = makeRecord("*#06#", "\xCC\xE0\xEC\xE0 & Co"); // Мама & Co
    state.phonebook[4] = makeRecord("112", "Emergency");
    state.otherLocations[kOwnNumberLocation] = makeRecord("+4957654321", "");
    // The latest first; one dialled from the phonebook keeps its name.
    const std::pair<const char*, const char*> dialled[kDialledNumbers] = {
        {"0951234", "\xC8\xE2\xE0\xED"}, // Иван
        {"112", "Emergency"},
        {"88125550199", ""},
        {"+4951234567", "Anna"},
        {"0957778899", ""},
    };
    for (std::size_t i = 0; i < kDialledNumbers; ++i)
        state.otherLocations[static_cast<std::uint8_t>(kFirstDialledLocation + i)] =
            makeRecord(dialled[i].first, dialled[i].second);
    // Dot (x, y) is bit y mod 8 of byte x of band y div 8.
    for (std::size_t y = 0; y < kDemoLogoRows.size(); ++y)
        for (std::size_t x = 0; x < kLogoBlockSize; ++x)
            if (kDemoLogoRows[y][x] == '#')
                state.logo[y / 8][x] |= static_cast<std::uint8_t>(1u << (y % 8));
    return state;
}

} // namespace handset
