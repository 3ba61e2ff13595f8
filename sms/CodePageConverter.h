// Byte-for-byte converter between the four Cyrillic code pages that SMS
// gateways answer in. Plain C++: one fixed table per ordered pair of pages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class CodePage : std::uint8_t { CP1251, KOI8R, CP866, ISO8859 };

class CodePageConverter {
public:
    CodePageConverter() = default;

    bool AutoConvert() const { return FAutoConvert; }
    void SetAutoConvert(bool value) { FAutoConvert = value; }
    CodePage Source() const { return FSource; }
    void SetSource(CodePage value) { FSource = value; }
    CodePage Target() const { return FTarget; }
    void SetTarget(CodePage value) { FTarget = value; }

    // The buffer up to its first zero byte; empty while nothing was written.
    std::string Text() const;
    // Replaces the buffer with the text (cut at its first zero byte) plus a
    // closing zero; converts at once when AutoConvert is set.
    void SetText(std::string_view text);

    // Converts the whole buffer, closing zero included, from Source to Target.
    // Throws std::runtime_error "Found error in codepage settings" when both
    // pages are the same and there is a buffer.
    void Convert();

    // Length of the last text written plus one; 0 before the first write.
    std::size_t BufferSize() const { return FBuffer.size(); }

    // The table for (source, target); nullptr for a pair of equal pages.
    static const std::uint8_t* Table(CodePage source, CodePage target);

private:
    bool FAutoConvert = false;
    CodePage FSource = CodePage::CP1251;
    CodePage FTarget = CodePage::KOI8R;
    std::vector<std::uint8_t> FBuffer;
};
