// One entry point reads and writes every phonebook format by extension.
#include "phonebook/PhonebookFormats.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString ErrorText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const InOutError& error) {
        return QString::fromStdString(error.what());
    }
    return QStringLiteral("<no error>");
}

TEST(PhonebookFormats, ChoosesTheFormatByExtension)
{
    EXPECT_EQ(phonebookFormatFor("a/Phbook.npb"), PhonebookFormat::Npb);
    EXPECT_EQ(phonebookFormatFor("book.CSV"), PhonebookFormat::Csv);
    EXPECT_EQ(phonebookFormatFor("book.vcf"), PhonebookFormat::Vcard);
    EXPECT_EQ(phonebookFormatFor("book.VCard"), PhonebookFormat::Vcard);
    EXPECT_EQ(phonebookFormatFor("book.csv.txt"), std::nullopt);
    EXPECT_EQ(phonebookFormatFor("csv"), std::nullopt);

    QTemporaryDir dir;
    const QString path = dir.filePath("book.txt");
    EXPECT_EQ(ErrorText([&] { writePhonebook(path, emptyPhonebookRows()); }),
              QStringLiteral("Cannot save \"%1\": a phonebook file ends in .npb, .csv or .vcf.").arg(path));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(PhonebookFormats, EveryFormatRoundTripsThroughTheFile)
{
    PhonebookRows rows = emptyPhonebookRows();
    rows[0] = {QStringLiteral("Иван"), "+7916"};
    rows[41] = {"Bob", ""};
    rows[99] = {QStringLiteral("Юля Щ"), "*#1"};
    QTemporaryDir dir;
    for (const char* name : {"book.npb", "book.csv", "book.vcf"}) {
        const QString path = dir.filePath(name);
        writePhonebook(path, rows);
        const PhonebookImport back = readPhonebook(path);
        EXPECT_EQ(back.rows, rows) << name;
        EXPECT_TRUE(back.notes.isEmpty()) << name;
    }
}

TEST(PhonebookFormats, ReadFailuresNameTheFile)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("none.csv");
    EXPECT_EQ(ErrorText([&] { readPhonebook(missing); }),
              QStringLiteral("Cannot read \"%1\": the file does not exist.").arg(missing));

    const QString shortNpb = dir.filePath("short.npb");
    QFile file(shortNpb);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(NpbRecordSize * 3 + 10, '\0'));
    file.close();
    EXPECT_EQ(ErrorText([&] { readPhonebook(shortNpb); }),
              QStringLiteral("Cannot read \"%1\": the file ends after 3 of the 100 records.").arg(shortNpb));

    const QString huge = dir.filePath("huge.vcf");
    ASSERT_TRUE(QFile(huge).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile(huge).resize(MaxImportFileBytes + 1));
    EXPECT_EQ(ErrorText([&] { readPhonebook(huge); }),
              QStringLiteral("Cannot read \"%1\": it is larger than 16 MB, too large for a phonebook.").arg(huge));
}

} // namespace
