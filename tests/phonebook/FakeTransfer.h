// A MessageTransfer that records what it was asked to send and answers with a
// scripted reply frame.
#pragma once

#include "link/MessageTransfer.h"

#include <vector>

struct TransferCall {
    std::vector<std::uint8_t> Message;
    int Tries = 0;
    int PauseMs = 0;
    int LongestReply = 0;
};

class FakeTransfer : public MessageTransfer {
public:
    LinkResult<ReplyFrame> transfer(const std::uint8_t* message, int n, int tries, int pauseMs,
                                    int longestReplyFrame) override
    {
        Calls.push_back({std::vector<std::uint8_t>(message, message + n), tries, pauseMs, longestReplyFrame});
        if (!Answers)
            return LinkFailure::noAnswer({});
        return Reply;
    }

    // Puts data byte k of the reply frame.
    void SetData(int k, std::uint8_t value) { Reply[4 + k] = value; }

    bool Answers = true;
    ReplyFrame Reply{};
    std::vector<TransferCall> Calls;
};
