#include "serial/VaComm.h"

#include "serial/DevicePath.h"
#include "serial/LineSetup.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QMetaObject>
#include <QSerialPort>
#include <QtGlobal>

#include <cerrno>
#include <utility>

namespace {

TVaComm::DeviceResolver& Resolver()
{
    static TVaComm::DeviceResolver resolver;
    return resolver;
}

TVaComm::ErrorReport& Report()
{
    static TVaComm::ErrorReport report;
    return report;
}

#ifdef Q_OS_WIN
constexpr int kBadHandle = 6; // ERROR_INVALID_HANDLE
#else
constexpr int kBadHandle = EBADF;
#endif

[[noreturn]] void RaiseSystem(const char* pattern, int code)
{
    throw EVaCommError(VaCommText::WithSystemError(pattern, code, SystemErrorText(code)));
}

} // namespace

class TVaComm::BusyScope {
public:
    explicit BusyScope(TVaComm& comm) : comm_(comm) { ++comm_.busyDepth_; }
    ~BusyScope()
    {
        if (--comm_.busyDepth_ == 0 && comm_.rxPending_)
            comm_.ScheduleDelivery();
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    TVaComm& comm_;
};

TVaComm::TVaComm(QObject* parent) : TVaComm(TVaCommSettings{}, parent) {}

TVaComm::TVaComm(const TVaCommSettings& settings, QObject* parent)
    : QObject(parent), settings_(settings), port_(new QSerialPort(this))
{
    connect(port_, &QSerialPort::readyRead, this, &TVaComm::PortReadyRead);
}

TVaComm::~TVaComm()
{
    // No notifications and no errors from a dying component: just let the device go.
    if (port_->isOpen()) {
        port_->clear(QSerialPort::AllDirections);
        port_->close();
    }
}

void TVaComm::SetDeviceResolver(DeviceResolver resolver)
{
    Resolver() = std::move(resolver);
}

void TVaComm::SetErrorReport(ErrorReport report)
{
    Report() = std::move(report);
}

QString TVaComm::DevicePath() const
{
    if (Resolver()) {
        QString path = Resolver()(settings_.PortNum);
        if (!path.isEmpty())
            return path;
    }
    return DefaultDevicePath(FormatDeviceName(settings_.DeviceName, settings_.PortNum));
}

bool TVaComm::IsOpen() const
{
    return port_->isOpen();
}

void TVaComm::Open()
{
    RejectWhenOpen();
    const QString path = DevicePath();
#ifndef Q_OS_WIN
    // The port takes a lock file named after the device before it opens it,
    // so a missing device that someone else tries at the same moment would
    // otherwise look locked.
    if (!QFileInfo::exists(path))
        throw EVaCommError(VaCommText::InvalidPort(settings_.PortNum));
#endif
    port_->setPortName(path);
    if (!port_->open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = port_->error();
        port_->clearError();
        if (error == QSerialPort::DeviceNotFoundError)
            throw EVaCommError(VaCommText::InvalidPort(settings_.PortNum));
        throw EVaCommError(VaCommText::CantOpen(settings_.PortNum));
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

void TVaComm::Close()
{
    if (!IsOpen())
        return;
    rxPending_ = false;
    errno = 0;
    const bool cleared = port_->clear(QSerialPort::AllDirections);
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

void TVaComm::Loaded()
{
    if (settings_.AutoOpen)
        Open();
}

int TVaComm::WriteBuf(const void* buffer, int count)
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

int TVaComm::ReadBuf(void* buffer, int count)
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

void TVaComm::PullArrivedBytes()
{
    const qint64 before = port_->bytesAvailable();
    // A zero wait reads what the OS holds; its readyRead lands in PortReadyRead
    // while busy and is only remembered there.
    if (!port_->waitForReadyRead(0))
        port_->clearError();
    if (port_->bytesAvailable() > before)
        rxPending_ = true;
}

void TVaComm::PortReadyRead()
{
    if (busyDepth_ > 0) {
        rxPending_ = true;
        return;
    }
    DeliverRxChar();
}

void TVaComm::ScheduleDelivery()
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

void TVaComm::DeliverRxChar()
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

void TVaComm::RejectWhenOpen() const
{
    if (IsOpen())
        throw EVaCommError(VaCommText::PortOpen);
}

void TVaComm::ApplySettings()
{
    if (IsOpen())
        ApplyLineSettings(*port_, settings_);
}

template <typename T>
void TVaComm::StoreAndApply(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    ApplySettings();
}

void TVaComm::SetPortNum(int value)
{
    if (value != settings_.PortNum)
        RejectWhenOpen();
    settings_.PortNum = value;
}

void TVaComm::SetMonitorEvents(TVaCommEvents value)
{
    if (!(value == settings_.MonitorEvents))
        RejectWhenOpen();
    settings_.MonitorEvents = value;
}

void TVaComm::SetReadBufSize(int value)
{
    if (value != settings_.ReadBufSize)
        RejectWhenOpen();
    settings_.ReadBufSize = value;
}

void TVaComm::SetWriteBufSize(int value)
{
    if (value != settings_.WriteBufSize)
        RejectWhenOpen();
    settings_.WriteBufSize = value;
}

void TVaComm::SetPriority(TVaThreadPriority value)
{
    if (value != settings_.Priority)
        RejectWhenOpen();
    settings_.Priority = value;
}

void TVaComm::SetBaudrate(TVaBaudrate value) { StoreAndApply(settings_.Baudrate, value); }
void TVaComm::SetParity(TVaParity value) { StoreAndApply(settings_.Parity, value); }
void TVaComm::SetDatabits(TVaDatabits value) { StoreAndApply(settings_.Databits, value); }
void TVaComm::SetStopbits(TVaStopbits value) { StoreAndApply(settings_.Stopbits, value); }
void TVaComm::SetFlowControl(TVaFlowControl value) { StoreAndApply(settings_.FlowControl, value); }
void TVaComm::SetOptions(TVaCommOptions value) { StoreAndApply(settings_.Options, value); }
void TVaComm::SetXonLim(int value) { StoreAndApply(settings_.XonLim, value); }
void TVaComm::SetXoffLim(int value) { StoreAndApply(settings_.XoffLim, value); }
void TVaComm::SetDTRControl(TVaDTRControl value) { StoreAndApply(settings_.DTRControl, value); }
void TVaComm::SetRTSControl(TVaRTSControl value) { StoreAndApply(settings_.RTSControl, value); }
void TVaComm::SetEventChars(const TVaEventChars& value) { StoreAndApply(settings_.EventChars, value); }
