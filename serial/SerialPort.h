// Serial port component SerialPort: opens COMn with the line settings below,
// writes and reads with time-outs, and reports arriving bytes as OnRxChar.
//
// There is no worker thread: QSerialPort's notifier already runs on the UI
// thread and fires only while that thread processes events, which is the
// delivery the link's polling loops are written for.
#pragma once

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
    using ReceiveEvent = std::function<void(QObject* Sender, int Count)>;
    using NotifyEvent = std::function<void(QObject* Sender)>;
    // Maps a port number to a device path; an empty result means "use the default".
    using DeviceResolver = std::function<QString(int portNum)>;
    using ErrorReport = std::function<void(const std::exception& error)>;

    explicit SerialPort(QObject* parent = nullptr);
    SerialPort(const SerialSettings& settings, QObject* parent = nullptr);
    ~SerialPort() override;

    void Open();
    // Lets what was written leave first (at most kCloseDrainLimitMs), throws
    // away what arrived unread, and releases the device.
    void Close();
    static constexpr int kCloseDrainLimitMs = 500;
    bool IsOpen() const;
    // Bytes written once the OS has taken them all; 0 when that takes longer
    // than WriteTimeout (what was not taken is then discarded).
    int write(const void* buffer, int count);
    // Up to count bytes that have already arrived; never waits.
    int read(void* buffer, int count);
    // Opens the port if AutoOpen is set; called once the owner has set the properties.
    void Loaded();

    // Raised while the UI thread processes events, never inside write,
    // read or itself; Count covers every byte waiting at that moment.
    ReceiveEvent OnRxChar;
    NotifyEvent OnOpen;
    NotifyEvent OnClose;

    static void SetDeviceResolver(DeviceResolver resolver);
    // Where an exception from OnRxChar goes: it must not unwind through the
    // event loop. Without a report it is written to the Qt log.
    static void SetErrorReport(ErrorReport report);
    // The device path Open would use for the current DeviceName and portNumber.
    QString DevicePath() const;

    const SerialSettings& Settings() const { return settings_; }

    bool AutoOpen() const { return settings_.AutoOpen; }
    void SetAutoOpen(bool value) { settings_.AutoOpen = value; }
    const std::string& DeviceName() const { return settings_.DeviceName; }
    void SetDeviceName(const std::string& value) { settings_.DeviceName = value; }
    int ReadTimeout() const { return settings_.ReadTimeout; }
    void SetReadTimeout(int value) { settings_.ReadTimeout = value; }
    int WriteTimeout() const { return settings_.WriteTimeout; }
    void SetWriteTimeout(int value) { settings_.WriteTimeout = value; }

    // Changed while open: raise "Can't perform this operation when port is open".
    int portNumber() const { return settings_.portNumber; }
    void SetPortNum(int value);
    SerialEvents MonitorEvents() const { return settings_.MonitorEvents; }
    void SetMonitorEvents(SerialEvents value);
    int ReadBufSize() const { return settings_.ReadBufSize; }
    void SetReadBufSize(int value);
    int WriteBufSize() const { return settings_.WriteBufSize; }
    void SetWriteBufSize(int value);
    ThreadPriorityMode Priority() const { return settings_.Priority; }
    void SetPriority(ThreadPriorityMode value);

    // Changed while open: the line is set up again at once.
    BaudRateMode Baudrate() const { return settings_.Baudrate; }
    void SetBaudrate(BaudRateMode value);
    ParityMode Parity() const { return settings_.Parity; }
    void SetParity(ParityMode value);
    DataBitsMode Databits() const { return settings_.Databits; }
    void SetDatabits(DataBitsMode value);
    StopBitsMode Stopbits() const { return settings_.Stopbits; }
    void SetStopbits(StopBitsMode value);
    FlowControlMode FlowControl() const { return settings_.FlowControl; }
    void SetFlowControl(FlowControlMode value);
    SerialOptions Options() const { return settings_.Options; }
    void SetOptions(SerialOptions value);
    int XonLim() const { return settings_.XonLim; }
    void SetXonLim(int value);
    int XoffLim() const { return settings_.XoffLim; }
    void SetXoffLim(int value);
    DtrMode DTRControl() const { return settings_.DTRControl; }
    void SetDTRControl(DtrMode value);
    RtsMode RTSControl() const { return settings_.RTSControl; }
    void SetRTSControl(RtsMode value);
    const SerialEventChars& EventChars() const { return settings_.EventChars; }
    void SetEventChars(const SerialEventChars& value);

private:
    void ApplySettings();
    void RejectWhenOpen() const;
    template <typename T>
    void StoreAndApply(T& field, const T& value);

    void DrainOutput(int timeoutMs);
    void PortReadyRead();
    void DeliverRxChar();
    void ScheduleDelivery();
    // Moves bytes the OS holds into the port's buffer without notifying anyone.
    void PullArrivedBytes();

    // Marks write, read and OnRxChar: a readyRead inside them is deferred.
    class BusyScope;

    SerialSettings settings_;
    QSerialPort* port_;
    int busyDepth_ = 0;
    bool rxPending_ = false;
    bool deliveryQueued_ = false;
};
