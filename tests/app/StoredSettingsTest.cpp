// A settings file written by the first release (tests/fixtures) must load
// unchanged: its section and value names are a stored format, whatever the
// windows and controls are called in the code.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <gtest/gtest.h>

#include "files/SettingsStore.h"
#include "widgets/WindowStateStore.h"
#include "app/MainWindow.h"
#include "sms/ui/SmsWindow.h"
#include "serial/SerialPort.h"
#include "text/WinText.h"
#include "MainWindowControls.h"

TEST(StoredSettings, FirstReleaseSettingsFileRestoresEveryValue)
{
    QTemporaryDir dir;
    const QString store = dir.filePath("settings.ini");
    ASSERT_TRUE(QFile::copy(M2BUS_SOURCE_DIR "/tests/fixtures/settings-first-round.ini", store));
    QFile::setPermissions(store, QFile::ReadOwner | QFile::WriteOwner);
    const SettingsStore settings = SettingsStore::inFile(store);
    auto mainWindow = std::make_unique<MainWindow>(settings);
    SmsWindow* smsWindow = &mainWindow->smsWindow();

    mainWindow->show();
    QApplication::processEvents();
    EXPECT_EQ(MainWindowControls(mainWindow.get()).portBox->currentText(), "Com3");
    EXPECT_EQ(mainWindow->portNumber(), 3);
    EXPECT_EQ(mainWindow->portDevicePath(), "/dev/ttyUSB7");
    EXPECT_EQ(mainWindow->frameGeometry().topLeft(), QPoint(140, 90));

    // The window refills the list from the profile file once shown, so the
    // restored items are taken as the storage leaves them.
    const auto* operators = smsWindow->findChild<QComboBox*>("operatorBox");
    ASSERT_NE(operators, nullptr);
    QStringList items;
    QObject::connect(smsWindow->windowState, &WindowPlacement::placementRestored, [&] {
        for (int i = 0; i < operators->count(); ++i)
            items << operators->itemText(i);
    });
    smsWindow->show();
    QApplication::processEvents();
    EXPECT_EQ(smsWindow->frameGeometry().topLeft(), QPoint(210, 160));
    EXPECT_EQ(smsWindow->size(), QSize(470, 230));
    EXPECT_EQ(items, (QStringList{"Beeline", fromWin1251("\xcc\xd2\xd1"), "Tele2, Moscow"}));
    const auto* text = smsWindow->windowState->storedValues().find("TextField");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->value, fromWin1251("\xcf\xf0\xe8\xe2\xe5\xf2 text"));

    smsWindow->close();
    mainWindow->close();
    mainWindow.reset();
}
