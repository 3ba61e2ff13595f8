// The frame log: one line for every frame on the line, with a millisecond
// time stamp, the direction and the bytes in hex, e.g.
//   2026-12-08 14:03:07.412 TX 00 E9 03 E5 00 03 00 01 EE
//   2026-12-08 14:03:07.431 RX E9 00 7F 01 97 (ack)
// Received bytes are cut into frames as the receiver would see them; what
// does not make a frame is logged too, marked (garbage) or (partial), since
// that is what a bad cable looks like.
#pragma once

#include "link/LinkObserver.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

class FrameLog final : public LinkObserver {
public:
    // Microseconds since 1970-01-01 UTC.
    using Clock = std::function<std::int64_t()>;

    // Appends to the file; raises std::runtime_error with the reason when it
    // cannot be opened at once (the caller names the file): a named pipe that
    // nothing reads is refused instead of waiting for a reader for good.
    explicit FrameLog(const std::filesystem::path& path, Clock clock = {});
    // Writes to out, which must outlive the log.
    explicit FrameLog(std::ostream& out, Clock clock = {});
    ~FrameLog() override;
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;

    void sent(const std::uint8_t* bytes, int count, bool complete) override;
    void received(const std::uint8_t* bytes, int count) override;
    // Logs received bytes that are still waiting for the rest of their frame.
    void flush();

    // Bytes of one frame arrive close together; a frame quiet this long is cut off.
    static constexpr std::int64_t kStallUs = 40'000;
    // The reason given for a named pipe that nothing reads.
    static constexpr const char* kNoReader = "nothing reads this named pipe";

private:
    void drain(std::int64_t nowUs);
    void writeLine(std::int64_t nowUs, const char* direction, const std::uint8_t* bytes, std::size_t count,
                   const std::string& mark);

    std::ofstream file_;
    std::ostream* out_ = nullptr;
    int fd_ = -1; // the file, where it is opened by descriptor
    Clock clock_;
    std::vector<std::uint8_t> pending_;
    std::int64_t lastReceivedUs_ = 0;
};
