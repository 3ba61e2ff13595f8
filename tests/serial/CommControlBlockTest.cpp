#include "serial/CommControlBlock.h"
#include "serial/DevicePath.h"

#include <gtest/gtest.h>

TEST(CommControlBlock, HandsetLinkSettingsGiveTheBusLine)
{
    const CommControlBlock dcb = buildControlBlock(handsetLineSettings());
    EXPECT_EQ(dcb.baudRate, 9600u);
    EXPECT_EQ(dcb.byteSize, 8);
    EXPECT_EQ(dcb.parity, 1);
    EXPECT_EQ(dcb.stopBits, 0);
    // fBinary | RTS on | fAbortOnError; DTR off, no handshake, parity not checked.
    EXPECT_EQ(dcb.flags, 0x5001u);
    EXPECT_EQ(eventMask(handsetLineSettings().monitorEvents), 0x0005u);
    EXPECT_EQ(dcb.xonChar, 0x11);
    EXPECT_EQ(dcb.xoffChar, 0x13);
    EXPECT_EQ(dcb.xonLimit, 1024);
}

TEST(CommControlBlock, HandshakeOwnsItsLineAndHidesTheManualSetting)
{
    SerialSettings s; // component defaults: RTS/CTS handshake, DTR and RTS enabled
    EXPECT_EQ(buildControlBlock(s).flags, 0x2004u | 0x4001u | 0x0010u);

    s.flowControl = FlowControlMode::DtrDsr;
    s.dtrControl = DtrMode::Enable;
    s.rtsControl = RtsMode::Toggle;
    EXPECT_EQ(buildControlBlock(s).flags, 0x0028u | 0x4001u | 0x3000u);

    s.flowControl = FlowControlMode::XonXoff;
    s.dtrControl = DtrMode::Handshake;
    s.rtsControl = RtsMode::Disable;
    EXPECT_EQ(buildControlBlock(s).flags, 0x0300u | 0x4001u | 0x0020u);
}

TEST(CommControlBlock, OptionsSetTheirBitsAndAbsentOptionsClearThem)
{
    SerialSettings s = handsetLineSettings();
    s.options = {SerialOption::ParityCheck};
    EXPECT_EQ(buildControlBlock(s).flags, 0x5003u);

    s.options = {SerialOption::ContinueOnXoff, SerialOption::ErrorChar, SerialOption::NullStrip,
                 SerialOption::ParityCheck, SerialOption::DsrSensitivity};
    EXPECT_EQ(buildControlBlock(s).flags, 0x5001u | 0x0080u | 0x0400u | 0x0800u | 0x0002u | 0x0040u);

    // DSR flow sets no DSR-sensitivity bit of its own, so an absent option leaves it clear.
    s.options = {};
    s.flowControl = FlowControlMode::DtrDsr;
    EXPECT_EQ(buildControlBlock(s).flags & 0x0040u, 0u);
}

TEST(CommControlBlock, LineFieldsFollowTheirEnumerations)
{
    SerialSettings s;
    s.baudRate = BaudRateMode::Baud256000;
    s.dataBits = DataBitsMode::Data4;
    s.parity = ParityMode::Space;
    s.stopBits = StopBitsMode::Two;
    s.eventChars = {0x01, 0x02, 0x3F, 0x7E};
    s.xonLimit = 0x12345; // only the low 16 bits fit the block
    s.xoffLimit = 512;
    const CommControlBlock dcb = buildControlBlock(s);
    EXPECT_EQ(dcb.baudRate, 256000u);
    EXPECT_EQ(dcb.byteSize, 4);
    EXPECT_EQ(dcb.parity, 4);
    EXPECT_EQ(dcb.stopBits, 2);
    EXPECT_EQ(dcb.xonChar, 0x01);
    EXPECT_EQ(dcb.xoffChar, 0x02);
    EXPECT_EQ(dcb.errorChar, 0x3F);
    EXPECT_EQ(dcb.eventChar, 0x7E);
    EXPECT_EQ(dcb.xonLimit, 0x2345);
    EXPECT_EQ(dcb.xoffLimit, 512);

    s.stopBits = StopBitsMode::OneAndHalf;
    EXPECT_EQ(buildControlBlock(s).stopBits, 1);
    EXPECT_EQ(baudRateValue(BaudRateMode::Baud110), 110u);
    EXPECT_EQ(baudRateValue(BaudRateMode::Baud14400), 14400u);
    EXPECT_EQ(baudRateValue(BaudRateMode::Baud56000), 56000u);
    EXPECT_EQ(baudRateValue(BaudRateMode::Baud128000), 128000u);
}

TEST(CommControlBlock, EventMaskHasOneDistinctBitPerEvent)
{
    EXPECT_EQ(eventMask({}), 0u);
    EXPECT_EQ(eventMask({SerialEvent::Break, SerialEvent::Cts, SerialEvent::Dsr, SerialEvent::Error, SerialEvent::Ring,
                         SerialEvent::Rlsd, SerialEvent::RxChar, SerialEvent::TxEmpty, SerialEvent::RxFlag}),
              0x01FFu);
    EXPECT_EQ(eventMask({SerialEvent::Break}), 0x0040u);
    EXPECT_EQ(eventMask({SerialEvent::Error, SerialEvent::Ring}), 0x0180u);
    EXPECT_EQ(eventMask({SerialEvent::Cts, SerialEvent::Dsr, SerialEvent::Rlsd}), 0x0038u);
    EXPECT_EQ(eventMask({SerialEvent::RxFlag}), 0x0002u);
}

TEST(DevicePath, NameIsFormattedWithoutTrustingThePattern)
{
    EXPECT_EQ(formatDeviceName("COM%d", 3), "COM3");
    EXPECT_EQ(formatDeviceName("/dev/ttyUSB%d", 0), "/dev/ttyUSB0");
    EXPECT_EQ(formatDeviceName("100%% %d", 7), "100% 7");
    // Anything but %d and %% is kept as it is, never read as a format.
    EXPECT_EQ(formatDeviceName("%s%n%d%", 2), "%s%n2%");
    EXPECT_EQ(formatDeviceName("AUX", 5), "AUX");
}

#ifndef Q_OS_WIN
TEST(DevicePath, ComPortsMapToTheSerialDevicesCountedFromZero)
{
    EXPECT_EQ(defaultDevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(defaultDevicePath("COM4"), "/dev/ttyS3");
    EXPECT_EQ(defaultDevicePath("com12"), "/dev/ttyS11");
    EXPECT_EQ(defaultDevicePath("/dev/ttyUSB1"), "/dev/ttyUSB1");
    // No device is counted below 1 or by a name with trailing letters.
    EXPECT_EQ(defaultDevicePath("COM0"), "COM0");
    EXPECT_EQ(defaultDevicePath("COM1x"), "COM1x");
}
#endif
