// A scripted handset for the virtual line: acknowledges each request frame
// after a turnaround and then sends one data frame as its reply, at the line
// rate. A repeated request (same sequence byte) is acknowledged again but not
// answered twice.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "support/VirtualLine.h"

class VirtualHandset : public FarEnd {
public:
    bool acknowledge = true;
    bool reply = true;
    int turnaroundMs = 20;
    int ignoreFirst = 0; // requests heard but left unanswered, as on a noisy line
    std::uint8_t ackSequenceShift = 0; // added to the sequence byte an acknowledgement carries
    int damageReplies = 0; // this many replies first go out with a spoilt checksum
    std::int64_t replyByteUs = 0; // a slow handset's time from reply byte to reply byte; 0 = the line rate
    // Data bytes of the reply frame for a request's message bytes.
    std::function<std::vector<std::uint8_t>(const std::vector<std::uint8_t>& message)> replyData =
        [](const std::vector<std::uint8_t>&) { return std::vector<std::uint8_t>{0x01}; };

    void OnWrite(VirtualLine& line, const std::vector<std::uint8_t>& bytes, std::int64_t atUs) override;

    // E9 00 N type data sequence checksum.
    static std::vector<std::uint8_t> DataFrame(const std::vector<std::uint8_t>& data, std::uint8_t sequence,
                                               std::uint8_t type = 0x00);
    // E9 00 7F sequence checksum.
    static std::vector<std::uint8_t> Ack(std::uint8_t sequence);

    int RequestsHeard() const { return requestsHeard_; }
    int RepliesSent() const { return repliesSent_; }
    const std::vector<std::vector<std::uint8_t>>& RequestMessages() const { return requestMessages_; }

private:
    int requestsHeard_ = 0;
    int repliesSent_ = 0;
    bool haveLastSequence_ = false;
    std::uint8_t lastSequence_ = 0;
    std::uint8_t ownSequence_ = 0x40;
    std::vector<std::vector<std::uint8_t>> requestMessages_;
};
