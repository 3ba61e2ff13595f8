// The serial port: opens the device of COMn with the line settings, writes
// with a time-out and reads what has arrived. The link pulls its bytes
// (waitForBytes, then read) on a thread that has nothing else to do
// meanwhile.
#pragma once

#include "serial/DevicePath.h"
#include "serial/SerialPortError.h"
#include "serial/SerialSettings.h"

#include <QObject>
#include <QString>

class SerialPort : public QObject {
    Q_OBJECT
public:
    // resolver names the device of a port number; without one, COMn opens its default device.
    SerialPort(const SerialSettings& settings, DeviceResolver resolver, QObject* parent = nullptr);
    ~SerialPort() override;

    // Raises "Invalid port number (COMn)" when the device is missing and
    // "Can't open device COMn" when it cannot be had (in use, say).
    void open();
    // Lets what was written leave first (at most closeDrainLimitMs), throws
    // away what arrived unread, and releases the device.
    void close();
    bool isOpen() const;
    // Bytes written once the OS has taken them all; 0 when that takes longer
    // than writeTimeoutMs (what was not taken is then discarded).
    int write(const void* buffer, int count);
    // Up to count bytes that have already arrived; never waits.
    int read(void* buffer, int count);
    // Blocks until bytes have arrived (true) or msecs have passed (false).
    bool waitForBytes(int msecs);

    // Changed while open: raises "Can't perform this operation when port is open".
    int portNumber() const { return portNumber_; }
    void setPortNumber(int value);
    // The device open() would use: the resolver's path, else COMn's default.
    QString devicePath() const;

private:
    void rejectWhenOpen() const;
    void drainOutput(int timeoutMs);
    // Moves bytes the OS holds into the port's buffer.
    void pullArrivedBytes();

    SerialSettings settings_;
    DeviceResolver resolver_;
    QSerialPort* port_;
    int portNumber_ = 1;
};
