// One complete request to the handset as the phonebook and logo transfers
// use it: open the port, send the message until acknowledged, wait for the
// data reply, close the port. The link implements it.
#pragma once

#include <cstdint>

#include "link/LinkFailure.h"
#include "link/ReplyLayout.h"

class MessageTransfer {
public:
    virtual ~MessageTransfer() = default;
    // Runs the exchange (tries T, pause P ms) with the port opened for it.
    // longestReplyFrame is the longest whole frame (header to checksum) that
    // can answer this message: an acknowledged request is given at least
    // that frame's line time before the exchange gives up. The reply frame
    // starts from zeros, so bytes past its end read as 0.
    virtual LinkResult<ReplyFrame> transfer(const std::uint8_t* message, int n, int tries, int pauseMs,
                                            int longestReplyFrame) = 0;
};
