// The port box beside Com1..Com4: devices the settings name, chosen by the
// user, remembered for the next start, and named when they cannot be opened.
#include <QApplication>
#include <QSettings>
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "app/PortBox.h"
#include "serial/PortChoice.h"
#include "serial/PortChoice.h"
#include "MainWindowControls.h"

namespace {

void SetStored(const AppUnderTest& app, const QString& key, const QString& value)
{
    QSettings store(app.StorePath(), QSettings::IniFormat);
    if (value.isEmpty())
        store.remove(key);
    else
        store.setValue(key, value);
}

// As the user does it: the list dropped down, then the device's item picked.
void ChooseDevice(AppUnderTest& app, const QString& device)
{
    PortBox& box = *MainWindowControls(&app.Main()).portBox;
    box.showPopup();
    box.hidePopup();
    const int index = box.findText(device, Qt::MatchExactly | Qt::MatchCaseSensitive);
    ASSERT_GE(index, 0) << device.toStdString();
    box.setCurrentIndex(index);
    emit box.textActivated(device);
}

} // namespace

TEST(PortBox, DeviceNamedInTheSettingsIsListedOnOpeningAndIsStillChosenAtTheNextStart)
{
    AppUnderTest app;
    SetStored(app, "Ports", {}); // Com1..Com4 no longer reach the simulator
    app.Main().show();
    QApplication::processEvents();
    const QString pty = QString::fromStdString(app.sim.DevicePath());
    EXPECT_EQ(MainWindowControls(&app.Main()).portBox->findText(pty), -1);

    SetStored(app, "Ports/COM4", pty);
    ChooseDevice(app, pty);
    SetStored(app, "Ports/COM4", {});
    ASSERT_TRUE(app.Click(MainWindowControls(&app.Main()).connectButton));
    EXPECT_EQ(app.prompts.Notices, QStringList{});
    EXPECT_FALSE(MainWindowControls(&app.Main()).serialNumberLabel->text().isEmpty());

    app.Restart();
    EXPECT_EQ(MainWindowControls(&app.Main()).portBox->currentText(), pty);
    ASSERT_TRUE(app.Click(MainWindowControls(&app.Main()).connectButton));
    EXPECT_EQ(app.prompts.Notices, QStringList{});
    EXPECT_FALSE(MainWindowControls(&app.Main()).serialNumberLabel->text().isEmpty());
}

TEST(PortBox, MissingDeviceIsNamedInTheMessage)
{
    AppUnderTest app;
    app.Main().show();
    QApplication::processEvents();
    const QString missing = app.dir.filePath("ttyUSB9");
    SetStored(app, "Ports/COM2", missing);
    ChooseDevice(app, missing);
    ASSERT_TRUE(app.Click(MainWindowControls(&app.Main()).resetButton));
    EXPECT_EQ(app.prompts.Notices,
              QStringList{"The serial port " + missing + " does not exist (is the cable plugged in?)"});
    EXPECT_TRUE(MainWindowControls(&app.Main()).resetButton->isEnabled());
}

// Asking the system for its ports takes thousands of file opens on Linux;
// start-up shows what the settings know, the box asks when it is opened.
TEST(PortBox, SystemIsAskedForItsPortsWhenTheBoxOpensNotAtStart)
{
    int asked = 0;
    const SystemPortSource before = setSystemPortSource([&asked] {
        ++asked;
        return QList<SystemPort>{{"USB serial", "/dev/ttyUSB5"}, {"", "/dev/ttyACM0"}};
    });
    {
        AppUnderTest app;
        SetStored(app, "Ports", {});
        SetStored(app, portsettings::kDevice, "/dev/ttyUSB5");
        SetStored(app, portsettings::kPortText, "USB serial \u2014 /dev/ttyUSB5");
        app.Restart();
        PortBox& box = *MainWindowControls(&app.Main()).portBox;
        const auto items = [&box] {
            QStringList texts;
            for (int i = 0; i < box.count(); ++i)
                texts << box.itemText(i);
            return texts;
        };
        EXPECT_EQ(asked, 0);
        EXPECT_EQ(items(), (QStringList{"Com1", "Com2", "Com3", "Com4", "USB serial \u2014 /dev/ttyUSB5"}));
        EXPECT_EQ(box.currentText(), "USB serial \u2014 /dev/ttyUSB5");
        EXPECT_EQ(app.Main().portNumber(), kChosenDevicePort);

        box.showPopup();
        box.hidePopup();
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(items(), (QStringList{"Com1", "Com2", "Com3", "Com4", "USB serial \u2014 /dev/ttyUSB5", "/dev/ttyACM0"}));
        EXPECT_EQ(box.currentText(), "USB serial \u2014 /dev/ttyUSB5");
    }
    setSystemPortSource(before);
}
