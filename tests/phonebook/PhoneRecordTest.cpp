// Number and name coding of a record, both directions, at their edges.
#include "phonebook/PhoneRecord.h"
#include "phonebook/PhoneChars.h"

#include <gmock/gmock.h>

namespace {

// A reply frame holding the write request's record payload, as the handset
// would return it after storing it.
ReplyFrame ReplyOf(const WriteRequest& written)
{
    ReplyFrame reply{};
    for (int k = 14; k <= 46; ++k)
        reply[4 + k] = written[k];
    return reply;
}

std::string NumberRoundTrip(const std::string& number)
{
    return decodeReplyNumber(ReplyOf(buildWriteRequest(0, "", number)));
}

std::string NameRoundTrip(const std::string& name)
{
    return decodeReplyName(ReplyOf(buildWriteRequest(0, name, "")));
}

} // namespace

TEST(TrimRecordText, RemovesSpacesAndControlCharactersAtBothEnds)
{
    std::string text = "\x01\t  in side \x1F\x7F \r\n";
    trimRecordText(text);
    EXPECT_EQ(text, "in side \x1F\x7F"); // 0x7F is not a control character here

    std::string blank = " \t\r\n ";
    trimRecordText(blank);
    EXPECT_EQ(blank, "");

    std::string cyrillic = "\xC0\xE1 "; // bytes above 0x7F must not count as blanks
    trimRecordText(cyrillic);
    EXPECT_EQ(cyrillic, "\xC0\xE1");
}

TEST(NumberCoding, DigitCodesPackHighNibbleFirst)
{
    const WriteRequest m = buildWriteRequest(0, "", "1234567890*#pw+");
    EXPECT_EQ(m[14], 15);
    const std::vector<std::uint8_t> digits(m.begin() + 15, m.begin() + 23);
    EXPECT_THAT(digits, ::testing::ElementsAre(0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0));
    EXPECT_EQ(NumberRoundTrip("1234567890*#pw+"), "1234567890*#pw+");
}

TEST(NumberCoding, OtherCharactersBecomeCodeZeroAndReadAsSpaces)
{
    const WriteRequest m = buildWriteRequest(0, "", "1-2 3P4W5a");
    EXPECT_EQ(m[14], 10);
    EXPECT_EQ(m[15], 0x10);
    EXPECT_EQ(m[16], 0x20);
    EXPECT_EQ(NumberRoundTrip("1-2 3P4W5a"), "1 2 3 4 5 ");
}

TEST(NumberCoding, ThirtyDigitsFillTheFieldAndMoreAreCut)
{
    const std::string thirty(30, '9');
    const WriteRequest exact = buildWriteRequest(0, "", thirty);
    EXPECT_EQ(exact[14], 30);
    for (int k = 15; k <= 29; ++k)
        EXPECT_EQ(exact[k], 0x99) << k;
    EXPECT_EQ(exact[30], 0x00);

    const WriteRequest longer = buildWriteRequest(0, "", thirty + "123");
    EXPECT_EQ(longer, exact);
}

TEST(NumberDecoding, LengthAboveThirtyStopsAtTheDigitField)
{
    for (std::uint8_t length : {31, 47, 255}) {
        ReplyFrame reply{};
        reply[4 + 14] = length;
        for (int k = 15; k <= 29; ++k)
            reply[4 + k] = 0x11;
        for (int k = 30; k <= 46; ++k)
            reply[4 + k] = 0x22; // name bytes: would decode as "2"s
        EXPECT_EQ(decodeReplyNumber(reply), std::string(30, '1')) << int(length);
    }
}

