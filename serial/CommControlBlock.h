// The device control block and event mask that a set of line settings stands
// for. Pure functions: the port applies the same values through QSerialPort,
// and on Windows these are the words the driver is given.
#pragma once

#include "serial/SerialSettings.h"

#include <cstdint>

struct CommControlBlock {
    std::uint32_t baudRate = 0;
    std::uint8_t byteSize = 0;
    std::uint8_t parity = 0; // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t stopBits = 0; // 0 one, 1 one and a half, 2 two
    std::uint32_t flags = 0;
    std::uint8_t xonChar = 0;
    std::uint8_t xoffChar = 0;
    std::uint8_t errorChar = 0;
    std::uint8_t eventChar = 0;
    std::uint16_t xonLimit = 0;
    std::uint16_t xoffLimit = 0;
};

namespace commflag {
constexpr std::uint32_t kBinary = 0x0001;
constexpr std::uint32_t kParity = 0x0002;
constexpr std::uint32_t kOutxCtsFlow = 0x0004;
constexpr std::uint32_t kOutxDsrFlow = 0x0008;
constexpr std::uint32_t kDtrEnable = 0x0010;
constexpr std::uint32_t kDtrHandshake = 0x0020;
constexpr std::uint32_t kDsrSensitivity = 0x0040;
constexpr std::uint32_t kTxContinueOnXoff = 0x0080;
constexpr std::uint32_t kOutX = 0x0100;
constexpr std::uint32_t kInX = 0x0200;
constexpr std::uint32_t kErrorChar = 0x0400;
constexpr std::uint32_t kNull = 0x0800;
constexpr std::uint32_t kRtsEnable = 0x1000;
constexpr std::uint32_t kRtsHandshake = 0x2000;
constexpr std::uint32_t kRtsToggle = 0x3000;
constexpr std::uint32_t kAbortOnError = 0x4000;
} // namespace commflag

// Bits per second named by a baud rate value (Baud110 -> 110).
std::uint32_t baudRateValue(BaudRateMode baudrate);

CommControlBlock buildControlBlock(const SerialSettings& settings);

std::uint32_t eventMask(SerialEvents events);
