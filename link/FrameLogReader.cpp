#include "link/FrameLogReader.h"

#include <algorithm>

namespace {

// "2026-12-08 14:03:07.412"
constexpr std::size_t kStampLength = 23;
constexpr std::size_t kHeadLength = kStampLength + 3; // stamp, blank, TX or RX

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

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Digits at text[at, at + count) as a number, or -1.
int number(std::string_view text, std::size_t at, std::size_t count)
{
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (!isDigit(text[i]))
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t daysFromCivil(int year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<std::int64_t>(era) * 146097 + dayOfEra - 719468;
}

// The stamp and direction that open a log line at text[at], or false.
bool readHead(std::string_view text, std::size_t at, std::int64_t& timeMs, LogDirection& direction)
{
    if (text.size() < at + kHeadLength)
        return false;
    const std::string_view head = text.substr(at, kHeadLength);
    const char separators[] = {'-', '-', ' ', ':', ':', '.', ' '};
    const std::size_t separatorAt[] = {4, 7, 10, 13, 16, 19, 23};
    for (std::size_t i = 0; i < std::size(separators); ++i) {
        if (head[separatorAt[i]] != separators[i])
            return false;
    }
    const int year = number(head, 0, 4);
    const int month = number(head, 5, 2);
    const int day = number(head, 8, 2);
    const int hour = number(head, 11, 2);
    const int minute = number(head, 14, 2);
    const int second = number(head, 17, 2);
    const int milli = number(head, 20, 3);
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0
        || minute > 59 || second < 0 || second > 60 || milli < 0)
        return false;
    const std::string_view dir = head.substr(24, 2);
    if (dir != "TX" && dir != "RX")
        return false;
    direction = dir == "TX" ? LogDirection::Sent : LogDirection::Received;
    const std::int64_t seconds = daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    timeMs = seconds * 1000 + milli;
    return true;
}

// Where a later log line starts inside this one (a run killed mid-line, the
// next one appended behind it), or npos.
std::size_t nextHead(std::string_view text, std::size_t from)
{
    std::int64_t timeMs = 0;
    LogDirection direction = LogDirection::Sent;
    for (std::size_t at = from; at + kHeadLength <= text.size(); ++at) {
        if (isDigit(text[at]) && readHead(text, at, timeMs, direction))
            return at;
    }
    return std::string_view::npos;
}

void splitMarks(std::string_view inside, std::vector<std::string>& marks)
{
    while (!inside.empty()) {
        const std::size_t comma = inside.find(", ");
        marks.emplace_back(inside.substr(0, comma));
        if (comma == std::string_view::npos)
            break;
        inside.remove_prefix(comma + 2);
    }
}

FrameLogLine unreadable(std::string_view text, int number)
{
    FrameLogLine line;
    line.number = number;
    line.text = std::string(text);
    return line;
}

// The bytes and marks behind the head; false when the rest is no part of a log line.
bool readBody(std::string_view body, FrameLogLine& line)
{
    std::size_t at = 0;
    while (at < body.size()) {
        if (body[at] != ' ')
            return false;
        ++at;
        if (at == body.size())
            return true; // a blank at the end
        if (body[at] == '(') {
            const std::size_t close = body.find(')', at);
            if (close == std::string_view::npos) {
                line.cut = true; // cut inside the marks: they are lost
                return true;
            }
            if (close + 1 != body.size())
                return false;
            splitMarks(body.substr(at + 1, close - at - 1), line.marks);
            return true;
        }
        const int high = hexValue(body[at]);
        if (high < 0)
            return false;
        if (at + 1 == body.size()) {
            line.cut = true; // half a byte
            return true;
        }
        const int low = hexValue(body[at + 1]);
        if (low < 0 || (at + 2 < body.size() && body[at + 2] != ' '))
            return false;
        line.bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
        at += 2;
    }
    return true;
}

} // namespace

bool FrameLogLine::hasMark(std::string_view mark) const
{
    return std::find(marks.begin(), marks.end(), mark) != marks.end();
}

FrameLogLine parseFrameLogLine(std::string_view text, int number)
{
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    FrameLogLine line;
    line.number = number;
    if (!readHead(text, 0, line.timeMs, line.direction))
        return unreadable(text, number);
    if (!readBody(text.substr(kHeadLength), line) || (line.bytes.empty() && !line.cut))
        return unreadable(text, number);
    line.readable = true;
    return line;
}

std::vector<FrameLogLine> readFrameLog(std::istream& in)
{
    std::vector<FrameLogLine> lines;
    int number = 0;
    for (std::string text; std::getline(in, text);) {
        ++number;
        std::string_view rest = text;
        if (rest.find_first_not_of(" \t\r") == std::string_view::npos)
            continue;
        for (;;) {
            const std::size_t next = nextHead(rest, 1);
            if (next == std::string_view::npos) {
                lines.push_back(parseFrameLogLine(rest, number));
                break;
            }
            // Two lines run together (a run killed mid-line, the next one
            // appended behind it): the first stops where the second begins.
            FrameLogLine first = parseFrameLogLine(rest.substr(0, next), number);
            first.cut = first.readable;
            lines.push_back(std::move(first));
            rest.remove_prefix(next);
        }
    }
    return lines;
}
