#include "serial/CommControlBlock.h"

#include <array>

namespace {

constexpr std::array<std::uint32_t, 15> kBaudrates = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                                      19200, 38400, 56000, 57600, 115200, 128000, 256000};

constexpr std::uint32_t flowControlBits(FlowControlMode flow)
{
    switch (flow) {
    case FlowControlMode::None:
        return 0;
    case FlowControlMode::XonXoff:
        return commflag::kOutX | commflag::kInX;
    case FlowControlMode::RtsCts:
        return commflag::kOutxCtsFlow | commflag::kRtsHandshake;
    case FlowControlMode::DtrDsr:
        return commflag::kOutxDsrFlow | commflag::kDtrHandshake;
    }
    return 0;
}

constexpr std::uint32_t dtrBits(DtrMode dtr)
{
    switch (dtr) {
    case DtrMode::Disable:
        return 0;
    case DtrMode::Enable:
        return commflag::kDtrEnable;
    case DtrMode::Handshake:
        return commflag::kDtrHandshake;
    }
    return 0;
}

constexpr std::uint32_t rtsBits(RtsMode rts)
{
    switch (rts) {
    case RtsMode::Disable:
        return 0;
    case RtsMode::Enable:
        return commflag::kRtsEnable;
    case RtsMode::Handshake:
        return commflag::kRtsHandshake;
    case RtsMode::Toggle:
        return commflag::kRtsToggle;
    }
    return 0;
}

struct OptionBit {
    SerialOption option;
    std::uint32_t bit;
};
constexpr std::array<OptionBit, 5> kOptionBits = {{
    {SerialOption::ContinueOnXoff, commflag::kTxContinueOnXoff},
    {SerialOption::ErrorChar, commflag::kErrorChar},
    {SerialOption::NullStrip, commflag::kNull},
    {SerialOption::ParityCheck, commflag::kParity},
    {SerialOption::DsrSensitivity, commflag::kDsrSensitivity},
}};

struct EventBit {
    SerialEvent event;
    std::uint32_t bit;
};
constexpr std::array<EventBit, 9> kEventBits = {{
    {SerialEvent::Break, 0x0040},
    {SerialEvent::Cts, 0x0008},
    {SerialEvent::Dsr, 0x0010},
    {SerialEvent::Error, 0x0080},
    {SerialEvent::Ring, 0x0100},
    {SerialEvent::Rlsd, 0x0020},
    {SerialEvent::RxChar, 0x0001},
    {SerialEvent::TxEmpty, 0x0004},
    {SerialEvent::RxFlag, 0x0002},
}};

} // namespace

std::uint32_t baudRateValue(BaudRateMode baudRate)
{
    return kBaudrates.at(static_cast<std::size_t>(baudRate));
}

CommControlBlock buildControlBlock(const SerialSettings& settings)
{
    CommControlBlock dcb;
    dcb.baudRate = baudRateValue(settings.baudRate);
    dcb.byteSize = static_cast<std::uint8_t>(4 + static_cast<int>(settings.dataBits));
    dcb.parity = static_cast<std::uint8_t>(settings.parity);
    dcb.stopBits = static_cast<std::uint8_t>(settings.stopBits);
    dcb.xonChar = settings.eventChars.xonChar;
    dcb.xoffChar = settings.eventChars.xoffChar;
    dcb.errorChar = settings.eventChars.errorChar;
    dcb.eventChar = settings.eventChars.eventChar;
    dcb.xonLimit = static_cast<std::uint16_t>(settings.xonLimit & 0xFFFF);
    dcb.xoffLimit = static_cast<std::uint16_t>(settings.xoffLimit & 0xFFFF);

    std::uint32_t flags = flowControlBits(settings.flowControl);
    flags |= commflag::kBinary | commflag::kAbortOnError;
    // A handshake owns its line: the manual DTR/RTS choice only applies without it.
    if (settings.flowControl != FlowControlMode::DtrDsr)
        flags |= dtrBits(settings.dtrControl);
    if (settings.flowControl != FlowControlMode::RtsCts)
        flags |= rtsBits(settings.rtsControl);
    for (const auto& [option, bit] : kOptionBits) {
        if (settings.options.contains(option))
            flags |= bit;
        else
            flags &= ~bit;
    }
    dcb.flags = flags;
    return dcb;
}

std::uint32_t eventMask(SerialEvents events)
{
    std::uint32_t mask = 0;
    for (const auto& [event, bit] : kEventBits) {
        if (events.contains(event))
            mask |= bit;
    }
    return mask;
}
