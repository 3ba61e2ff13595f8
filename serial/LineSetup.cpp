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

[[noreturn]] void RaiseDcbError(int code)
{
    throw SerialPortError(VaCommText::WithSystemError(VaCommText::WriteDcb, code, SystemErrorText(code)));
}

void Check(bool ok, QSerialPort& port)
{
    if (ok)
        return;
    const int code = LastSystemError();
    port.clearError();
    RaiseDcbError(code != 0 ? code : kInvalidArgument);
}

std::optional<QSerialPort::DataBits> DataBitsFor(DataBitsMode databits)
{
    switch (databits) {
    case db5:
        return QSerialPort::Data5;
    case db6:
        return QSerialPort::Data6;
    case db7:
        return QSerialPort::Data7;
    case db8:
        return QSerialPort::Data8;
    case db4:
        break;
    }
    return std::nullopt;
}

QSerialPort::Parity ParityFor(ParityMode parity)
{
    switch (parity) {
    case paNone:
        return QSerialPort::NoParity;
    case paOdd:
        return QSerialPort::OddParity;
    case paEven:
        return QSerialPort::EvenParity;
    case paMark:
        return QSerialPort::MarkParity;
    case paSpace:
        return QSerialPort::SpaceParity;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits StopBitsFor(StopBitsMode stopbits)
{
    switch (stopbits) {
    case sb1:
        return QSerialPort::OneStop;
    case sb15:
        return QSerialPort::OneAndHalfStop;
    case sb2:
        return QSerialPort::TwoStop;
    }
    return QSerialPort::OneStop;
}

std::optional<QSerialPort::FlowControl> FlowControlFor(FlowControlMode flow)
{
    switch (flow) {
    case fcNone:
        return QSerialPort::NoFlowControl;
    case fcXonXoff:
        return QSerialPort::SoftwareControl;
    case fcRtsCts:
        return QSerialPort::HardwareControl;
    case fcDtrDsr:
        break;
    }
    return std::nullopt;
}

// Drives one modem line by hand. Handshake and toggle modes cannot be
// expressed through the port and are refused.
void SetModemLine(QSerialPort& port, bool (QSerialPort::*set)(bool), std::optional<bool> level)
{
    if (!level)
        RaiseDcbError(kInvalidArgument);
    if ((port.*set)(*level))
        return;
    const int code = LastSystemError();
    port.clearError();
    if (IsPseudoTerminal(port))
        return;
    RaiseDcbError(code != 0 ? code : kInvalidArgument);
}

std::optional<bool> DtrLevel(DtrMode dtr)
{
    switch (dtr) {
    case dtrDisable:
        return false;
    case dtrEnable:
        return true;
    case dtrHandshake:
        break;
    }
    return std::nullopt;
}

std::optional<bool> RtsLevel(RtsMode rts)
{
    switch (rts) {
    case rtsDisable:
        return false;
    case rtsEnable:
        return true;
    case rtsHandshake:
    case rtsToggle:
        break;
    }
    return std::nullopt;
}

} // namespace

int LastSystemError()
{
#ifdef Q_OS_WIN
    return static_cast<int>(::GetLastError());
#else
    return errno;
#endif
}

bool IsPseudoTerminal(const QSerialPort& port)
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

void ApplyLineSettings(QSerialPort& port, const SerialSettings& settings)
{
    errno = 0;
    Check(port.setBaudRate(static_cast<qint32>(BaudrateValue(settings.Baudrate))), port);
    const auto dataBits = DataBitsFor(settings.Databits);
    if (!dataBits)
        RaiseDcbError(kInvalidArgument);
    Check(port.setDataBits(*dataBits), port);
    // A pseudo-terminal keeps no parity bit (PARENB reads back clear), after
    // which the port refuses to set the same parity again; there is no wire
    // for parity to matter on.
    const bool parityTaken = port.setParity(ParityFor(settings.Parity));
    if (!parityTaken && IsPseudoTerminal(port))
        port.clearError();
    else
        Check(parityTaken, port);
    Check(port.setStopBits(StopBitsFor(settings.Stopbits)), port);
    const auto flow = FlowControlFor(settings.FlowControl);
    if (!flow)
        RaiseDcbError(kInvalidArgument);
    Check(port.setFlowControl(*flow), port);
    // The port has no switch for parity checking, error or null characters:
    // those options live in the control block only.
    if (settings.FlowControl != fcDtrDsr)
        SetModemLine(port, &QSerialPort::setDataTerminalReady, DtrLevel(settings.DTRControl));
    if (settings.FlowControl != fcRtsCts)
        SetModemLine(port, &QSerialPort::setRequestToSend, RtsLevel(settings.RTSControl));
}
