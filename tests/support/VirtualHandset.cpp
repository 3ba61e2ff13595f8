#include "support/VirtualHandset.h"

namespace {
std::uint8_t Xor(const std::vector<std::uint8_t>& bytes)
{
    std::uint8_t sum = 0;
    for (std::uint8_t b : bytes)
        sum ^= b;
    return sum;
}
} // namespace

std::vector<std::uint8_t> VirtualHandset::DataFrame(const std::vector<std::uint8_t>& data, std::uint8_t sequence,
                                                    std::uint8_t type)
{
    std::vector<std::uint8_t> frame;
    frame.reserve(data.size() + 6);
    for (std::uint8_t b : {std::uint8_t{0xE9}, std::uint8_t{0x00}, static_cast<std::uint8_t>(data.size()), type})
        frame.push_back(b);
    for (std::uint8_t b : data)
        frame.push_back(b);
    frame.push_back(sequence);
    frame.push_back(Xor(frame));
    return frame;
}

std::vector<std::uint8_t> VirtualHandset::Ack(std::uint8_t sequence)
{
    std::vector<std::uint8_t> frame{0xE9, 0x00, 0x7F, sequence};
    frame.push_back(Xor(frame));
    return frame;
}

void VirtualHandset::OnWrite(VirtualLine& line, const std::vector<std::uint8_t>& bytes, std::int64_t atUs)
{
    if (bytes.size() < 6 || bytes[0] != 0x00 || bytes[1] != 0xE9 || bytes[2] == 0x7F)
        return; // the program's acknowledgements need no answer
    const std::size_t n = bytes[2];
    if (bytes.size() != n + 6)
        return;
    ++requestsHeard_;
    std::vector<std::uint8_t> message(bytes.begin() + 4, bytes.begin() + 4 + static_cast<std::ptrdiff_t>(n));
    requestMessages_.push_back(message);
    if (requestsHeard_ <= ignoreFirst)
        return;
    const std::uint8_t sequence = bytes[4 + n];
    const bool repeated = haveLastSequence_ && sequence == lastSequence_;
    haveLastSequence_ = true;
    lastSequence_ = sequence;

    const std::int64_t turnaroundUs = static_cast<std::int64_t>(turnaroundMs) * 1000;
    std::int64_t t = atUs + static_cast<std::int64_t>(bytes.size()) * VirtualLine::kByteUs + turnaroundUs;
    if (acknowledge)
        t = line.Transmit(t, Ack(static_cast<std::uint8_t>(sequence + ackSequenceShift))) + turnaroundUs;
    if (reply && !repeated) {
        std::vector<std::uint8_t> frame = DataFrame(replyData(message), ownSequence_++);
        if (repliesSent_ < damageReplies)
            frame.back() ^= 0xFF;
        ++repliesSent_;
        if (replyByteUs <= 0) {
            line.Transmit(t, frame);
            return;
        }
        for (std::uint8_t byte : frame) {
            t += replyByteUs;
            line.ScheduleAt(t, {byte});
        }
    }
}
