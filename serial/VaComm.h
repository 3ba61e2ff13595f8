// Serial port component TVaComm: opens COMn with the line settings below,
// writes and reads with time-outs, and reports arriving bytes as OnRxChar.
//
// There is no worker thread: QSerialPort's notifier already runs on the UI
// thread and fires only while that thread processes events, which is the
// delivery the link's polling loops are written for.
#pragma once

#include "serial/EVaCommError.h"
#include "serial/VaCommTypes.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

class QSerialPort;

class TVaComm : public QObject {
    Q_OBJECT
public:
    using TVaRxCharEvent = std::function<void(QObject* Sender, int Count)>;
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    // Maps a port number to a device path; an empty result means "use the default".
    using DeviceResolver = std::function<QString(int portNum)>;
    using ErrorReport = std::function<void(const std::exception& error)>;

    explicit TVaComm(QObject* parent = nullptr);
    TVaComm(const TVaCommSettings& settings, QObject* parent = nullptr);
    ~TVaComm() override;

    void Open();
    void Close();
    bool IsOpen() const;
    // Bytes written once the OS has taken them all; 0 when that takes longer
    // than WriteTimeout (what was not taken is then discarded).
    int WriteBuf(const void* buffer, int count);
    // Up to count bytes that have already arrived; never waits.
    int ReadBuf(void* buffer, int count);
    // Opens the port if AutoOpen is set; called once the owner has set the properties.
    void Loaded();

    // Raised while the UI thread processes events, never inside WriteBuf,
    // ReadBuf or itself; Count covers every byte waiting at that moment.
    TVaRxCharEvent OnRxChar;
    TNotifyEvent OnOpen;
    TNotifyEvent OnClose;

    static void SetDeviceResolver(DeviceResolver resolver);
    // Where an exception from OnRxChar goes: it must not unwind through the
    // event loop. Without a report it is written to the Qt log.
    static void SetErrorReport(ErrorReport report);
    // The device path Open would use for the current DeviceName and PortNum.
    QString DevicePath() const;

    const TVaCommSettings& Settings() const { return settings_; }

    bool AutoOpen() const { return settings_.AutoOpen; }
    void SetAutoOpen(bool value) { settings_.AutoOpen = value; }
    const std::string& DeviceName() const { return settings_.DeviceName; }
    void SetDeviceName(const std::string& value) { settings_.DeviceName = value; }
    int ReadTimeout() const { return settings_.ReadTimeout; }
    void SetReadTimeout(int value) { settings_.ReadTimeout = value; }
    int WriteTimeout() const { return settings_.WriteTimeout; }
    void SetWriteTimeout(int value) { settings_.WriteTimeout = value; }

    // Changed while open: raise "Can't perform this operation when port is open".
    int PortNum() const { return settings_.PortNum; }
    void SetPortNum(int value);
    TVaCommEvents MonitorEvents() const { return settings_.MonitorEvents; }
    void SetMonitorEvents(TVaCommEvents value);
    int ReadBufSize() const { return settings_.ReadBufSize; }
    void SetReadBufSize(int value);
    int WriteBufSize() const { return settings_.WriteBufSize; }
    void SetWriteBufSize(int value);
    TVaThreadPriority Priority() const { return settings_.Priority; }
    void SetPriority(TVaThreadPriority value);

    // Changed while open: the line is set up again at once.
    TVaBaudrate Baudrate() const { return settings_.Baudrate; }
    void SetBaudrate(TVaBaudrate value);
    TVaParity Parity() const { return settings_.Parity; }
    void SetParity(TVaParity value);
    TVaDatabits Databits() const { return settings_.Databits; }
    void SetDatabits(TVaDatabits value);
    TVaStopbits Stopbits() const { return settings_.Stopbits; }
    void SetStopbits(TVaStopbits value);
    TVaFlowControl FlowControl() const { return settings_.FlowControl; }
    void SetFlowControl(TVaFlowControl value);
    TVaCommOptions Options() const { return settings_.Options; }
    void SetOptions(TVaCommOptions value);
    int XonLim() const { return settings_.XonLim; }
    void SetXonLim(int value);
    int XoffLim() const { return settings_.XoffLim; }
    void SetXoffLim(int value);
    TVaDTRControl DTRControl() const { return settings_.DTRControl; }
    void SetDTRControl(TVaDTRControl value);
    TVaRTSControl RTSControl() const { return settings_.RTSControl; }
    void SetRTSControl(TVaRTSControl value);
    const TVaEventChars& EventChars() const { return settings_.EventChars; }
    void SetEventChars(const TVaEventChars& value);

private:
    void ApplySettings();
    void RejectWhenOpen() const;
    template <typename T>
    void StoreAndApply(T& field, const T& value);

    void PortReadyRead();
    void DeliverRxChar();
    void ScheduleDelivery();
    // Moves bytes the OS holds into the port's buffer without notifying anyone.
    void PullArrivedBytes();

    // Marks WriteBuf, ReadBuf and OnRxChar: a readyRead inside them is deferred.
    class BusyScope;

    TVaCommSettings settings_;
    QSerialPort* port_;
    int busyDepth_ = 0;
    bool rxPending_ = false;
    bool deliveryQueued_ = false;
};
