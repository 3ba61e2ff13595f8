#include <gtest/gtest.h>

#include "serial/PortChoice.h"
#include "support/AsNobody.h"
#include "support/PtyPair.h"

#include <QSerialPort>
#include <QSettings>
#include <QTemporaryDir>

namespace {

class PortChoiceTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QSettings settings{dir.filePath("m2bus-tool.ini"), QSettings::IniFormat};
};

TEST_F(PortChoiceTest, ListsDevicesFromTheSettingsOnceBesideTheComItems) {
    PtyPair pty;
    settings.setValue(portsettings::comDeviceKey(3), pty.SlavePath());
    settings.setValue(portsettings::kDevice, pty.SlavePath());
    const QList<PortItem> items = listPorts(settings);
    ASSERT_GE(items.size(), 5);
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(items[n - 1].text, QStringLiteral("Com%1").arg(n));
    EXPECT_EQ(items.last().text, pty.SlavePath());
    EXPECT_EQ(items.last().choice, (PortChoice{0, pty.SlavePath()}));
    EXPECT_EQ(std::count_if(items.begin(), items.end(), [&](const PortItem& i) { return i.text == pty.SlavePath(); }), 1);
    const PortItem* found = findPortItem(items, pty.SlavePath());
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->choice.device, pty.SlavePath());
    EXPECT_EQ(findPortItem(items, "com2"), nullptr);
}

TEST_F(PortChoiceTest, StartsWithTheStoredComTextElseTheStoredDeviceElseCom1) {
    EXPECT_EQ(storedPortChoice(settings), (PortChoice{1, {}}));
    settings.setValue(portsettings::kPortText, "Com3");
    EXPECT_EQ(storedPortChoice(settings), (PortChoice{3, {}}));
    settings.setValue(portsettings::kDevice, "/dev/ttyUSB0");
    EXPECT_EQ(storedPortChoice(settings), (PortChoice{3, {}}));
    // A device item's text is no Com<n> item, nor is a near miss.
    for (const char* text : {"FT232R USB UART \u2014 /dev/ttyUSB0", "com3", "Com5"}) {
        settings.setValue(portsettings::kPortText, text);
        EXPECT_EQ(storedPortChoice(settings), (PortChoice{0, "/dev/ttyUSB0"})) << text;
    }
}

TEST_F(PortChoiceTest, ForgetsTheStoredDeviceWhenAComItemIsChosen) {
    rememberPortChoice(settings, {0, "/dev/ttyACM0"});
    EXPECT_EQ(settings.value(portsettings::kDevice).toString(), "/dev/ttyACM0");
    rememberPortChoice(settings, {2, {}});
    EXPECT_FALSE(settings.contains(portsettings::kDevice));
}

TEST_F(PortChoiceTest, ComItemsOpenTheirSettingOrTheSystemDefault) {
    settings.setValue(portsettings::comDeviceKey(2), "/dev/ttyUSB1");
    EXPECT_EQ(choiceDevicePath(settings, {2, {}}), "/dev/ttyUSB1");
    EXPECT_EQ(choiceDevicePath(settings, {4, {}}), "/dev/ttyS3");
    EXPECT_EQ(choiceDevicePath(settings, {0, "/dev/ttyACM0"}), "/dev/ttyACM0");
}

TEST_F(PortChoiceTest, OpenFailuresNameTheDevice) {
    const QString missing = dir.filePath("ttyUSB9");
    EXPECT_EQ(describeOpenFailure(missing),
              QStringLiteral("The serial port %1 does not exist (is the cable plugged in?)").arg(missing));
    PtyPair pty;
    EXPECT_TRUE(describeOpenFailure(pty.SlavePath()).isEmpty());
    QSerialPort holder;
    holder.setPortName(pty.SlavePath());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    EXPECT_EQ(describeOpenFailure(pty.SlavePath()),
              QStringLiteral("The serial port %1 is in use by another program").arg(pty.SlavePath()));
}

TEST_F(PortChoiceTest, ADeviceTheUserMayNotOpenGetsTheDialoutHint) {
    PtyPair pty;  // root's, mode 0620: nobody may not use it
    AsNobody nobody;
    if (!nobody.Dropped())
        GTEST_SKIP() << "needs root to act as another user";
    const QString why = describeOpenFailure(pty.SlavePath());
    EXPECT_TRUE(why.startsWith("No permission to open " + pty.SlavePath())) << why.toStdString();
    EXPECT_TRUE(why.contains("dialout group")) << why.toStdString();
}

}  // namespace
