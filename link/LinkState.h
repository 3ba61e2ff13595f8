// Link state of the main window: the buffers, assembler counters, flags and
// sequence byte that the sender, the receiver and every exchange share.
#pragma once

#include <array>
#include <cstdint>

struct LinkState {
    std::array<std::uint8_t, 256> txBuffer{}; // message bytes of the next frame
    std::array<std::uint8_t, 256> rxBuffer{}; // frame being assembled
    std::array<std::uint8_t, 256> replyBuffer{}; // last valid data frame, whole
    std::int32_t rxLength = 0;
    std::int32_t rxExpected = 5;
    bool replyReady = false;
    bool ackReady = false;
    bool echoSeen = false;
    std::uint8_t txSequence = 0;
};
