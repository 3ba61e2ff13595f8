// The phonebook as vCard: our own cards round trip into the same locations,
// cards of other programs and older exports read, bad files name the line.
#include "phonebook/PhonebookVcard.h"

#include <gtest/gtest.h>

#include "PlacedRows.h"

namespace {

int ErrorLine(const QByteArray& bytes)
{
    try {
        parsePhonebookVcard(bytes);
    } catch (const PhonebookParseError& error) {
        return error.line();
    }
    return 0;
}

TEST(PhonebookVcard, RoundTripKeepsLocationsEscapesAndFoldsLongLines)
{
    const PhonebookRows rows = Rows({
        {3, {QStringLiteral("Щукина, Анна; \\ н"), QStringLiteral("+74951234567")}},
        {50, {QStringLiteral("Ж").repeated(60), QString()}},
        {100, {QString(), QStringLiteral("*#1")}},
    });
    const QByteArray vcf = formatPhonebookVcard(rows);
    EXPECT_EQ(vcf.count("BEGIN:VCARD\r\nVERSION:3.0\r\n"), 3);
    EXPECT_TRUE(vcf.contains("FN:Щукина\\, Анна\\; \\\\ н\r\n"));
    for (const QByteArray& line : vcf.split('\n'))
        EXPECT_LE(line.size(), 76) << line.toStdString();  // 75 octets and the CR

    const PhonebookImport back = parsePhonebookVcard(vcf);
    EXPECT_EQ(back.rows, rows);
    EXPECT_TRUE(back.notes.isEmpty());
}

TEST(PhonebookVcard, ReadsCardsOfOtherProgramsAndOlderExports)
{
    const QByteArray file =
        // 2.1: no FN, the name in N as quoted-printable UTF-8 with a soft line
        // break; the first of two numbers, written for reading.
        "BEGIN:VCARD\r\nVERSION:2.1\r\n"
        "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=D0=9F=D0=B5=D1=82=D1=80=D0=BE=D0=B2;=D0=98=D0=B2=\r\n"
        "=D0=B0=D0=BD;;;\r\n"
        "TEL;CELL;PREF:+7 (495) 123-45-67\r\nTEL;HOME:999\r\nEND:VCARD\r\n"
        // 3.0 with a group, a folded FN with escapes, and a tel: URI.
        "BEGIN:VCARD\nVERSION:3.0\nFN:Smith\\, \n Bob\nN:Smith;Bob;;;\nitem1.TEL;VALUE=uri:tel:+1-555-0100\nEND:VCARD\n"
        // Windows-1251 named by CHARSET; a photo and a nested card are passed over.
        "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=WINDOWS-1251:\xDE\xEB\xE8\xFF\r\n"
        "PHOTO;ENCODING=BASE64;TYPE=JPEG:/9j/4AAQ\r\n  SkZJRgABAQ\r\n"
        "AGENT:\r\nBEGIN:VCARD\r\nFN:Agent\r\nTEL:1\r\nEND:VCARD\r\nTEL:42\r\nEND:VCARD\r\n";
    const PhonebookImport read = parsePhonebookVcard(file);
    EXPECT_EQ(read.rows, Rows({
                             {1, {QStringLiteral("Иван Петров"), "+74951234567"}},
                             {2, {"Smith, Bob", "+15550100"}},
                             {3, {QStringLiteral("Юлия"), "42"}},
                         }));
    EXPECT_TRUE(read.notes.isEmpty()) << read.notes.join(u'\n').toStdString();
}

TEST(PhonebookVcard, EmptyCardsAreNotedAndBadFilesNameTheLine)
{
    const PhonebookImport read = parsePhonebookVcard("BEGIN:VCARD\nFN:A\nEND:VCARD\nBEGIN:VCARD\nEMAIL:a@b\nEND:VCARD\n");
    EXPECT_EQ(read.rows, Rows({{1, {"A", ""}}}));
    EXPECT_EQ(read.notes, QStringList{"line 4: a card without name or number is left out"});

    EXPECT_TRUE(parsePhonebookVcard("").rows == emptyPhonebookRows());
    EXPECT_EQ(ErrorLine("name,number\n1,2\n"), 1);
    EXPECT_EQ(ErrorLine("BEGIN:VCARD\nFN:A\nEND:VCARD\n\nBEGIN:VCARD\nFN:B\n"), 5);
    EXPECT_EQ(ErrorLine("FN:A\nEND:VCARD\n"), 2);
}

} // namespace
