#include <gtest/gtest.h>

#include <QImage>

#include "widgets/LedBar.h"

namespace {

TEST(LedBar, LogoStepBarLightsAsManyLedsAsThePosition)
{
    LedBar bar;
    bar.SetMin(-1);
    bar.SetMax(6);
    bar.SetLedsHigh(1);
    ASSERT_EQ(bar.LedCount(), 6);
    // Percentages 14 28 42 57 71 85 100 for positions 0..6.
    const int lit[] = {0, 1, 2, 3, 4, 5, 6};
    for (int position = 0; position <= 6; ++position) {
        bar.SetPosition(position);
        EXPECT_EQ(bar.LitCount(), lit[position]) << "position " << position;
    }
    bar.SetPosition(-1);
    EXPECT_EQ(bar.LitCount(), 0);
    bar.SetPosition(99); // clamped to Max
    EXPECT_EQ(bar.LitCount(), 6);
    bar.SetPosition(-50); // clamped to Min
    EXPECT_EQ(bar.LitCount(), 0);
}

TEST(LedBar, LitCountTruncatesBothSteps)
{
    // Default bar: 7 LEDs over 0..100. 14 % of 7 is 0.98 -> 0; 15 % is 1.05 -> 1.
    EXPECT_EQ(VrIndicatorLitCount(14, 0, 100, 7), 0);
    EXPECT_EQ(VrIndicatorLitCount(15, 0, 100, 7), 1);
    EXPECT_EQ(VrIndicatorLitCount(100, 0, 100, 7), 7);
    // 1/3 of the range is 33 %, and 33 % of 3 LEDs is 0.99 -> 0.
    EXPECT_EQ(VrIndicatorLitCount(1, 0, 3, 3), 0);
    EXPECT_EQ(VrIndicatorLitCount(5, 5, 5, 6), 0);
}

TEST(LedBar, MinAndMaxAreAcceptedOnlyInOrder)
{
    LedBar bar;
    int changes = 0;
    QObject::connect(&bar, &LedBar::OnChange, [&] { ++changes; });
    bar.SetMin(100);
    EXPECT_EQ(bar.Min(), 0);
    bar.SetMax(-3);
    EXPECT_EQ(bar.Max(), 100);
    bar.SetMin(99);
    EXPECT_EQ(bar.Min(), 99);
    bar.SetMax(99);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(changes, 1); // only the accepted Min
}

TEST(LedBar, PalettesFollowTheLedGroupsAndTheRowIsCentred)
{
    LedBar bar;
    bar.SetMin(-1);
    bar.SetMax(6);
    bar.SetLedsHigh(1);
    bar.resize(251, 9);
    EXPECT_EQ(bar.LedPalette(3).High, QColor(0x00, 0xFF, 0x00));
    EXPECT_EQ(bar.LedPalette(4).High, QColor(0xFF, 0xFF, 0x00));
    EXPECT_EQ(bar.LedPalette(5).Low, QColor(0x80, 0x80, 0x00));
    EXPECT_EQ(bar.LedPalette(6).High, QColor(0xFF, 0x00, 0x00));
    // (251 - 2 * 5) div 6 = 40; one pixel over, left part rounded down.
    EXPECT_EQ(bar.LedRect(1), QRect(0, 0, 40, 9));
    EXPECT_EQ(bar.LedRect(6), QRect(210, 0, 40, 9));

    bar.SetPosition(3);
    const QImage image = bar.grab().toImage();
    const auto centre = [&](int i) { return QColor(image.pixel(bar.LedRect(i).center())); };
    EXPECT_EQ(centre(3), QColor(0x00, 0xFF, 0x00));
    EXPECT_EQ(centre(4), QColor(0x80, 0x80, 0x00));
    EXPECT_EQ(centre(6), QColor(0x80, 0x00, 0x00));
}

} // namespace
