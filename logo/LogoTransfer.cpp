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

void GetBitmap(MessageTransfer& link, std::uint8_t* Data, int& Block, bool& Ok)
{
    const auto request = LogoReadRequest(Block);
    Ok = link.Transfer(request.data(), LogoReadRequestSize, LogoTransferTries, LogoTransferPauseMs,
                       LogoReadReplyFrame);
    if (!Ok)
        return;
    const auto& reply = link.ReplyBuffer();
    std::copy(reply.begin() + LogoReplyBlockOffset, reply.begin() + LogoReplyBlockOffset + LogoBlockSize, Data);
}

void PutBitmap(MessageTransfer& link, std::uint8_t* Data, int& Block, bool& Ok)
{
    const auto request = LogoWriteRequest(Data, Block);
    Ok = link.Transfer(request.data(), LogoWriteRequestSize, LogoTransferTries, LogoTransferPauseMs,
                       LogoWriteReplyFrame);
}
