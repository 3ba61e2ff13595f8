#include <QAccessible>
#include <QPushButton>
#include <QSerialPort>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "logo/ui/LogoWindow.h"
#include "phonebook/ui/PhonebookWindow.h"
#include "phonebook/PhonebookControls.h"
#include "logo/LogoControls.h"
#include "serial/SerialPort.h"
#include "MainWindowControls.h"

namespace {

const QString kNoAnswer = "No answer from phone!  Please, check cable connection!";
const std::vector<std::string> kPacedHandset{"--pace",   "--turnaround", "20", "--version-text", "V 4.10\\n12-03-98",
                                             "--serial", "4711082015"};

std::string Joined(const QStringList& texts)
{
    return texts.join(" | ").toStdString();
}

// After any command: its button usable, the link LEDs dark, the port free.
void ExpectCommandFinished(AppUnderTest& app, QPushButton* button)
{
    EXPECT_TRUE(button->isEnabled()) << button->text().toStdString();
    EXPECT_FALSE(MainWindowControls(&app.Main()).ackLed->isActive());
    EXPECT_FALSE(MainWindowControls(&app.Main()).packLed->isActive());
    // Closed for real: the next user of the port can have it.
    QSerialPort next(QString::fromStdString(app.sim.DevicePath()));
    EXPECT_TRUE(next.open(QIODevice::ReadWrite));
}

} // namespace

TEST(ServiceButtons, ConnectReadsVersionAndSerialFromTheSimulator)
{
    AppUnderTest app({"--version-text", "V 4.10\\n12-03-98\rX", "--serial", "4711082015"});
    const MainWindowControls ui(&app.Main());
    ASSERT_TRUE(app.Click(ui.connectButton));
    EXPECT_TRUE(app.prompts.Notices.isEmpty()) << Joined(app.prompts.Notices);
    // Line feeds break the label's lines, other control bytes show as dots,
    // and the zero byte after the text ends it.
    EXPECT_EQ(ui.versionLabel->text(), "V 4.10\n12-03-98.X");
    EXPECT_EQ(ui.serialNumberLabel->text(), "4711082015");
    EXPECT_FALSE(ui.netMonitorLed->isActive());
    ExpectCommandFinished(app, ui.connectButton);
}

// The handset answering at the line rate with a 20 ms turnaround: every
// command must succeed and the net monitor LED must follow the handset.
TEST(ServiceButtons, EveryCommandSucceedsAgainstThePacedHandset)
{
    AppUnderTest app(kPacedHandset);
    const MainWindowControls ui(&app.Main());

    ASSERT_TRUE(app.Click(ui.connectButton));
    EXPECT_TRUE(app.prompts.Notices.isEmpty()) << Joined(app.prompts.Notices);
    EXPECT_TRUE(ui.versionLabel->text().startsWith("V 4.10\n12-03-98")) << ui.versionLabel->text().toStdString();
    EXPECT_EQ(ui.serialNumberLabel->text(), "4711082015");
    EXPECT_FALSE(ui.netMonitorLed->isActive());
    ExpectCommandFinished(app, ui.connectButton);

    ASSERT_TRUE(app.Click(ui.netMonitorOnButton));
    EXPECT_TRUE(app.prompts.Notices.isEmpty()) << Joined(app.prompts.Notices);
    EXPECT_TRUE(ui.netMonitorLed->isActive());
    ExpectCommandFinished(app, ui.netMonitorOnButton);

    // Straight after the extra copies of "on": the next exchanges must not be
    // thrown off by whatever the handset was still answering.
    ASSERT_TRUE(app.Click(ui.connectButton));
    EXPECT_TRUE(app.prompts.Notices.isEmpty()) << Joined(app.prompts.Notices);
    EXPECT_EQ(ui.serialNumberLabel->text(), "4711082015");
    EXPECT_TRUE(ui.netMonitorLed->isActive());

    ASSERT_TRUE(app.Click(ui.netMonitorOffButton));
    EXPECT_TRUE(app.prompts.Notices.isEmpty()) << Joined(app.prompts.Notices);
    EXPECT_FALSE(ui.netMonitorLed->isActive());
    ExpectCommandFinished(app, ui.netMonitorOffButton);

    ASSERT_TRUE(app.Click(ui.netMonitorOnButton));
    ASSERT_TRUE(app.Click(ui.resetButton));
    EXPECT_TRUE(app.prompts.Notices.isEmpty()) << Joined(app.prompts.Notices);
    EXPECT_TRUE(ui.netMonitorLed->isActive());
    ExpectCommandFinished(app, ui.resetButton);
}

