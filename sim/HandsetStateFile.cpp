#include "sim/HandsetStateFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <system_error>

namespace handset {
namespace {

constexpr std::string_view kDigitChars = "_1234567890*#pw+";
constexpr std::size_t kLogoWidth = kLogoBlockSize;
constexpr std::size_t kLogoHeight = kLogoBlocks * 8;

std::string quote(const std::uint8_t* bytes, std::size_t size)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t c = bytes[i];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == 0x0A) {
            out += "\\n";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0x0F];
        }
    }
    return out + "\"";
}

std::string quote(const std::string& text)
{
    return quote(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

[[noreturn]] void fail(std::size_t lineNo, const std::string& why)
{
    throw std::runtime_error("State file line " + std::to_string(lineNo) + ": " + why);
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads a quoted string starting at `text[pos]`; leaves `pos` after the closing quote.
std::string unquote(const std::string& text, std::size_t& pos, std::size_t lineNo)
{
    if (pos >= text.size() || text[pos] != '"')
        fail(lineNo, "expected a quoted text");
    std::string out;
    for (++pos; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++pos >= text.size())
            break;
        const char e = text[pos];
        if (e == 'n') {
            out += '\n';
        } else if (e == '\\' || e == '"') {
            out += e;
        } else if (e == 'x' && pos + 2 < text.size() && hexValue(text[pos + 1]) >= 0 && hexValue(text[pos + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[pos + 1]) * 16 + hexValue(text[pos + 2]));
            pos += 2;
        } else {
            fail(lineNo, "bad escape in quoted text");
        }
    }
    fail(lineNo, "quoted text is not closed");
}

std::string recordText(const Record& r)
{
    std::string digits;
    for (std::size_t k = 0; k < 30; ++k) {
        const std::uint8_t byte = r[kRecordDigits + k / 2];
        digits += kDigitChars[k % 2 == 0 ? byte >> 4 : byte & 0x0F];
    }
    std::size_t nameLength = kNameSize;
    while (nameLength > 0 && r[kRecordName + nameLength - 1] == 0)
        --nameLength;
    char group[3];
    std::snprintf(group, sizeof group, "%02X", r[kRecordGroup]);
    return "len=" + std::to_string(r[0]) + " digits=" + digits + " name=" + quote(&r[kRecordName], nameLength)
        + " group=" + group;
}

unsigned parseNumber(const std::string& text, unsigned max, std::size_t lineNo, int base = 10)
{
    std::size_t used = 0;
    unsigned long value = 0;
    try {
        value = std::stoul(text, &used, base);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || value > max)
        fail(lineNo, "bad number \"" + text + "\"");
    return static_cast<unsigned>(value);
}

Record parseRecord(const std::string& line, std::size_t fieldsAt, std::size_t lineNo)
{
    Record r{};
    std::size_t pos = fieldsAt;
    // Fields come in order; the quoted name may hold spaces, so no plain split.
    auto field = [&](const std::string& key) {
        while (pos < line.size() && line[pos] == ' ')
            ++pos;
        if (line.compare(pos, key.size() + 1, key + "=") != 0)
            fail(lineNo, "expected " + key + "=");
        pos += key.size() + 1;
        if (key == "name")
            return std::string();
        const auto end = std::min(line.find(' ', pos), line.size());
        const std::string value = line.substr(pos, end - pos);
        pos = end;
        return value;
    };
    r[0] = static_cast<std::uint8_t>(parseNumber(field("len"), 255, lineNo));
    const std::string digits = field("digits");
    if (digits.size() != 30)
        fail(lineNo, "digits= needs 30 characters");
    for (std::size_t k = 0; k < 30; ++k) {
        const auto code = kDigitChars.find(digits[k]);
        if (code == std::string_view::npos)
            fail(lineNo, "bad digit '" + std::string(1, digits[k]) + "'");
        r[kRecordDigits + k / 2] |= static_cast<std::uint8_t>(k % 2 == 0 ? code << 4 : code);
    }
    field("name");
    const std::string name = unquote(line, pos, lineNo);
    if (name.size() > kNameSize)
        fail(lineNo, "name longer than 16 bytes");
    std::copy(name.begin(), name.end(), r.begin() + kRecordName);
    r[kRecordGroup] = static_cast<std::uint8_t>(parseNumber(field("group"), 255, lineNo, 16));
    if (pos != line.size())
        fail(lineNo, "unexpected text after group=");
    return r;
}

} // namespace

std::string stateToText(const HandsetState& state, std::optional<std::uint64_t> collisions)
{
    std::string out = "# Handset simulator state\n";
    out += "version " + quote(state.versionText) + "\n";
    out += "serial " + quote(state.serialNumber) + "\n";
    out += std::string("netmonitor ") + (state.netMonitor ? "on" : "off") + "\n";
    if (collisions)
        out += "collisions " + std::to_string(*collisions) + "\n";
    const Record empty{};
    for (std::size_t i = 0; i < kPhonebookSize; ++i)
        if (state.phonebook[i] != empty)
            out += "record " + std::to_string(i) + " " + recordText(state.phonebook[i]) + "\n";
    for (const auto& [location, record] : state.otherLocations)
        out += "other " + std::to_string(location) + " " + recordText(record) + "\n";
    for (std::size_t y = 0; y < kLogoHeight; ++y) {
        out += "logo ";
        for (std::size_t x = 0; x < kLogoWidth; ++x)
            out += (state.logo[y / 8][x] >> (y % 8)) & 1 ? '#' : '.';
        out += "\n";
    }
    return out;
}

HandsetState stateFromText(const std::string& text)
{
    HandsetState state;
    std::istringstream lines(text);
    std::string line;
    std::size_t lineNo = 0;
    std::size_t logoRow = 0;
    while (std::getline(lines, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const auto space = line.find(' ');
        const std::string key = line.substr(0, space);
        const std::size_t valueAt = space == std::string::npos ? line.size() : space + 1;
        if (key == "version" || key == "serial") {
            std::size_t pos = valueAt;
            (key == "version" ? state.versionText : state.serialNumber) = unquote(line, pos, lineNo);
        } else if (key == "netmonitor") {
            const std::string value = line.substr(valueAt);
            if (value != "on" && value != "off")
                fail(lineNo, "netmonitor must be on or off");
            state.netMonitor = value == "on";
        } else if (key == "collisions") {
            const std::string value = line.substr(valueAt);
            if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos)
                fail(lineNo, "collisions needs a count");
        } else if (key == "record" || key == "other") {
            const auto fieldsAt = line.find(' ', valueAt);
            if (fieldsAt == std::string::npos)
                fail(lineNo, "record needs its fields");
            const unsigned location = parseNumber(line.substr(valueAt, fieldsAt - valueAt), 255, lineNo);
            const bool inPhonebook = location < kPhonebookSize;
            if (inPhonebook != (key == "record"))
                fail(lineNo, "location " + std::to_string(location) + " is not a " + key);
            const Record record = parseRecord(line, fieldsAt + 1, lineNo);
            if (inPhonebook)
                state.phonebook[location] = record;
            else
                state.otherLocations[static_cast<std::uint8_t>(location)] = record;
        } else if (key == "logo") {
            const std::string dots = line.substr(valueAt);
            if (logoRow >= kLogoHeight)
                fail(lineNo, "more than 48 logo rows");
            if (dots.size() != kLogoWidth || dots.find_first_not_of("#.") != std::string::npos)
                fail(lineNo, "a logo row is 84 characters of '#' and '.'");
            for (std::size_t x = 0; x < kLogoWidth; ++x)
                if (dots[x] == '#')
                    state.logo[logoRow / 8][x] |= static_cast<std::uint8_t>(1u << (logoRow % 8));
            ++logoRow;
        } else {
            fail(lineNo, "unknown entry \"" + key + "\"");
        }
    }
    if (logoRow != 0 && logoRow != kLogoHeight)
        fail(lineNo, "the logo needs 48 rows");
    return state;
}

std::optional<HandsetState> loadStateFile(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error)
        return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw std::runtime_error("Cannot read state file " + path + ": " + std::strerror(errno));
    std::ostringstream text;
    text << file.rdbuf();
    return stateFromText(text.str());
}

void saveStateFile(const std::string& path, const HandsetState& state, std::optional<std::uint64_t> collisions)
{
    const std::string text = stateToText(state, collisions);
    const std::string temp = path + ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file << text;
        file.flush();
        if (!file) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            throw std::runtime_error("Cannot write state file " + temp);
        }
    }
    std::error_code error;
    std::filesystem::rename(temp, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw std::runtime_error("Cannot replace state file " + path + ": " + error.message());
    }
}

} // namespace handset
