#include "serial/CommControlBlock.h"

#include <array>

namespace {

constexpr std::array<std::uint32_t, 15> kBaudrates = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                                      19200, 38400, 56000, 57600, 115200, 128000, 256000};

constexpr std::uint32_t FlowControlBits(FlowControlMode flow)
{
    switch (flow) {
    case fcNone:
        return 0;
    case fcXonXoff:
        return CommFlag::OutX | CommFlag::InX;
    case fcRtsCts:
        return CommFlag::OutxCtsFlow | CommFlag::RtsHandshake;
    case fcDtrDsr:
        return CommFlag::OutxDsrFlow | CommFlag::DtrHandshake;
    }
    return 0;
}

constexpr std::uint32_t DtrBits(DtrMode dtr)
{
    switch (dtr) {
    case dtrDisable:
        return 0;
    case dtrEnable:
        return CommFlag::DtrEnable;
    case dtrHandshake:
        return CommFlag::DtrHandshake;
    }
    return 0;
}

constexpr std::uint32_t RtsBits(RtsMode rts)
{
    switch (rts) {
    case rtsDisable:
        return 0;
    case rtsEnable:
        return CommFlag::RtsEnable;
    case rtsHandshake:
        return CommFlag::RtsHandshake;
    case rtsToggle:
        return CommFlag::RtsToggle;
    }
    return 0;
}

struct OptionBit {
    SerialOption option;
    std::uint32_t bit;
};
constexpr std::array<OptionBit, 5> kOptionBits = {{
    {coContinueOnXOff, CommFlag::TXContinueOnXoff},
    {coErrorChar, CommFlag::ErrorChar},
    {coNullStrip, CommFlag::Null},
    {coParityCheck, CommFlag::Parity},
    {coDsrSensitivity, CommFlag::DsrSensitivity},
}};

struct EventBit {
    SerialEvent event;
    std::uint32_t bit;
};
constexpr std::array<EventBit, 9> kEventBits = {{
    {ceBreak, 0x0040},
    {ceCts, 0x0008},
    {ceDsr, 0x0010},
    {ceError, 0x0080},
    {ceRing, 0x0100},
    {ceRlsd, 0x0020},
    {ceRxChar, 0x0001},
    {ceTxEmpty, 0x0004},
    {ceRxFlag, 0x0002},
}};

} // namespace

std::uint32_t BaudrateValue(BaudRateMode baudrate)
{
    return kBaudrates.at(baudrate);
}

CommControlBlock BuildControlBlock(const SerialSettings& settings)
{
    CommControlBlock dcb;
    dcb.BaudRate = BaudrateValue(settings.Baudrate);
    dcb.ByteSize = static_cast<std::uint8_t>(4 + settings.Databits);
    dcb.Parity = settings.Parity;
    dcb.StopBits = settings.Stopbits;
    dcb.XonChar = settings.EventChars.XonChar;
    dcb.XoffChar = settings.EventChars.XoffChar;
    dcb.ErrorChar = settings.EventChars.ErrorChar;
    dcb.EvtChar = settings.EventChars.EventChar;
    dcb.XonLim = static_cast<std::uint16_t>(settings.XonLim & 0xFFFF);
    dcb.XoffLim = static_cast<std::uint16_t>(settings.XoffLim & 0xFFFF);

    std::uint32_t flags = FlowControlBits(settings.FlowControl);
    flags |= CommFlag::Binary | CommFlag::AbortOnError;
    // A handshake owns its line: the manual DTR/RTS choice only applies without it.
    if (settings.FlowControl != fcDtrDsr)
        flags |= DtrBits(settings.DTRControl);
    if (settings.FlowControl != fcRtsCts)
        flags |= RtsBits(settings.RTSControl);
    for (const auto& [option, bit] : kOptionBits) {
        if (settings.Options.Contains(option))
            flags |= bit;
        else
            flags &= ~bit;
    }
    dcb.Flags = flags;
    return dcb;
}

std::uint32_t EventMask(SerialEvents events)
{
    std::uint32_t mask = 0;
    for (const auto& [event, bit] : kEventBits) {
        if (events.Contains(event))
            mask |= bit;
    }
    return mask;
}
