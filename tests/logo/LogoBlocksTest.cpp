#include <gtest/gtest.h>

#include <random>

#include "logo/LogoBlocks.h"

namespace {

int SetDotCount(const LogoBlocks& blocks)
{
    int count = 0;
    for (int y = 0; y < LogoHeight; ++y)
        for (int x = 0; x < LogoWidth; ++x)
            count += LogoDotIsSet(blocks, x, y) ? 1 : 0;
    return count;
}

TEST(LogoBlocks, CornerBytesLandOnTheirDots)
{
    LogoBlocks blocks{};
    blocks[0][0] = 0x01;
    EXPECT_TRUE(LogoDotIsSet(blocks, 0, 0));
    EXPECT_EQ(SetDotCount(blocks), 1);

    blocks[0][0] = 0x80;
    EXPECT_TRUE(LogoDotIsSet(blocks, 0, 7));
    EXPECT_EQ(SetDotCount(blocks), 1);

    blocks[0][0] = 0;
    blocks[5][83] = 0xFF;
    const LogoDots dots = LogoDotsFromBlocks(blocks);
    for (int i = 0; i < LogoCellCount; ++i) {
        const bool inStrip = i % LogoWidth == 83 && i / LogoWidth >= 40;
        EXPECT_EQ(dots[i], inStrip) << "cell " << i;
    }
    EXPECT_TRUE(dots[4031]);
}

TEST(LogoBlocks, BlocksAndDotsRoundTrip)
{
    std::mt19937 random(1234);
    LogoBlocks blocks{};
    for (auto& block : blocks)
        for (auto& byte : block)
            byte = static_cast<std::uint8_t>(random());
    EXPECT_EQ(LogoBlocksFromDots(LogoDotsFromBlocks(blocks)), blocks);

    LogoDots dots{};
    for (auto&& dot : dots)
        dot = random() % 3 == 0;
    const LogoBlocks packed = LogoBlocksFromDots(dots);
    EXPECT_EQ(LogoDotsFromBlocks(packed), dots);
    for (int y = 0; y < LogoHeight; ++y)
        for (int x = 0; x < LogoWidth; ++x)
            ASSERT_EQ(LogoDotIsSet(packed, x, y), dots[LogoCellIndex(x, y)]) << x << "," << y;
}

TEST(LogoBlocks, OneBlockFillsOnlyItsBand)
{
    LogoBlock block{};
    block.fill(0xFF);
    LogoDots dots{};
    LogoBlockToDots(block, 3, dots);
    for (int i = 0; i < LogoCellCount; ++i)
        EXPECT_EQ(dots[i], i / LogoWidth >= 24 && i / LogoWidth < 32) << "cell " << i;
    EXPECT_EQ(LogoBlockFromDots(dots, 3), block);
    EXPECT_EQ(LogoBlockFromDots(dots, 2), LogoBlock{});
}

} // namespace
