// Link state of the main window: the buffers, assembler counters, flags and
// sequence byte that the sender, the receiver and every exchange share.
#pragma once

#include <array>
#include <cstdint>

struct LinkState {
    std::array<std::uint8_t, 256> TxBuffer{};     // message bytes of the next frame
    std::array<std::uint8_t, 256> RxBuffer{};     // frame being assembled
    std::array<std::uint8_t, 256> ReplyBuffer{};  // last valid data frame, whole
    std::int32_t RxLength = 0;
    std::int32_t RxExpected = 5;
    bool ReplyReady = false;
    bool AckReady = false;
    bool EchoSeen = false;
    std::uint8_t TxSequence = 0;
};
