// Reading and writing one 84-byte block of the startup logo over the shared
// message exchange.
#pragma once

#include <optional>

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
// Data byte k of the reply stands at replyBuffer position 4 + k; the block is data bytes 14..97.
constexpr int kLogoReplyBlockOffset = 4 + 14;

std::array<std::uint8_t, kLogoReadRequestSize> logoReadRequest(int block);
std::array<std::uint8_t, kLogoWriteRequestSize> logoWriteRequest(const std::uint8_t* data, int block);

// The block's 84 bytes, or nothing when the handset did not answer.
std::optional<LogoBlock> readLogoBlock(MessageTransfer& link, int block);
// True when the handset answered with any data frame.
bool writeLogoBlock(MessageTransfer& link, int block, const LogoBlock& data);
