// Reading and writing one 84-byte block of the startup logo over the shared
// message exchange.
#pragma once

#include "link/Messages.h"
#include "logo/LogoBlocks.h"

#include <array>
#include <cstdint>

#include "link/MessageTransfer.h"

constexpr int kLogoTransferTries = 10;
constexpr int kLogoTransferPauseMs = 100;
constexpr int kLogoReadRequestSize = messages::kLogoRead.length;
constexpr int kLogoWriteRequestSize = messages::kLogoWrite.length;
// Whole frames that answer the requests: the read reply carries 98 data bytes
// behind a 4-byte header and before sequence and checksum; the write reply is short.
constexpr int kLogoReadReplyFrame = messages::kLogoRead.longestReplyFrame;
constexpr int kLogoWriteReplyFrame = messages::kLogoWrite.longestReplyFrame;

std::array<std::uint8_t, kLogoReadRequestSize> logoReadRequest(int block);
std::array<std::uint8_t, kLogoWriteRequestSize> logoWriteRequest(const std::uint8_t* data, int block);

// The block's 84 bytes, or why the handset did not give them.
LinkResult<LogoBlock> readLogoBlock(MessageTransfer& link, int block);
// Answered when the handset answered with any data frame.
LinkResult<Answered> writeLogoBlock(MessageTransfer& link, int block, const LogoBlock& data);
