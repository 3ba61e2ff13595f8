#include <gtest/gtest.h>

#include <QImage>

#include "widgets/LedBar.h"

namespace {

TEST(LedBar, LogoStepBarLightsAsManyLedsAsThePosition)
{
    LedBar bar;
    bar.setMinimum(-1);
    bar.setMaximum(6);
    bar.setHighLedCount(1);
    ASSERT_EQ(bar.ledCount(), 6);
    // Percentages 14 28 42 57 71 85 100 for positions 0..6.
    const int lit[] = {0, 1, 2, 3, 4, 5, 6};
    for (int position = 0; position <= 6; ++position) {
        bar.setValue(position);
        EXPECT_EQ(bar.litCount(), lit[position]) << "position " << position;
    }
    bar.setValue(-1);
    EXPECT_EQ(bar.litCount(), 0);
    bar.setValue(99); // clamped to the maximum
    EXPECT_EQ(bar.litCount(), 6);
    bar.setValue(-50); // clamped to the minimum
    EXPECT_EQ(bar.litCount(), 0);
}

TEST(LedBar, LitCountTruncatesBothSteps)
{
    // Default bar: 7 LEDs over 0..100. 14 % of 7 is 0.98 -> 0; 15 % is 1.05 -> 1.
    EXPECT_EQ(litLedCount(14, 0, 100, 7), 0);
    EXPECT_EQ(litLedCount(15, 0, 100, 7), 1);
    EXPECT_EQ(litLedCount(100, 0, 100, 7), 7);
    // 1/3 of the range is 33 %, and 33 % of 3 LEDs is 0.99 -> 0.
    EXPECT_EQ(litLedCount(1, 0, 3, 3), 0);
    EXPECT_EQ(litLedCount(5, 5, 5, 6), 0);
}

TEST(LedBar, MinAndMaxAreAcceptedOnlyInOrder)
{
    LedBar bar;
    int changes = 0;
    QObject::connect(&bar, &LedBar::changed, [&] { ++changes; });
    bar.setMinimum(100);
    EXPECT_EQ(bar.minimum(), 0);
    bar.setMaximum(-3);
    EXPECT_EQ(bar.maximum(), 100);
    bar.setMinimum(99);
    EXPECT_EQ(bar.minimum(), 99);
    bar.setMaximum(99);
    EXPECT_EQ(bar.maximum(), 100);
    EXPECT_EQ(changes, 1); // only the accepted Min
}

TEST(LedBar, PalettesFollowTheLedGroupsAndTheRowIsCentred)
{
    LedBar bar;
    bar.setMinimum(-1);
    bar.setMaximum(6);
    bar.setHighLedCount(1);
    bar.resize(251, 9);
    EXPECT_EQ(bar.ledPalette(3).lit, QColor(0x00, 0xFF, 0x00));
    EXPECT_EQ(bar.ledPalette(4).lit, QColor(0xFF, 0xFF, 0x00));
    EXPECT_EQ(bar.ledPalette(5).unlit, QColor(0x80, 0x80, 0x00));
    EXPECT_EQ(bar.ledPalette(6).lit, QColor(0xFF, 0x00, 0x00));
    // (251 - 2 * 5) div 6 = 40; one pixel over, left part rounded down.
    EXPECT_EQ(bar.ledRect(1), QRect(0, 0, 40, 9));
    EXPECT_EQ(bar.ledRect(6), QRect(210, 0, 40, 9));

    bar.setValue(3);
    const QImage image = bar.grab().toImage();
    const auto centre = [&](int i) { return QColor(image.pixel(bar.ledRect(i).center())); };
    EXPECT_EQ(centre(3), QColor(0x00, 0xFF, 0x00));
    EXPECT_EQ(centre(4), QColor(0x80, 0x80, 0x00));
    EXPECT_EQ(centre(6), QColor(0x80, 0x00, 0x00));
}

} // namespace
