// The device control block and event mask that a set of line settings stands
// for. Pure functions: the port applies the same values through QSerialPort,
// and on Windows these are the words the driver is given.
#pragma once

#include "serial/SerialSettings.h"

#include <cstdint>

struct CommControlBlock {
    std::uint32_t BaudRate = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0; // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t StopBits = 0; // 0 one, 1 one and a half, 2 two
    std::uint32_t Flags = 0;
    std::uint8_t XonChar = 0;
    std::uint8_t XoffChar = 0;
    std::uint8_t ErrorChar = 0;
    std::uint8_t EvtChar = 0;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
};

namespace CommFlag {
constexpr std::uint32_t Binary = 0x0001;
constexpr std::uint32_t Parity = 0x0002;
constexpr std::uint32_t OutxCtsFlow = 0x0004;
constexpr std::uint32_t OutxDsrFlow = 0x0008;
constexpr std::uint32_t DtrEnable = 0x0010;
constexpr std::uint32_t DtrHandshake = 0x0020;
constexpr std::uint32_t DsrSensitivity = 0x0040;
constexpr std::uint32_t TXContinueOnXoff = 0x0080;
constexpr std::uint32_t OutX = 0x0100;
constexpr std::uint32_t InX = 0x0200;
constexpr std::uint32_t ErrorChar = 0x0400;
constexpr std::uint32_t Null = 0x0800;
constexpr std::uint32_t RtsEnable = 0x1000;
constexpr std::uint32_t RtsHandshake = 0x2000;
constexpr std::uint32_t RtsToggle = 0x3000;
constexpr std::uint32_t AbortOnError = 0x4000;
} // namespace CommFlag

// Bits per second named by a Baudrate value (br110 -> 110).
std::uint32_t BaudrateValue(BaudRateMode baudrate);

CommControlBlock BuildControlBlock(const SerialSettings& settings);

std::uint32_t EventMask(SerialEvents events);
