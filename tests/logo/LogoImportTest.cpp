#include <gtest/gtest.h>

#include <QImage>
#include <random>

#include "logo/LogoImport.h"
#include "logo/LogoImportArguments.h"

namespace {

QImage filled(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QImage grey(int width, int height, int level)
{
    return filled(width, height, qRgb(level, level, level));
}

// Left half black, right half white.
QImage halves(int width, int height)
{
    QImage image = filled(width, height, qRgb(255, 255, 255));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 2; ++x)
            image.setPixel(x, y, qRgb(0, 0, 0));
    return image;
}

// Colour noise over a diagonal light-to-dark ramp, like a photo at a glance.
QImage photoLike(int width, int height, unsigned seed)
{
    std::mt19937 random(seed);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int base = 255 * (x + y) / (width + height);
            auto channel = [&] { return std::clamp(base + static_cast<int>(random() % 81) - 40, 0, 255); };
            image.setPixel(x, y, qRgb(channel(), channel(), channel()));
        }
    return image;
}

int setCount(const LogoDots& dots)
{
    return static_cast<int>(std::count(dots.begin(), dots.end(), true));
}

bool at(const LogoDots& dots, int x, int y)
{
    return dots[logoCellIndex(x, y)];
}

LogoImportOptions scaled(LogoImportMode mode, std::optional<int> threshold, LogoDither dither = LogoDither::None)
{
    LogoImportOptions options;
    options.mode = mode;
    options.threshold = threshold;
    options.dither = dither;
    return options;
}

TEST(LogoImport, AsDrawnKeepsTheExactBlackRule)
{
    QImage picture = filled(100, 60, qRgb(255, 255, 255));
    picture.setPixel(0, 0, qRgb(0, 0, 0));
    picture.setPixel(1, 0, qRgb(1, 1, 1));
    picture.setPixel(90, 0, qRgb(0, 0, 0));  // beyond the 84 columns
    LogoImportOptions options;  // the default is "As drawn"
    options.dither = LogoDither::FloydSteinberg;
    options.brightness = 100;
    const LogoDots dots = logoImportDots(picture, options);
    EXPECT_TRUE(at(dots, 0, 0));
    EXPECT_EQ(setCount(dots), 1);

    options.invert = true;
    EXPECT_EQ(setCount(logoImportDots(picture, options)), kLogoCellCount - 1);
}

TEST(LogoImport, FitHalvesAWidePictureIntoTheCentreBand)
{
    const LogoDots dots = logoImportDots(halves(168, 48), scaled(LogoImportMode::Fit, 128));
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x)
            ASSERT_EQ(at(dots, x, y), x < 42 && y >= 12 && y < 36) << x << "," << y;
    EXPECT_EQ(LogoImport(halves(168, 48)).placement(LogoImportMode::Fit), QRect(0, 12, 84, 24));
}

TEST(LogoImport, FitEnlargesASmallPicture)
{
    // Two pixels, black and white, become two 42 x 42 squares.
    const LogoDots dots = logoImportDots(halves(2, 1), scaled(LogoImportMode::Fit, 128));
    EXPECT_EQ(setCount(dots), 42 * 42);
    EXPECT_TRUE(at(dots, 0, 3));
    EXPECT_TRUE(at(dots, 41, 44));
    EXPECT_FALSE(at(dots, 42, 20));
    EXPECT_FALSE(at(dots, 0, 2));
}

TEST(LogoImport, FillCropsTheOverhangEvenly)
{
    // The middle 84 columns of 168 are shown: half of them black.
    const LogoDots wide = logoImportDots(halves(168, 48), scaled(LogoImportMode::Fill, 128));
    EXPECT_EQ(setCount(wide), 42 * 48);
    EXPECT_TRUE(at(wide, 41, 0));
    EXPECT_FALSE(at(wide, 42, 47));

    // A tall picture loses rows top and bottom: a black band in rows 0..23
    // of 168 is cut away completely.
    QImage tall = filled(84, 168, qRgb(255, 255, 255));
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 84; ++x)
            tall.setPixel(x, y, qRgb(0, 0, 0));
    EXPECT_EQ(setCount(logoImportDots(tall, scaled(LogoImportMode::Fill, 128))), 0);
}

