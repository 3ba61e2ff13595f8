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
    for (int x = LedProgressBar::BevelWidth; x < image.width() - LedProgressBar::BevelWidth; ++x)
        painted += QColor(image.pixel(x, y)) != background;
    return painted;
}

} // namespace

TEST(LedProgressBar, PositionIsClampedToTheRange)
{
    LedProgressBar bar;
    EXPECT_EQ(bar.Position(), 100);
    bar.setMax(99);
    EXPECT_EQ(bar.Position(), 99); // the old position follows the narrowed range
    bar.setPosition(100);
    EXPECT_EQ(bar.Position(), 99);
    EXPECT_EQ(bar.Percent(), 100);
    bar.setPosition(-5);
    EXPECT_EQ(bar.Position(), 0);
    bar.setPosition(95);
    bar.StepIt();
    EXPECT_EQ(bar.Position(), 99);
}

TEST(LedProgressBar, MinMustStayBelowMax)
{
    LedProgressBar bar;
    bar.setMin(100);
    EXPECT_EQ(bar.Min(), 0);
    bar.setMax(0);
    EXPECT_EQ(bar.Max(), 100);
    bar.setMin(-1);
    bar.setMax(6);
    EXPECT_EQ(bar.Min(), -1);
    EXPECT_EQ(bar.Max(), 6);
    EXPECT_EQ(bar.Position(), 6);
}

TEST(LedProgressBar, FilledLengthTruncates)
{
    LedProgressBar bar;
    bar.setMax(99);
    bar.setPosition(50); // 50 * 100 / 99 = 50.5 -> 50 %
    EXPECT_EQ(bar.Percent(), 50);
    EXPECT_EQ(bar.FilledLength(447), 223);
    bar.setMin(-1000000000);
    bar.setMax(1000000000);
    bar.setPosition(0);
    EXPECT_EQ(bar.Percent(), 50); // no overflow on a wide range
}

TEST(LedProgressBar, PaintsTheFilledPartOnly)
{
    LedProgressBar bar;
    bar.resize(449, 16);
    bar.setSmooth(true);
    bar.setMax(99);
    bar.setPosition(0);
    EXPECT_EQ(PaintedColumns(bar), 0);
    bar.setPosition(99);
    EXPECT_EQ(PaintedColumns(bar), 447);
    bar.setPosition(33); // a third
    EXPECT_EQ(PaintedColumns(bar), 447 * 33 / 100);

    // Blocks of two thirds of the 14-pixel thickness (9) with 2-pixel gaps.
    bar.setSmooth(false);
    bar.setPosition(99);
    const int full = PaintedColumns(bar);
    EXPECT_EQ(full, 447 - (447 / 11) * 2);
}
