#include "serial/SerialPort.h"

#include "serial/DevicePath.h"
#include "serial/LineSetup.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QMetaObject>
#include <QSerialPort>
#include <QtGlobal>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace {

SerialPort::DeviceResolver& Resolver()
{
    static SerialPort::DeviceResolver resolver;
    return resolver;
}

SerialPort::ErrorReport& Report()
{
    static SerialPort::ErrorReport report;
    return report;
}

#ifdef Q_OS_WIN
constexpr int kBadHandle = 6; // ERROR_INVALID_HANDLE
#else
constexpr int kBadHandle = EBADF;
#endif

[[noreturn]] void RaiseSystem(const char* pattern, int code)
{
    throw SerialPortError(VaCommText::WithSystemError(pattern, code, SystemErrorText(code)));
}

} // namespace

class SerialPort::BusyScope {
public:
    explicit BusyScope(SerialPort& comm)
        : comm_(comm)
    {
        ++comm_.busyDepth_;
    }
    ~BusyScope()
    {
        if (--comm_.busyDepth_ == 0 && comm_.rxPending_)
            comm_.ScheduleDelivery();
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    SerialPort& comm_;
};

SerialPort::SerialPort(QObject* parent)
    : SerialPort(SerialSettings{}, parent)
{ }

SerialPort::SerialPort(const SerialSettings& settings, QObject* parent)
    : QObject(parent)
    , settings_(settings)
    , port_(new QSerialPort(this))
{
    connect(port_, &QSerialPort::readyRead, this, &SerialPort::PortReadyRead);
}

SerialPort::~SerialPort()
{
    // No notifications and no errors from a dying component: let what was
    // written leave, then let the device go.
    if (port_->isOpen()) {
        DrainOutput(kCloseDrainLimitMs);
        port_->clear(QSerialPort::Input);
        port_->close();
    }
}

void SerialPort::SetDeviceResolver(DeviceResolver resolver)
{
    Resolver() = std::move(resolver);
}

void SerialPort::SetErrorReport(ErrorReport report)
{
    Report() = std::move(report);
}

QString SerialPort::DevicePath() const
{
    if (Resolver()) {
        QString path = Resolver()(settings_.portNumber);
        if (!path.isEmpty())
            return path;
    }
    return DefaultDevicePath(FormatDeviceName(settings_.DeviceName, settings_.portNumber));
}

bool SerialPort::IsOpen() const
{
    return port_->isOpen();
}

void SerialPort::Open()
{
    RejectWhenOpen();
    const QString path = DevicePath();
#ifndef Q_OS_WIN
    // The port takes a lock file named after the device before it opens it,
    // so a missing device that someone else tries at the same moment would
    // otherwise look locked.
    if (!QFileInfo::exists(path))
        throw SerialPortError(VaCommText::InvalidPort(settings_.portNumber));
#endif
    port_->setPortName(path);
    if (!port_->open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = port_->error();
        port_->clearError();
        if (error == QSerialPort::DeviceNotFoundError)
            throw SerialPortError(VaCommText::InvalidPort(settings_.portNumber));
        throw SerialPortError(VaCommText::CantOpen(settings_.portNumber));
    }
    try {
        ApplySettings();
    } catch (...) {
        port_->close();
        throw;
    }
    // Bytes that reached the device while it was closed belong to nobody; a
    // UART would not have kept them either.
    port_->clear(QSerialPort::Input);
    rxPending_ = false;
    if (OnOpen)
        OnOpen(this);
}

// Waits until what was written has left the port, at most timeoutMs. Each
// frame's write already waited until the system took it; what the system
// still holds is at most a frame or two on the wire.
void SerialPort::DrainOutput(int timeoutMs)
{
    port_->flush();
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
#ifdef Q_OS_WIN
    const HANDLE handle = reinterpret_cast<HANDLE>(port_->handle());
    for (;;) {
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(handle, &errors, &status) || status.cbOutQue == 0)
            return;
        if (std::chrono::steady_clock::now() >= giveUp)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
#else
    const int fd = static_cast<int>(port_->handle());
    for (;;) {
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0)
            break;
        if (std::chrono::steady_clock::now() >= giveUp)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // The queue is empty; the UART's own few bytes go out within milliseconds.
    ::tcdrain(fd);
#endif
}

void SerialPort::Close()
{
    if (!IsOpen())
        return;
    rxPending_ = false;
    // Our last acknowledgement must reach the handset: a purge of the output
    // would throw it away a few microseconds after it was written, and a
    // handset left without it sends its reply again into the next request.
    DrainOutput(kCloseDrainLimitMs);
    errno = 0;
    const bool cleared = port_->clear(QSerialPort::Input);
    const int code = LastSystemError();
    port_->clearError();
    // The device is released even when the purge failed, so that the next
    // command can open it again.
    port_->close();
    if (!cleared)
        RaiseSystem(VaCommText::ClearBuffers, code);
    if (OnClose)
        OnClose(this);
}

void SerialPort::Loaded()
{
    if (settings_.AutoOpen)
        Open();
}

int SerialPort::write(const void* buffer, int count)
{
    if (!IsOpen())
        RaiseSystem(VaCommText::Write, kBadHandle);
    if (count <= 0)
        return 0;
    BusyScope busy(*this);
    const qint64 arrivedBefore = port_->bytesAvailable();
    errno = 0;
    if (port_->write(static_cast<const char*>(buffer), count) != count) {
        const int code = LastSystemError();
        port_->clearError();
        RaiseSystem(VaCommText::Write, code);
    }
    const QDeadlineTimer deadline(qMax(settings_.WriteTimeout, 0));
    bool written = port_->bytesToWrite() == 0;
    while (!written) {
        errno = 0;
        const bool progressed = port_->waitForBytesWritten(static_cast<int>(deadline.remainingTime()));
        written = port_->bytesToWrite() == 0;
        if (progressed || written) {
            if (!written && deadline.hasExpired())
                break;
            continue;
        }
        const QSerialPort::SerialPortError error = port_->error();
        const int code = LastSystemError();
        port_->clearError();
        if (error != QSerialPort::TimeoutError && error != QSerialPort::NoError)
            RaiseSystem(VaCommText::Write, code);
        break;
    }
    // The write may have pulled in received bytes (and swallowed their
    // readyRead); they are announced once this write is over.
    if (port_->bytesAvailable() > arrivedBefore)
        rxPending_ = true;
    if (!written) {
        // Nothing of a timed-out write may go out later, half a frame least of all.
        port_->clear(QSerialPort::Output);
        port_->clearError();
        return 0;
    }
    return count;
}

int SerialPort::read(void* buffer, int count)
{
    if (!IsOpen())
        RaiseSystem(VaCommText::Read, kBadHandle);
    if (count <= 0)
        return 0;
    BusyScope busy(*this);
    if (port_->bytesAvailable() < count)
        PullArrivedBytes();
    errno = 0;
    const qint64 got = port_->read(static_cast<char*>(buffer), count);
    if (got < 0) {
        const int code = LastSystemError();
        port_->clearError();
        RaiseSystem(VaCommText::Read, code);
    }
    return static_cast<int>(got);
}

void SerialPort::PullArrivedBytes()
{
    const qint64 before = port_->bytesAvailable();
    // A zero wait reads what the OS holds; its readyRead lands in PortReadyRead
    // while busy and is only remembered there.
    if (!port_->waitForReadyRead(0))
        port_->clearError();
    if (port_->bytesAvailable() > before)
        rxPending_ = true;
}

void SerialPort::PortReadyRead()
{
    if (busyDepth_ > 0) {
        rxPending_ = true;
        return;
    }
    DeliverRxChar();
}

void SerialPort::ScheduleDelivery()
{
    if (deliveryQueued_ || !IsOpen())
        return;
    deliveryQueued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            deliveryQueued_ = false;
            if (busyDepth_ > 0) {
                // Came round while OnRxChar processes events: wait for it to return.
                rxPending_ = true;
                return;
            }
            DeliverRxChar();
        },
        Qt::QueuedConnection);
}

