#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "app/AboutDialog.h"
#include "sms/ui/OperatorDialog.h"
#include "sms/ui/SmsWindow.h"
#include "ui_AboutDialog.h"
#include "MainWindowControls.h"
#include "ui_OperatorDialog.h"
#include "widgets/ReadableColor.h"

namespace {

struct ColouredText {
    const char* what;
    QColor text;
    QColor background;
};

// The colour a text is drawn on: its own where it fills its background,
// else its window's.
QColor DrawnBehind(const QWidget& widget, QPalette::ColorRole role = QPalette::Window)
{
    const QWidget* filled = &widget;
    while (!filled->autoFillBackground() && !filled->isWindow())
        filled = filled->parentWidget();
    return filled->palette().color(role);
}

ColouredText Shown(const char* what, const QWidget& widget)
{
    return {what, widget.palette().color(QPalette::WindowText), DrawnBehind(widget)};
}

// The texts that carry a colour of their own, read from the windows made
// under the application palette in force.
std::vector<ColouredText> ColouredTexts(MainWindow& window)
{
    const MainWindowControls main(&window);
    const auto* operatorName = window.smsWindow().findChild<QLineEdit*>("operatorEdit");
    const AboutDialog& about = window.aboutDialog();
    return {
        Shown("NetMonitor status", *main.netMonitorLed),
        Shown("Serial Num.", *main.serialNumberTitle),
        Shown("version", *main.versionLabel),
        Shown("serial number", *main.serialNumberLabel),
        Shown("e-mail line", *about.findChild<QLabel*>("emailLabel")),
        Shown("credit", *about.findChild<QLabel*>("authorLabel")),
        {"operator name", operatorName->palette().color(QPalette::Text), operatorName->palette().color(QPalette::Base)},
    };
}

QPalette Dark(QPalette palette)
{
    palette.setColor(QPalette::Window, QColor(45, 45, 48));
    palette.setColor(QPalette::Base, QColor(30, 30, 30));
    palette.setColor(QPalette::WindowText, QColor(230, 230, 230));
    palette.setColor(QPalette::Text, QColor(230, 230, 230));
    palette.setColor(QPalette::Highlight, QColor(42, 130, 218));
    return palette;
}

QPalette Light(QPalette palette)
{
    palette.setColor(QPalette::Window, QColor(0xF0, 0xF0, 0xF0));
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Highlight, QColor(0, 0, 0x80));
    return palette;
}

void ExpectReadable(MainWindow& window, const char* when)
{
    for (const ColouredText& shown : ColouredTexts(window))
        EXPECT_GE(contrastRatio(shown.text, shown.background), 4.5) << shown.what << ", " << when;
}

} // namespace

// Under a dark palette from the start, and after the desktop switches to one
// while the program runs.
TEST(DarkPalette, ColouredTextsStayReadable)
{
    const QPalette before = QApplication::palette();
    QApplication::setPalette(Dark(before));
    {
        AppUnderTest app;
        ExpectReadable(app.Main(), "dark from the start");
        // The credit keeps a patch of its own, but no light one.
        const QLabel& credit = *app.Main().aboutDialog().findChild<QLabel*>("authorLabel");
        EXPECT_TRUE(isDarkColor(DrawnBehind(credit)));
    }
    QApplication::setPalette(Light(before));
    {
        AppUnderTest app;
        QApplication::setPalette(Dark(before));
        QApplication::processEvents();
        ExpectReadable(app.Main(), "switched to dark");
        QApplication::setPalette(Light(before));
        QApplication::processEvents();
        ExpectReadable(app.Main(), "switched back to light");
    }
    QApplication::setPalette(before);
}

TEST(DarkPalette, LightPaletteKeepsTheDesignedColours)
{
    const QPalette before = QApplication::palette();
    QApplication::setPalette(Light(before));
    {
        AppUnderTest app;
        const std::vector<ColouredText> shown = ColouredTexts(app.Main());
        EXPECT_EQ(shown[0].text, QColor(0, 0, 0xFF));
        EXPECT_EQ(shown[2].text, QColor(0, 0, 0x80));
        EXPECT_EQ(shown[4].text, QColor(0, 0, 0x80));
        EXPECT_EQ(shown[5].text, QColor(0x80, 0, 0x80));
        EXPECT_EQ(shown[5].background, QColor(0xC0, 0xC0, 0xC0));
        EXPECT_EQ(shown[6].text, QColor(Qt::blue));
    }
    QApplication::setPalette(before);
}
