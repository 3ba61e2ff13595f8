#include "widgets/Led.h"

#include <QImage>
#include <QSignalSpy>

#include <gmock/gmock.h>

TEST(Led, ActiveEmitsToggledOnlyOnARealChange)
{
    Led led;
    QSignalSpy spy(&led, &Led::toggled);
    led.setActive(false);
    EXPECT_EQ(spy.count(), 0);
    led.setActive(true);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toBool(), true);
    led.setActive(true);
    EXPECT_EQ(spy.count(), 1);
    led.setActive(false);
    EXPECT_EQ(spy.count(), 2);
}

TEST(Led, Defaults)
{
    Led led;
    EXPECT_FALSE(led.isActive());
    EXPECT_EQ(led.ledType(), LedType::Rounded);
    EXPECT_EQ(led.imageLayout(), ImageLayout::Left);
    EXPECT_EQ(led.margin(), -1);
    EXPECT_EQ(led.spacing(), 5);
    EXPECT_EQ(led.indicatorPalette().unlit, QColor(0, 128, 0));
    EXPECT_EQ(led.indicatorPalette().lit, QColor(0, 255, 0));
}

TEST(Led, LampShowsTheLowColourUnlitAndTheHighColourLit)
{
    Led led;
    led.setLedType(LedType::LargeRect);
    led.setIndicatorPalette({QColor(192, 192, 192), QColor(255, 0, 0)}); // silver / red
    led.resize(40, 30);
    const QPoint centre(20, 15);
    // The lamp's centre, away from the highlight in its upper left corner.
    const QPoint probe = centre + QPoint(4, 3);
    EXPECT_EQ(led.grab().toImage().pixelColor(probe), QColor(192, 192, 192));
    led.setActive(true);
    EXPECT_EQ(led.grab().toImage().pixelColor(probe), QColor(255, 0, 0));
}

TEST(LedLayout, ImageAndCaptionAreCentredOrPlacedAtTheMargin)
{
    const QRect client(0, 0, 100, 20);
    auto r = layoutImageAndText(client, {10, 10}, {30, 12}, ImageLayout::Left, -1, 5);
    EXPECT_EQ(r.image, QRect(27, 5, 10, 10)); // block of 45 centred in 100
    EXPECT_EQ(r.text, QRect(42, 4, 30, 12));
    r = layoutImageAndText(client, {10, 10}, {30, 12}, ImageLayout::Right, 2, 5);
    EXPECT_EQ(r.image, QRect(88, 5, 10, 10));
    EXPECT_EQ(r.text, QRect(53, 4, 30, 12));
    r = layoutImageAndText(QRect(0, 0, 40, 60), {10, 10}, {20, 12}, ImageLayout::Bottom, -1, 4);
    EXPECT_EQ(r.image, QRect(15, 33, 10, 10));
    EXPECT_EQ(r.text, QRect(10, 17, 20, 12));
    // Without a caption the lamp alone is centred: no spacing is reserved.
    r = layoutImageAndText(client, {10, 10}, {}, ImageLayout::Left, -1, 5);
    EXPECT_EQ(r.image.left(), 45);
}
