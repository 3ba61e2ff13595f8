#include "sim/HandsetLine.h"

#include <algorithm>
#include <limits>

namespace handset {

HandsetLine::HandsetLine(HandsetModel& model, LineSettings settings)
    : model_(model)
    , settings_(settings)
    , lineFreeMs_(-std::numeric_limits<double>::infinity())
    , lastInputMs_(-std::numeric_limits<double>::infinity())
    , deafUntilMs_(-std::numeric_limits<double>::infinity())
    , handsetNextMs_(-std::numeric_limits<double>::infinity())
{
    model_.setAnswerDuplicates(settings_.faults.answerDuplicates);
}

void HandsetLine::fromPc(const std::uint8_t* data, std::size_t size, double tMs)
{
    // A dead cable neither echoes nor lets the handset hear anything.
    if (settings_.faults.silent)
        return;
    const double gap = settings_.pace ? kByteMs : 0.0;
    for (std::size_t i = 0; i < size; ++i) {
        std::uint8_t byte = data[i];
        bool garbled = false;
        double heardMs;
        if (settings_.bus) {
            const BusWire::Placed placed = bus_.place(BusSide::Pc, byte, tMs, settings_.echo);
            heardMs = placed.endMs;
            byte = placed.heard;
            garbled = placed.hit;
        } else {
            // A byte cannot arrive faster than the line carries it.
            heardMs = std::max(tMs, lastInputMs_ + gap);
            lastInputMs_ = heardMs;
            if (settings_.echo)
                send(&byte, 1, heardMs, false);
        }
        if (heardMs < deafUntilMs_)
            continue;
        const std::uint64_t resets = model_.resetCount();
        const std::uint64_t pcAcks = model_.pcAcksSeen();
        for (OutFrame& frame : model_.fromPc(&byte, 1, garbled)) {
            const bool dropped = (frame.kind == OutKind::Ack && settings_.faults.dropAcks)
                || (frame.kind == OutKind::Reply && settings_.faults.dropReplies);
            if (dropped)
                continue;
            ++framesSent_;
            bool whole = true;
            const unsigned every = settings_.faults.badChecksumEvery;
            if (every != 0 && framesSent_ % every == 0) {
                frame.bytes.back() ^= 0xFF;
                whole = false;
            }
            if (frame.kind == OutKind::Reply) {
                ++repliesSent_;
                const unsigned noisy = settings_.faults.noiseEvery;
                if (noisy != 0 && repliesSent_ % noisy == 0) {
                    spoilOneByte(frame.bytes);
                    whole = false;
                }
            }
            const double earliest = heardMs + settings_.turnaroundMs;
            sendNoise(earliest);
            const double endMs = send(frame.bytes.data(), frame.bytes.size(), earliest);
            if (frame.kind == OutKind::Reply && whole) {
                ++wholeReplies_;
                openReplies_.push_back({frame.bytes[frame.bytes.size() - 2], endMs});
                if (openReplies_.size() > 256)
                    openReplies_.pop_front();
            }
        }
        if (model_.pcAcksSeen() != pcAcks) {
            const std::uint8_t sequence = model_.lastPcAckSequence();
            for (auto it = openReplies_.begin(); it != openReplies_.end(); ++it) {
                if (it->sequence != sequence)
                    continue;
                ++acknowledgedReplies_;
                longestAckDelayMs_ = std::max(longestAckDelayMs_, heardMs - it->endMs);
                openReplies_.erase(it);
                break;
            }
        }
        if (model_.resetCount() != resets && settings_.resetQuietMs > 0) {
            const double busyUntil = settings_.bus ? bus_.freeMs(BusSide::Handset) : lineFreeMs_;
            deafUntilMs_ = std::max(busyUntil, heardMs) + settings_.resetQuietMs;
        }
    }
}

double HandsetLine::send(const std::uint8_t* data, std::size_t size, double earliestMs, bool fromHandset)
{
    const bool slow = fromHandset && settings_.handsetByteMs > 0.0;
    const double gap = slow ? settings_.handsetByteMs : settings_.pace ? kByteMs : 0.0;
    double endMs = earliestMs;
    for (std::size_t i = 0; i < size; ++i) {
        if (settings_.bus) {
            const double at = slow ? std::max(earliestMs, handsetNextMs_) : earliestMs;
            const BusWire::Placed placed = bus_.place(fromHandset ? BusSide::Handset : BusSide::Pc, data[i], at, true);
            if (slow)
                handsetNextMs_ = placed.endMs - kByteMs + gap;
            endMs = placed.endMs;
            continue;
        }
        // The bus is shared: an answer waits behind echo still on the wire.
        const double at = std::max(earliestMs, lineFreeMs_);
        queue_.push_back({at, data[i]});
        lineFreeMs_ = at + gap;
        endMs = at;
    }
    return endMs;
}

std::uint32_t HandsetLine::nextNoise()
{
    // xorshift: the same faults in every run.
    noiseState_ ^= noiseState_ << 13;
    noiseState_ ^= noiseState_ >> 17;
    noiseState_ ^= noiseState_ << 5;
    return noiseState_;
}

// Line noise hits one byte anywhere in the frame, its header and length
// byte included; the handset cannot know.
void HandsetLine::spoilOneByte(std::vector<std::uint8_t>& frame)
{
    if (frame.empty())
        return;
    const std::uint32_t noise = nextNoise();
    const std::size_t at = noise % frame.size();
    frame[at] ^= static_cast<std::uint8_t>(1u << ((noise >> 16) % 8));
}

void HandsetLine::sendNoise(double earliestMs)
{
    for (unsigned i = 0; i < settings_.faults.noiseBytes; ++i) {
        std::uint8_t byte;
        do {
            // 0x00 and 0xE9 would open a frame, so noise never uses them.
            byte = static_cast<std::uint8_t>(nextNoise());
        } while (byte == 0x00 || byte == 0xE9);
        send(&byte, 1, earliestMs);
    }
}

std::vector<std::uint8_t> HandsetLine::dueBy(double tMs)
{
    if (settings_.bus)
        return bus_.dueBy(tMs);
    std::vector<std::uint8_t> due;
    while (!queue_.empty() && queue_.front().atMs <= tMs) {
        due.push_back(queue_.front().byte);
        queue_.pop_front();
    }
    return due;
}

double HandsetLine::nextDueMs() const
{
    if (settings_.bus)
        return bus_.nextDueMs();
    return queue_.empty() ? std::numeric_limits<double>::infinity() : queue_.front().atMs;
}

} // namespace handset
