#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMap>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "files/SettingsStore.h"
#include "phonebook/ui/PhonebookWindow.h"
#include "app/AboutDialog.h"
#include "phonebook/ui/RecordEditor.h"
#include "logo/ui/LogoWindow.h"
#include "sms/ui/SmsWindow.h"
#include "sms/ui/OperatorDialog.h"
#include "serial/SerialPort.h"
#include "support/TrapFifo.h"
#include "MainWindowControls.h"

// Only the main window is made at start; each other window is made when it is
// first needed, once, and belongs to the main window from then on.
TEST(StartUp, OnlyTheMainWindowIsMadeAtStartAndEachOtherOnceWhenFirstNeeded)
{
    AppUnderTest app;
    app.Main().show();
    QApplication::processEvents();
    const auto windowsOf = [&](const char* className) {
        int count = 0;
        for (QWidget* window : QApplication::topLevelWidgets())
            count += QString(window->metaObject()->className()) == className ? 1 : 0;
        return count;
    };
    const std::vector<const char*> others{"PhonebookWindow", "AboutDialog", "RecordEditor", "LogoWindow",
                                          "SmsWindow", "OperatorDialog", "DialledNumbersDialog"};
    for (const char* name : others)
        EXPECT_EQ(windowsOf(name), 0) << name;
    EXPECT_TRUE(app.Main().isVisible());

    app.Main().openLogoManager();
    EXPECT_TRUE(app.Main().logoWindow().isVisible());
    EXPECT_EQ(&app.Main().phonebookWindow(), &app.Main().phonebookWindow());
    app.Main().smsWindow();
    app.Main().aboutDialog();
    app.Main().dialledNumbersDialog();
    for (const char* name : others) {
        EXPECT_EQ(windowsOf(name), 1) << name;
    }
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_TRUE(window == &app.Main() || app.Main().isAncestorOf(window) || window->parent() != nullptr)
            << window->metaObject()->className() << " belongs to no window";
    EXPECT_FALSE(app.Main().phonebookWindow().isVisible());
    app.Main().logoWindow().close();
}

TEST(StartUp, FirstRunShowsCom1AndUsesPort1)
{
    AppUnderTest app;
    app.Main().show();
    QApplication::processEvents();
    EXPECT_EQ(MainWindowControls(&app.Main()).portBox->currentText(), "Com1");
    EXPECT_EQ(app.Main().portNumber(), 1);
}

// The stored choice takes effect when the window is first shown, before any
// command has opened the port.
TEST(StartUp, StoredPortIsTakenWhenTheMainWindowIsShown)
{
    AppUnderTest app({}, "Com3");
    EXPECT_EQ(app.Main().portNumber(), 1);
    app.Main().show();
    QApplication::processEvents();
    EXPECT_EQ(MainWindowControls(&app.Main()).portBox->currentText(), "Com3");
    EXPECT_EQ(app.Main().portNumber(), 3);
    EXPECT_FALSE(app.Main().worker().isBusy());
}

TEST(StartUp, StoredTextThatIsNoPortNameIsShownButLeavesPort1)
{
    AppUnderTest app({}, "Com5");
    app.Main().show();
    QApplication::processEvents();
    EXPECT_EQ(MainWindowControls(&app.Main()).portBox->currentText(), "Com5");
    EXPECT_EQ(app.Main().portNumber(), 1);
}

TEST(StartUp, ClosingTheMainWindowStoresThePortTextInItsSection)
{
    AppUnderTest app;
    app.Main().show();
    QApplication::processEvents();
    MainWindowControls(&app.Main()).portBox->setEditText("Com2  ");
    EXPECT_TRUE(app.Main().close());
    QSettings store(app.StorePath(), QSettings::IniFormat);
    EXPECT_EQ(store.value("TFMain/cboxCOM_Text").toString(), "Com2");
    EXPECT_EQ(store.value("TFMain/FormVersion").toString(), "0");
    EXPECT_EQ(store.value("TFMain/Visible").toString(), "0");
}

TEST(StartUp, AProfileFileThatCannotBeReadIsReportedAndTheMainWindowComesUp)
{
    AppUnderTest app;
    // A folder where the profile file beside the program should be.
    const QString path = QDir(app.ProgramFolder()).filePath("Operators.ini");
    ASSERT_TRUE(QDir().mkdir(path));
    app.prompts.Notices.clear();
    app.Restart();
    EXPECT_TRUE(app.Main().isVisible());
    EXPECT_TRUE(app.Main().operatorNames().empty());
    EXPECT_EQ(app.prompts.Notices,
              QStringList{"Unable to read " + QDir::toNativeSeparators(path) + ": it is a folder."});
}

// A named pipe where the settings file belongs would block the program
// before its window ever showed. It starts on default settings instead and
// says once why they will not be kept; the pipe is never opened.
TEST(StartUp, SettingsFileThatIsANamedPipeIsLeftAloneAndSaidOnce)
{
    QTemporaryDir config;
    const QByteArray configBefore = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    TrapFifo settings(config.filePath(SettingsStore::runningProgramName() + ".ini"), std::chrono::seconds(2));
    ASSERT_TRUE(settings.Made());
    ScriptedPrompts prompts;

    {
        const SettingsStore store = SettingsStore::forProgram(SettingsStore::runningProgramName());
        MainWindow main(store);
        main.show();
        QTest::qWait(20);
        EXPECT_EQ(MainWindowControls(&main).portBox->currentText(), "Com1");
        MainWindowControls(&main).portBox->setEditText("Com2");
        emit MainWindowControls(&main).portBox->lineEdit()->textEdited("Com2");
        main.smsWindow().show();
        main.smsWindow().close();
        main.close();
    }
    qputenv("XDG_CONFIG_HOME", configBefore);

    EXPECT_FALSE(settings.Released()) << "something opened the pipe";
    EXPECT_EQ(prompts.Notices, QStringList{"The settings file " + settings.Path()
                                           + " is not used: it is a named pipe, not a file. The program starts with "
                                             "default settings and will not save them."});
    EXPECT_FALSE(QFileInfo(settings.Path()).isFile());
}
