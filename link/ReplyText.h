// Turns a range of a reply frame into label text: printable bytes and line
// feeds as they are, anything else as "." so the text keeps its length.
#pragma once

#include "link/ReplyLayout.h"
#include <cstdint>
#include <string>

// Bytes first..last of reply, inclusive; Windows-1251 text of last - first + 1 characters.
std::string decodeReplyText(const ReplyFrame& reply, int first, int last);
