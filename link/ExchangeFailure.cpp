#include "link/ExchangeFailure.h"

std::string ExchangeFailure::reasonText() const
{
    switch (reason) {
    case Reason::DamagedReply:
        return damagedFrames == 1 ? "reply damaged once" : "reply damaged " + std::to_string(damagedFrames) + " times";
    case Reason::SilentAfterAcknowledging:
        return "handset silent after acknowledging";
    case Reason::NoAnswer:
        break;
    }
    return "no answer";
}
