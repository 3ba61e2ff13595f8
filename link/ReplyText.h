// Turns a range of a reply frame into label text: printable bytes and line
// feeds as they are, anything else as "." so the text keeps its length.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// Bytes first..last of reply, inclusive; Windows-1251 text of last - first + 1 characters.
std::string decodeReplyText(const std::array<std::uint8_t, 256>& reply, int first, int last);
