#include "serial/SerialPort.h"

#include "serial/DevicePath.h"
#include "serial/LineSetup.h"

#include <QDeadlineTimer>
#include <QFileInfo>
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

#ifdef Q_OS_WIN
constexpr int kBadHandle = 6; // ERROR_INVALID_HANDLE
#else
constexpr int kBadHandle = EBADF;
#endif

[[noreturn]] void raiseSystem(const char* pattern, int code)
{
    throw SerialPortError(serialtext::withSystemError(pattern, code, systemErrorText(code)));
}

} // namespace

SerialPort::SerialPort(const SerialSettings& settings, DeviceResolver resolver, QObject* parent)
    : QObject(parent)
    , settings_(settings)
    , resolver_(std::move(resolver))
    , port_(new QSerialPort(this))
{ }

SerialPort::~SerialPort()
{
    // No notifications and no errors from a dying component: let what was
    // written leave, then let the device go.
    if (port_->isOpen()) {
        drainOutput(settings_.closeDrainLimitMs);
        port_->clear(QSerialPort::Input);
        port_->close();
    }
}

QString SerialPort::devicePath() const
{
    if (resolver_) {
        QString path = resolver_(portNumber_);
        if (!path.isEmpty())
            return path;
    }
    return defaultDevicePath(portNumber_);
}

bool SerialPort::isOpen() const
{
    return port_->isOpen();
}

void SerialPort::open()
{
    rejectWhenOpen();
    const QString path = devicePath();
#ifndef Q_OS_WIN
    // The port takes a lock file named after the device before it opens it,
    // so a missing device that someone else tries at the same moment would
    // otherwise look locked.
    if (!QFileInfo::exists(path))
        throw SerialPortError(serialtext::invalidPort(portNumber_));
#endif
    port_->setPortName(path);
    if (!port_->open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = port_->error();
        port_->clearError();
        if (error == QSerialPort::DeviceNotFoundError)
            throw SerialPortError(serialtext::invalidPort(portNumber_));
        throw SerialPortError(serialtext::cantOpen(portNumber_));
    }
    try {
        applyLineSettings(*port_, settings_);
    } catch (...) {
        port_->close();
        throw;
    }
    // Bytes that reached the device while it was closed belong to nobody; a
    // UART would not have kept them either.
    port_->clear(QSerialPort::Input);
}

// Waits until what was written has left the port, at most timeoutMs. Each
// frame's write already waited until the system took it; what the system
// still holds is at most a frame or two on the wire.
void SerialPort::drainOutput(int timeoutMs)
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

void SerialPort::close()
{
    if (!isOpen())
        return;
    // Our last acknowledgement must reach the handset: a purge of the output
    // would throw it away a few microseconds after it was written, and a
    // handset left without it sends its reply again into the next request.
    drainOutput(settings_.closeDrainLimitMs);
    errno = 0;
    const bool cleared = port_->clear(QSerialPort::Input);
    const int code = lastSystemError();
    port_->clearError();
    // The device is released even when the purge failed, so that the next
    // command can open it again.
    port_->close();
    if (!cleared)
        raiseSystem(serialtext::kClearBuffers, code);
}

int SerialPort::write(const void* buffer, int count)
{
    if (!isOpen())
        raiseSystem(serialtext::kWrite, kBadHandle);
    if (count <= 0)
        return 0;
    errno = 0;
    if (port_->write(static_cast<const char*>(buffer), count) != count) {
        const int code = lastSystemError();
        port_->clearError();
        raiseSystem(serialtext::kWrite, code);
    }
    const QDeadlineTimer deadline(qMax(settings_.writeTimeoutMs, 0));
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
        const int code = lastSystemError();
        port_->clearError();
        if (error != QSerialPort::TimeoutError && error != QSerialPort::NoError)
            raiseSystem(serialtext::kWrite, code);
        break;
    }
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
    if (!isOpen())
        raiseSystem(serialtext::kRead, kBadHandle);
    if (count <= 0)
        return 0;
    if (port_->bytesAvailable() < count)
        pullArrivedBytes();
    errno = 0;
    const qint64 got = port_->read(static_cast<char*>(buffer), count);
    if (got < 0) {
        const int code = lastSystemError();
        port_->clearError();
        raiseSystem(serialtext::kRead, code);
    }
    return static_cast<int>(got);
}

bool SerialPort::waitForBytes(int msecs)
{
    if (!isOpen())
        raiseSystem(serialtext::kRead, kBadHandle);
    if (port_->bytesAvailable() > 0)
        return true;
    errno = 0;
    if (port_->waitForReadyRead(std::max(msecs, 0)))
        return true;
    const QSerialPort::SerialPortError error = port_->error();
    const int code = lastSystemError();
    port_->clearError();
    if (error != QSerialPort::TimeoutError && error != QSerialPort::NoError)
        raiseSystem(serialtext::kRead, code);
    return port_->bytesAvailable() > 0;
}

void SerialPort::pullArrivedBytes()
{
    // A zero wait moves what the OS holds into the port's buffer.
    if (!port_->waitForReadyRead(0))
        port_->clearError();
}

void SerialPort::rejectWhenOpen() const
{
    if (isOpen())
        throw SerialPortError(serialtext::kPortOpen);
}

void SerialPort::setPortNumber(int value)
{
    if (value != portNumber_)
        rejectWhenOpen();
    portNumber_ = value;
}
