// Reads the frame log back: each line's time stamp, direction, bytes and the
// marks the writer put after them. A line that is not a log line is kept as
// it was, so that a reader of the decoded log sees where it stood.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

enum class LogDirection { Sent, Received };

struct FrameLogLine {
    int number = 0; // 1 for the first line of the file
    bool readable = false;
    std::string text; // the line as it stands, when it could not be read
    // The stamp as milliseconds since 1970-01-01, taken as if the writer's
    // local time were UTC: only differences between stamps mean anything.
    std::int64_t timeMs = 0;
    LogDirection direction = LogDirection::Received;
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> marks; // "echo", "ack", "partial", ... as written
    bool cut = false; // the line stops inside a byte or inside its marks

    bool hasMark(std::string_view mark) const;
};

// One line without its line end; a carriage return before it is ignored.
FrameLogLine parseFrameLogLine(std::string_view text, int number);

// Every line but the empty ones, in order.
std::vector<FrameLogLine> readFrameLog(std::istream& in);
