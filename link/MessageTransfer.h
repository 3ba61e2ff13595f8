// One complete exchange with the handset as the phonebook and logo transfers
// use it: open the port, send the message until acknowledged, wait for the
// data reply, close the port. The main window's link implements it.
#pragma once

#include <array>
#include <cstdint>

#include "link/ExchangeFailure.h"

class MessageTransfer {
public:
    virtual ~MessageTransfer() = default;
    // Clears replyBuffer, opens the port, runs the exchange (tries T, pause P ms),
    // closes the port. Shows "Invalid port number Com<n>" or the no-answer
    // message itself. longestReplyFrame is the longest whole frame (header to
    // checksum) that can answer this message: an acknowledged request is given
    // at least that frame's line time before the exchange gives up.
    // True when a valid data reply arrived; it is then in replyBuffer().
    virtual bool transfer(const std::uint8_t* message, int n, int tries, int pauseMs, int longestReplyFrame) = 0;
    virtual const std::array<std::uint8_t, 256>& replyBuffer() const = 0;
    // Why the last transfer that returned false failed.
    virtual ExchangeFailure lastFailure() const { return {}; }
};
