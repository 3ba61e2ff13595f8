// The progress bar: its range rules and what it paints.
#include "widgets/LedProgressBar.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

// Columns of the middle row that differ from the background colour.
int PaintedColumns(LedProgressBar& bar)
{
    const QImage image = bar.grab().toImage();
    const QColor background = bar.palette().color(QPalette::Window);
    const int y = image.height() / 2;
    int painted = 0;
    for (int x = LedProgressBar::kBevelWidth; x < image.width() - LedProgressBar::kBevelWidth; ++x)
        painted += QColor(image.pixel(x, y)) != background;
    return painted;
}

} // namespace

TEST(LedProgressBar, PositionIsClampedToTheRange)
{
    LedProgressBar bar;
    EXPECT_EQ(bar.value(), 100);
    bar.setMaximum(99);
    EXPECT_EQ(bar.value(), 99); // the old position follows the narrowed range
    bar.setValue(100);
    EXPECT_EQ(bar.value(), 99);
    EXPECT_EQ(bar.percent(), 100);
    bar.setValue(-5);
    EXPECT_EQ(bar.value(), 0);
    bar.setValue(95);
    bar.stepForward();
    EXPECT_EQ(bar.value(), 99);
}

TEST(LedProgressBar, MinMustStayBelowMax)
{
    LedProgressBar bar;
    bar.setMinimum(100);
    EXPECT_EQ(bar.minimum(), 0);
    bar.setMaximum(0);
    EXPECT_EQ(bar.maximum(), 100);
    bar.setMinimum(-1);
    bar.setMaximum(6);
    EXPECT_EQ(bar.minimum(), -1);
    EXPECT_EQ(bar.maximum(), 6);
    EXPECT_EQ(bar.value(), 6);
}

TEST(LedProgressBar, FilledLengthTruncates)
{
    LedProgressBar bar;
    bar.setMaximum(99);
    bar.setValue(50); // 50 * 100 / 99 = 50.5 -> 50 %
    EXPECT_EQ(bar.percent(), 50);
    EXPECT_EQ(bar.filledLength(447), 223);
    bar.setMinimum(-1000000000);
    bar.setMaximum(1000000000);
    bar.setValue(0);
    EXPECT_EQ(bar.percent(), 50); // no overflow on a wide range
}

TEST(LedProgressBar, PaintsTheFilledPartOnly)
{
    LedProgressBar bar;
    bar.resize(449, 16);
    bar.setSmooth(true);
    bar.setMaximum(99);
    bar.setValue(0);
    EXPECT_EQ(PaintedColumns(bar), 0);
    bar.setValue(99);
    EXPECT_EQ(PaintedColumns(bar), 447);
    bar.setValue(33); // a third
    EXPECT_EQ(PaintedColumns(bar), 447 * 33 / 100);

    // Blocks of two thirds of the 14-pixel thickness (9) with 2-pixel gaps.
    bar.setSmooth(false);
    bar.setValue(99);
    const int full = PaintedColumns(bar);
    EXPECT_EQ(full, 447 - (447 / 11) * 2);
}