TEST(LogoImport, AutoThresholdSeparatesTwoLevels)
{
    // Both levels are lighter than the middle, so a fixed 128 sets nothing.
    QImage picture = grey(84, 48, 230);
    std::mt19937 random(7);
    for (int i = 0; i < 1000; ++i)
        picture.setPixel(static_cast<int>(random() % 84), static_cast<int>(random() % 48), qRgb(200, 200, 200));
    LogoImport import(picture);
    const LogoDots dots = import.dots(scaled(LogoImportMode::Fill, std::nullopt));
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x)
            ASSERT_EQ(at(dots, x, y), qRed(picture.pixel(x, y)) == 200) << x << "," << y;
    const int threshold = import.threshold(scaled(LogoImportMode::Fill, std::nullopt));
    EXPECT_GT(threshold, 200);
    EXPECT_LE(threshold, 230);
    EXPECT_EQ(setCount(import.dots(scaled(LogoImportMode::Fill, 128))), 0);
}

// The longest run of equal dots along a row or a column.
int longestRun(const LogoDots& dots)
{
    int longest = 0;
    for (int pass = 0; pass < 2; ++pass) {
        const int lines = pass == 0 ? kLogoHeight : kLogoWidth;
        const int length = pass == 0 ? kLogoWidth : kLogoHeight;
        for (int line = 0; line < lines; ++line) {
            int run = 0;
            bool previous = false;
            for (int i = 0; i < length; ++i) {
                const bool dot = pass == 0 ? at(dots, i, line) : at(dots, line, i);
                run = i > 0 && dot == previous ? run + 1 : 1;
                previous = dot;
                longest = std::max(longest, run);
            }
        }
    }
    return longest;
}

TEST(LogoImport, FloydSteinbergGivesMidGreyAsHalfTheDotsEvenlySpread)
{
    const LogoDots dots = logoImportDots(grey(840, 480, 128), scaled(LogoImportMode::Fill, 128, LogoDither::FloydSteinberg));
    EXPECT_NEAR(setCount(dots), kLogoCellCount / 2, kLogoCellCount / 50);
    EXPECT_LE(longestRun(dots), 3);

    // The share of set dots follows the grey.
    const LogoDots dark = logoImportDots(grey(84, 48, 64), scaled(LogoImportMode::Fill, 128, LogoDither::FloydSteinberg));
    EXPECT_NEAR(setCount(dark), kLogoCellCount * 3 / 4, kLogoCellCount / 50);
}

TEST(LogoImport, BayerGivesMidGreyAsExactlyHalfInEveryTile)
{
    for (const auto& [dither, side] : {std::pair{LogoDither::Bayer4, 4}, std::pair{LogoDither::Bayer8, 8}}) {
        const LogoDots dots = logoImportDots(grey(84, 48, 128), scaled(LogoImportMode::Fill, 128, dither));
        for (int top = 0; top < kLogoHeight; top += side)
            for (int left = 0; left + side <= kLogoWidth; left += side) {
                int count = 0;
                for (int y = top; y < top + side; ++y)
                    for (int x = left; x < left + side; ++x)
                        count += at(dots, x, y) ? 1 : 0;
                ASSERT_EQ(count, side * side / 2) << "tile at " << left << "," << top << " of side " << side;
            }
        EXPECT_LE(longestRun(dots), 2) << side;
    }
    // Black and white stay solid under the pattern.
    EXPECT_EQ(setCount(logoImportDots(grey(84, 48, 0), scaled(LogoImportMode::Fill, 128, LogoDither::Bayer8))),
              kLogoCellCount);
    EXPECT_EQ(setCount(logoImportDots(grey(84, 48, 255), scaled(LogoImportMode::Fill, 128, LogoDither::Bayer8))), 0);
}

