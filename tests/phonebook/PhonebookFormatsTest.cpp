// One entry point reads and writes every phonebook format by extension.
#include "phonebook/PhonebookFormats.h"

#include "support/AsNobody.h"
#include "support/ScratchMount.h"

#include <QDir>
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
    file.write(QByteArray(kNpbRecordSize * 3 + 10, '\0'));
    file.close();
    EXPECT_EQ(ErrorText([&] { readPhonebook(shortNpb); }),
              QStringLiteral("Cannot read \"%1\": the file ends after 3 of the 100 records.").arg(shortNpb));

    const QString huge = dir.filePath("huge.vcf");
    ASSERT_TRUE(QFile(huge).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile(huge).resize(kMaxImportFileBytes + 1));
    EXPECT_EQ(ErrorText([&] { readPhonebook(huge); }),
              QStringLiteral("Cannot read \"%1\": it is larger than 16 MB, too large for a phonebook.").arg(huge));
}

// Written to the handset, a file without a record would empty it.
TEST(PhonebookFormats, FilesWithoutAnyRecordAreRefused)
{
    QTemporaryDir dir;
    const struct {
        const char* name;
        QByteArray bytes;
        const char* why;
    } cases[] = {
        {"empty.vcf", "", ""},
        {"header.csv", "location,name,number\r\n", ""},
        {"blank.vcf", "BEGIN:VCARD\nVERSION:3.0\nEMAIL:a@b\nEND:VCARD\n",
         " (line 1: a card without name or number is left out)"},
        {"empty.npb", QByteArray(kNpbFileSize, '\0'), ""},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(c.name);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        EXPECT_EQ(ErrorText([&] { readPhonebook(path); }),
                  QStringLiteral("Cannot read \"%1\": there is no record in it%2.").arg(path, QLatin1String(c.why)));
    }
}

TEST(PhonebookFormats, APlaceThatCannotTakeTheFileIsFoundBeforeSaving)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("book.csv"));
    const struct {
        QString path;
        QString reason;
    } cases[] = {
        {dir.filePath("book.csv"), "it is a folder"},
        {dir.filePath("none/book.csv"), "the folder does not exist"},
        {dir.filePath("book.txt"), "a phonebook file ends in .npb, .csv or .vcf"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorText([&] { checkPhonebookWritable(c.path); }),
                  QStringLiteral("Cannot save \"%1\": %2.").arg(c.path, c.reason));

    const QString fine = dir.filePath("new.vcf");
    EXPECT_EQ(ErrorText([&] { checkPhonebookWritable(fine); }), "<no error>");
    EXPECT_FALSE(QFile::exists(fine));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"book.csv"})
        << "the trial file is gone";
    // A write-protected file, and a folder that takes no new file.
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    const QFileDevice::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(dir.filePath("locked"), readOnly));
    const QString kept = dir.filePath("kept.npb");
    QFile file(kept);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(QFile::setPermissions(kept, QFile::ReadOwner | QFile::ReadOther));
    for (const QString& path : {kept, dir.filePath("locked/book.vcf")}) {
        AsNobody nobody;
        EXPECT_EQ(ErrorText([&] { checkPhonebookWritable(path); }), QStringLiteral("Cannot save \"%1\": access is denied.").arg(path));
    }

    ScratchMount disk;
    SKIP_WITHOUT_SCRATCH_MOUNT(disk);
    disk.MakeReadOnly();
    EXPECT_EQ(ErrorText([&] { checkPhonebookWritable(disk.FilePath("book.npb")); }),
              QStringLiteral("Cannot save \"%1\": the file system is read-only.").arg(disk.FilePath("book.npb")));
}

} // namespace
