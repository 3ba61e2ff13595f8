// The four Cyrillic code pages that SMS gateways answer in, and conversion
// between them byte for byte: one fixed table per ordered pair of pages.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class CodePage : std::uint8_t { Win1251, Koi8R, Dos866, Iso8859 };

// The text with every byte replaced by its counterpart in the other page;
// zero bytes stay. Throws std::runtime_error "Found error in codepage
// settings" when both pages are the same: the caller mixed up its settings.
std::string convertCodePage(std::string_view text, CodePage from, CodePage to);

// The table for (from, to), 256 bytes; nullptr for a pair of equal pages.
const std::uint8_t* codePageTable(CodePage from, CodePage to);