TEST(LogoImport, WhiteIsNeverADotAndBlackAlwaysAtAnyThreshold)
{
    const LogoImportMode modes[] = {LogoImportMode::AsDrawn, LogoImportMode::Fit, LogoImportMode::Fill};
    const LogoDither dithers[] = {LogoDither::None, LogoDither::FloydSteinberg, LogoDither::Bayer4, LogoDither::Bayer8};
    LogoImport white(grey(168, 96, 255));
    LogoImport black(grey(168, 96, 0));
    for (const LogoImportMode mode : modes)
        for (const LogoDither dither : dithers)
            for (int threshold = -1; threshold <= 255; ++threshold) {
                const auto options = scaled(mode, threshold < 0 ? std::nullopt : std::optional(threshold), dither);
                ASSERT_EQ(setCount(white.dots(options)), 0) << int(mode) << " " << int(dither) << " " << threshold;
                ASSERT_EQ(setCount(black.dots(options)), kLogoCellCount)
                    << int(mode) << " " << int(dither) << " " << threshold;
            }
    // For ordered dithering the threshold is the grey that becomes half the dots.
    for (const int threshold : {30, 200})
        EXPECT_EQ(setCount(logoImportDots(grey(84, 48, threshold),
                                          scaled(LogoImportMode::Fill, threshold, LogoDither::Bayer8))),
                  kLogoCellCount / 2);
}

TEST(LogoImport, OrderedDitherKeepsThePicturesOwnToneAndPlainWhiteClear)
{
    // A light logo: plain white with a field of 8 x 8 tiles in light greys,
    // which Otsu would cut far above the middle.
    QImage logo = grey(84, 48, 255);
    for (int tile = 0; tile < 30; ++tile)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                logo.setPixel(8 * (tile % 10) + x, 8 + 8 * (tile / 10) + y, qRgb(150 + 3 * tile, 150 + 3 * tile, 150 + 3 * tile));
    for (const auto& [dither, side] : {std::pair{LogoDither::Bayer4, 4}, std::pair{LogoDither::Bayer8, 8}}) {
        const LogoImport import(logo);
        const LogoImportOptions automatic = scaled(LogoImportMode::Fill, std::nullopt, dither);
        EXPECT_EQ(import.threshold(automatic), 128);
        const LogoDots dots = import.dots(automatic);
        for (int y = 0; y < kLogoHeight; y += side)
            for (int x = 0; x + side <= kLogoWidth; x += side) {
                // A tile of grey g gets as many dots as the textbook matrix has
                // thresholds (i + 1/2) * 256 / side² above g.
                const int g = qRed(logo.pixel(x, y));
                int expected = 0;
                for (int i = 0; i < side * side; ++i)
                    expected += 2 * g * side * side < (2 * i + 1) * 256 ? 1 : 0;
                int count = 0;
                for (int j = y; j < y + side; ++j)
                    for (int i = x; i < x + side; ++i)
                        count += at(dots, i, j) ? 1 : 0;
                ASSERT_EQ(count, expected) << "tile at " << x << "," << y << " of side " << side;
            }
        for (int y = 0; y < kLogoHeight; ++y)
            for (int x = 0; x < kLogoWidth; ++x)
                ASSERT_FALSE(qRed(logo.pixel(x, y)) == 255 && at(dots, x, y)) << x << "," << y;
    }
}

TEST(LogoImport, InvertFlipsEveryDotIncludingTheMargins)
{
    const QImage picture = photoLike(300, 100, 3);
    LogoImportOptions options = scaled(LogoImportMode::Fit, std::nullopt, LogoDither::FloydSteinberg);
    const LogoDots plain = logoImportDots(picture, options);
    options.invert = true;
    const LogoDots inverted = logoImportDots(picture, options);
    for (int i = 0; i < kLogoCellCount; ++i)
        ASSERT_NE(plain[i], inverted[i]) << i;
}

