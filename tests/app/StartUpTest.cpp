#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QSettings>
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "phonebook/ui/Unit2.h"
#include "app/Unit3.h"
#include "phonebook/ui/Unit4.h"
#include "logo/ui/Unit5.h"
#include "sms/ui/Unit6.h"
#include "sms/ui/FFOpSet.h"
#include "serial/VaComm.h"
#include "ui_Unit1.h"

TEST(StartUp, WindowsAreMadeOnceInTheirOrderAndOnlyTheMainOneIsShown)
{
    AppUnderTest app;
    const std::vector<QWidget*>& made = AppWindowsInCreationOrder();
    const std::vector<const char*> order{"TFMain", "TForm2", "TAbout", "TForm4", "TForm5", "TFSendSMS", "TFOpSet"};
    ASSERT_EQ(made.size(), order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        EXPECT_STREQ(made[i]->metaObject()->className(), order[i]) << i;
    EXPECT_EQ(made[0], FMain);
    EXPECT_EQ(made[5], FSendSMS);
    EXPECT_EQ(made[6], FOpSet);

    QMap<QString, int> windowsOfClass;
    for (QWidget* window : QApplication::topLevelWidgets())
        ++windowsOfClass[window->metaObject()->className()];
    for (const char* name : order)
        EXPECT_EQ(windowsOfClass.value(name), 1) << name;

    FMain->show();
    QApplication::processEvents();
    int visibleWindows = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        visibleWindows += window->isVisible() ? 1 : 0;
    EXPECT_EQ(visibleWindows, 1);
    EXPECT_TRUE(FMain->isVisible());
    for (QWidget* other : {static_cast<QWidget*>(Form2), static_cast<QWidget*>(About), static_cast<QWidget*>(Form4),
                           static_cast<QWidget*>(Form5)})
        EXPECT_FALSE(other->isVisible()) << other->metaObject()->className();
}

TEST(StartUp, FirstRunShowsCom1AndUsesPort1)
{
    AppUnderTest app;
    app.Main().show();
    QApplication::processEvents();
    EXPECT_EQ(app.Main().ui()->cboxCOM->currentText(), "Com1");
    EXPECT_EQ(app.Main().VaComm1().PortNum(), 1);
}

// The stored choice takes effect when the window is first shown, before any
// command has opened the port.
TEST(StartUp, StoredPortIsTakenWhenTheMainWindowIsShown)
{
    AppUnderTest app({}, "Com3");
    EXPECT_EQ(app.Main().VaComm1().PortNum(), 1);
    app.Main().show();
    QApplication::processEvents();
    EXPECT_EQ(app.Main().ui()->cboxCOM->currentText(), "Com3");
    EXPECT_EQ(app.Main().VaComm1().PortNum(), 3);
    EXPECT_FALSE(app.Main().VaComm1().IsOpen());
}

TEST(StartUp, StoredTextThatIsNoPortNameIsShownButLeavesPort1)
{
    AppUnderTest app({}, "Com5");
    app.Main().show();
    QApplication::processEvents();
    EXPECT_EQ(app.Main().ui()->cboxCOM->currentText(), "Com5");
    EXPECT_EQ(app.Main().VaComm1().PortNum(), 1);
}

TEST(StartUp, ClosingTheMainWindowStoresThePortTextInItsSection)
{
    AppUnderTest app;
    app.Main().show();
    QApplication::processEvents();
    app.Main().ui()->cboxCOM->setEditText("Com2  ");
    EXPECT_TRUE(app.Main().close());
    QSettings store(app.StorePath(), QSettings::IniFormat);
    EXPECT_EQ(store.value("TFMain/cboxCOM_Text").toString(), "Com2");
    EXPECT_EQ(store.value("TFMain/FormVersion").toString(), "0");
    EXPECT_EQ(store.value("TFMain/Visible").toString(), "0");
}

TEST(StartUp, AProfileFileThatCannotBeReadIsReportedAndTheMainWindowComesUp)
{
    // The profile file lives beside the program: here, beside the test program.
    const QString path = QCoreApplication::applicationDirPath() + "/Operators.ini";
    if (QFileInfo::exists(path))
        GTEST_SKIP() << "a profile file lies beside the test program: " << path.toStdString();
    ASSERT_TRUE(QDir().mkdir(path));
    struct RemoveFolder {
        QString path;
        ~RemoveFolder() { QDir().rmdir(path); }
    } removeFolder{path};

    std::unique_ptr<AppUnderTest> app;
    ASSERT_NO_THROW(app = std::make_unique<AppUnderTest>());
    app->Main().show();
    QApplication::processEvents();
    EXPECT_TRUE(app->Main().isVisible());
    EXPECT_TRUE(app->Main().OperatorList.empty());
    EXPECT_EQ(app->prompts.Notices,
              QStringList{"Unable to read " + QDir::toNativeSeparators(path) + ": it is a folder."});
}
