// The phonebook as vCard: our own cards round trip into the same locations,
// cards of other programs and older exports read, bad files name the line.
#include "phonebook/PhonebookVcard.h"

#include <gtest/gtest.h>

#include "ContactFixture.h"
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
    EXPECT_EQ(read.notes, QStringList{QStringLiteral("line 1: the handset keeps one number of \"Иван Петров\", +74951234567; left out: 999")});
}

// Cards as phones, mail programs and contact services export them, one
// number each as a person would choose it, every other one reported.
TEST(PhonebookVcard, RealExportsReadAsAPersonExpects)
{
    const QString iphone = QStringLiteral("line 1: the handset keeps one number of \"Иван Сергеевич Петров\", +79161234567; left out: "
                                          "+74952435396, 84951112233, +74957654321p102, +74950000001, +74951112234, "
                                          "+74957654322, +79035556677");
    const struct {
        const char* file;
        PhonebookRows rows;
        QStringList notes;
    } cases[] = {
        {"iphone-3.0.vcf",
         Rows({{1, {QStringLiteral("Иван Сергеевич Петров"), "+79161234567"}},
               {2, {QStringLiteral("Мария Сидорова"), "+79267778899"}},
               {3, {QStringLiteral("Такси Эконом"), "*1234#"}}}),
         {iphone, QStringLiteral("line 28: the handset keeps one number of \"Мария Сидорова\", +79267778899; left out: +74952223344")}},
        {"android-2.1.vcf",
         Rows({{1, {QStringLiteral("Александра Константиновна Воскресенская"), "+74952435396"}},
               {2, {QStringLiteral("Пётр Ёжиков"), "89160001122"}},
               {3, {"Bank", "+74955005550"}}}),
         {QStringLiteral("line 1: the handset keeps one number of \"Александра Константиновна Воскресенская\", +74952435396; "
                         "left out: +74957654322"),
          QStringLiteral("line 22: the handset keeps one number of \"Пётр Ёжиков\", 89160001122; left out: +74953334455"),
          QStringLiteral("line 32: the handset keeps one number of \"Bank\", +74955005550; left out: 88005553535")}},
        {"outlook-2.1-cp1251.vcf", Rows({{1, {QStringLiteral("Олег Кузнецов"), "+79117008090"}}}),
         {QStringLiteral("line 1: the handset keeps one number of \"Олег Кузнецов\", +79117008090; left out: +78123201122, +78123201123")}},
        {"google-3.0.vcf",
         Rows({{1, {QStringLiteral("Анна Смирнова"), "+74952435396p102"}}, {2, {QStringLiteral("Jürgen Müller"), "+49301234567p21"}}}),
         {QStringLiteral("line 1: \"Tel geschäftlich\" holds no digit and is not taken as a number"),
          QStringLiteral("line 1: number \"+7 (495) 243-53-96 доб. 102\" becomes +74952435396p102"),
          QStringLiteral("line 1: the handset keeps one number of \"Анна Смирнова\", +74952435396p102; left out: +79035556677"),
          QStringLiteral("line 12: number \"+49 (0)30 1234567 ext. 21\" becomes +49301234567p21")}},
        {"windows-utf16le.vcf", Rows({{1, {QStringLiteral("Ґалина Іваненко"), "+380441234567"}}}),
         {QStringLiteral("line 1: the handset keeps one number of \"Ґалина Іваненко\", +380441234567; left out: +380447654321")}},
        {"vcard-4.0.vcf", Rows({{1, {"Jane Doe", "+15555550199"}}, {2, {"John Roe", "+15555550100p102"}}}),
         {"line 1: the handset keeps one number of \"Jane Doe\", +15555550199; left out: +15555555555p5555",
          "line 15: number \"tel:+1-555-555-0100;ext=102\" becomes +15555550100p102"}},
    };
    for (const auto& c : cases) {
        const PhonebookImport read = readPhonebookVcard(ContactFixture(c.file));
        EXPECT_EQ(read.rows, c.rows) << c.file;
        EXPECT_EQ(read.notes, c.notes) << c.file;
        EXPECT_TRUE(read.changed) << c.file;
    }
}

TEST(PhonebookVcard, CardsInsideCardsAndOldMacLineEndsAreRead)
{
    // A card begun inside another is read; the outer one, empty, is reported.
    const PhonebookImport nested = parsePhonebookVcard("BEGIN:VCARD\nBEGIN:VCARD\nFN:Deep\nTEL:1\nEND:VCARD\nEND:VCARD\n");
    EXPECT_EQ(nested.rows, Rows({{1, {"Deep", "1"}}}));
    EXPECT_EQ(nested.notes, QStringList{"line 1: a card without name or number is left out"});

    const PhonebookImport mac = parsePhonebookVcard("BEGIN:VCARD\rVERSION:2.1\rFN:Mac\rTEL;CELL:555-01\r 23\rEND:VCARD\r");
    EXPECT_EQ(mac.rows, Rows({{1, {"Mac", "5550123"}}}));
    EXPECT_TRUE(mac.notes.isEmpty());
    EXPECT_FALSE(mac.changed);
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
    EXPECT_EQ(ErrorLine(QByteArray("BEGIN:VCARD\n").repeated(9) + QByteArray("FN:A\nEND:VCARD\n").repeated(9)), 9);  // deeper than exporters nest
}

} // namespace
