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
#include "phonebook/ui/PhonebookWindow.h"
#include "app/AboutDialog.h"
#include "phonebook/ui/RecordEditor.h"
#include "logo/ui/LogoWindow.h"
#include "sms/ui/SmsWindow.h"
#include "sms/ui/OperatorDialog.h"
#include "serial/SerialPort.h"
#include "support/TrapFifo.h"
#include "ui_MainWindow.h"

TEST(StartUp, WindowsAreMadeOnceInTheirOrderAndOnlyTheMainOneIsShown)
{
    AppUnderTest app;
    const std::vector<QWidget*>& made = appWindowsInCreationOrder();
    const std::vector<const char*> order{"MainWindow", "PhonebookWindow", "AboutDialog",   "RecordEditor",
                                         "LogoWindow", "SmsWindow",       "OperatorDialog"};
    ASSERT_EQ(made.size(), order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        EXPECT_STREQ(made[i]->metaObject()->className(), order[i]) << i;
    EXPECT_EQ(made[0], mainWindow);
    EXPECT_EQ(made[5], smsWindow);
    EXPECT_EQ(made[6], operatorDialog);

    QMap<QString, int> windowsOfClass;
    for (QWidget* window : QApplication::topLevelWidgets())
        ++windowsOfClass[window->metaObject()->className()];
    for (const char* name : order)
        EXPECT_EQ(windowsOfClass.value(name), 1) << name;

    mainWindow->show();
    QApplication::processEvents();
    int visibleWindows = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        visibleWindows += window->isVisible() ? 1 : 0;
    EXPECT_EQ(visibleWindows, 1);
    EXPECT_TRUE(mainWindow->isVisible());
    for (QWidget* other : {static_cast<QWidget*>(phonebookWindow), static_cast<QWidget*>(aboutDialog),
                           static_cast<QWidget*>(recordEditor), static_cast<QWidget*>(logoWindow)})
        EXPECT_FALSE(other->isVisible()) << other->metaObject()->className();
}

TEST(StartUp, FirstRunShowsCom1AndUsesPort1)
{
    AppUnderTest app;
    app.Main().show();
    QApplication::processEvents();
    EXPECT_EQ(app.Main().ui()->portBox->currentText(), "Com1");
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
    EXPECT_EQ(app.Main().ui()->portBox->currentText(), "Com3");
    EXPECT_EQ(app.Main().portNumber(), 3);
    EXPECT_FALSE(app.Main().worker().isBusy());
}

TEST(StartUp, StoredTextThatIsNoPortNameIsShownButLeavesPort1)
{
    AppUnderTest app({}, "Com5");
    app.Main().show();
    QApplication::processEvents();
    EXPECT_EQ(app.Main().ui()->portBox->currentText(), "Com5");
    EXPECT_EQ(app.Main().portNumber(), 1);
}

TEST(StartUp, ClosingTheMainWindowStoresThePortTextInItsSection)
{
    AppUnderTest app;
    app.Main().show();
    QApplication::processEvents();
    app.Main().ui()->portBox->setEditText("Com2  ");
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

// The program's own start-up: the main window is on the screen before the
// six hidden windows are made; they follow at once, in their order, and a
// window opened before then is made on the spot.
TEST(StartUp, HiddenWindowsAreMadeOnceTheMainWindowHasBeenPainted)
{
    QTemporaryDir dir;
    WindowPlacement::setStoreOverride(dir.filePath("settings.ini"));
    createMainWindow();
    struct PaintWatch : QObject {
        int paints = 0;
        bool othersAtFirstPaint = true;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint && paints++ == 0)
                othersAtFirstPaint = phonebookWindow != nullptr;
            return false;
        }
    } watch;
    mainWindow->installEventFilter(&watch);
    mainWindow->show();
    createOtherWindowsAfterFirstPaint();
    EXPECT_EQ(appWindowsInCreationOrder().size(), 1u);
    for (int i = 0; i < 100 && !operatorDialog; ++i)
        QTest::qWait(10);
    EXPECT_GE(watch.paints, 1);
    EXPECT_FALSE(watch.othersAtFirstPaint);
    EXPECT_EQ(appWindowsInCreationOrder().size(), 7u);
    EXPECT_EQ(appWindowsInCreationOrder().back(), operatorDialog);
    mainWindow->removeEventFilter(&watch);
    mainWindow->close();
    destroyAppWindows();

    createMainWindow();
    mainWindow->openLogoManager();
    ASSERT_NE(logoWindow, nullptr);
    EXPECT_TRUE(logoWindow->isVisible());
    EXPECT_EQ(appWindowsInCreationOrder().size(), 7u);
    destroyAppWindows();
    WindowPlacement::setStoreOverride(QString());
}

// A named pipe where the settings file belongs would block the program
// before its window ever showed. It starts on default settings instead and
// says once why they will not be kept; the pipe is never opened.
TEST(StartUp, SettingsFileThatIsANamedPipeIsLeftAloneAndSaidOnce)
{
    QTemporaryDir config;
    const QByteArray configBefore = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    TrapFifo settings(config.filePath(WindowPlacement::programBaseName() + ".ini"), std::chrono::seconds(2));
    ASSERT_TRUE(settings.Made());
    ScriptedPrompts prompts;

    createMainWindow();
    mainWindow->show();
    createOtherWindowsAfterFirstPaint();
    for (int i = 0; i < 100 && !operatorDialog; ++i)
        QTest::qWait(10);
    EXPECT_EQ(mainWindow->ui()->portBox->currentText(), "Com1");
    mainWindow->ui()->portBox->setEditText("Com2");
    emit mainWindow->ui()->portBox->lineEdit()->textEdited("Com2");
    smsWindow->show();
    smsWindow->close();
    mainWindow->close();
    destroyAppWindows();
    qputenv("XDG_CONFIG_HOME", configBefore);

    EXPECT_FALSE(settings.Released()) << "something opened the pipe";
    EXPECT_EQ(prompts.Notices, QStringList{"The settings file " + settings.Path()
                                           + " is not used: it is a named pipe, not a file. The program starts with "
                                             "default settings and will not save them."});
    EXPECT_FALSE(QFileInfo(settings.Path()).isFile());
}
