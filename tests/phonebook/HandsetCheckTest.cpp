// What the handset would not keep of a phonebook is found and described.
#include "phonebook/HandsetCheck.h"
#include "phonebook/PhoneRecord.h"

#include <gtest/gtest.h>

#include "PlacedRows.h"

namespace {

using Kind = HandsetFinding::Kind;

TEST(HandsetCheck, FindsCharactersTheHandsetCannotStore)
{
    QString alphabet = QStringLiteral("АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ");
    alphabet += alphabet.toLower() + QStringLiteral("09 !@$%&*+-./:?AZaz");
    PhonebookRows rows = Rows({{1, {"", "+79161234567*#pw"}}});
    for (qsizetype at = 0, row = 1; at < alphabet.size(); at += kMaxNameChars, ++row)
        rows[static_cast<std::size_t>(row)].name = alphabet.mid(at, kMaxNameChars);
    rows[20] = {QStringLiteral("Ёлка😀é\tЁїЎ"), QStringLiteral("+7 (495)x-1")};
    EXPECT_EQ(checkForHandset(rows), (std::vector<HandsetFinding>{
                                         {21, Kind::NameCharacters, QStringLiteral("😀é\t")},
                                         {21, Kind::NameLetters, QStringLiteral("ЁїЎ")},
                                         {21, Kind::NumberCharacters, QStringLiteral("()x-")},
                                     }));
}

TEST(HandsetCheck, FindsCutsAfterTheBlanksTheWriteDrops)
{
    const QString sixteen = QStringLiteral("Абвгдежзийклмноп");
    const PhonebookRows rows = Rows({
        {1, {"  " + sixteen + "  ", " " + QString(30, u'1') + " "}},
        {2, {sixteen + "XY", QString(30, u'1') + "23"}},
        {3, {QString(15, u'a') + QStringLiteral("😀"), ""}},  // the cut splits the emoji
    });
    EXPECT_EQ(checkForHandset(rows), (std::vector<HandsetFinding>{
                                         {2, Kind::NameCut, "XY"},
                                         {2, Kind::NumberCut, "23"},
                                         {3, Kind::NameCut, QStringLiteral("😀")},
                                     }));
}

TEST(HandsetCheck, DescribesFindingsOneLinePerRecord)
{
    const PhonebookRows rows = Rows({
        {7, {QStringLiteral("Ёлка\x01") + QString(20, u'z'), "1-2"}},
        {9, {"", "(1)"}},
        {12, {"Ok", QString(31, u'1')}},
        {13, {QStringLiteral("Їжак ґанок Ўе є і"), "1"}},
    });
    const std::vector<HandsetFinding> findings = checkForHandset(rows);
    EXPECT_EQ(describeHandsetFindings(rows, findings),
              (QStringList{
                  QStringLiteral("7 \"Ёлка␁zzzzzzzzzzzzzzzzzzzz\": characters the handset cannot store: U+0001; "
                                 "letters stored as the nearest the handset has: Ё → Е; "
                                 "name cut after 16 characters, \"zzzzzzzzz\" is lost; "
                                 "number characters that become blanks: -"),
                  "9 \"(1)\": number characters that become blanks: ( )",
                  "12 \"Ok\": number cut after 30 digits, \"1\" is lost",
                  QStringLiteral("13 \"Їжак ґанок Ўе є і\": letters stored as the nearest the handset has: "
                                 "Ї → I, ґ → г, Ў → У, є → е; name cut after 16 characters, \"і\" is lost"),
              }));
    EXPECT_EQ(describeHandsetFindings(rows, findings, 1).last(), "… and 3 more records");
}

// A name of megabytes, or with a NUL in it, is quoted short and on one line.
TEST(HandsetCheck, QuotesAtMostAFewDozenCharactersOfAText)
{
    const QString huge = QStringLiteral("Ann") + QChar(0) + QStringLiteral("a\n") + QString(15 * 1024 * 1024, u'x');
    const PhonebookRows rows = Rows({{1, {huge, "1"}}});
    const QStringList lines = describeHandsetFindings(rows, checkForHandset(rows));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0],
              QStringLiteral("1 \"Ann␀a␊") + QString(kMaxQuotedChars - 6, u'x')
                  + QStringLiteral("…\": characters the handset cannot store: U+0000 U+000A; "
                                   "name cut after 16 characters, \"")
                  + QString(kMaxQuotedChars, u'x') + QStringLiteral("…\" is lost"));
}

} // namespace
