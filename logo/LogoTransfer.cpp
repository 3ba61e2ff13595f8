#include "logo/LogoTransfer.h"

#include <algorithm>

#include "logo/LogoBlocks.h"

static_assert(LogoWriteRequestSize - messages::kLogoWrite.headLength == LogoBlockSize);

std::array<std::uint8_t, LogoReadRequestSize> LogoReadRequest(int block)
{
    std::array<std::uint8_t, LogoReadRequestSize> request{};
    // The band goes in one byte; only its low byte is sent.
    composeMessage(messages::kLogoRead, static_cast<std::uint8_t>(block & 0xFF), nullptr, request.data());
    return request;
}

std::array<std::uint8_t, LogoWriteRequestSize> LogoWriteRequest(const std::uint8_t* data, int block)
{
    std::array<std::uint8_t, LogoWriteRequestSize> request{};
    composeMessage(messages::kLogoWrite, static_cast<std::uint8_t>(block & 0xFF), data, request.data());
    return request;
}

std::optional<LogoBlock> readLogoBlock(MessageTransfer& link, int block)
{
    const auto request = LogoReadRequest(block);
    if (!link.transfer(request.data(), LogoReadRequestSize, LogoTransferTries, LogoTransferPauseMs, LogoReadReplyFrame))
        return std::nullopt;
    const auto& reply = link.replyBuffer();
    LogoBlock data{};
    std::copy(reply.begin() + LogoReplyBlockOffset, reply.begin() + LogoReplyBlockOffset + LogoBlockSize, data.begin());
    return data;
}

bool writeLogoBlock(MessageTransfer& link, int block, const LogoBlock& data)
{
    const auto request = LogoWriteRequest(data.data(), block);
    return link.transfer(request.data(), LogoWriteRequestSize, LogoTransferTries, LogoTransferPauseMs,
                         LogoWriteReplyFrame);
}
