// The handset's startup logo as six 84-byte blocks, and how its dots map onto
// the editor's row-major cells.
#pragma once

#include <array>
#include <cstdint>

constexpr int LogoWidth = 84;
constexpr int LogoHeight = 48;
constexpr int LogoBlockCount = 6;
constexpr int LogoBlockSize = 84;
constexpr int LogoCellCount = LogoWidth * LogoHeight; // 4032

using LogoBlock = std::array<std::uint8_t, LogoBlockSize>;
using LogoBlocks = std::array<LogoBlock, LogoBlockCount>;
// One flag per dot, index y * 84 + x; true is a set (black) dot.
using LogoDots = std::array<bool, LogoCellCount>;

constexpr int LogoCellIndex(int x, int y)
{
    return y * LogoWidth + x;
}

// Dot (x, y) is bit y mod 8 of byte x of block y div 8; the low bit is the top row of the band.
constexpr bool LogoDotIsSet(const LogoBlocks& blocks, int x, int y)
{
    return (blocks[y / 8][x] >> (y % 8) & 1) != 0;
}

// The band of rows 8b..8b+7 from one block, into dots.
void LogoBlockToDots(const LogoBlock& block, int b, LogoDots& dots);
// Block b built from the dots of its band.
LogoBlock LogoBlockFromDots(const LogoDots& dots, int b);

LogoDots LogoDotsFromBlocks(const LogoBlocks& blocks);
LogoBlocks LogoBlocksFromDots(const LogoDots& dots);
