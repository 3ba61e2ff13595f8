#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "app/AboutDialog.h"
#include "sms/ui/OperatorDialog.h"
#include "ui_AboutDialog.h"
#include "ui_MainWindow.h"
#include "ui_OperatorDialog.h"
#include "widgets/ReadableColor.h"

namespace {

struct ColouredText {
    const char* what;
    QColor text;
    QColor background;
};

// The texts that carry a colour of their own, read from the windows made
// under the application palette in force.
std::vector<ColouredText> ColouredTexts()
{
    const QPalette netMonitor = mainWindow->ui()->netMonitorLed->palette();
    const QPalette email = aboutDialog->findChild<QLabel*>("emailLabel")->palette();
    const QPalette operatorName = operatorDialog->findChild<QLineEdit*>("operatorEdit")->palette();
    return {
        {"NetMonitor status", netMonitor.color(QPalette::WindowText), netMonitor.color(QPalette::Window)},
        {"e-mail line", email.color(QPalette::WindowText), email.color(QPalette::Window)},
        {"operator name", operatorName.color(QPalette::Text), operatorName.color(QPalette::Base)},
    };
}

} // namespace

TEST(DarkPalette, ColouredTextsStayReadable)
{
    const QPalette before = QApplication::palette();
    QPalette dark = before;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    QApplication::setPalette(dark);
    {
        AppUnderTest app;
        for (const ColouredText& shown : ColouredTexts())
            EXPECT_GE(ContrastRatio(shown.text, shown.background), 4.5) << shown.what;
    }
    QApplication::setPalette(before);
}

TEST(DarkPalette, LightPaletteKeepsTheDesignedColours)
{
    QPalette light = QApplication::palette();
    light.setColor(QPalette::Window, QColor(0xF0, 0xF0, 0xF0));
    light.setColor(QPalette::Base, Qt::white);
    const QPalette before = QApplication::palette();
    QApplication::setPalette(light);
    {
        AppUnderTest app;
        const std::vector<ColouredText> shown = ColouredTexts();
        EXPECT_EQ(shown[0].text, QColor(0, 0, 0xFF));
        EXPECT_EQ(shown[1].text, QColor(0, 0, 0x80));
        EXPECT_EQ(shown[2].text, QColor(Qt::blue));
    }
    QApplication::setPalette(before);
}
