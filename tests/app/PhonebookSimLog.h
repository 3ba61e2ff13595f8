// What the simulator heard from the program, taken from its --verbose log:
// every "pc  > " line's bytes in order, so a frame split over two reads of
// the pseudo-terminal is still found whole.
#pragma once

#include <QString>

#include <algorithm>
#include <ostream>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::uint8_t> BytesHeardBySim(const std::string& log)
{
    std::vector<std::uint8_t> bytes;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("pc  > ", 0) != 0)
            continue;
        std::istringstream hex(line.substr(6));
        std::string piece;
        while (hex >> piece)
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(piece, nullptr, 16)));
    }
    return bytes;
}

// How many times `message` occurs in the heard bytes (each request frame carries
// its message whole between header and sequence byte).
inline int TimesHeard(const std::vector<std::uint8_t>& heard, const std::vector<std::uint8_t>& message)
{
    int count = 0;
    for (std::size_t i = 0; i + message.size() <= heard.size(); ++i)
        if (std::equal(message.begin(), message.end(), heard.begin() + static_cast<std::ptrdiff_t>(i)))
            ++count;
    return count;
}

// Readable failure output for table cells.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
