#include "logo/LogoTransfer.h"

#include <algorithm>

#include "logo/LogoBlocks.h"

namespace {

// Read and write share the phonebook's message shape; 0x3A selects the logo memory.
constexpr std::array<std::uint8_t, 12> LogoRequestHead{0x00, 0x00, 0x03, 0x00, 0x07, 0x3A,
                                                       0x7F, 0xF0, 0x00, 0x00, 0x00, 0x00};

} // namespace

std::array<std::uint8_t, LogoReadRequestSize> LogoReadRequest(int Block)
{
    std::array<std::uint8_t, LogoReadRequestSize> request{};
    std::copy(LogoRequestHead.begin(), LogoRequestHead.end(), request.begin());
    request[0] = 0x0F;
    request[1] = 0x60;
    request[9] = static_cast<std::uint8_t>(Block & 0xFF);
    return request;
}

std::array<std::uint8_t, LogoWriteRequestSize> LogoWriteRequest(const std::uint8_t* Data, int Block)
{
    std::array<std::uint8_t, LogoWriteRequestSize> request{};
    std::copy(LogoRequestHead.begin(), LogoRequestHead.end(), request.begin());
    request[0] = 0x10;
    request[1] = 0x08;
    request[9] = static_cast<std::uint8_t>(Block & 0xFF);
    request[13] = LogoBlockSize;
    std::copy(Data, Data + LogoBlockSize, request.begin() + 14);
    return request;
}

std::optional<LogoBlock> readLogoBlock(MessageTransfer& link, int block)
{
    const auto request = LogoReadRequest(block);
    if (!link.Transfer(request.data(), LogoReadRequestSize, LogoTransferTries, LogoTransferPauseMs,
                       LogoReadReplyFrame))
        return std::nullopt;
    const auto& reply = link.ReplyBuffer();
    LogoBlock data{};
    std::copy(reply.begin() + LogoReplyBlockOffset, reply.begin() + LogoReplyBlockOffset + LogoBlockSize,
              data.begin());
    return data;
}

bool writeLogoBlock(MessageTransfer& link, int block, const LogoBlock& data)
{
    const auto request = LogoWriteRequest(data.data(), block);
    return link.Transfer(request.data(), LogoWriteRequestSize, LogoTransferTries, LogoTransferPauseMs,
                         LogoWriteReplyFrame);
}
