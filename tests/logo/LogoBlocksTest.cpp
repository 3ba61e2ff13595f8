#include <gtest/gtest.h>

#include <random>

#include "logo/LogoBlocks.h"

namespace {

int SetDotCount(const LogoBlocks& blocks)
{
    int count = 0;
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x)
            count += logoDotIsSet(blocks, x, y) ? 1 : 0;
    return count;
}

TEST(LogoBlocks, CornerBytesLandOnTheirDots)
{
    LogoBlocks blocks{};
    blocks[0][0] = 0x01;
    EXPECT_TRUE(logoDotIsSet(blocks, 0, 0));
    EXPECT_EQ(SetDotCount(blocks), 1);

    blocks[0][0] = 0x80;
    EXPECT_TRUE(logoDotIsSet(blocks, 0, 7));
    EXPECT_EQ(SetDotCount(blocks), 1);

    blocks[0][0] = 0;
    blocks[5][83] = 0xFF;
    const LogoDots dots = logoDotsFromBlocks(blocks);
    for (int i = 0; i < kLogoCellCount; ++i) {
        const bool inStrip = i % kLogoWidth == 83 && i / kLogoWidth >= 40;
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
    EXPECT_EQ(logoBlocksFromDots(logoDotsFromBlocks(blocks)), blocks);

    LogoDots dots{};
    for (auto&& dot : dots)
        dot = random() % 3 == 0;
    const LogoBlocks packed = logoBlocksFromDots(dots);
    EXPECT_EQ(logoDotsFromBlocks(packed), dots);
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x)
            ASSERT_EQ(logoDotIsSet(packed, x, y), dots[logoCellIndex(x, y)]) << x << "," << y;
}

TEST(LogoBlocks, OneBlockFillsOnlyItsBand)
{
    LogoBlock block{};
    block.fill(0xFF);
    LogoDots dots{};
    logoBlockToDots(block, 3, dots);
    for (int i = 0; i < kLogoCellCount; ++i)
        EXPECT_EQ(dots[i], i / kLogoWidth >= 24 && i / kLogoWidth < 32) << "cell " << i;
    EXPECT_EQ(logoBlockFromDots(dots, 3), block);
    EXPECT_EQ(logoBlockFromDots(dots, 2), LogoBlock{});
}

} // namespace
