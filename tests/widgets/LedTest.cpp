#include "widgets/Led.h"

#include <QImage>
#include <QSignalSpy>

#include <gmock/gmock.h>

TEST(Led, ActiveRaisesOnChangeOnlyOnARealChange)
{
    Led led;
    QSignalSpy spy(&led, &Led::OnChange);
    led.SetActive(false);
    EXPECT_EQ(spy.count(), 0);
    led.SetActive(true);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).value<Led*>(), &led);
    led.SetActive(true);
    EXPECT_EQ(spy.count(), 1);
    led.SetActive(false);
    EXPECT_EQ(spy.count(), 2);
}

TEST(Led, DefaultsAndWindowsColourValues)
{
    Led led;
    EXPECT_FALSE(led.Active());
    EXPECT_EQ(led.ledType(), LedType::ltRounded);
    EXPECT_EQ(led.Layout(), ImageLayout::ImageLeft);
    EXPECT_EQ(led.Margin(), -1);
    EXPECT_EQ(led.Spacing(), 5);
    EXPECT_EQ(led.Palette().Low, QColor(0, 128, 0));
    EXPECT_EQ(led.Palette().High, QColor(0, 255, 0));
    // Blue sits in the high byte of a Windows colour value.
    EXPECT_EQ(ColorFromTColor(0x800000), QColor(0, 0, 128));
    EXPECT_EQ(ColorFromTColor(0x0000FF), QColor(255, 0, 0));
}

TEST(Led, LampShowsTheLowColourUnlitAndTheHighColourLit)
{
    Led led;
    led.SetLedType(LedType::ltLargeRect);
    led.SetPalette({ColorFromTColor(0xC0C0C0), ColorFromTColor(0x0000FF)}); // silver / red
    led.resize(40, 30);
    const QPoint centre(20, 15);
    // The lamp's centre, away from the highlight in its upper left corner.
    const QPoint probe = centre + QPoint(4, 3);
    EXPECT_EQ(led.grab().toImage().pixelColor(probe), QColor(192, 192, 192));
    led.SetActive(true);
    EXPECT_EQ(led.grab().toImage().pixelColor(probe), QColor(255, 0, 0));
}

TEST(LedLayout, ImageAndCaptionAreCentredOrPlacedAtTheMargin)
{
    const QRect client(0, 0, 100, 20);
    auto r = LayoutImageAndText(client, {10, 10}, {30, 12}, ImageLayout::ImageLeft, -1, 5);
    EXPECT_EQ(r.image, QRect(27, 5, 10, 10)); // block of 45 centred in 100
    EXPECT_EQ(r.text, QRect(42, 4, 30, 12));
    r = LayoutImageAndText(client, {10, 10}, {30, 12}, ImageLayout::ImageRight, 2, 5);
    EXPECT_EQ(r.image, QRect(88, 5, 10, 10));
    EXPECT_EQ(r.text, QRect(53, 4, 30, 12));
    r = LayoutImageAndText(QRect(0, 0, 40, 60), {10, 10}, {20, 12}, ImageLayout::ImageBottom, -1, 4);
    EXPECT_EQ(r.image, QRect(15, 33, 10, 10));
    EXPECT_EQ(r.text, QRect(10, 17, 20, 12));
    // Without a caption the lamp alone is centred: no spacing is reserved.
    r = LayoutImageAndText(client, {10, 10}, {}, ImageLayout::ImageLeft, -1, 5);
    EXPECT_EQ(r.image.left(), 45);
}
