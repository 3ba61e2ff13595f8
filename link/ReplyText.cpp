#include "link/ReplyText.h"

std::string decodeReplyText(const ReplyFrame& reply, int first, int last)
{
    std::string text;
    for (int i = first; i <= last && i < static_cast<int>(reply.size()); ++i) {
        const std::uint8_t byte = reply[i];
        if (byte == 0x00)
            break;
        text += (byte >= 0x20 || byte == 0x0A) ? static_cast<char>(byte) : '.';
    }
    return text;
}
