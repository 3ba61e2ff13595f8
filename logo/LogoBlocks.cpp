#include "logo/LogoBlocks.h"

void LogoBlockToDots(const LogoBlock& block, int b, LogoDots& dots)
{
    for (int x = 0; x < LogoWidth; ++x)
        for (int k = 0; k < 8; ++k)
            dots[LogoCellIndex(x, 8 * b + k)] = (block[x] >> k & 1) != 0;
}

LogoBlock LogoBlockFromDots(const LogoDots& dots, int b)
{
    LogoBlock block{};
    for (int x = 0; x < LogoWidth; ++x) {
        unsigned byte = 0;
        for (int k = 0; k < 8; ++k)
            if (dots[LogoCellIndex(x, 8 * b + k)])
                byte |= 1u << k;
        block[x] = static_cast<std::uint8_t>(byte);
    }
    return block;
}

LogoDots LogoDotsFromBlocks(const LogoBlocks& blocks)
{
    LogoDots dots{};
    for (int b = 0; b < LogoBlockCount; ++b)
        LogoBlockToDots(blocks[b], b, dots);
    return dots;
}

LogoBlocks LogoBlocksFromDots(const LogoDots& dots)
{
    LogoBlocks blocks{};
    for (int b = 0; b < LogoBlockCount; ++b)
        blocks[b] = LogoBlockFromDots(dots, b);
    return blocks;
}
