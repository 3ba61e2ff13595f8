#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "serial/VaComm.h"
#include "ui_Unit1.h"

namespace {

const QString kNoAnswer = "No answer from phone!  Please, check cable connection!";
const std::vector<std::string> kPacedHandset{"--pace", "--turnaround", "20", "--version-text", "V 4.10\\n12-03-98",
                                            "--serial", "4711082015"};

std::string Joined(const QStringList& texts) { return texts.join(" | ").toStdString(); }

// After any command: its button usable, the link LEDs dark, the port free.
void ExpectCommandFinished(AppUnderTest& app, QPushButton* button)
{
    EXPECT_TRUE(button->isEnabled()) << button->text().toStdString();
    EXPECT_FALSE(app.Main().ui()->ledACK->Active());
    EXPECT_FALSE(app.Main().ui()->ledPACK->Active());
    EXPECT_FALSE(app.Main().VaComm1().IsOpen());
}

} // namespace

TEST(ServiceButtons, ConnectReadsVersionAndSerialFromTheSimulator)
{
    AppUnderTest app({"--version-text", "V 4.10\\n12-03-98\rX", "--serial", "4711082015"});
    Ui::TFMain& ui = *app.Main().ui();
    ui.btInfo->click();
    EXPECT_TRUE(app.prompts.Notices.isEmpty()) << Joined(app.prompts.Notices);
    // Line feeds break the label's lines, other control bytes show as dots,
    // and the field is always 32 characters wide.
    EXPECT_TRUE(ui.lblInfo->text().startsWith("V 4.10\n12-03-98.X")) << ui.lblInfo->text().toStdString();
    EXPECT_EQ(ui.lblInfo->text().size(), 32);
    EXPECT_EQ(ui.lblSerNum->text(), "4711082015");
    EXPECT_FALSE(ui.ledNMStat->Active());
    ExpectCommandFinished(app, ui.btInfo);
}

// The handset answering at the line rate with a 20 ms turnaround: every
// command must succeed and the net monitor LED must follow the handset.
TEST(ServiceButtons, EveryCommandSucceedsAgainstThePacedHandset)
{
    AppUnderTest app(kPacedHandset);
    Ui::TFMain& ui = *app.Main().ui();

    ui.btInfo->click();
    EXPECT_TRUE(app.prompts.Notices.isEmpty()) << Joined(app.prompts.Notices);
    EXPECT_TRUE(ui.lblInfo->text().startsWith("V 4.10\n12-03-98")) << ui.lblInfo->text().toStdString();
    EXPECT_EQ(ui.lblSerNum->text(), "4711082015");
    EXPECT_FALSE(ui.ledNMStat->Active());
    ExpectCommandFinished(app, ui.btInfo);

    ui.btNMOn->click();
    EXPECT_TRUE(app.prompts.Notices.isEmpty()) << Joined(app.prompts.Notices);
    EXPECT_TRUE(ui.ledNMStat->Active());
    ExpectCommandFinished(app, ui.btNMOn);

    // Straight after the extra copies of "on": the next exchanges must not be
    // thrown off by whatever the handset was still answering.
    ui.btInfo->click();
    EXPECT_TRUE(app.prompts.Notices.isEmpty()) << Joined(app.prompts.Notices);
    EXPECT_EQ(ui.lblSerNum->text(), "4711082015");
    EXPECT_TRUE(ui.ledNMStat->Active());

    ui.btNMOff->click();
    EXPECT_TRUE(app.prompts.Notices.isEmpty()) << Joined(app.prompts.Notices);
    EXPECT_FALSE(ui.ledNMStat->Active());
    ExpectCommandFinished(app, ui.btNMOff);

    ui.btNMOn->click();
    ui.btReset->click();
    EXPECT_TRUE(app.prompts.Notices.isEmpty()) << Joined(app.prompts.Notices);
    EXPECT_TRUE(ui.ledNMStat->Active());
    ExpectCommandFinished(app, ui.btReset);
}

TEST(ServiceButtons, SilentHandsetGivesOneNoAnswerPerCommandAndFreesThePort)
{
    AppUnderTest app({"--silent"});
    Ui::TFMain& ui = *app.Main().ui();
    ui.lblInfo->setText("earlier");
    ui.lblSerNum->setText("0123456789");
    ui.ledNMStat->SetActive(true);

    for (QPushButton* button : {ui.btInfo, ui.btNMOn, ui.btNMOff, ui.btReset}) {
        SCOPED_TRACE(button->text().toStdString());
        app.prompts.Notices.clear();
        button->click();
        EXPECT_EQ(app.prompts.Notices, QStringList{kNoAnswer});
        EXPECT_TRUE(button->isEnabled());
        EXPECT_FALSE(app.Main().VaComm1().IsOpen());
        // Closed for real: the next user of the port can have it.
        EXPECT_NO_THROW(app.Main().VaComm1().Open());
        app.Main().VaComm1().Close();
    }
    EXPECT_EQ(ui.lblInfo->text(), "earlier");
    EXPECT_EQ(ui.lblSerNum->text(), "0123456789");
    EXPECT_TRUE(ui.ledNMStat->Active());
}

// Only the running command's button is disabled; another command started
// from inside its wait finds the port taken and the first one goes on.
TEST(ServiceButtons, SecondCommandDuringConnectIsRefusedAndConnectFinishes)
{
    AppUnderTest app(kPacedHandset);
    Ui::TFMain& ui = *app.Main().ui();
    bool offEnabledDuring = false;
    QTimer::singleShot(30, [&] {
        offEnabledDuring = ui.btNMOff->isEnabled();
        ui.btNMOff->click();
    });
    ui.btInfo->click();
    EXPECT_TRUE(offEnabledDuring);
    EXPECT_EQ(app.prompts.Notices, QStringList{"Invalid port number Com1"});
    EXPECT_TRUE(ui.btNMOff->isEnabled());
    EXPECT_EQ(ui.lblSerNum->text(), "4711082015");
    ExpectCommandFinished(app, ui.btInfo);
}

TEST(ServiceButtons, MissingPortIsNamedAndNothingIsOpened)
{
    AppUnderTest app;
    {
        QSettings store(app.StorePath(), QSettings::IniFormat);
        store.setValue("Ports/COM3", app.dir.filePath("no-such-device"));
    }
    Ui::TFMain& ui = *app.Main().ui();
    ui.cboxCOM->setCurrentIndex(2);
    emit ui.cboxCOM->textActivated("Com3");
    ASSERT_EQ(app.Main().VaComm1().PortNum(), 3);
    for (QPushButton* button : {ui.btInfo, ui.btNMOn, ui.btNMOff, ui.btReset}) {
        app.prompts.Notices.clear();
        button->click();
        EXPECT_EQ(app.prompts.Notices, QStringList{"Invalid port number Com3"}) << button->text().toStdString();
        EXPECT_TRUE(button->isEnabled());
    }
    EXPECT_TRUE(ui.lblSerNum->text().isEmpty());
}
