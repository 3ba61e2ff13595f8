#include "logo/LogoTransfer.h"

#include <algorithm>

#include "logo/LogoBlocks.h"

static_assert(kLogoWriteRequestSize - messages::kLogoWrite.headLength == kLogoBlockSize);

std::array<std::uint8_t, kLogoReadRequestSize> logoReadRequest(int block)
{
    std::array<std::uint8_t, kLogoReadRequestSize> request{};
    // The band goes in one byte; only its low byte is sent.
    composeMessage(messages::kLogoRead, static_cast<std::uint8_t>(block & 0xFF), nullptr, request.data());
    return request;
}

std::array<std::uint8_t, kLogoWriteRequestSize> logoWriteRequest(const std::uint8_t* data, int block)
{
    std::array<std::uint8_t, kLogoWriteRequestSize> request{};
    composeMessage(messages::kLogoWrite, static_cast<std::uint8_t>(block & 0xFF), data, request.data());
    return request;
}

LinkResult<LogoBlock> readLogoBlock(MessageTransfer& link, int block)
{
    const auto request = logoReadRequest(block);
    const LinkResult<ReplyFrame> reply = link.transfer(request.data(), kLogoReadRequestSize, kLogoTransferTries,
                                                       kLogoTransferPauseMs, kLogoReadReplyFrame);
    if (!reply)
        return reply.failure();
    LogoBlock data{};
    std::copy_n(reply->begin() + reply::kPayloadAt, kLogoBlockSize, data.begin());
    return data;
}

LinkResult<Answered> writeLogoBlock(MessageTransfer& link, int block, const LogoBlock& data)
{
    const auto request = logoWriteRequest(data.data(), block);
    const LinkResult<ReplyFrame> reply = link.transfer(request.data(), kLogoWriteRequestSize, kLogoTransferTries,
                                                       kLogoTransferPauseMs, kLogoWriteReplyFrame);
    if (!reply)
        return reply.failure();
    return Answered{};
}
