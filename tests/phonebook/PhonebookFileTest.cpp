// The phonebook file: its record layout in memory, and the file on disk.
#include "phonebook/PhonebookFile.h"
#include "phonebook/PhonebookFileIo.h"
#include "support/AsNobody.h"
#include "support/ScratchMount.h"
#include "support/TrapFifo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::vector<PhonebookEntry> SampleBook()
{
    std::vector<PhonebookEntry> book(kNpbRecords);
    for (int i = 0; i < kNpbRecords; i += 3)
        book[i] = {"Name " + std::to_string(i) + " \xC0\xFF", "+7" + std::to_string(1000 + i)};
    book[99] = {std::string(32, 'n'), std::string(32, '1')};
    return book;
}

void WriteBytes(const QString& path, const std::string& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
}

std::string ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<unreadable>");
}

std::string ErrorText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const InOutError& e) {
        return e.what();
    }
    return "<no error>";
}

} // namespace

TEST(PhonebookFile, RecordLayout)
{
    std::vector<PhonebookEntry> book(2);
    book[1] = {"Ann", "12"};
    const std::string image = encodePhonebookFile(book);
    ASSERT_EQ(image.size(), 6600u);
    const std::string record = image.substr(66, 66);
    EXPECT_EQ(record[0], 3);
    EXPECT_EQ(record.substr(1, 3), "Ann");
    EXPECT_EQ(record[33], 2);
    EXPECT_EQ(record.substr(34, 2), "12");
    EXPECT_EQ(record.substr(4, 29), std::string(29, '\0'));
    EXPECT_EQ(image.substr(0, 66), std::string(66, '\0'));
    EXPECT_EQ(image.substr(132), std::string(6600 - 132, '\0'));
}

TEST(PhonebookFile, LongTextsAreCutToThirtyTwo)
{
    const std::vector<PhonebookEntry> book{{std::string(40, 'a'), std::string(33, '5')}};
    const DecodedPhonebook back = decodePhonebookFile(encodePhonebookFile(book));
    ASSERT_EQ(back.entries.size(), 100u);
    EXPECT_EQ(back.entries[0].name, std::string(32, 'a'));
    EXPECT_EQ(back.entries[0].number, std::string(32, '5'));
}

TEST(PhonebookFile, LengthAboveThirtyTwoIsTakenAsThirtyTwo)
{
    std::string image(6600, 'z');
    image[0] = static_cast<char>(200);
    image[33] = 33;
    const DecodedPhonebook book = decodePhonebookFile(image);
    EXPECT_EQ(book.entries[0].name, std::string(32, 'z'));
    EXPECT_EQ(book.entries[0].number, std::string(32, 'z'));
}

TEST(PhonebookFile, ShortDataGivesItsCompleteRecordsOnly)
{
    const std::string image = encodePhonebookFile(SampleBook());
    DecodedPhonebook book = decodePhonebookFile(std::string_view(image).substr(0, 66 * 3 + 65));
    EXPECT_TRUE(book.truncated);
    ASSERT_EQ(book.entries.size(), 3u);
    EXPECT_EQ(book.entries[0], SampleBook()[0]);

    book = decodePhonebookFile("");
    EXPECT_TRUE(book.truncated);
    EXPECT_TRUE(book.entries.empty());

    book = decodePhonebookFile(image + "trailing bytes");
    EXPECT_FALSE(book.truncated);
    EXPECT_EQ(book.entries, SampleBook());
}

TEST(PhonebookFileOnDisk, SaveAndLoadRoundTrip)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("book.npb");
    savePhonebookFile(path, SampleBook());
    EXPECT_EQ(QFile(path).size(), 6600);
    EXPECT_EQ(decodePhonebookFile(readPhonebookFile(path)).entries, SampleBook());
}

