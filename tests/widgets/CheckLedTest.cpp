#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include "widgets/CheckLed.h"

namespace {

class CheckLedTest : public ::testing::Test {
protected:
    CheckLed led;
    int changes = 0;
    void SetUp() override
    {
        led.resize(89, 25);
        led.setCaption(QStringLiteral("Edit"));
        QObject::connect(&led, &CheckLed::toggled, [this] { ++changes; });
    }
    QPoint Inside() const { return led.checkRect().center(); }
};

TEST_F(CheckLedTest, PressAndReleaseInsideToggles)
{
    QTest::mousePress(&led, Qt::LeftButton, {}, Inside());
    EXPECT_TRUE(led.isChecked()); // at once, on the press
    EXPECT_EQ(changes, 0);
    QTest::mouseRelease(&led, Qt::LeftButton, {}, Inside());
    EXPECT_TRUE(led.isChecked());
    EXPECT_EQ(changes, 1);
}

TEST_F(CheckLedTest, ReleaseOutsideRestoresThePreviousState)
{
    led.setChecked(true);
    changes = 0;
    QTest::mousePress(&led, Qt::LeftButton, {}, Inside());
    EXPECT_FALSE(led.isChecked());
    QTest::mouseRelease(&led, Qt::LeftButton, {}, QPoint(led.checkRect().right() + 3, Inside().y()));
    EXPECT_TRUE(led.isChecked());
    EXPECT_EQ(changes, 0);
}

TEST_F(CheckLedTest, PressesOutsideTheImageOrWithOtherButtonsDoNothing)
{
    QTest::mouseClick(&led, Qt::LeftButton, {}, QPoint(led.width() - 2, 2));
    QTest::mouseClick(&led, Qt::RightButton, {}, Inside());
    led.setEnabled(false);
    QTest::mouseClick(&led, Qt::LeftButton, {}, Inside());
    EXPECT_FALSE(led.isChecked());
    EXPECT_EQ(changes, 0);
}

TEST_F(CheckLedTest, SpaceTogglesAndSettingTheSameValueIsSilent)
{
    QTest::keyClick(&led, Qt::Key_Space);
    EXPECT_TRUE(led.isChecked());
    QTest::keyClick(&led, Qt::Key_Space);
    EXPECT_FALSE(led.isChecked());
    EXPECT_EQ(changes, 2);
    led.setChecked(false);
    EXPECT_EQ(changes, 2);
}

TEST_F(CheckLedTest, ImageAndCaptionAreCentredAndTheImageShowsThePalette)
{
    const QRect image = led.checkRect();
    EXPECT_EQ(image.size(), QSize(20, 13));
    const int total = 20 + 5 + led.fontMetrics().horizontalAdvance(QStringLiteral("Edit"));
    EXPECT_LE(std::abs(image.left() - (led.width() - total) / 2), 1);
    EXPECT_EQ(QColor(led.grab().toImage().pixel(image.center())), QColor(0x00, 0x80, 0x00));
    led.setChecked(true);
    EXPECT_EQ(QColor(led.grab().toImage().pixel(image.center())), QColor(0x00, 0xFF, 0x00));

    led.setImageLayout(ImageLayout::Right);
    led.setMargin(4);
    EXPECT_EQ(led.checkRect().right(), led.width() - 5);
}

} // namespace
