#include "sms/CodePage.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <array>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

constexpr std::array kPages = {CodePage::Win1251, CodePage::Koi8R, CodePage::Dos866, CodePage::Iso8859};
constexpr std::array kIconvNames = {"CP1251", "KOI8-R", "CP866", "ISO-8859-5"};
constexpr std::array<std::uint8_t, 4> kReplacement = {0x3F, 0x94, 0x3F, 0x3F};

// The Unicode character of one byte in a code page, straight from glibc's
// mapping; nullopt when the byte stands for no character there.
std::optional<char32_t> UnicodeOf(int page, std::uint8_t byte)
{
    iconv_t cd = iconv_open("UTF-32LE", kIconvNames[page]);
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("iconv lacks a code page");
    char in = static_cast<char>(byte);
    unsigned char out[8] = {};
    char* inp = &in;
    char* outp = reinterpret_cast<char*>(out);
    size_t inLeft = 1, outLeft = sizeof out;
    const size_t rc = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || outLeft != 4)
        return std::nullopt;
    return char32_t(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
}

bool IsCyrillicLetter(std::optional<char32_t> c)
{
    return c && ((*c >= 0x410 && *c <= 0x44F) || *c == 0x401 || *c == 0x451);
}

using Overrides = std::map<std::uint8_t, std::uint8_t>;

// Rebuilds one table from the mappings: same character where the target has
// it, the target's replacement byte otherwise, then the listed exceptions.
std::array<std::uint8_t, 256> ExpectedTable(int s, int t)
{
    std::map<char32_t, std::uint8_t> inTarget;
    for (int b = 0x80; b <= 0xFF; ++b)
        if (auto c = UnicodeOf(t, std::uint8_t(b)))
            inTarget[*c] = std::uint8_t(b);

    const bool koiCp866 = (s == 1 && t == 2) || (s == 2 && t == 1);
    const Overrides fullExtras = s == 1 ? Overrides{{0x94, 0xFE}, {0x9A, 0x20}, {0x9C, 0xF8}, {0x9E, 0xF9}}
                                        : Overrides{{0xF8, 0x9C}, {0xF9, 0x9E}};
    static const std::map<std::pair<int, int>, Overrides> exceptions = {
        {{0, 1}, {{0x95, 0x95}}}, {{0, 2}, {{0xA0, 0x20}, {0xAD, 0x2D}, {0xB7, 0xF9}}},
        {{1, 0}, {{0x95, 0x95}}}, {{2, 0}, {{0xF9, 0xB7}, {0xFA, 0x3F}, {0xFF, 0x3F}}},
        {{2, 3}, {{0xFF, 0x3F}}}, {{3, 2}, {{0xA0, 0x20}, {0xAD, 0x2D}}},
    };

    std::array<std::uint8_t, 256> table{};
    for (int b = 0; b < 0x80; ++b)
        table[b] = std::uint8_t(b);
    for (int b = 0x80; b <= 0xFF; ++b) {
        const auto c = UnicodeOf(s, std::uint8_t(b));
        if (koiCp866) {
            // Only letters travel between these two; the pseudo-graphics do not.
            if (IsCyrillicLetter(c))
                table[b] = inTarget.at(*c);
            else
                table[b] = fullExtras.count(b) ? fullExtras.at(b) : kReplacement[t];
            continue;
        }
        table[b] = c && inTarget.count(*c) ? inTarget[*c] : kReplacement[t];
        const auto ex = exceptions.find({s, t});
        if (ex != exceptions.end() && ex->second.count(b))
            table[b] = ex->second.at(b);
    }
    return table;
}

} // namespace

TEST(CodePageTables, EveryEntryMatchesTheUnicodeMappings)
{
    int compared = 0;
    for (int s = 0; s < 4; ++s)
        for (int t = 0; t < 4; ++t) {
            const std::uint8_t* table = codePageTable(kPages[s], kPages[t]);
            if (s == t) {
                EXPECT_EQ(table, nullptr);
                continue;
            }
            ASSERT_NE(table, nullptr);
            const auto expected = ExpectedTable(s, t);
            for (int b = 0; b < 256; ++b, ++compared)
                EXPECT_EQ(table[b], expected[b]) << kIconvNames[s] << " -> " << kIconvNames[t] << " byte " << b;
        }
    EXPECT_EQ(compared, 12 * 256);
}

