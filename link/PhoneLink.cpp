#include "link/PhoneLink.h"

#include <exception>
#include <string>

PhoneLink::PhoneLink(LinkPort& port, LinkClock& clock, LinkEvents* events, std::uint8_t firstSequence)
    : port_(port)
    , exchange_(port, clock, events, firstSequence)
{ }

std::optional<LinkFailure> PhoneLink::openPort()
{
    try {
        port_.open();
        return std::nullopt;
    } catch (const std::exception& error) {
        return LinkFailure::portUnavailable(port_.portNumber(), port_.devicePath(), error.what());
    }
}

void PhoneLink::closePort()
{
    if (port_.isOpen())
        port_.close();
}

LinkResult<ReplyFrame> PhoneLink::transfer(const std::uint8_t* message, int n, int tries, int pauseMs,
                                           int longestReplyFrame)
{
    if (std::optional<LinkFailure> failure = openPort())
        return *failure;
    std::optional<LinkResult<ReplyFrame>> result;
    try {
        result.emplace(exchange_.run({message, n, tries, pauseMs, true, longestReplyFrame}));
    } catch (const std::exception&) {
        closePort(); // a port error ends the transfer; whoever runs it reports the error
        throw;
    }
    if (*result)
        exchange_.lightsOff();
    closePort();
    return std::move(*result);
}
