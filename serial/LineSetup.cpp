#include "serial/LineSetup.h"

#include "serial/CommControlBlock.h"
#include "serial/SerialPortError.h"

#include <QSerialPort>

#include <cerrno>
#include <optional>

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

std::optional<QSerialPort::DataBits> dataBitsFor(DataBitsMode databits)
{
    switch (databits) {
    case DataBitsMode::Data5:
        return QSerialPort::Data5;
    case DataBitsMode::Data6:
        return QSerialPort::Data6;
    case DataBitsMode::Data7:
        return QSerialPort::Data7;
    case DataBitsMode::Data8:
        return QSerialPort::Data8;
    case DataBitsMode::Data4:
        break;
    }
    return std::nullopt;
}

QSerialPort::Parity parityFor(ParityMode parity)
{
    switch (parity) {
    case ParityMode::None:
        return QSerialPort::NoParity;
    case ParityMode::Odd:
        return QSerialPort::OddParity;
    case ParityMode::Even:
        return QSerialPort::EvenParity;
    case ParityMode::Mark:
        return QSerialPort::MarkParity;
    case ParityMode::Space:
        return QSerialPort::SpaceParity;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits stopBitsFor(StopBitsMode stopbits)
{
    switch (stopbits) {
    case StopBitsMode::One:
        return QSerialPort::OneStop;
    case StopBitsMode::OneAndHalf:
        return QSerialPort::OneAndHalfStop;
    case StopBitsMode::Two:
        return QSerialPort::TwoStop;
    }
    return QSerialPort::OneStop;
}

std::optional<QSerialPort::FlowControl> flowControlFor(FlowControlMode flow)
{
    switch (flow) {
    case FlowControlMode::None:
        return QSerialPort::NoFlowControl;
    case FlowControlMode::XonXoff:
        return QSerialPort::SoftwareControl;
    case FlowControlMode::RtsCts:
        return QSerialPort::HardwareControl;
    case FlowControlMode::DtrDsr:
        break;
    }
    return std::nullopt;
}

// Drives one modem line by hand. Handshake and toggle modes cannot be
// expressed through the port and are refused.
void setModemLine(QSerialPort& port, bool (QSerialPort::*set)(bool), std::optional<bool> level)
{
    if (!level)
        raiseDcbError(kInvalidArgument);
    if ((port.*set)(*level))
        return;
    const int code = lastSystemError();
    port.clearError();
    if (isPseudoTerminal(port))
        return;
    raiseDcbError(code != 0 ? code : kInvalidArgument);
}

std::optional<bool> dtrLevel(DtrMode dtr)
{
    switch (dtr) {
    case DtrMode::Disable:
        return false;
    case DtrMode::Enable:
        return true;
    case DtrMode::Handshake:
        break;
    }
    return std::nullopt;
}

std::optional<bool> rtsLevel(RtsMode rts)
{
    switch (rts) {
    case RtsMode::Disable:
        return false;
    case RtsMode::Enable:
        return true;
    case RtsMode::Handshake:
    case RtsMode::Toggle:
        break;
    }
    return std::nullopt;
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
    check(port.setBaudRate(static_cast<qint32>(baudRateValue(settings.baudRate))), port);
    const auto dataBits = dataBitsFor(settings.dataBits);
    if (!dataBits)
        raiseDcbError(kInvalidArgument);
    check(port.setDataBits(*dataBits), port);
    // A pseudo-terminal keeps no parity bit (PARENB reads back clear), after
    // which the port refuses to set the same parity again; there is no wire
    // for parity to matter on.
    const bool parityTaken = port.setParity(parityFor(settings.parity));
    if (!parityTaken && isPseudoTerminal(port))
        port.clearError();
    else
        check(parityTaken, port);
    check(port.setStopBits(stopBitsFor(settings.stopBits)), port);
    const auto flow = flowControlFor(settings.flowControl);
    if (!flow)
        raiseDcbError(kInvalidArgument);
    check(port.setFlowControl(*flow), port);
    // The port has no switch for parity checking, error or null characters:
    // those options live in the control block only.
    if (settings.flowControl != FlowControlMode::DtrDsr)
        setModemLine(port, &QSerialPort::setDataTerminalReady, dtrLevel(settings.dtrControl));
    if (settings.flowControl != FlowControlMode::RtsCts)
        setModemLine(port, &QSerialPort::setRequestToSend, rtsLevel(settings.rtsControl));
}