TEST(ServiceButtons, SilentHandsetGivesOneNoAnswerPerCommandAndFreesThePort)
{
    AppUnderTest app({"--silent"});
    const MainWindowControls ui(&app.Main());
    ui.versionLabel->setText("earlier");
    ui.serialNumberLabel->setText("0123456789");
    ui.netMonitorLed->setActive(true);

    for (QPushButton* button : {ui.connectButton, ui.netMonitorOnButton, ui.netMonitorOffButton, ui.resetButton}) {
        SCOPED_TRACE(button->text().toStdString());
        app.prompts.Notices.clear();
        ASSERT_TRUE(app.Click(button));
        EXPECT_EQ(app.prompts.Notices, QStringList{kNoAnswer});
        EXPECT_TRUE(button->isEnabled());
        // Closed for real: the next user of the port can have it.
        QSerialPort next(QString::fromStdString(app.sim.DevicePath()));
        EXPECT_TRUE(next.open(QIODevice::ReadWrite));
    }
    EXPECT_EQ(ui.versionLabel->text(), "earlier");
    EXPECT_EQ(ui.serialNumberLabel->text(), "0123456789");
    EXPECT_TRUE(ui.netMonitorLed->isActive());
}

// Only the running command's button is disabled; another command started
// from inside its wait finds the port taken and the first one goes on.
// While a job runs, the commands cannot be started, say why, and the job
// finishes as it would alone: the phone is never asked twice at once.
TEST(ServiceButtons, CommandsCannotStartWhileAJobRuns)
{
    AppUnderTest app(kPacedHandset);
    const MainWindowControls ui(&app.Main());
    const auto tryCommands = [&] {
        for (QPushButton* button : {ui.connectButton, ui.netMonitorOnButton, ui.netMonitorOffButton, ui.resetButton}) {
            EXPECT_FALSE(button->isEnabled()) << button->text().toStdString();
            EXPECT_EQ(button->toolTip(), "A transfer with the phone is running");
            QTest::mouseClick(button, Qt::LeftButton);
        }
    };
    ui.connectButton->click();
    tryCommands();
    ASSERT_TRUE(app.WaitUntilIdle());
    EXPECT_EQ(ui.serialNumberLabel->text(), "4711082015");
    EXPECT_FALSE(ui.netMonitorLed->isActive()) << "NetMonitor On did not run";

    PhonebookWindow& book = app.Main().phonebookWindow();
    PhonebookWindowControls(&book).readButton->click();
    tryCommands();
    ASSERT_TRUE(app.WaitUntilIdle());
    EXPECT_EQ(book.records().row(0).name, "Anna") << "the read went on alone";
    EXPECT_FALSE(ui.netMonitorLed->isActive());

    LogoWindowControls(&app.Main().logoWindow()).readButton->click();
    tryCommands();
    ASSERT_TRUE(app.WaitUntilIdle());
    EXPECT_TRUE(app.prompts.Notices.isEmpty()) << Joined(app.prompts.Notices);
    for (QPushButton* button : {ui.connectButton, ui.netMonitorOnButton, ui.netMonitorOffButton, ui.resetButton})
        EXPECT_TRUE(button->isEnabled());
}

TEST(ServiceButtons, MissingPortIsNamedAndNothingIsOpened)
{
    AppUnderTest app;
    {
        QSettings store(app.StorePath(), QSettings::IniFormat);
        store.setValue("Ports/COM3", app.dir.filePath("no-such-device"));
    }
    const MainWindowControls ui(&app.Main());
    ui.portBox->setCurrentIndex(2);
    emit ui.portBox->textActivated("Com3");
    ASSERT_EQ(app.Main().portNumber(), 3);
    for (QPushButton* button : {ui.connectButton, ui.netMonitorOnButton, ui.netMonitorOffButton, ui.resetButton}) {
        app.prompts.Notices.clear();
        ASSERT_TRUE(app.Click(button));
        EXPECT_EQ(app.prompts.Notices, QStringList{"Invalid port number Com3"}) << button->text().toStdString();
        EXPECT_TRUE(button->isEnabled());
    }
    EXPECT_TRUE(ui.serialNumberLabel->text().isEmpty());
}

TEST(ServiceButtons, LinkLedsAreNamedByTheirLabelsForAScreenReader)
{
    AppUnderTest app;
    const auto name = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    EXPECT_EQ(name(MainWindowControls(&app.Main()).ackLed), "ACK");
    EXPECT_EQ(name(MainWindowControls(&app.Main()).packLed), "PACK");
}
