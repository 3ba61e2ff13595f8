#include "link/ServiceCommands.h"

#include <exception>

#include "link/ReplyText.h"

ServiceCommands::ServiceCommands(PhoneLink& link)
    : link_(link)
{ }

CommandResult ServiceCommands::run(const std::function<std::optional<LinkFailure>(HandsetReadings&)>& exchanges)
{
    CommandResult result;
    if ((result.failure = link_.openPort()))
        return result;
    try {
        result.failure = exchanges(result.readings);
    } catch (const std::exception&) {
        // A port error ends the command; leave the port free.
        link_.closePort();
        throw;
    }
    // A command that failed leaves the lights as the handset last set them.
    if (!result.failure)
        link_.lightsOff();
    link_.closePort();
    return result;
}

LinkResult<ReplyFrame> ServiceCommands::exchange(const LinkMessage& message, int tries, int pauseMs,
                                                 bool zeroReplyBuffer)
{
    return link_.exchange(
        {message.head.data(), message.length, tries, pauseMs, zeroReplyBuffer, message.longestReplyFrame});
}

std::optional<LinkFailure> ServiceCommands::readNetMonitor(HandsetReadings& readings, bool zeroReplyBuffer)
{
    const LinkResult<ReplyFrame> reply = exchange(messages::kNetMonitorRead, 3, 100, zeroReplyBuffer);
    if (!reply)
        return reply.failure();
    readings.netMonitorOn = (*reply)[reply::kNetMonitorStateAt] != 0;
    return std::nullopt;
}

CommandResult ServiceCommands::connectToPhone()
{
    return run([this](HandsetReadings& readings) -> std::optional<LinkFailure> {
        const LinkResult<ReplyFrame> version = exchange(messages::kVersionQuery, 3, 100);
        if (!version)
            return version.failure();
        readings.versionText = decodeReplyText(*version, reply::kVersionTextFirst, reply::kVersionTextLast);
        const LinkResult<ReplyFrame> serial = exchange(messages::kSerialNumberRead, 3, 100);
        if (!serial)
            return serial.failure();
        readings.serialNumber = decodeReplyText(*serial, reply::kSerialNumberFirst, reply::kSerialNumberLast);
        // Zeroed first, so a short reply reads as "off" rather than an older frame's byte.
        return readNetMonitor(readings, true);
    });
}

CommandResult ServiceCommands::switchNetMonitorOn()
{
    return run([this](HandsetReadings& readings) -> std::optional<LinkFailure> {
        if (const LinkResult<ReplyFrame> done = exchange(messages::kNetMonitorOn, 10, 10); !done)
            return done.failure();
        return readNetMonitor(readings, false);
    });
}

CommandResult ServiceCommands::switchNetMonitorOff()
{
    return run([this](HandsetReadings& readings) -> std::optional<LinkFailure> {
        if (const LinkResult<ReplyFrame> done = exchange(messages::kNetMonitorOff, 10, 10); !done)
            return done.failure();
        return readNetMonitor(readings, false);
    });
}

CommandResult ServiceCommands::readSerialNumber()
{
    return run([this](HandsetReadings& readings) -> std::optional<LinkFailure> {
        const LinkResult<ReplyFrame> serial = exchange(messages::kSerialNumberRead, 3, 100);
        if (!serial)
            return serial.failure();
        readings.serialNumber = decodeReplyText(*serial, reply::kSerialNumberFirst, reply::kSerialNumberLast);
        return std::nullopt;
    });
}

CommandResult ServiceCommands::resetHandset()
{
    return run([this](HandsetReadings&) -> std::optional<LinkFailure> {
        if (const LinkResult<ReplyFrame> done = exchange(messages::kSoftwareReset, 3, 100); !done)
            return done.failure();
        return std::nullopt;
    });
}
