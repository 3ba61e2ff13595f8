// The handset on one serial port: the exchange, with the port opened for
// each request or command and closed again after it.
#pragma once

#include <cstdint>
#include <optional>

#include "link/Exchange.h"
#include "link/MessageTransfer.h"

class PhoneLink : public MessageTransfer {
public:
    PhoneLink(LinkPort& port, LinkClock& clock, LinkEvents* events = nullptr, std::uint8_t firstSequence = 0);

    // Nothing when the port is open now; otherwise why it could not be opened.
    std::optional<LinkFailure> openPort();
    void closePort();
    // One exchange on the open port.
    LinkResult<ReplyFrame> exchange(const ExchangePlan& plan) { return exchange_.run(plan); }
    void lightsOff() { exchange_.lightsOff(); }

    // Opens the port, runs the exchange, darkens the lights when it was
    // answered and closes the port. A port error closes the port and is
    // passed on.
    LinkResult<ReplyFrame> transfer(const std::uint8_t* message, int n, int tries, int pauseMs,
                                    int longestReplyFrame) override;

    std::uint8_t sequence() const { return exchange_.sequence(); }
    // The frame log; null for none. Not owned.
    void setObserver(LinkObserver* observer) { exchange_.setObserver(observer); }

private:
    LinkPort& port_;
    Exchange exchange_;
};

inline constexpr const char* kNoAnswerMessage = "No answer from phone!  Please, check cable connection!";
