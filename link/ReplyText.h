// Turns a range of a reply frame into label text. The text is a C string:
// a zero byte ends it. Printable bytes and line feeds stand as they are, any
// other byte as ".", so the text keeps its length up to there.
#pragma once

#include "link/ReplyLayout.h"
#include <cstdint>
#include <string>

// Bytes first..last of reply, inclusive, up to the first zero byte; Windows-1251
// text of at most last - first + 1 characters.
std::string decodeReplyText(const ReplyFrame& reply, int first, int last);
