// A settings file written by the first release (tests/fixtures) must load
// unchanged: its section and value names are a stored format, whatever the
// windows and controls are called in the code.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/AppWindows.h"
#include "widgets/FormStorage.h"
#include "app/Unit1.h"
#include "sms/ui/Unit6.h"
#include "serial/VaComm.h"
#include "widgets/WinText.h"
#include "ui_Unit1.h"

TEST(StoredSettings, FirstReleaseSettingsFileRestoresEveryValue)
{
    QTemporaryDir dir;
    const QString store = dir.filePath("settings.ini");
    ASSERT_TRUE(QFile::copy(M2BUS_SOURCE_DIR "/tests/fixtures/settings-first-round.ini", store));
    QFile::setPermissions(store, QFile::ReadOwner | QFile::WriteOwner);
    TFormPlacement::SetStoreOverride(store);
    CreateAppWindows();

    FMain->show();
    QApplication::processEvents();
    EXPECT_EQ(FMain->ui()->cboxCOM->currentText(), "Com3");
    EXPECT_EQ(FMain->VaComm1().PortNum(), 3);
    EXPECT_EQ(FMain->VaComm1().DevicePath(), "/dev/ttyUSB7");
    EXPECT_EQ(FMain->frameGeometry().topLeft(), QPoint(140, 90));

    // The window refills the list from the profile file once shown, so the
    // restored items are taken as the storage leaves them.
    const auto* operators = FSendSMS->findChild<QComboBox*>("ComboBox1");
    ASSERT_NE(operators, nullptr);
    QStringList items;
    FSendSMS->FormStorage1->OnRestorePlacement = [&](TFormPlacement*) {
        for (int i = 0; i < operators->count(); ++i)
            items << operators->itemText(i);
    };
    FSendSMS->show();
    QApplication::processEvents();
    EXPECT_EQ(FSendSMS->frameGeometry().topLeft(), QPoint(210, 160));
    EXPECT_EQ(FSendSMS->size(), QSize(470, 230));
    EXPECT_EQ(items, (QStringList{"Beeline", FromWin1251("\xcc\xd2\xd1"), "Tele2, Moscow"}));
    const auto* text = FSendSMS->FormStorage1->StoredValues().Find("TextField");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Value, FromWin1251("\xcf\xf0\xe8\xe2\xe5\xf2 text"));

    FSendSMS->close();
    FMain->close();
    DestroyAppWindows();
    TFormPlacement::SetStoreOverride(QString());
}