void SerialPort::DeliverRxChar()
{
    if (!IsOpen() || !OnRxChar) {
        rxPending_ = false;
        return;
    }
    BusyScope busy(*this);
    PullArrivedBytes();
    // Everything pulled in so far is counted in this notification.
    rxPending_ = false;
    const qint64 waiting = port_->bytesAvailable();
    if (waiting <= 0)
        return;
    try {
        OnRxChar(this, static_cast<int>(waiting));
    } catch (const std::exception& error) {
        if (Report())
            Report()(error);
        else
            qCritical("%s", error.what());
    }
}

void SerialPort::RejectWhenOpen() const
{
    if (IsOpen())
        throw SerialPortError(VaCommText::PortOpen);
}

void SerialPort::ApplySettings()
{
    if (IsOpen())
        ApplyLineSettings(*port_, settings_);
}

template <typename T>
void SerialPort::StoreAndApply(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    ApplySettings();
}

void SerialPort::SetPortNum(int value)
{
    if (value != settings_.portNumber)
        RejectWhenOpen();
    settings_.portNumber = value;
}

void SerialPort::SetMonitorEvents(SerialEvents value)
{
    if (!(value == settings_.MonitorEvents))
        RejectWhenOpen();
    settings_.MonitorEvents = value;
}

void SerialPort::SetReadBufSize(int value)
{
    if (value != settings_.ReadBufSize)
        RejectWhenOpen();
    settings_.ReadBufSize = value;
}

void SerialPort::SetWriteBufSize(int value)
{
    if (value != settings_.WriteBufSize)
        RejectWhenOpen();
    settings_.WriteBufSize = value;
}

void SerialPort::SetPriority(ThreadPriorityMode value)
{
    if (value != settings_.Priority)
        RejectWhenOpen();
    settings_.Priority = value;
}

void SerialPort::SetBaudrate(BaudRateMode value)
{
    StoreAndApply(settings_.Baudrate, value);
}
void SerialPort::SetParity(ParityMode value)
{
    StoreAndApply(settings_.Parity, value);
}
void SerialPort::SetDatabits(DataBitsMode value)
{
    StoreAndApply(settings_.Databits, value);
}
void SerialPort::SetStopbits(StopBitsMode value)
{
    StoreAndApply(settings_.Stopbits, value);
}
void SerialPort::SetFlowControl(FlowControlMode value)
{
    StoreAndApply(settings_.FlowControl, value);
}
void SerialPort::SetOptions(SerialOptions value)
{
    StoreAndApply(settings_.Options, value);
}
void SerialPort::SetXonLim(int value)
{
    StoreAndApply(settings_.XonLim, value);
}
void SerialPort::SetXoffLim(int value)
{
    StoreAndApply(settings_.XoffLim, value);
}
void SerialPort::SetDTRControl(DtrMode value)
{
    StoreAndApply(settings_.DTRControl, value);
}
void SerialPort::SetRTSControl(RtsMode value)
{
    StoreAndApply(settings_.RTSControl, value);
}
void SerialPort::SetEventChars(const SerialEventChars& value)
{
    StoreAndApply(settings_.EventChars, value);
}
