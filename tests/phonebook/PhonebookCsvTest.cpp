// The phonebook as CSV: our own files round trip, spreadsheet files read,
// locations are placed and every decision about them is reported.
#include "phonebook/PhonebookCsv.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "ContactFixture.h"
#include "PlacedRows.h"

namespace {

TEST(PhonebookCsv, RoundTripKeepsLocationsAndAwkwardText)
{
    const PhonebookRows rows = Rows({
        {1, {QStringLiteral("Иван Петров"), QStringLiteral("+74951234567")}},
        {7, {QStringLiteral("Smith, \"Bob\"; Jr"), QStringLiteral("123456")}},
        {8, {QStringLiteral(" two\nlines "), QString()}},
        {100, {QString(), QStringLiteral("*#1pw")}},
    });
    const QByteArray csv = formatPhonebookCsv(rows);
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBFlocation,name,number\r\n1,"));
    const PhonebookImport back = parsePhonebookCsv(csv);
    EXPECT_EQ(back.rows, rows);
    EXPECT_TRUE(back.notes.isEmpty()) << back.notes.join(u'\n').toStdString();
}

TEST(PhonebookCsv, ReadsWhatSpreadsheetsWrite)
{
    const struct {
        const char* what;
        QByteArray bytes;
        PhonebookRows rows;
    } cases[] = {
        {"semicolons, BOM, a blank line, CR LF, doubled quotes, a line break in a quoted field",
         "\xEF\xBB\xBF\r\nLocation;Name;Number\r\n2;\"Say \"\"hi\"\"; bye\";12\r\n;\"a\r\nb\";3\r\n\r\n;;\r\n",
         Rows({{2, {"Say \"hi\"; bye", "12"}}, {1, {"a\nb", "3"}}})},
        {"columns in another order, no location column, no line break at the end",
         "number,name\n555,Anna", Rows({{1, {"Anna", "555"}}})},
        {"tabs", "location\tname\tnumber\n3\tA, B\t1", Rows({{3, {"A, B", "1"}}})},
    };
    for (const auto& c : cases) {
        const PhonebookImport read = parsePhonebookCsv(c.bytes);
        EXPECT_EQ(read.rows, c.rows) << c.what;
        EXPECT_TRUE(read.notes.isEmpty()) << c.what;
    }

    // A Cyrillic spreadsheet's plain "CSV" is Windows-1251, not UTF-8.
    const PhonebookImport win = parsePhonebookCsv("name;number\r\n\xC8\xE2\xE0\xED;1\r\n");
    EXPECT_EQ(win.rows, Rows({{1, {QStringLiteral("Иван"), "1"}}}));
    EXPECT_EQ(win.notes, QStringList{"the file is not UTF-8; it was read as Windows-1251"});
    EXPECT_FALSE(win.changed) << "the records are as in the file";
}

// Contact exports: the number a person would keep, every other one reported;
// the name from its parts or the company when there is no whole one.
TEST(PhonebookCsv, ReadsGoogleAndOutlookExports)
{
    const struct {
        const char* file;
        PhonebookRows rows;
        QStringList notes;
    } cases[] = {
        {"google-contacts.csv",
         Rows({{1, {QStringLiteral("Анна Смирнова"), "+79165551234"}},
               {2, {QStringLiteral("Олег Кузнецов"), "+78123201122"}},
               {3, {QStringLiteral("Борис Ёлкин"), "84012556677p12"}},
               {4, {QStringLiteral("Автосервис"), "+74957000000"}}}),
         {QStringLiteral("line 2: the handset keeps one number of \"Анна Смирнова\", +79165551234; left out: +74952435396, +74952435397"),
          QStringLiteral("line 4: the handset keeps one number of \"Олег Кузнецов\", +78123201122; left out: +78123201123, +78125550000"),
          QStringLiteral("line 5: number \"8 (4012) 55-66-77 x12\" becomes 84012556677p12")}},
        {"outlook-contacts.csv",
         Rows({{1, {QStringLiteral("Иван Сергеевич Петров"), "+79161234567"}},
               {2, {QStringLiteral("Мария Сидорова"), "+74952223340"}},
               {3, {QStringLiteral("Аптека №1"), "+74956000000"}}}),
         {QStringLiteral("line 2: the handset keeps one number of \"Иван Сергеевич Петров\", +79161234567; "
                         "left out: +74957654322, +74957654321, +74951112233"),
          QStringLiteral("line 3: the handset keeps one number of \"Мария Сидорова\", +74952223340; left out: +74952223344, +74952223345"),
          QStringLiteral("line 4: the handset keeps one number of \"Аптека №1\", +74956000000; left out: +74956000001")}},
    };
    for (const auto& c : cases) {
        const PhonebookImport read = readPhonebookCsv(ContactFixture(c.file));
        EXPECT_EQ(read.rows, c.rows) << c.file;
        EXPECT_EQ(read.notes, c.notes) << c.file;
        EXPECT_TRUE(read.changed) << c.file;
    }

    // Our own layout cleans its numbers the same way.
    const PhonebookImport own = parsePhonebookCsv("name,number\nA,243 53 96\nB,n/a\n");
    EXPECT_EQ(own.rows, Rows({{1, {"A", "2435396"}}, {2, {"B", ""}}}));
    EXPECT_EQ(own.notes, QStringList{"line 3: \"n/a\" holds no digit and is not taken as a number"});
}

TEST(PhonebookCsv, PlacesRecordsAndReportsEveryMovedOne)
{
    const PhonebookImport read = parsePhonebookCsv("location,name,number\n"
                                                   "5,A,1\n"
                                                   ",B,2\n"
                                                   "5,C,3\n"
                                                   "101,D,4\n"
                                                   "x,E,5\n"
                                                   "1,F,6\n");
    EXPECT_EQ(read.rows, Rows({{5, {"A", "1"}}, {2, {"B", "2"}}, {3, {"C", "3"}}, {4, {"D", "4"}}, {6, {"E", "5"}}, {1, {"F", "6"}}}));
    EXPECT_EQ(read.notes, (QStringList{
                              "line 4: location 5 is already taken by line 2; placed at location 3",
                              "line 5: location \"101\" is not between 1 and 100; placed at location 4",
                              "line 6: location \"x\" is not between 1 and 100; placed at location 6",
                          }));
    EXPECT_TRUE(read.changed);

    QByteArray full = "name,number\n";
    for (int i = 1; i <= 101; ++i)
        full += "n" + QByteArray::number(i) + "," + QByteArray::number(i) + "\n";
    const PhonebookImport overfull = parsePhonebookCsv(full);
    EXPECT_EQ(overfull.rows[99], (PhonebookRow{"n100", "100"}));
    EXPECT_EQ(overfull.notes, QStringList{"line 102: no free location left, \"n101\" is left out"});
}

TEST(PhonebookCsv, BadFilesAreRefusedNamingFileAndLine)
{
    const auto lineOf = [](const QByteArray& bytes) {
        try {
            parsePhonebookCsv(bytes);
        } catch (const PhonebookParseError& error) {
            return error.line();
        }
        return 0;
    };
    EXPECT_EQ(lineOf(""), 1);
    EXPECT_EQ(lineOf("\n\nfirst,last\n1,2\n"), 3);               // no name/number header
    EXPECT_EQ(lineOf("name,number\n\"a\nb\",1\n\"open,2\nmore\n"), 4);

    QTemporaryDir dir;
    const QString path = dir.filePath("book.csv");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("name,number\nA,1\n\"B,2\n");
    file.close();
    try {
        readPhonebookCsv(path);
        FAIL() << "an unclosed quote was read";
    } catch (const InOutError& error) {
        EXPECT_EQ(QString::fromStdString(error.what()),
                  QStringLiteral("Cannot read \"%1\", line 3: a quoted field is not closed.").arg(path));
    }
}

} // namespace
