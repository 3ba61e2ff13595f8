// Line settings of the serial port component, with the component's own
// defaults, as plain data so that the control-block mapping can be tested alone.
#pragma once

#include "serial/FlagSet.h"

#include <cstdint>
#include <string>

enum class BaudRateMode : std::uint8_t {
    Baud110,
    Baud300,
    Baud600,
    Baud1200,
    Baud2400,
    Baud4800,
    Baud9600,
    Baud14400,
    Baud19200,
    Baud38400,
    Baud56000,
    Baud57600,
    Baud115200,
    Baud128000,
    Baud256000
};
enum class ParityMode : std::uint8_t { None, Odd, Even, Mark, Space };
enum class DataBitsMode : std::uint8_t { Data4, Data5, Data6, Data7, Data8 };
enum class StopBitsMode : std::uint8_t { One, OneAndHalf, Two };
enum class FlowControlMode : std::uint8_t { None, XonXoff, RtsCts, DtrDsr };
enum class DtrMode : std::uint8_t { Disable, Enable, Handshake };
enum class RtsMode : std::uint8_t { Disable, Enable, Handshake, Toggle };
enum class SerialOption : std::uint8_t { ContinueOnXoff, ErrorChar, NullStrip, ParityCheck, DsrSensitivity };
enum class SerialEvent : std::uint8_t { Break, Cts, Dsr, Error, Ring, Rlsd, RxChar, TxEmpty, RxFlag };
// Kept for compatibility of the port's properties: there is no worker
// thread whose priority it could set (see SerialPort.h).
enum class ThreadPriorityMode : std::uint8_t { Idle, Lowest, Lower, Normal, Higher, Highest, TimeCritical };

using SerialOptions = FlagSet<SerialOption>;
using SerialEvents = FlagSet<SerialEvent>;

struct SerialEventChars {
    std::uint8_t xonChar = 0x11;
    std::uint8_t xoffChar = 0x13;
    std::uint8_t errorChar = 0x00;
    std::uint8_t eventChar = 0x00;
    constexpr bool operator==(const SerialEventChars&) const = default;
};

// Every published property of the port, initialised to the component defaults.
struct SerialSettings {
    bool autoOpen = false;
    BaudRateMode baudRate = BaudRateMode::Baud1200;
    ParityMode parity = ParityMode::None;
    DataBitsMode dataBits = DataBitsMode::Data8;
    StopBitsMode stopBits = StopBitsMode::One;
    int portNumber = 0;
    std::string deviceName = "COM%d";
    SerialEvents monitorEvents{};
    SerialEventChars eventChars{};
    int readBufferSize = 4096;
    int writeBufferSize = 2048;
    int readTimeout = 1000;
    int writeTimeout = 1000;
    FlowControlMode flowControl = FlowControlMode::RtsCts;
    SerialOptions options{};
    int xonLimit = 1024;
    int xoffLimit = 1024;
    ThreadPriorityMode priority = ThreadPriorityMode::Normal;
    DtrMode dtrControl = DtrMode::Enable;
    RtsMode rtsControl = RtsMode::Enable;
};

// The values the main window's port is designed with: the handset's bus runs
// 9600 8O1 without handshaking, DTR low and RTS high.
inline SerialSettings handsetLineSettings()
{
    SerialSettings s;
    s.baudRate = BaudRateMode::Baud9600;
    s.parity = ParityMode::Odd;
    s.portNumber = 1;
    s.monitorEvents = {SerialEvent::RxChar, SerialEvent::TxEmpty};
    s.readTimeout = 2000;
    s.writeTimeout = 2000;
    s.flowControl = FlowControlMode::None;
    s.dtrControl = DtrMode::Disable;
    s.rtsControl = RtsMode::Enable;
    return s;
}
