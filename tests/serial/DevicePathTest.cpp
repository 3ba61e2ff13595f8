#include "serial/DevicePath.h"

#include <gtest/gtest.h>

#ifndef Q_OS_WIN
TEST(DevicePath, ComPortsMapToTheSerialDevicesCountedFromZero)
{
    EXPECT_EQ(defaultDevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(defaultDevicePath(4), "/dev/ttyS3");
    EXPECT_EQ(defaultDevicePath(12), "/dev/ttyS11");
    // No device is counted below 1.
    EXPECT_EQ(defaultDevicePath(0), "COM0");
}
#endif
