#include "logo/LogoBlocks.h"

void logoBlockToDots(const LogoBlock& block, int b, LogoDots& dots)
{
    for (int x = 0; x < kLogoWidth; ++x)
        for (int k = 0; k < 8; ++k)
            dots[logoCellIndex(x, 8 * b + k)] = (block[x] >> k & 1) != 0;
}

LogoBlock logoBlockFromDots(const LogoDots& dots, int b)
{
    LogoBlock block{};
    for (int x = 0; x < kLogoWidth; ++x) {
        unsigned byte = 0;
        for (int k = 0; k < 8; ++k)
            if (dots[logoCellIndex(x, 8 * b + k)])
                byte |= 1u << k;
        block[x] = static_cast<std::uint8_t>(byte);
    }
    return block;
}

LogoDots logoDotsFromBlocks(const LogoBlocks& blocks)
{
    LogoDots dots{};
    for (int b = 0; b < kLogoBlockCount; ++b)
        logoBlockToDots(blocks[b], b, dots);
    return dots;
}

LogoBlocks logoBlocksFromDots(const LogoDots& dots)
{
    LogoBlocks blocks{};
    for (int b = 0; b < kLogoBlockCount; ++b)
        blocks[b] = logoBlockFromDots(dots, b);
    return blocks;
}
