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
{
    model_.SetAnswerDuplicates(settings_.faults.answerDuplicates);
}

void HandsetLine::FromPc(const std::uint8_t* data, std::size_t size, double tMs)
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
            const BusWire::Placed placed = bus_.Place(BusSide::Pc, byte, tMs, settings_.echo);
            heardMs = placed.endMs;
            byte = placed.heard;
            garbled = placed.hit;
        } else {
            // A byte cannot arrive faster than the line carries it.
            heardMs = std::max(tMs, lastInputMs_ + gap);
            lastInputMs_ = heardMs;
            if (settings_.echo)
                Send(&byte, 1, heardMs);
        }
        if (heardMs < deafUntilMs_)
            continue;
        const std::uint64_t resets = model_.ResetCount();
        for (OutFrame& frame : model_.FromPc(&byte, 1, garbled)) {
            const bool dropped = (frame.kind == OutKind::Ack && settings_.faults.dropAcks)
                || (frame.kind == OutKind::Reply && settings_.faults.dropReplies);
            if (dropped)
                continue;
            ++framesSent_;
            const unsigned every = settings_.faults.badChecksumEvery;
            if (every != 0 && framesSent_ % every == 0)
                frame.bytes.back() ^= 0xFF;
            const double earliest = heardMs + settings_.turnaroundMs;
            SendNoise(earliest);
            Send(frame.bytes.data(), frame.bytes.size(), earliest);
        }
        if (model_.ResetCount() != resets && settings_.resetQuietMs > 0) {
            const double busyUntil = settings_.bus ? bus_.FreeMs(BusSide::Handset) : lineFreeMs_;
            deafUntilMs_ = std::max(busyUntil, heardMs) + settings_.resetQuietMs;
        }
    }
}

void HandsetLine::Send(const std::uint8_t* data, std::size_t size, double earliestMs)
{
    const double gap = settings_.pace ? kByteMs : 0.0;
    for (std::size_t i = 0; i < size; ++i) {
        if (settings_.bus) {
            bus_.Place(BusSide::Handset, data[i], earliestMs, true);
            continue;
        }
        // The bus is shared: an answer waits behind echo still on the wire.
        const double at = std::max(earliestMs, lineFreeMs_);
        queue_.push_back({at, data[i]});
        lineFreeMs_ = at + gap;
    }
}

void HandsetLine::SendNoise(double earliestMs)
{
    for (unsigned i = 0; i < settings_.faults.noiseBytes; ++i) {
        std::uint8_t byte;
        do {
            // xorshift; 0x00 and 0xE9 would open a frame, so noise never uses them.
            noiseState_ ^= noiseState_ << 13;
            noiseState_ ^= noiseState_ >> 17;
            noiseState_ ^= noiseState_ << 5;
            byte = static_cast<std::uint8_t>(noiseState_);
        } while (byte == 0x00 || byte == 0xE9);
        Send(&byte, 1, earliestMs);
    }
}

std::vector<std::uint8_t> HandsetLine::DueBy(double tMs)
{
    if (settings_.bus)
        return bus_.DueBy(tMs);
    std::vector<std::uint8_t> due;
    while (!queue_.empty() && queue_.front().atMs <= tMs) {
        due.push_back(queue_.front().byte);
        queue_.pop_front();
    }
    return due;
}

double HandsetLine::NextDueMs() const
{
    if (settings_.bus)
        return bus_.NextDueMs();
    return queue_.empty() ? std::numeric_limits<double>::infinity() : queue_.front().atMs;
}

} // namespace handset
