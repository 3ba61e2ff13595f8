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

namespace {

bool matches(const LinkMessage& known, const std::uint8_t* message, int length)
{
    if (length != known.length)
        return false;
    for (int i = 0; i < known.headLength; ++i) {
        if (i != known.indexAt && message[i] != known.head[static_cast<std::size_t>(i)])
            return false;
    }
    return true;
}

} // namespace

std::string describeMessage(const std::uint8_t* message, int length)
{
    struct Named {
        const LinkMessage& message;
        const char* before; // text before the index, or the whole name
        const char* after;
    };
    static const Named kNames[] = {
        {messages::kVersionQuery, "version query", ""},
        {messages::kSerialNumberRead, "serial number read", ""},
        {messages::kNetMonitorRead, "net monitor read", ""},
        {messages::kNetMonitorOn, "net monitor on", ""},
        {messages::kNetMonitorOff, "net monitor off", ""},
        {messages::kSoftwareReset, "software reset", ""},
        {messages::kPhonebookRead, "phonebook read of location ", ""},
        {messages::kPhonebookWrite, "phonebook write of location ", ""},
        {messages::kLogoRead, "logo block ", " read"},
        {messages::kLogoWrite, "logo block ", " write"},
    };
    if (!message || length <= 0)
        return "unknown request";
    for (const Named& named : kNames) {
        if (!matches(named.message, message, length))
            continue;
        if (named.message.indexAt < 0)
            return named.before;
        return named.before + std::to_string(message[named.message.indexAt]) + named.after;
    }
    return "unknown request";
}
