#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "app/AboutDialog.h"
#include "logo/ui/LogoWindow.h"
#include "serial/SerialPort.h"
#include "ui_MainWindow.h"

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app_ = std::make_unique<AppUnderTest>();
        app_->Main().show();
        QApplication::processEvents();
    }

    Ui::MainWindow& ui() { return *app_->Main().ui(); }
    SerialPort& port() { return app_->Main().serialPort(); }

    // As the user does it: the text replaced key by key.
    void Type(const QString& text)
    {
        ui().portBox->lineEdit()->clear();
        QTest::keyClicks(ui().portBox->lineEdit(), text);
    }

    // As the user does it: an item picked from the list.
    void Choose(int index)
    {
        ui().portBox->setCurrentIndex(index);
        emit ui().portBox->textActivated(ui().portBox->itemText(index));
    }

    std::unique_ptr<AppUnderTest> app_;
};

} // namespace

TEST_F(MainWindowTest, OnlyTheExactPortNamesChangeThePort)
{
    Type("com2");
    EXPECT_EQ(port().portNumber(), 1);
    Choose(1);
    EXPECT_EQ(port().portNumber(), 2);
    Type("Com4");
    EXPECT_EQ(port().portNumber(), 4);
    Type("Com5");
    EXPECT_EQ(ui().portBox->currentText(), "Com5");
    EXPECT_EQ(port().portNumber(), 4);
    Type(" Com3");
    EXPECT_EQ(port().portNumber(), 4);
    EXPECT_TRUE(app_->prompts.Notices.isEmpty());
}

// Typed with the focus in the box, as a user does: nothing completes the text.
TEST_F(MainWindowTest, TypedTextIsNeitherCompletedNorMatchedWithoutItsCase)
{
    ui().portBox->setFocus();
    Type("Com");
    EXPECT_EQ(ui().portBox->currentText(), "Com");
    Type("com2");
    QTest::keyClick(ui().portBox->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(ui().portBox->currentText(), "com2");
    EXPECT_EQ(port().portNumber(), 1);
}

TEST_F(MainWindowTest, TypedPortWhileConnectWaitsIsRefusedOnce)
{
    Choose(1);
    QTimer::singleShot(0, [&] {  // runs at the command's first look at the line
        Type("Com3");
        QTest::keyClick(ui().portBox->lineEdit(), Qt::Key_Return);
    });
    ui().connectButton->click();
    EXPECT_EQ(app_->prompts.Notices, QStringList{"Can't perform this operation when port is open"});
    EXPECT_EQ(port().portNumber(), 2);
}

TEST_F(MainWindowTest, TypedTextIsStoredAtCloseEvenWhenItNamesNoPort)
{
    Type("Com5");
    EXPECT_TRUE(app_->Main().close());
    QSettings store(app_->StorePath(), QSettings::IniFormat);
    EXPECT_EQ(store.value("TFMain/cboxCOM_Text").toString(), "Com5");
}

// The port is open while a command waits, so the change is refused; the
// refusal is shown once and the command finishes on the port it opened.
TEST_F(MainWindowTest, ChoosingAPortWhileConnectWaitsIsRefusedAndConnectGoesOn)
{
    bool openDuring = false;
    QTimer::singleShot(0, [&] {  // runs at the command's first look at the line
        openDuring = port().IsOpen();
        Choose(1);
    });
    ui().connectButton->click();
    EXPECT_TRUE(openDuring);
    EXPECT_EQ(app_->prompts.Notices, QStringList{"Can't perform this operation when port is open"});
    EXPECT_EQ(port().portNumber(), 1);
    EXPECT_EQ(ui().portBox->currentText(), "Com2");
    EXPECT_FALSE(ui().serialNumberLabel->text().isEmpty());
    EXPECT_FALSE(port().IsOpen());
}

TEST_F(MainWindowTest, AboutBoxOpensModally)
{
    bool shownModal = false;
    QTimer::singleShot(0, [&] {
        shownModal = aboutDialog->isVisible() && QApplication::activeModalWidget() == aboutDialog;
        aboutDialog->accept();
    });
    ui().aboutButton->click();
    EXPECT_TRUE(shownModal);
    EXPECT_FALSE(aboutDialog->isVisible());
}

TEST_F(MainWindowTest, StartupLogoTwiceKeepsOneWindowAndTheMainWindowUsable)
{
    ui().logoButton->click();
    ui().logoButton->click();
    QApplication::processEvents();
    int logoWindows = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        logoWindows += qobject_cast<LogoWindow*>(window) != nullptr ? 1 : 0;
    EXPECT_EQ(logoWindows, 1);
    EXPECT_TRUE(logoWindow->isVisible());
    EXPECT_FALSE(logoWindow->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    logoWindow->close();
}
