#include "serial/LineSetup.h"

#include "serial/SerialPortError.h"

#include <QSerialPort>

#include <cerrno>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/stat.h>
#ifdef Q_OS_LINUX
#include <sys/sysmacros.h>
#endif
#endif

namespace {

#ifdef Q_OS_WIN
constexpr int kInvalidArgument = ERROR_INVALID_PARAMETER;
#else
constexpr int kInvalidArgument = EINVAL;
#endif

[[noreturn]] void raiseDcbError(int code)
{
    throw SerialPortError(serialtext::withSystemError(serialtext::kWriteDcb, code, systemErrorText(code)));
}

void check(bool ok, QSerialPort& port)
{
    if (ok)
        return;
    const int code = lastSystemError();
    port.clearError();
    raiseDcbError(code != 0 ? code : kInvalidArgument);
}

// Drives one modem line by hand; a pseudo-terminal has none to drive.
void setModemLine(QSerialPort& port, bool (QSerialPort::*set)(bool), bool level)
{
    if ((port.*set)(level))
        return;
    const int code = lastSystemError();
    port.clearError();
    if (isPseudoTerminal(port))
        return;
    raiseDcbError(code != 0 ? code : kInvalidArgument);
}

} // namespace

int lastSystemError()
{
#ifdef Q_OS_WIN
    return static_cast<int>(::GetLastError());
#else
    return errno;
#endif
}

bool isPseudoTerminal(const QSerialPort& port)
{
#ifdef Q_OS_WIN
    Q_UNUSED(port);
    return false;
#else
    struct stat info { };
    if (::fstat(static_cast<int>(port.handle()), &info) != 0 || !S_ISCHR(info.st_mode))
        return false;
#ifdef Q_OS_LINUX
    // Unix98 pseudo-terminal slaves have majors 136 to 143.
    const unsigned majorNumber = major(info.st_rdev);
    return majorNumber >= 136 && majorNumber <= 143;
#else
    return errno == ENOTTY;
#endif
#endif
}

void applyLineSettings(QSerialPort& port, const SerialSettings& settings)
{
    errno = 0;
    check(port.setBaudRate(settings.baudRate), port);
    check(port.setDataBits(settings.dataBits), port);
    // A pseudo-terminal keeps no parity bit (PARENB reads back clear), after
    // which the port refuses to set the same parity again; there is no wire
    // for parity to matter on.
    const bool parityTaken = port.setParity(settings.parity);
    if (!parityTaken && isPseudoTerminal(port))
        port.clearError();
    else
        check(parityTaken, port);
    check(port.setStopBits(settings.stopBits), port);
    // No handshake on the bus: DTR and RTS are set by hand and power the cable.
    check(port.setFlowControl(QSerialPort::NoFlowControl), port);
    setModemLine(port, &QSerialPort::setDataTerminalReady, settings.dataTerminalReady);
    setModemLine(port, &QSerialPort::setRequestToSend, settings.requestToSend);
}
