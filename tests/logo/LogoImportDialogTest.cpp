#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>

#include "logo/ui/LogoImportDialog.h"

namespace {

int setCount(const LogoDots& dots)
{
    return static_cast<int>(std::count(dots.begin(), dots.end(), true));
}

int setRightOf(const LogoDots& dots, int column)
{
    int count = 0;
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = column; x < kLogoWidth; ++x)
            count += dots[logoCellIndex(x, y)];
    return count;
}

// White, with exact black in two corners of the 84 x 48, a near-black pixel
// and a black one beyond the logo's width.
QImage handsetBitmap()
{
    QImage picture(100, 60, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixel(0, 0, qRgb(0, 0, 0));
    picture.setPixel(83, 47, qRgb(0, 0, 0));
    picture.setPixel(1, 0, qRgb(1, 1, 1));
    picture.setPixel(90, 10, qRgb(0, 0, 0));
    return picture;
}

// Black on the left to white on the right, at the screen's aspect.
QImage gradient()
{
    QImage picture(168, 96, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const int level = 255 * x / (picture.width() - 1);
            picture.setPixel(x, y, qRgb(level, level, level));
        }
    return picture;
}

// Presses a button of the dialog once its modal loop runs.
void pressWhenShown(QDialogButtonBox::StandardButton which)
{
    QTimer::singleShot(0, [which] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<LogoImportDialog*>(window); dialog && dialog->isVisible())
                dialog->findChild<QDialogButtonBox*>()->button(which)->click();
    });
}

template <typename T>
T* control(const LogoImportDialog& dialog, const char* name)
{
    T* found = dialog.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

} // namespace

TEST(LogoImportDialog, OkAloneKeepsTheExactBlackRuleOfAHandsetBitmap)
{
    pressWhenShown(QDialogButtonBox::Ok);
    const std::optional<LogoDots> dots = LogoImportDialog::choose(nullptr, handsetBitmap());
    ASSERT_TRUE(dots.has_value());
    EXPECT_EQ(setCount(*dots), 2);
    EXPECT_TRUE((*dots)[logoCellIndex(0, 0)]);
    EXPECT_TRUE((*dots)[logoCellIndex(83, 47)]);
}

TEST(LogoImportDialog, CancelGivesNothing)
{
    pressWhenShown(QDialogButtonBox::Cancel);
    EXPECT_FALSE(LogoImportDialog::choose(nullptr, handsetBitmap()).has_value());
}

TEST(LogoImportDialog, AsDrawnGreysOutTheToneControlsAndAutoHoldsTheSlider)
{
    // Two dark greys, so Otsu's choice lies well away from the middle.
    QImage twoGreys(168, 96, QImage::Format_RGB32);
    twoGreys.fill(qRgb(40, 40, 40));
    for (int y = 0; y < 96; ++y)
        for (int x = 84; x < 168; ++x)
            twoGreys.setPixel(x, y, qRgb(100, 100, 100));
    LogoImportDialog dialog(twoGreys);
    auto* mode = control<QComboBox>(dialog, "modeBox");
    auto* threshold = control<QSlider>(dialog, "thresholdSlider");
    const std::initializer_list<QWidget*> tone = {
        control<QComboBox>(dialog, "ditherBox"), control<QCheckBox>(dialog, "autoThresholdBox"),
        control<QSlider>(dialog, "brightnessSlider"), control<QSlider>(dialog, "contrastSlider")};
    EXPECT_EQ(mode->currentText(), QStringLiteral("As drawn"));
    for (QWidget* widget : tone)
        EXPECT_FALSE(widget->isEnabled()) << widget->objectName().toStdString();
    EXPECT_FALSE(threshold->isEnabled());
    EXPECT_TRUE(control<QCheckBox>(dialog, "invertBox")->isEnabled());

    mode->setCurrentIndex(mode->findText(QStringLiteral("Fit")));
    for (QWidget* widget : tone)
        EXPECT_TRUE(widget->isEnabled()) << widget->objectName().toStdString();
    EXPECT_FALSE(threshold->isEnabled());
    EXPECT_GT(threshold->value(), 40);
    EXPECT_LE(threshold->value(), 100);
    control<QCheckBox>(dialog, "autoThresholdBox")->click();
    EXPECT_TRUE(threshold->isEnabled());
}

// Each step changes one control the way a user does and checks the preview
// moved the way that control promises.
TEST(LogoImportDialog, EveryControlUpdatesThePreview)
{
    LogoImportDialog dialog(gradient());
    EXPECT_EQ(setCount(dialog.dots()), kLogoHeight); // "As drawn": only the first column is exact black

    auto* mode = control<QComboBox>(dialog, "modeBox");
    mode->setCurrentIndex(mode->findText(QStringLiteral("Fit")));
    const int automatic = setCount(dialog.dots());
    EXPECT_NEAR(automatic, kLogoCellCount / 2, 3 * kLogoHeight);
    EXPECT_TRUE(dialog.dots()[logoCellIndex(0, 20)]);
    EXPECT_FALSE(dialog.dots()[logoCellIndex(83, 20)]);

    control<QCheckBox>(dialog, "autoThresholdBox")->click();
    control<QSlider>(dialog, "thresholdSlider")->setValue(64);
    const int darkQuarter = setCount(dialog.dots());
    EXPECT_NEAR(darkQuarter, kLogoCellCount / 4, 3 * kLogoHeight);

    control<QSlider>(dialog, "brightnessSlider")->setValue(20);
    const int brighter = setCount(dialog.dots());
    EXPECT_LT(brighter, darkQuarter - kLogoHeight);

    control<QCheckBox>(dialog, "invertBox")->click();
    EXPECT_EQ(setCount(dialog.dots()), kLogoCellCount - brighter);

    // Dithering mixes dots far into the greys that the threshold alone leaves clear.
    auto* dither = control<QComboBox>(dialog, "ditherBox");
    control<QCheckBox>(dialog, "invertBox")->click();
    EXPECT_EQ(setRightOf(dialog.dots(), 30), 0);
    dither->setCurrentIndex(dither->findText(QStringLiteral("Bayer 8 × 8")));
    EXPECT_GT(setRightOf(dialog.dots(), 30), 0);
}
