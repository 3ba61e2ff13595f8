#include "serial/CommControlBlock.h"
#include "serial/DevicePath.h"

#include <gtest/gtest.h>

TEST(CommControlBlock, HandsetLinkSettingsGiveTheBusLine)
{
    const CommControlBlock dcb = BuildControlBlock(handsetLineSettings());
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, 1);
    EXPECT_EQ(dcb.StopBits, 0);
    // fBinary | RTS on | fAbortOnError; DTR off, no handshake, parity not checked.
    EXPECT_EQ(dcb.Flags, 0x5001u);
    EXPECT_EQ(EventMask(handsetLineSettings().MonitorEvents), 0x0005u);
    EXPECT_EQ(dcb.XonChar, 0x11);
    EXPECT_EQ(dcb.XoffChar, 0x13);
    EXPECT_EQ(dcb.XonLim, 1024);
}

TEST(CommControlBlock, HandshakeOwnsItsLineAndHidesTheManualSetting)
{
    SerialSettings s; // component defaults: RTS/CTS handshake, DTR and RTS enabled
    EXPECT_EQ(BuildControlBlock(s).Flags, 0x2004u | 0x4001u | 0x0010u);

    s.FlowControl = fcDtrDsr;
    s.DTRControl = dtrEnable;
    s.RTSControl = rtsToggle;
    EXPECT_EQ(BuildControlBlock(s).Flags, 0x0028u | 0x4001u | 0x3000u);

    s.FlowControl = fcXonXoff;
    s.DTRControl = dtrHandshake;
    s.RTSControl = rtsDisable;
    EXPECT_EQ(BuildControlBlock(s).Flags, 0x0300u | 0x4001u | 0x0020u);
}

TEST(CommControlBlock, OptionsSetTheirBitsAndAbsentOptionsClearThem)
{
    SerialSettings s = handsetLineSettings();
    s.Options = {coParityCheck};
    EXPECT_EQ(BuildControlBlock(s).Flags, 0x5003u);

    s.Options = {coContinueOnXOff, coErrorChar, coNullStrip, coParityCheck, coDsrSensitivity};
    EXPECT_EQ(BuildControlBlock(s).Flags, 0x5001u | 0x0080u | 0x0400u | 0x0800u | 0x0002u | 0x0040u);

    // DSR flow sets no DSR-sensitivity bit of its own, so an absent option leaves it clear.
    s.Options = {};
    s.FlowControl = fcDtrDsr;
    EXPECT_EQ(BuildControlBlock(s).Flags & 0x0040u, 0u);
}

TEST(CommControlBlock, LineFieldsFollowTheirEnumerations)
{
    SerialSettings s;
    s.Baudrate = br256000;
    s.Databits = db4;
    s.Parity = paSpace;
    s.Stopbits = sb2;
    s.EventChars = {0x01, 0x02, 0x3F, 0x7E};
    s.XonLim = 0x12345; // only the low 16 bits fit the block
    s.XoffLim = 512;
    const CommControlBlock dcb = BuildControlBlock(s);
    EXPECT_EQ(dcb.BaudRate, 256000u);
    EXPECT_EQ(dcb.ByteSize, 4);
    EXPECT_EQ(dcb.Parity, 4);
    EXPECT_EQ(dcb.StopBits, 2);
    EXPECT_EQ(dcb.XonChar, 0x01);
    EXPECT_EQ(dcb.XoffChar, 0x02);
    EXPECT_EQ(dcb.ErrorChar, 0x3F);
    EXPECT_EQ(dcb.EvtChar, 0x7E);
    EXPECT_EQ(dcb.XonLim, 0x2345);
    EXPECT_EQ(dcb.XoffLim, 512);

    s.Stopbits = sb15;
    EXPECT_EQ(BuildControlBlock(s).StopBits, 1);
    EXPECT_EQ(BaudrateValue(br110), 110u);
    EXPECT_EQ(BaudrateValue(br14400), 14400u);
    EXPECT_EQ(BaudrateValue(br56000), 56000u);
    EXPECT_EQ(BaudrateValue(br128000), 128000u);
}

TEST(CommControlBlock, EventMaskHasOneDistinctBitPerEvent)
{
    EXPECT_EQ(EventMask({}), 0u);
    EXPECT_EQ(EventMask({ceBreak, ceCts, ceDsr, ceError, ceRing, ceRlsd, ceRxChar, ceTxEmpty, ceRxFlag}), 0x01FFu);
    EXPECT_EQ(EventMask({ceBreak}), 0x0040u);
    EXPECT_EQ(EventMask({ceError, ceRing}), 0x0180u);
    EXPECT_EQ(EventMask({ceCts, ceDsr, ceRlsd}), 0x0038u);
    EXPECT_EQ(EventMask({ceRxFlag}), 0x0002u);
}

TEST(DevicePath, NameIsFormattedWithoutTrustingThePattern)
{
    EXPECT_EQ(FormatDeviceName("COM%d", 3), "COM3");
    EXPECT_EQ(FormatDeviceName("/dev/ttyUSB%d", 0), "/dev/ttyUSB0");
    EXPECT_EQ(FormatDeviceName("100%% %d", 7), "100% 7");
    // Anything but %d and %% is kept as it is, never read as a format.
    EXPECT_EQ(FormatDeviceName("%s%n%d%", 2), "%s%n2%");
    EXPECT_EQ(FormatDeviceName("AUX", 5), "AUX");
}

#ifndef Q_OS_WIN
TEST(DevicePath, ComPortsMapToTheSerialDevicesCountedFromZero)
{
    EXPECT_EQ(DefaultDevicePath("COM1"), "/dev/ttyS0");
    EXPECT_EQ(DefaultDevicePath("COM4"), "/dev/ttyS3");
    EXPECT_EQ(DefaultDevicePath("com12"), "/dev/ttyS11");
    EXPECT_EQ(DefaultDevicePath("/dev/ttyUSB1"), "/dev/ttyUSB1");
    // No device is counted below 1 or by a name with trailing letters.
    EXPECT_EQ(DefaultDevicePath("COM0"), "COM0");
    EXPECT_EQ(DefaultDevicePath("COM1x"), "COM1x");
}
#endif
