// Where the handset's replies keep what the program reads of them, counted
// from the first byte of the whole frame (E9 00 N type, then data byte k at
// 4 + k). One table for the commands that read replies and for the decoder
// that explains them.
#pragma once

#include <array>
#include <cstdint>

#include "link/Frame.h"

// A whole reply frame from its first byte. Bytes past the frame's own end
// are those an earlier reply left, as the handset's short replies expect.
using ReplyFrame = std::array<std::uint8_t, frame::kBufferSize>;

namespace reply {

inline constexpr int kDataAt = 4;
// The version text: 32 bytes, lines broken by line feeds.
inline constexpr int kVersionTextFirst = kDataAt + 2;
inline constexpr int kVersionTextLast = kVersionTextFirst + 31;
// The serial number: its length, then its digits (the program shows ten).
inline constexpr int kSerialLengthAt = kDataAt + 9;
inline constexpr int kSerialNumberFirst = kSerialLengthAt + 1;
inline constexpr int kSerialNumberLast = kSerialNumberFirst + 9;
// The net monitor setting: 0 is off, anything else on.
inline constexpr int kNetMonitorStateAt = kDataAt + 10;
// Memory reads (a phonebook record, a logo block) carry their payload from data byte 14.
inline constexpr int kPayloadAt = kDataAt + 14;

} // namespace reply
