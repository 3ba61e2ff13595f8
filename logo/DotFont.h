// The small bitmap font the dot editor writes text with: 5 x 7 capitals of the
// Latin and Cyrillic alphabets, digits and common punctuation, drawn for the
// handset's 84 x 48 screen.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// One character: seven rows of five dots, bit 4 of a row is its left column.
struct DotGlyph {
    std::array<std::uint8_t, 7> rows{};

    bool dot(int x, int y) const { return (rows[static_cast<std::size_t>(y)] >> (4 - x) & 1) != 0; }
    friend bool operator==(const DotGlyph&, const DotGlyph&) = default;
};

class DotFont {
public:
    static constexpr int kGlyphWidth = 5;
    static constexpr int kGlyphHeight = 7;
    static constexpr int kAdvance = 6;     // one clear column between characters
    static constexpr int kLineAdvance = 8;

    // The glyph of a character; small letters use their capital's. Empty for
    // characters the font does not draw.
    static std::optional<DotGlyph> glyph(char32_t character);
    // Width in dots of the widest line of text, without the trailing gap.
    static int textWidth(std::u32string_view text);
};