TEST(PhonebookFileOnDisk, ErrorsCarryTheirTexts)
{
    QTemporaryDir dir;
    EXPECT_EQ(ErrorText([&] { readPhonebookFile(dir.filePath("missing.npb")); }), "File not found");
    EXPECT_EQ(ErrorText([&] { readPhonebookFile(dir.path()); }),
              "Cannot open \"" + dir.path().toStdString() + "\": it is a folder.");
    EXPECT_EQ(ErrorText([&] { savePhonebookFile(dir.filePath("no/such/folder/x.npb"), {}); }), "File not found");
    EXPECT_EQ(ErrorText([&] { savePhonebookFile(dir.path(), {}); }),
              "Cannot save \"" + dir.path().toStdString() + "\": it is a folder.");
}

TEST(PhonebookFileOnDisk, SaveOverAWriteProtectedFileIsAccessDenied)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("book.npb");
    WriteBytes(path, "earlier");
    ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther));
    std::string error;
    {
        AsNobody nobody;
        error = ErrorText([&] { savePhonebookFile(path, SampleBook()); });
    }
    EXPECT_EQ(error, "File access denied");
    EXPECT_TRUE(ReadBytes(path) == "earlier") << "the protected file was replaced";
}

TEST(PhonebookFileOnDisk, SaveOnAFullOrReadOnlyDiskKeepsTheEarlierFileAndSaysWhy)
{
    struct Case {
        void (ScratchMount::*spoil)();
        std::string expected; // "%1" stands for the path
    };
    for (const Case& c : {Case{&ScratchMount::FillUp, "Disk full"},
                          Case{&ScratchMount::MakeReadOnly, "Cannot save \"%1\": the file system is read-only."}}) {
        ScratchMount disk;
        SKIP_WITHOUT_SCRATCH_MOUNT(disk);
        const QString path = disk.FilePath("book.npb");
        const std::string earlier = encodePhonebookFile({{"Old", "1"}});
        WriteBytes(path, earlier);
        (disk.*c.spoil)();
        EXPECT_EQ(ErrorText([&] { savePhonebookFile(path, SampleBook()); }),
                  QString::fromStdString(c.expected).replace("%1", path).toStdString());
        EXPECT_EQ(ReadBytes(path), earlier);
        EXPECT_EQ(QDir(disk.Path()).entryList(QDir::Files), QStringList{"book.npb"});
    }
}

TEST(PhonebookFileOnDisk, NamedPipeIsRefusedWithoutOpeningIt)
{
    QTemporaryDir dir;
    TrapFifo pipe(dir.filePath("book.npb"));
    ASSERT_TRUE(pipe.Made());
    EXPECT_EQ(ErrorText([&] { readPhonebookFile(pipe.Path()); }),
              "Cannot open \"" + pipe.Path().toStdString() + "\": it is a named pipe, not a file.");
    EXPECT_FALSE(pipe.Released()) << "the load blocked on the pipe";
}

TEST(PhonebookFileOnDisk, FailedWriteLeavesTheEarlierFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("book.npb");
    const std::string earlier = "earlier contents";
    WriteBytes(path, earlier);

    // A file size limit makes the write fail part way, as a full disk would.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string error = ErrorText([&] { savePhonebookFile(path, SampleBook()); });
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(error, "Disk full");
    EXPECT_EQ(ReadBytes(path), earlier);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"book.npb"});
}

TEST(PhonebookFileOnDisk, SaveIntoReadOnlyFolderLeavesTheEarlierFile)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("ro");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString path = folder + "/book.npb";
    const std::string earlier = encodePhonebookFile({{"Old", "1"}});
    WriteBytes(path, earlier);

    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    // The superuser writes through permissions: the folder is made immutable instead.
    const int fd = open(folder.toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    const bool immutable = geteuid() == 0 && fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0
        && (flags |= FS_IMMUTABLE_FL, ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    const std::string error = ErrorText([&] { savePhonebookFile(path, SampleBook()); });
    if (immutable) {
        flags &= ~FS_IMMUTABLE_FL;
        ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    close(fd);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (geteuid() == 0 && !immutable)
        GTEST_SKIP() << "cannot protect a folder from the superuser here";

    EXPECT_EQ(error, "File access denied");
    EXPECT_EQ(ReadBytes(path), earlier);
}
