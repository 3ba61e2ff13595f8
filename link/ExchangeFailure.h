// Why an exchange with the handset ended without its reply, for a message
// that says where a transfer stopped.
#pragma once

#include <string>

struct ExchangeFailure {
    enum class Reason {
        NoAnswer, // nothing of the handset's came back at all
        DamagedReply, // frames came, but none of them whole and valid
        SilentAfterAcknowledging, // the request was acknowledged, the reply never came
    };
    Reason reason = Reason::NoAnswer;
    int damagedFrames = 0; // the handset's frames thrown away: bad checksum or cut off
    int acknowledgedSends = 0; // sends the handset acknowledged without replying
    std::string request; // the request in words ("phonebook read of location 57")

    // "no answer", "reply damaged 3 times", "handset silent after acknowledging"
    std::string reasonText() const;
};
