#include "link/FrameLog.h"

#include "link/Frame.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <stdexcept>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

std::int64_t systemNowUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

std::string localStamp(std::int64_t us)
{
    const std::time_t seconds = static_cast<std::time_t>(us / 1'000'000);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[40];
    const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(text + n, sizeof text - n, ".%03d", static_cast<int>(us / 1000 % 1000));
    return text;
}

// What a whole frame is, beside its bytes.
std::string frameMark(const std::uint8_t* frame, int length)
{
    if (frame[0] == frame::kPcAddress)
        return frame[2] == frame::kAckMarker ? "ack" : "";
    if (frame::checksum(frame) != frame[length - 1])
        return "bad checksum";
    return frame[2] == frame::kAckMarker ? "ack" : "";
}

}  // namespace

#ifdef _WIN32
FrameLog::FrameLog(const std::filesystem::path& path, Clock clock)
    : file_(path, std::ios::out | std::ios::app)
    , out_(&file_)
    , clock_(clock ? std::move(clock) : Clock(systemNowUs))
{
    if (!file_)
        throw std::runtime_error(std::strerror(errno));
}
#else
FrameLog::FrameLog(const std::filesystem::path& path, Clock clock)
    : clock_(clock ? std::move(clock) : Clock(systemNowUs))
{
    // Opening a named pipe for writing waits until something reads it, for
    // good when nothing ever does; without waiting, that open fails instead.
    fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        const int error = errno;
        throw std::runtime_error(error == ENXIO ? kNoReader : std::strerror(error));
    }
    // Once open, a line is written whole however long the file takes.
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
}
#endif

FrameLog::FrameLog(std::ostream& out, Clock clock)
    : out_(&out)
    , clock_(clock ? std::move(clock) : Clock(systemNowUs))
{ }

FrameLog::~FrameLog()
{
    flush();
#ifndef _WIN32
    if (fd_ >= 0)
        ::close(fd_);
#endif
}

void FrameLog::writeLine(std::int64_t nowUs, const char* direction, const std::uint8_t* bytes, std::size_t count,
                         const std::string& mark)
{
    std::string line = localStamp(nowUs) + ' ' + direction;
    char hex[4];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(hex, sizeof hex, " %02X", bytes[i]);
        line += hex;
    }
    if (!mark.empty())
        line += " (" + mark + ")";
    // Flushed line by line: the log matters most when the program is stuck or killed.
#ifndef _WIN32
    if (fd_ >= 0) {
        line += '\n';
        for (std::size_t done = 0; done < line.size();) {
            const ssize_t n = ::write(fd_, line.data() + done, line.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return;
            done += static_cast<std::size_t>(n);
        }
        return;
    }
#endif
    *out_ << line << std::endl;
}

void FrameLog::sent(const std::uint8_t* bytes, int count, bool complete) {
    if (count <= 0)
        return;
    std::string mark = count >= 3 ? frameMark(bytes, count) : "";
    if (!complete)
        mark = mark.empty() ? "write timed out" : mark + ", write timed out";
    writeLine(clock_(), "TX", bytes, static_cast<std::size_t>(count), mark);
}

void FrameLog::received(const std::uint8_t* bytes, int count) {
    if (count <= 0)
        return;
    const std::int64_t now = clock_();
    if (!pending_.empty() && now - lastReceivedUs_ >= kStallUs)
        flush();
    lastReceivedUs_ = now;
    pending_.insert(pending_.end(), bytes, bytes + count);
    drain(now);
}

void FrameLog::flush()
{
    if (pending_.empty())
        return;
    writeLine(clock_(), "RX", pending_.data(), pending_.size(), "partial");
    pending_.clear();
}

void FrameLog::drain(std::int64_t nowUs)
{
    auto couldStart = [this](std::size_t i) {
        if (i + 1 < pending_.size())
            return frame::isFrameStart(pending_[i], pending_[i + 1]);
        return pending_[i] == frame::kPcAddress || pending_[i] == frame::kHandsetAddress;
    };
    while (!pending_.empty()) {
        std::size_t start = 0;
        while (start < pending_.size() && !couldStart(start))
            ++start;
        std::size_t take = start;
        std::string mark = "garbage";
        if (start == 0) {
            if (pending_.size() < 3)
                return;
            const int length = frame::announcedLength(pending_[2]);
            if (length > frame::kBufferSize) {
                take = 1;  // no frame is that long: the start was noise
            } else if (pending_.size() < static_cast<std::size_t>(length)) {
                return;
            } else {
                take = static_cast<std::size_t>(length);
                // Our own frames come back on a one-wire cable.
                mark = pending_[0] == frame::kPcAddress ? "echo" : frameMark(pending_.data(), length);
            }
        }
        writeLine(nowUs, "RX", pending_.data(), take, mark);
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(take));
    }
}
