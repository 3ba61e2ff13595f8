#include "link/Messages.h"

#include <algorithm>

int composeMessage(const LinkMessage& message, std::uint8_t index, const std::uint8_t* tail, std::uint8_t* out)
{
    std::copy_n(message.head.begin(), message.headLength, out);
    if (message.indexAt >= 0)
        out[message.indexAt] = index;
    const int tailLength = message.length - message.headLength;
    if (tailLength > 0)
        std::copy_n(tail, tailLength, out + message.headLength);
    return message.length;
}
