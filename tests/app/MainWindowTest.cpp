#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "app/Unit3.h"
#include "logo/ui/Unit5.h"
#include "serial/VaComm.h"
#include "ui_Unit1.h"

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app_ = std::make_unique<AppUnderTest>();
        app_->Main().show();
        QApplication::processEvents();
    }

    Ui::TFMain& ui() { return *app_->Main().ui(); }
    TVaComm& port() { return app_->Main().VaComm1(); }

    // As the user does it: the text replaced key by key.
    void Type(const QString& text)
    {
        ui().cboxCOM->lineEdit()->clear();
        QTest::keyClicks(ui().cboxCOM->lineEdit(), text);
    }

    // As the user does it: an item picked from the list.
    void Choose(int index)
    {
        ui().cboxCOM->setCurrentIndex(index);
        emit ui().cboxCOM->textActivated(ui().cboxCOM->itemText(index));
    }

    std::unique_ptr<AppUnderTest> app_;
};

} // namespace

TEST_F(MainWindowTest, OnlyTheExactPortNamesChangeThePort)
{
    Type("com2");
    EXPECT_EQ(port().PortNum(), 1);
    Choose(1);
    EXPECT_EQ(port().PortNum(), 2);
    Type("Com4");
    EXPECT_EQ(port().PortNum(), 4);
    Type("Com5");
    EXPECT_EQ(ui().cboxCOM->currentText(), "Com5");
    EXPECT_EQ(port().PortNum(), 4);
    Type(" Com3");
    EXPECT_EQ(port().PortNum(), 4);
    EXPECT_TRUE(app_->prompts.Notices.isEmpty());
}

// Typed with the focus in the box, as a user does: nothing completes the text.
TEST_F(MainWindowTest, TypedTextIsNeitherCompletedNorMatchedWithoutItsCase)
{
    ui().cboxCOM->setFocus();
    Type("Com");
    EXPECT_EQ(ui().cboxCOM->currentText(), "Com");
    Type("com2");
    QTest::keyClick(ui().cboxCOM->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(ui().cboxCOM->currentText(), "com2");
    EXPECT_EQ(port().PortNum(), 1);
}

TEST_F(MainWindowTest, TypedPortWhileConnectWaitsIsRefusedOnce)
{
    Choose(1);
    QTimer::singleShot(20, [&] {
        Type("Com3");
        QTest::keyClick(ui().cboxCOM->lineEdit(), Qt::Key_Return);
    });
    ui().btInfo->click();
    EXPECT_EQ(app_->prompts.Notices, QStringList{"Can't perform this operation when port is open"});
    EXPECT_EQ(port().PortNum(), 2);
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
    QTimer::singleShot(20, [&] {
        openDuring = port().IsOpen();
        Choose(1);
    });
    ui().btInfo->click();
    EXPECT_TRUE(openDuring);
    EXPECT_EQ(app_->prompts.Notices, QStringList{"Can't perform this operation when port is open"});
    EXPECT_EQ(port().PortNum(), 1);
    EXPECT_EQ(ui().cboxCOM->currentText(), "Com2");
    EXPECT_FALSE(ui().lblSerNum->text().isEmpty());
    EXPECT_FALSE(port().IsOpen());
}

TEST_F(MainWindowTest, AboutBoxOpensModally)
{
    bool shownModal = false;
    QTimer::singleShot(0, [&] {
        shownModal = About->isVisible() && QApplication::activeModalWidget() == About;
        About->accept();
    });
    ui().RxSpeedButton1->click();
    EXPECT_TRUE(shownModal);
    EXPECT_FALSE(About->isVisible());
}

TEST_F(MainWindowTest, StartupLogoTwiceKeepsOneWindowAndTheMainWindowUsable)
{
    ui().Button3->click();
    ui().Button3->click();
    QApplication::processEvents();
    int logoWindows = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        logoWindows += qobject_cast<TForm5*>(window) != nullptr ? 1 : 0;
    EXPECT_EQ(logoWindows, 1);
    EXPECT_TRUE(Form5->isVisible());
    EXPECT_FALSE(Form5->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    Form5->close();
}