TEST(CodePageTables, TellingLettersMapToTheirCounterparts)
{
    // Rows: А, я, Ё, ё; columns in CodePage order.
    const std::uint8_t rows[4][4] = {
        {0xC0, 0xE1, 0x80, 0xB0}, {0xFF, 0xD1, 0xEF, 0xEF}, {0xA8, 0xB3, 0xF0, 0xA1}, {0xB8, 0xA3, 0xF1, 0xF1}};
    for (const auto& row : rows)
        for (int s = 0; s < 4; ++s)
            for (int t = 0; t < 4; ++t)
                if (s != t) {
                    EXPECT_EQ(codePageTable(kPages[s], kPages[t])[row[s]], row[t]) << s << "->" << t;
                }
}

TEST(CodePageTables, NoBreakSpaceAndCharactersTheTargetLacks)
{
    EXPECT_EQ(convertCodePage("a\xA0"
                              "b",
                              CodePage::Win1251, CodePage::Dos866),
              "a b");
    EXPECT_EQ(convertCodePage("\xA0", CodePage::Win1251, CodePage::Koi8R), "\x9A");
    EXPECT_EQ(convertCodePage("\xA0", CodePage::Win1251, CodePage::Iso8859), "\xA0");
    EXPECT_EQ(convertCodePage("\xFF", CodePage::Dos866, CodePage::Win1251), "?");
    // The dagger has no place in KOI8-R: it becomes the black square, and that
    // comes back as '?'.
    EXPECT_EQ(convertCodePage("\x86", CodePage::Win1251, CodePage::Koi8R), "\x94");
    EXPECT_EQ(convertCodePage("\x94", CodePage::Koi8R, CodePage::Win1251), "?");
    // Windows-1251 0x98 is no character at all.
    EXPECT_EQ(convertCodePage("\x98", CodePage::Win1251, CodePage::Koi8R), "\x94");
    EXPECT_EQ(convertCodePage("\x98", CodePage::Win1251, CodePage::Iso8859), "?");
}

TEST(CodePageConvert, CyrillicRoundTripAndAsciiUntouched)
{
    std::string letters;
    for (int b = 0xC0; b <= 0xFF; ++b)
        letters += char(b);
    letters += "\xA8\xB8";
    for (CodePage t : {CodePage::Koi8R, CodePage::Dos866, CodePage::Iso8859}) {
        const std::string there = convertCodePage(letters, CodePage::Win1251, t);
        EXPECT_NE(there, letters);
        EXPECT_EQ(convertCodePage(there, t, CodePage::Win1251), letters);
    }
    std::string ascii;
    for (int b = 1; b < 0x80; ++b)
        ascii += char(b);
    for (CodePage s : kPages)
        for (CodePage t : kPages)
            if (s != t) {
                EXPECT_EQ(convertCodePage(ascii, s, t), ascii);
            }
}

TEST(CodePageConvert, EveryByteIsConvertedZeroBytesIncluded)
{
    EXPECT_EQ(convertCodePage("", CodePage::Win1251, CodePage::Koi8R), "");
    EXPECT_EQ(convertCodePage(std::string("\xC0\0\xC1", 3), CodePage::Win1251, CodePage::Koi8R),
              std::string("\xE1\0\xE2", 3));
    // Converting twice is not detected: KOI8-R 0xE1 read as Windows-1251 is another letter.
    EXPECT_EQ(convertCodePage("\xE1", CodePage::Win1251, CodePage::Koi8R), "\xC2");
}

TEST(CodePageConvert, SamePagesAreASettingsError)
{
    for (const std::string text : {"", "\x80\x81"}) {
        try {
            convertCodePage(text, CodePage::Dos866, CodePage::Dos866);
            ADD_FAILURE() << "no error";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "Found error in codepage settings");
        }
    }
}
