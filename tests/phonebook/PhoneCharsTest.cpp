// The character tables, checked range by range against the handset's
// character set as documented for its phonebook.
#include "phonebook/PhoneChars.h"

#include <gtest/gtest.h>

namespace {

struct Range {
    int First;
    int Last;
    int FirstValue; // value of First; -1: the code itself
    bool Counting; // values count up with the codes; else all are FirstValue
};

template <std::size_t N>
void ExpectRanges(const std::array<std::uint8_t, N>& table, int base, std::initializer_list<Range> ranges)
{
    std::array<bool, N> covered{};
    for (const Range& r : ranges) {
        for (int code = r.First; code <= r.Last; ++code) {
            const int expected = r.FirstValue < 0 ? code : r.Counting ? r.FirstValue + (code - r.First) : r.FirstValue;
            EXPECT_EQ(table[code - base], expected) << "code 0x" << std::hex << code;
            covered[code - base] = true;
        }
    }
    for (std::size_t i = 0; i < N; ++i)
        EXPECT_TRUE(covered[i]) << "no expectation for code 0x" << std::hex << i + base;
}

Range Same(int first, int last)
{
    return {first, last, -1, false};
}
Range All(int first, int last, int value)
{
    return {first, last, value, false};
}
Range InOrder(int first, int last, int value)
{
    return {first, last, value, true};
}
Range One(int code, int value)
{
    return {code, code, value, false};
}

} // namespace

TEST(PhoneChars, DigitsAreIndexedByDigitCode)
{
    const std::string expected = " 1234567890*#pw+";
    ASSERT_EQ(kPhoneDigits.size(), expected.size());
    for (std::size_t code = 0; code < expected.size(); ++code)
        EXPECT_EQ(kPhoneDigits[code], expected[code]) << "code " << code;
}

TEST(PhoneChars, WindowsToHandsetForWriting)
{
    ExpectRanges(kWinToPhoneChars, 0x00,
                 {All(0x00, 0x1F, 0x20), Same(0x20, 0x23), One(0x24, 0xFC), One(0x25, 0x26), One(0x26, 0x25),
                  Same(0x27, 0x3F), One(0x40, 0xFB), Same(0x41, 0x5F), One(0x60, 0x3F), Same(0x61, 0x7F),
                  All(0x80, 0xBF, 0x20), InOrder(0xC0, 0xDC, 0x83), InOrder(0xDD, 0xDF, 0xC1),
                  InOrder(0xE0, 0xFC, 0xA3), InOrder(0xFD, 0xFF, 0xC5)});
}

TEST(PhoneChars, HandsetLowHalfToWindows)
{
    ExpectRanges(kPhoneCharsLow, 0x00,
                 {All(0x00, 0x20, 0x20), Same(0x21, 0x24), One(0x25, '&'), One(0x26, '%'), Same(0x27, 0x27),
                  Same(0x28, 0x3F), One(0x40, '!'), Same(0x41, 0x5F), One(0x60, '?'), Same(0x61, 0x7E),
                  One(0x7F, ' ')});
}

TEST(PhoneChars, HandsetHighHalfToWindows)
{
    // Э Ю Я live at 0xC1-0xC3 on the handset; 0xC0 still reads as Э.
    ExpectRanges(kPhoneCharsHigh, 0x80,
                 {All(0x80, 0x82, ' '), InOrder(0x83, 0x9F, 0xC0), All(0xA0, 0xA2, ' '), InOrder(0xA3, 0xBF, 0xE0),
                  One(0xC0, 0xDD), InOrder(0xC1, 0xC3, 0xDD), One(0xC4, ' '), InOrder(0xC5, 0xC7, 0xFD),
                  All(0xC8, 0xF7, ' '), One(0xF8, 0xC5), All(0xF9, 0xFA, ' '), One(0xFB, '@'), One(0xFC, '$'),
                  One(0xFD, 'L'), One(0xFE, 'Y'), One(0xFF, ' ')});
}

TEST(PhoneChars, EveryLetterWrittenReadsBackAsItself)
{
    // Windows-1251 capitals and small letters А-я (0xC0-0xFF) survive a round trip.
    for (int c = 0xC0; c <= 0xFF; ++c) {
        const std::uint8_t code = kWinToPhoneChars[c];
        ASSERT_GE(code, 0x80);
        EXPECT_EQ(kPhoneCharsHigh[code - 0x80], c) << "Windows-1251 0x" << std::hex << c;
    }
}
