// The handset's startup logo as six 84-byte blocks, and how its dots map onto
// the editor's row-major cells.
#pragma once

#include <array>
#include <cstdint>

constexpr int kLogoWidth = 84;
constexpr int kLogoHeight = 48;
constexpr int kLogoBlockCount = 6;
constexpr int kLogoBlockSize = 84;
constexpr int kLogoCellCount = kLogoWidth * kLogoHeight; // 4032

using LogoBlock = std::array<std::uint8_t, kLogoBlockSize>;
using LogoBlocks = std::array<LogoBlock, kLogoBlockCount>;
// One flag per dot, index y * 84 + x; true is a set (black) dot.
using LogoDots = std::array<bool, kLogoCellCount>;

constexpr int logoCellIndex(int x, int y)
{
    return y * kLogoWidth + x;
}

// Dot (x, y) is bit y mod 8 of byte x of block y div 8; the low bit is the top row of the band.
constexpr bool logoDotIsSet(const LogoBlocks& blocks, int x, int y)
{
    return (blocks[y / 8][x] >> (y % 8) & 1) != 0;
}

// The band of rows 8b..8b+7 from one block, into dots.
void logoBlockToDots(const LogoBlock& block, int b, LogoDots& dots);
// Block b built from the dots of its band.
LogoBlock logoBlockFromDots(const LogoDots& dots, int b);

LogoDots logoDotsFromBlocks(const LogoBlocks& blocks);
LogoBlocks logoBlocksFromDots(const LogoDots& dots);