TEST(LogoImport, BrightnessAndContrastMoveTheTone)
{
    LogoImport ramp(photoLike(400, 240, 5));
    LogoImportOptions options = scaled(LogoImportMode::Fill, 128);
    const int plain = setCount(ramp.dots(options));
    options.brightness = 30;
    const int brighter = setCount(ramp.dots(options));
    options.brightness = -30;
    const int darker = setCount(ramp.dots(options));
    EXPECT_LT(brighter, plain - 300);
    EXPECT_GT(darker, plain + 300);

    // Contrast pushes greys away from the middle: a dark grey darkens, a light one lightens.
    options = scaled(LogoImportMode::Fill, 128, LogoDither::Bayer8);
    const int darkPlain = setCount(logoImportDots(grey(84, 48, 100), options));
    const int lightPlain = setCount(logoImportDots(grey(84, 48, 156), options));
    options.contrast = 50;
    EXPECT_GT(setCount(logoImportDots(grey(84, 48, 100), options)), darkPlain);
    EXPECT_LT(setCount(logoImportDots(grey(84, 48, 156), options)), lightPlain);
    options.contrast = 100;
    EXPECT_EQ(setCount(logoImportDots(grey(84, 48, 100), options)), kLogoCellCount);
}

TEST(LogoImport, TransparentPartsCountAsWhite)
{
    QImage picture(168, 96, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);  // transparent black
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 10; ++x)
            picture.setPixel(x, y, qRgba(0, 0, 0, 255));
    const LogoDots dots = logoImportDots(picture, scaled(LogoImportMode::Fit, 128));
    EXPECT_EQ(setCount(dots), 5 * 48);
}

TEST(LogoImport, KeptGreysFollowTheModeAndThePicture)
{
    const QImage first = photoLike(640, 480, 11);
    const QImage second = photoLike(480, 640, 12);
    const LogoImportOptions fit = scaled(LogoImportMode::Fit, std::nullopt, LogoDither::Bayer4);
    LogoImportOptions fill = scaled(LogoImportMode::Fill, 100, LogoDither::FloydSteinberg);
    fill.contrast = 20;

    LogoImport import(first);
    import.dots(fit);
    import.dots(fill);
    EXPECT_EQ(import.dots(fit), LogoImport(first).dots(fit));
    import.setPicture(second);
    EXPECT_EQ(import.dots(fill), LogoImport(second).dots(fill));
    EXPECT_EQ(import.dots(fit), LogoImport(second).dots(fit));
    EXPECT_NE(import.dots(fit), LogoImport(first).dots(fit));

    import.setPicture(QImage());
    EXPECT_EQ(setCount(import.dots(fit)), 0);
}

TEST(LogoImport, ArgumentsSetTheOptionsAndLeaveTheRest)
{
    const LogoImportArguments parsed = parseLogoImportArguments(
        {"logo.png", "--mode", "FIT", "--dither=floyd", "--threshold", "90", "--port", "COM2", "--invert",
         "--brightness", "-20", "--contrast=35"});
    EXPECT_EQ(parsed.options.mode, LogoImportMode::Fit);
    EXPECT_EQ(parsed.options.dither, LogoDither::FloydSteinberg);
    EXPECT_EQ(parsed.options.threshold, 90);
    EXPECT_TRUE(parsed.options.invert);
    EXPECT_EQ(parsed.options.brightness, -20);
    EXPECT_EQ(parsed.options.contrast, 35);
    EXPECT_EQ(parsed.others, QStringList({"logo.png", "--port", "COM2"}));

    EXPECT_FALSE(parseLogoImportArguments({"--threshold", "90", "--threshold", "auto"}).options.threshold);
    EXPECT_EQ(parseLogoImportArguments({}).options, LogoImportOptions{});
}

TEST(LogoImport, BadArgumentsAreRefusedWithAMessage)
{
    const QStringList bad[] = {{"--mode", "stretch"}, {"--threshold", "256"}, {"--threshold", "-1"},
                               {"--dither", "random"}, {"--brightness", "101"}, {"--contrast", "ten"},
                               {"--mode"},            {"--invert=yes"}};
    for (const QStringList& arguments : bad)
        EXPECT_THROW(parseLogoImportArguments(arguments), LogoImportOptionError) << arguments.join(' ').toStdString();
    try {
        parseLogoImportArguments({"--dither", "random"});
    } catch (const LogoImportOptionError& error) {
        EXPECT_STREQ(error.what(), "--dither takes none, floyd, bayer4 or bayer8, not \"random\".");
    }
}

} // namespace
