#include "support/VirtualLine.h"

#include <algorithm>
#include <stdexcept>

namespace {
bool IsAckFrame(const std::vector<std::uint8_t>& bytes)
{
    return bytes.size() == 5 && bytes[2] == 0x7F;
}
} // namespace

void VirtualLine::ScheduleAt(std::int64_t atUs, const std::vector<std::uint8_t>& bytes)
{
    for (std::uint8_t byte : bytes)
        pending_.emplace(atUs, byte);
}

std::int64_t VirtualLine::Transmit(std::int64_t startUs, const std::vector<std::uint8_t>& bytes)
{
    const std::int64_t duration = static_cast<std::int64_t>(bytes.size()) * kByteUs;
    std::int64_t start = startUs;
    for (const auto& [busyStart, busyEnd] : wireBusy_) {
        if (busyEnd <= start)
            continue;
        if (start + duration <= busyStart)
            break;
        start = busyEnd;
    }
    if (duration > 0)
        wireBusy_.emplace(start, start + duration);
    std::int64_t t = start;
    for (std::uint8_t byte : bytes) {
        t += kByteUs;
        pending_.emplace(t, byte);
    }
    return t;
}

void VirtualLine::SetProgramPauses(std::uint32_t seed, std::int64_t minUs, std::int64_t maxUs, std::int64_t maxGapUs)
{
    pauseRandom_ = seed == 0 ? 1 : seed;
    pauseMinUs_ = minUs;
    pauseMaxUs_ = std::max(minUs, maxUs);
    pauseMaxGapUs_ = std::max<std::int64_t>(maxGapUs, 1);
    nextPauseUs_ = nowUs_ + static_cast<std::int64_t>(NextRandom() % static_cast<std::uint32_t>(pauseMaxGapUs_));
}

std::uint32_t VirtualLine::NextRandom()
{
    pauseRandom_ ^= pauseRandom_ << 13;
    pauseRandom_ ^= pauseRandom_ >> 17;
    pauseRandom_ ^= pauseRandom_ << 5;
    return pauseRandom_;
}

void VirtualLine::PauseAt(std::int64_t atUs, std::int64_t lengthUs)
{
    pausesAt_[atUs] = lengthUs;
}

void VirtualLine::MaybePause()
{
    if (!pausesAt_.empty() && nowUs_ >= pausesAt_.begin()->first) {
        nowUs_ += pausesAt_.begin()->second;
        pausesAt_.erase(pausesAt_.begin());
        ++pausesTaken_;
        return;
    }
    if (nowUs_ < nextPauseUs_)
        return;
    const auto span = static_cast<std::uint32_t>(pauseMaxUs_ - pauseMinUs_ + 1);
    nowUs_ += pauseMinUs_ + static_cast<std::int64_t>(NextRandom() % span);
    ++pausesTaken_;
    nextPauseUs_ = nowUs_ + static_cast<std::int64_t>(NextRandom() % static_cast<std::uint32_t>(pauseMaxGapUs_));
}

void VirtualLine::open()
{
    if (portMissing_)
        throw std::runtime_error("Unable to open com port");
    if (open_)
        throw std::runtime_error("Port already open");
    open_ = true;
    ++opens_;
}

void VirtualLine::close()
{
    open_ = false;
    arrived_.clear();
}

int VirtualLine::write(const std::uint8_t* buffer, int count)
{
    if (!open_)
        throw std::runtime_error("Write on a closed port");
    std::vector<std::uint8_t> bytes(buffer, buffer + count);
    if (writeTimesOut_ || (ackWriteTimesOut_ && IsAckFrame(bytes)))
        return 0;
    writes_.push_back({nowUs_, bytes});
    if (echo_)
        Transmit(nowUs_, bytes);
    if (farEnd_)
        farEnd_->OnWrite(*this, bytes, nowUs_);
    return count;
}

// Like a real port, a read takes what has arrived by now, announced or not.
int VirtualLine::read(std::uint8_t* buffer, int count)
{
    PullDue();
    const int n = std::min(count, static_cast<int>(arrived_.size()));
    std::copy_n(arrived_.begin(), n, buffer);
    arrived_.erase(arrived_.begin(), arrived_.begin() + n);
    return n;
}

void VirtualLine::PullDue()
{
    if (farEnd_) {
        for (const FarEnd::TimedByte& arrived : farEnd_->TakeArrived(nowUs_))
            pending_.emplace(std::min(arrived.atUs, nowUs_), arrived.byte);
    }
    const auto due = pending_.upper_bound(nowUs_);
    if (open_) {
        for (auto it = pending_.begin(); it != due; ++it)
            arrived_.push_back(it->second);
    }
    pending_.erase(pending_.begin(), due); // a closed port hears nothing
}

// A pause of the program falls after a wait, before the program looks at
// the clock again: bytes that come meanwhile wait in the port.
void VirtualLine::waitForBytes(std::int64_t untilUs)
{
    PullDue();
    if (arrived_.empty() && untilUs > nowUs_) {
        std::int64_t next = untilUs;
        if (!pending_.empty())
            next = std::min(next, pending_.begin()->first);
        if (farEnd_)
            next = std::min(next, farEnd_->NextDueUs());
        nowUs_ = std::max(nowUs_, next);
    }
    MaybePause();
}

void VirtualLine::sleep(int ms)
{
    sleeps_.push_back(ms);
    nowUs_ += static_cast<std::int64_t>(ms) * 1000;
    MaybePause();
}

void VirtualLine::lightChanged(LinkLight light, bool lit)
{
    if (light == LinkLight::Ack) {
        ackLed_ = lit;
        ackLedOns_ += lit ? 1 : 0;
    } else {
        packLed_ = lit;
        packLedOns_ += lit ? 1 : 0;
    }
}

std::vector<VirtualLine::Write> VirtualLine::DataFrameWrites() const
{
    std::vector<Write> out;
    std::copy_if(writes_.begin(), writes_.end(), std::back_inserter(out),
                 [](const Write& w) { return !IsAckFrame(w.bytes); });
    return out;
}

std::vector<VirtualLine::Write> VirtualLine::AckWrites() const
{
    std::vector<Write> out;
    std::copy_if(writes_.begin(), writes_.end(), std::back_inserter(out),
                 [](const Write& w) { return IsAckFrame(w.bytes); });
    return out;
}
