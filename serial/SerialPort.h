// The serial port: opens COMn with the line settings below, writes and reads
// with time-outs, and reports arriving bytes through bytesArrived.
//
// There is no worker thread: QSerialPort's notifier already runs on the UI
// thread and fires only while that thread processes events, which is the
// delivery the link's polling loops are written for.
#pragma once

#include "serial/DevicePath.h"
#include "serial/SerialPortError.h"
#include "serial/SerialSettings.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

class QSerialPort;

class SerialPort : public QObject {
    Q_OBJECT
public:
    // resolver names the device of a port number; without one, COMn opens its default device.
    SerialPort(const SerialSettings& settings, DeviceResolver resolver, QObject* parent = nullptr);
    ~SerialPort() override;

    void open();
    // Lets what was written leave first (at most kCloseDrainLimitMs), throws
    // away what arrived unread, and releases the device.
    void close();
    static constexpr int kCloseDrainLimitMs = 500;
    bool isOpen() const;
    // Bytes written once the OS has taken them all; 0 when that takes longer
    // than writeTimeout (what was not taken is then discarded).
    int write(const void* buffer, int count);
    // Up to count bytes that have already arrived; never waits.
    int read(void* buffer, int count);
    // Blocks until bytes have arrived (true) or msecs have passed (false),
    // for a thread that has nothing else to do meanwhile: the link's own
    // thread, the command line.
    bool waitForBytes(int msecs);
    // Opens the port if autoOpen is set; called once the owner has set the properties.
    void openIfAutoOpen();

    // The device path open() would use for the current deviceName and portNumber.
    QString devicePath() const;

    const SerialSettings& settings() const { return settings_; }

    bool autoOpen() const { return settings_.autoOpen; }
    void setAutoOpen(bool value) { settings_.autoOpen = value; }
    const std::string& deviceName() const { return settings_.deviceName; }
    void setDeviceName(const std::string& value) { settings_.deviceName = value; }
    int readTimeout() const { return settings_.readTimeout; }
    void setReadTimeout(int value) { settings_.readTimeout = value; }
    int writeTimeout() const { return settings_.writeTimeout; }
    void setWriteTimeout(int value) { settings_.writeTimeout = value; }

    // Changed while open: raise "Can't perform this operation when port is open".
    int portNumber() const { return settings_.portNumber; }
    void setPortNumber(int value);
    SerialEvents monitorEvents() const { return settings_.monitorEvents; }
    void setMonitorEvents(SerialEvents value);
    int readBufferSize() const { return settings_.readBufferSize; }
    void setReadBufferSize(int value);
    int writeBufferSize() const { return settings_.writeBufferSize; }
    void setWriteBufferSize(int value);
    ThreadPriorityMode priority() const { return settings_.priority; }
    void setPriority(ThreadPriorityMode value);

    // Changed while open: the line is set up again at once.
    BaudRateMode baudRate() const { return settings_.baudRate; }
    void setBaudRate(BaudRateMode value);
    ParityMode parity() const { return settings_.parity; }
    void setParity(ParityMode value);
    DataBitsMode dataBits() const { return settings_.dataBits; }
    void setDataBits(DataBitsMode value);
    StopBitsMode stopBits() const { return settings_.stopBits; }
    void setStopBits(StopBitsMode value);
    FlowControlMode flowControl() const { return settings_.flowControl; }
    void setFlowControl(FlowControlMode value);
    SerialOptions options() const { return settings_.options; }
    void setOptions(SerialOptions value);
    int xonLimit() const { return settings_.xonLimit; }
    void setXonLimit(int value);
    int xoffLimit() const { return settings_.xoffLimit; }
    void setXoffLimit(int value);
    DtrMode dtrControl() const { return settings_.dtrControl; }
    void setDtrControl(DtrMode value);
    RtsMode rtsControl() const { return settings_.rtsControl; }
    void setRtsControl(RtsMode value);
    const SerialEventChars& eventChars() const { return settings_.eventChars; }
    void setEventChars(const SerialEventChars& value);

signals:
    // Sent while the port's thread processes events, never inside write, read
    // or itself; count covers every byte waiting then. Receivers must not
    // throw: the signal comes from the event loop.
    void bytesArrived(int count);

private:
    void applySettings();
    void rejectWhenOpen() const;
    template <typename T>
    void storeAndApply(T& field, const T& value);

    void drainOutput(int timeoutMs);
    void portReadyRead();
    void deliverArrivedBytes();
    void scheduleDelivery();
    // Moves bytes the OS holds into the port's buffer without notifying anyone.
    void pullArrivedBytes();

    // Marks write, read and bytesArrived: a readyRead inside them is deferred.
    class BusyScope;

    SerialSettings settings_;
    DeviceResolver resolver_;
    QSerialPort* port_;
    int busyDepth_ = 0;
    bool rxPending_ = false;
    bool deliveryQueued_ = false;
};
