// Line settings of the serial port component, with the component's own
// defaults, as plain data so that the control-block mapping can be tested alone.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

enum BaudRateMode : std::uint8_t {
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
enum ParityMode : std::uint8_t { paNone, paOdd, paEven, paMark, paSpace };
enum DataBitsMode : std::uint8_t { db4, db5, db6, db7, db8 };
enum StopBitsMode : std::uint8_t { sb1, sb15, sb2 };
enum FlowControlMode : std::uint8_t { fcNone, fcXonXoff, fcRtsCts, fcDtrDsr };
enum DtrMode : std::uint8_t { dtrDisable, dtrEnable, dtrHandshake };
enum RtsMode : std::uint8_t { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum SerialOption : std::uint8_t { coContinueOnXOff, coErrorChar, coNullStrip, coParityCheck, coDsrSensitivity };
enum SerialEvent : std::uint8_t { ceBreak, ceCts, ceDsr, ceError, ceRing, ceRlsd, ceRxChar, ceTxEmpty, ceRxFlag };
// Kept for compatibility of the published properties: there is no worker
// thread whose priority it could set (see VaComm.h).
enum ThreadPriorityMode : std::uint8_t { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// A set of enumeration values, one bit per value.
template <typename Enum>
class FlagSet {
public:
    constexpr FlagSet() = default;
    constexpr FlagSet(std::initializer_list<Enum> values)
    {
        for (Enum value : values)
            bits_ |= Bit(value);
    }
    constexpr bool Contains(Enum value) const { return (bits_ & Bit(value)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr void Include(Enum value) { bits_ |= Bit(value); }
    constexpr void Exclude(Enum value) { bits_ &= ~Bit(value); }
    constexpr bool operator==(const FlagSet&) const = default;

private:
    static constexpr std::uint32_t Bit(Enum value) { return std::uint32_t{1} << static_cast<unsigned>(value); }
    std::uint32_t bits_ = 0;
};

using SerialOptions = FlagSet<SerialOption>;
using SerialEvents = FlagSet<SerialEvent>;

struct SerialEventChars {
    std::uint8_t XonChar = 0x11;
    std::uint8_t XoffChar = 0x13;
    std::uint8_t ErrorChar = 0x00;
    std::uint8_t EventChar = 0x00;
    constexpr bool operator==(const SerialEventChars&) const = default;
};

// Every published property of the port, initialised to the component defaults.
struct SerialSettings {
    bool AutoOpen = false;
    BaudRateMode Baudrate = br1200;
    ParityMode Parity = paNone;
    DataBitsMode Databits = db8;
    StopBitsMode Stopbits = sb1;
    int portNumber = 0;
    std::string DeviceName = "COM%d";
    SerialEvents MonitorEvents{};
    SerialEventChars EventChars{};
    int ReadBufSize = 4096;
    int WriteBufSize = 2048;
    int ReadTimeout = 1000;
    int WriteTimeout = 1000;
    FlowControlMode FlowControl = fcRtsCts;
    SerialOptions Options{};
    int XonLim = 1024;
    int XoffLim = 1024;
    ThreadPriorityMode Priority = tpNormal;
    DtrMode DTRControl = dtrEnable;
    RtsMode RTSControl = rtsEnable;
};

// The values the main window's port is designed with: the handset's bus runs
// 9600 8O1 without handshaking, DTR low and RTS high.
inline SerialSettings handsetLineSettings()
{
    SerialSettings s;
    s.Baudrate = br9600;
    s.Parity = paOdd;
    s.portNumber = 1;
    s.MonitorEvents = {ceRxChar, ceTxEmpty};
    s.ReadTimeout = 2000;
    s.WriteTimeout = 2000;
    s.FlowControl = fcNone;
    s.DTRControl = dtrDisable;
    s.RTSControl = rtsEnable;
    return s;
}