TEST(NameCoding, CutToSixteenWithGroupByteAfter)
{
    const WriteRequest m = buildWriteRequest(0, "ABCDEFGHIJKLMNOPQR", "");
    EXPECT_EQ(std::string(m.begin() + 30, m.begin() + 46), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(m[46], 0x05);
    EXPECT_EQ(m[47], 0x00);

    const WriteRequest empty = buildWriteRequest(0, "", "");
    for (int k = 30; k <= 45; ++k)
        EXPECT_EQ(empty[k], 0x00) << k;
    EXPECT_EQ(empty[46], 0x05);
    EXPECT_EQ(empty[47], 0x00);
}

TEST(NameRoundTrip, LettersTheHandsetLacksComeBackAsTheNearestItHas)
{
    // Ё ё Є є І і Ї ї Ґ ґ Ў ў, and the Windows-1251 bytes around them still blank.
    EXPECT_EQ(NameRoundTrip("\xA8\xB8\xAA\xBA\xB2\xB3\xAF\xBF\xA5\xB4\xA1\xA2\xA7\xB9"),
              "\xC5\xE5\xC5\xE5IiIi\xC3\xE3\xD3\xF3  ");
}

// Every character the handset holds reads back as written: the printable
// ASCII but the backquote, and the Cyrillic letters. The 12 it lacks come
// back as their nearest letter; nothing else survives.
TEST(NameRoundTrip, EveryCharacterTheHandsetHoldsComesBackAsWritten)
{
    std::string held;
    for (int c = 0x21; c <= 0x7E; ++c)
        if (c != '`')
            held += static_cast<char>(c);
    for (int c = 0xC0; c <= 0xFF; ++c)
        held += static_cast<char>(c);
    ASSERT_EQ(held.size(), 93u + 64u);
    for (std::size_t at = 0; at < held.size(); at += 16) {
        const std::string name = held.substr(at, 16);
        EXPECT_EQ(NameRoundTrip(name), name);
    }

    int kept = 0, nearest = 0, lost = 0;
    for (int c = 0x21; c <= 0xFF; ++c) {
        const std::string sent{'x', static_cast<char>(c), 'x'};
        const std::string back = NameRoundTrip(sent);
        const std::string nearestLetter{'x', static_cast<char>(storedLetter(static_cast<std::uint8_t>(c))), 'x'};
        if (back == sent)
            ++kept;
        else if (back == nearestLetter)
            ++nearest;
        else
            ++lost;
    }
    EXPECT_EQ(kept, 93 + 64);
    EXPECT_EQ(nearest, 12);
    // The backquote, DEL and the other 52 bytes of 0x80-0xBF.
    EXPECT_EQ(lost, 1 + 1 + 52);
}

TEST(NameDecoding, StopsAtZeroAndNeverTakesTheGroupByte)
{
    ReplyFrame reply{};
    for (int k = 30; k <= 46; ++k)
        reply[4 + k] = 'a' + (k - 30);
    EXPECT_EQ(decodeReplyName(reply), "abcdefghijklmnop");

    reply[4 + 33] = 0x00;
    EXPECT_EQ(decodeReplyName(reply), "abc");
}

TEST(NameDecoding, UnprintableCodesReadAsSpaces)
{
    ReplyFrame reply{};
    const std::uint8_t codes[] = {'x', 0x80, 0x01, 0x20, 0x1F, 0x7F, 0xFF, 'y'};
    for (std::size_t i = 0; i < sizeof codes; ++i)
        reply[4 + 30 + i] = codes[i];
    EXPECT_EQ(decodeReplyName(reply), "x      y");
}

TEST(NameRoundTrip, CyrillicAndSymbols)
{
    // Every Cyrillic letter, the capitals Э Ю Я included, reads back as written.
    EXPECT_EQ(NameRoundTrip("\xDD\xDE\xDF\xFD\xFE\xFF"), "\xDD\xDE\xDF\xFD\xFE\xFF");
    EXPECT_EQ(NameRoundTrip("\xC0\xDC\xE0\xFC"), "\xC0\xDC\xE0\xFC");
    EXPECT_EQ(NameRoundTrip("$@%&"), "$@%&");
    EXPECT_EQ(NameRoundTrip("O'Brien \\ x"), "O'Brien \\ x");
    // The handset set has no backquote: it comes back changed.
    EXPECT_EQ(NameRoundTrip("`"), "?");
    // Nor Windows punctuation above 0x7F.
    EXPECT_EQ(NameRoundTrip("\x96"), " ");
}
