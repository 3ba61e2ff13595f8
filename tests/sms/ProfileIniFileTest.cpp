#include "sms/ProfileIniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <functional>

#include "support/ScratchMount.h"
#include "support/TrapFifo.h"
#if __has_include(<iconv.h>)
#include <iconv.h>
#define HAVE_ICONV 1
#endif
#ifndef _WIN32
#include "support/AsNobody.h"
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

namespace {

class ProfileFileTest : public ::testing::Test {
protected:
    std::string PathOf(const char* name) const { return QDir(dir.path()).filePath(name).toStdString(); }

    std::string Put(const std::string& bytes, const char* name = "Operators.ini")
    {
        const std::string path = PathOf(name);
        QFile f(QString::fromStdString(path));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path;
    }

    static std::string Get(const std::string& path)
    {
        QFile f(QString::fromStdString(path));
        if (!f.open(QIODevice::ReadOnly))
            return "<missing>";
        return f.readAll().toStdString();
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(ProfileFileTest, NewFileAndNewSectionsAreWrittenWithCrLfAndNoBlankLines)
{
    const std::string path = PathOf("Operators.ini");
    ProfileIniFile ini(path);
    EXPECT_EQ(Get(path), "<missing>") << "creating the object must not touch the disk";
    ini.setValue("Op1", "Name", "Ann");
    EXPECT_EQ(Get(path), "[Op1]\r\nName=Ann\r\n");
    ini.setValue("Op2", "A", "1");
    EXPECT_EQ(Get(path), "[Op1]\r\nName=Ann\r\n[Op2]\r\nA=1\r\n");
}

TEST_F(ProfileFileTest, ExistingKeysAreRewrittenInPlaceKeepingTheirCase)
{
    const std::string p3 = Put("[Op1]\r\na=1\r\nb=2\r\n", "v3.ini");
    ProfileIniFile(p3).setValue("OP1", "A", "9");
    EXPECT_EQ(Get(p3), "[Op1]\r\na=9\r\nb=2\r\n");

    const std::string p4 = Put("[S]\r\nKey=V", "v4.ini");
    ProfileIniFile(p4).setValue("S", "KEY", "W");
    EXPECT_EQ(Get(p4), "[S]\r\nKey=W\r\n");
}

TEST_F(ProfileFileTest, NewKeyGoesAfterTheLastKeyLineBeforeTrailingComments)
{
    const std::string path = Put("[S]\r\nz=\r\n;y=\r\n[T]\r\nq=1\r\n");
    ProfileIniFile ini(path);
    ini.setValue("S", "a", "");
    ini.setValue("S", "b", "2");
    EXPECT_EQ(Get(path), "[S]\r\nz=\r\na=\r\nb=2\r\n;y=\r\n[T]\r\nq=1\r\n");
}

TEST_F(ProfileFileTest, NewKeyInASectionWithoutKeysFollowsItsHeader)
{
    const std::string path = Put("[S]\r\n;note\r\n[T]\r\n");
    ProfileIniFile(path).setValue("S", "k", "v");
    EXPECT_EQ(Get(path), "[S]\r\nk=v\r\n;note\r\n[T]\r\n");
}

TEST_F(ProfileFileTest, ErasingKeepsCommentsAndIgnoresMissingSections)
{
    const std::string p6 = Put(";c0\r\n[S]\r\n;c1\r\n[T]\r\n;c2\r\n", "v6.ini");
    ProfileIniFile ini6(p6);
    ini6.removeSection("S");
    ini6.removeSection("T");
    EXPECT_EQ(Get(p6), ";c0\r\n;c1\r\n;c2\r\n");

    const std::string p7 = Put("[A]\r\nk=1\r\n[B]\r\nk=4\r\n", "v7.ini");
    ProfileIniFile ini7(p7);
    ini7.removeSection("a");
    EXPECT_EQ(Get(p7), "[B]\r\nk=4\r\n");
    ini7.removeSection("nothing");
    EXPECT_EQ(Get(p7), "[B]\r\nk=4\r\n");

    const std::string absent = PathOf("absent.ini");
    ProfileIniFile(absent).removeSection("S");
    EXPECT_EQ(Get(absent), "<missing>");
}

TEST_F(ProfileFileTest, ListingSkipsNonKeysAndKeepsFileOrderAndDuplicateSections)
{
    ProfileIniFile keys(Put("[s]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n;c=1\r\n", "v8.ini"));
    EXPECT_THAT(keys.keyNames("S"), ElementsAre("name1", "name2", "name4"));
    EXPECT_THAT(keys.sectionLines("s"), ElementsAre("name1=val1", "name2=", "name4=val4"));
    EXPECT_THAT(keys.keyNames("none"), IsEmpty());

    ProfileIniFile trimmed(Put("[ section1 ]\r\n[section2]\r\n", "v9.ini"));
    EXPECT_THAT(trimmed.sectionNames(), ElementsAre("section1", "section2"));

    ProfileIniFile twice(Put("[A]\r\nk=1\r\n[B]\r\n[A]\r\nk=2\r\nj=3\r\n", "v13.ini"));
    EXPECT_THAT(twice.sectionNames(), ElementsAre("A", "B", "A"));
    EXPECT_EQ(twice.value("A", "j", "none"), "none") << "only the first duplicate section is seen";
    twice.setValue("a", "k", "9");
    EXPECT_EQ(twice.bytes(), "[A]\r\nk=9\r\n[B]\r\n[A]\r\nk=2\r\nj=3\r\n");
}

TEST_F(ProfileFileTest, ValuesAreTrimmedUnquotedOnceAndFirstKeyWins)
{
    ProfileIniFile ini(Put("[S]\r\nk= \"  x  \" \r\nc=v ;c\r\nd=v1\r\nD=v2\r\nh=#x\r\n"
                           "q='\"a\"'\r\nlone=\"\r\nmix=\"a'\r\n"));
    EXPECT_EQ(ini.value("S", "k", ""), "  x  ");
    EXPECT_EQ(ini.value("S", "c", ""), "v ;c");
    EXPECT_EQ(ini.value("S", "d", ""), "v1");
    EXPECT_EQ(ini.value("S", "h", ""), "#x");
    EXPECT_EQ(ini.value("S", "q", ""), "\"a\"");
    EXPECT_EQ(ini.value("S", "lone", ""), "\"");
    EXPECT_EQ(ini.value("S", "mix", ""), "\"a'");
    EXPECT_EQ(ini.value("S", "missing", "dflt"), "dflt");
}

TEST_F(ProfileFileTest, HeaderWithoutClosingBracketAndTextAfterItStillNameTheSection)
{
    ProfileIniFile open(Put("[S   \r\nk=v\r\n", "v14.ini"));
    EXPECT_EQ(open.value("S", "k", ""), "v");
    ProfileIniFile tail(Put("  [T] trailing ]\r\n\tk = w \r\n", "tail.ini"));
    EXPECT_THAT(tail.sectionNames(), ElementsAre("T"));
    EXPECT_EQ(tail.value(" t ", "K", ""), "w");
}

TEST_F(ProfileFileTest, LinesBeforeTheFirstHeaderAndBehindABomCannotBeReached)
{
    ProfileIniFile before(Put("k=0\r\n[S]\r\nk=1\r\n", "before.ini"));
    EXPECT_EQ(before.value("S", "k", ""), "1");
    EXPECT_THAT(before.keyNames(""), IsEmpty());

    const std::string bom = Put("\xEF\xBB\xBF[S]\r\nk=1\r\n[T]\r\nk=2\r\n", "bom.ini");
    ProfileIniFile ini(bom);
    EXPECT_THAT(ini.sectionNames(), ElementsAre("T"));
    EXPECT_EQ(ini.value("S", "k", "none"), "none");
    ini.setValue("T", "k", "3");
    EXPECT_EQ(Get(bom), "\xEF\xBB\xBF[S]\r\nk=1\r\n[T]\r\nk=3\r\n") << "the BOM bytes pass through";
}

TEST_F(ProfileFileTest, AllThreeLineEndsAreReadAndWritingUsesCrLf)
{
    const std::string path = Put("[A]\rk=1\r[B]\nk=2\n\n[C]\r\nk=3");
    ProfileIniFile ini(path);
    EXPECT_THAT(ini.sectionNames(), ElementsAre("A", "B", "C"));
    EXPECT_EQ(ini.value("A", "k", ""), "1");
    EXPECT_EQ(ini.value("B", "k", ""), "2");
    ini.setValue("D", "k", "4");
    EXPECT_EQ(Get(path), "[A]\r\nk=1\r\n[B]\r\nk=2\r\n\r\n[C]\r\nk=3\r\n[D]\r\nk=4\r\n");
}

TEST_F(ProfileFileTest, CyrillicNamesMatchWithoutRegardToCase)
{
    // "[ОПЕРАТОР]" / "Ключ=Знач" in Windows-1251, looked up in the other case.
    ProfileIniFile ini(Put("[\xCE\xCF\xC5\xD0\xC0\xD2\xCE\xD0]\r\n\xCA\xEB\xFE\xF7=\xC7\r\n\xA8\xEB\xEA\xE0=1\r\n"));
    EXPECT_EQ(ini.value("\xEE\xEF\xE5\xF0\xE0\xF2\xEE\xF0", "\xEA\xCB\xDE\xD7", ""), "\xC7");
    EXPECT_EQ(ini.value("\xEE\xEF\xE5\xF0\xE0\xF2\xEE\xF0", "\xB8\xCB\xCA\xC0", ""), "1");
    EXPECT_EQ(ini.value("\xEE\xEF\xE5\xF0\xE0\xF2\xEE\xF1", "\xEA\xCB\xDE\xD7", "no"), "no");
}

#ifdef HAVE_ICONV
TEST(Win1251CaseFolding, AgreesWithUnicodeLowerCaseForEveryByte)
{
    iconv_t toUtf8 = iconv_open("UTF-8", "WINDOWS-1251");
    ASSERT_NE(toUtf8, reinterpret_cast<iconv_t>(-1));
    int letters = 0;
    for (int b = 0; b < 256; ++b) {
        char in = static_cast<char>(b);
        char out[8] = {};
        char* inp = &in;
        char* outp = out;
        size_t inLeft = 1;
        size_t outLeft = sizeof out;
        if (iconv(toUtf8, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1))
            continue; // the one unassigned byte
        const QString ch = QString::fromUtf8(out, static_cast<qsizetype>(outp - out));
        const QString lower = ch.toLower();
        const unsigned char folded = foldWin1251(static_cast<unsigned char>(b));
        char back[8] = {};
        char* foldedIn = reinterpret_cast<char*>(const_cast<unsigned char*>(&folded));
        inp = foldedIn;
        inLeft = 1;
        outp = back;
        outLeft = sizeof back;
        ASSERT_NE(iconv(toUtf8, &inp, &inLeft, &outp, &outLeft), static_cast<size_t>(-1));
        EXPECT_EQ(QString::fromUtf8(back, static_cast<qsizetype>(outp - back)), lower) << "byte " << b;
        if (lower != ch)
            ++letters;
    }
    iconv_close(toUtf8);
    EXPECT_EQ(letters, 26 + 32 + 15);
}
#endif

TEST_F(ProfileFileTest, LineBreaksAndUnreadableNamesAreRefusedAndTheFileKeptAsItWas)
{
    const std::string before = "[S]\r\nk=1\r\n";
    const std::string path = Put(before);
    ProfileIniFile ini(path);
    EXPECT_THROW(ini.setValue("S", "k", "a\r\nb"), IniFileError);
    EXPECT_THROW(ini.setValue("S", "k", "a\rb"), IniFileError);
    EXPECT_THROW(ini.setValue("S\n", "k", "a"), IniFileError);
    // Names that would be written but never found again.
    EXPECT_THROW(ini.setValue("A]B", "k", "a"), IniFileError);
    EXPECT_THROW(ini.setValue("  ", "k", "a"), IniFileError);
    EXPECT_THROW(ini.setValue("S", "a=b", "a"), IniFileError);
    EXPECT_THROW(ini.setValue("S", ";k", "a"), IniFileError);
    EXPECT_EQ(Get(path), before);
    EXPECT_EQ(ini.value("S", "k", ""), "1");
}

TEST_F(ProfileFileTest, MissingFolderIsNotCreatedAndTheErrorNamesTheFullPath)
{
    const std::string path = PathOf("nofolder/Operators.ini");
    ProfileIniFile ini(path);
    try {
        ini.setValue("S", "k", "v");
        FAIL() << "write into a missing folder succeeded";
    } catch (const IniFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path + ": the folder does not exist.");
    }
    EXPECT_FALSE(QDir(dir.filePath("nofolder")).exists());
}

#ifndef _WIN32
TEST_F(ProfileFileTest, WriteIntoAReadOnlyFolderFailsAndLeavesTheFileByteForByte)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("ro"));
    const std::string before = "[S]\nk=1\n;x";
    const std::string path = Put(before, "ro/Operators.ini");
    chmod(dir.path().toLocal8Bit().constData(), 0755);
    chmod(dir.filePath("ro").toLocal8Bit().constData(), 0555);
    std::string message;
    {
        AsNobody guard;
        ProfileIniFile ini(path);
        EXPECT_EQ(ini.value("S", "k", ""), "1") << "the file must stay readable";
        try {
            ini.setValue("S", "k", "2");
        } catch (const IniFileError& e) {
            message = e.what();
        }
    }
    chmod(dir.filePath("ro").toLocal8Bit().constData(), 0755);
    EXPECT_EQ(message, "Unable to write to " + path + ": access is denied.");
    EXPECT_THAT(path, StartsWith("/"));
    EXPECT_EQ(Get(path), before);
}
#endif

#ifndef _WIN32
namespace {

// An hour old: a file the store may keep parsed while nothing changes on disk.
void MakeOld(const std::string& path, long seconds = 3600)
{
    const timespec old = {time(nullptr) - seconds, 0};
    const timespec times[2] = {old, old};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// The message of every call that must refuse, or "<no error>".
std::vector<std::string> RefusalsOf(ProfileIniFile& ini)
{
    std::vector<std::string> messages;
    const std::function<void()> calls[] = {
        [&] { ini.sectionNames(); },
        [&] { ini.value("S", "k", ""); },
        [&] { ini.setValue("S", "k", "2"); },
        [&] { ini.removeSection("S"); },
    };
    for (const auto& call : calls) {
        try {
            call();
            messages.push_back("<no error>");
        } catch (const IniFileError& e) {
            messages.push_back(e.what());
        }
    }
    return messages;
}

} // namespace

TEST_F(ProfileFileTest, AFileThatCannotBeReadIsReportedAndNeverWritten)
{
    const auto refusedAs = [](const std::string& path, const char* reason) {
        return std::vector<std::string>(4, "Unable to read " + path + ": " + reason + ".");
    };
    const std::string folder = PathOf("Operators.ini");
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(folder)));
    ProfileIniFile inFolder(folder);
    EXPECT_EQ(RefusalsOf(inFolder), refusedAs(folder, "it is a folder"));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(folder)).isDir());

    TrapFifo pipe(dir.filePath("pipe.ini"));
    ASSERT_TRUE(pipe.Made());
    ProfileIniFile inPipe(pipe.Path().toStdString());
    EXPECT_EQ(RefusalsOf(inPipe), refusedAs(pipe.Path().toStdString(), "it is a named pipe, not a file"));
    EXPECT_FALSE(pipe.Released()) << "a read blocked on the pipe";
    EXPECT_FALSE(QFileInfo(pipe.Path()).isFile()) << "the pipe was replaced";

    // Write-only for its owner; root reads anything, so read as nobody.
    const std::string before = "[S]\r\nk=1\r\n";
    const std::string writeOnly = Put(before, "write-only.ini");
    ASSERT_EQ(chmod(dir.path().toLocal8Bit().constData(), 0777), 0);
    ASSERT_EQ(chmod(writeOnly.c_str(), 0200), 0);
    std::vector<std::string> refusals;
    {
        AsNobody nobody;
        ProfileIniFile ini(writeOnly);
        refusals = RefusalsOf(ini);
    }
    EXPECT_EQ(refusals, refusedAs(writeOnly, "access is denied"));
    EXPECT_EQ(Get(writeOnly), before);
}

TEST_F(ProfileFileTest, AFailedWriteOnAFullOrReadOnlyDiskKeepsTheFileAndSaysWhy)
{
    const std::pair<void (ScratchMount::*)(), const char*> cases[] = {
        {&ScratchMount::FillUp, "the disk is full"},
        {&ScratchMount::MakeReadOnly, "the file system is read-only"},
    };
    for (const auto& [spoil, reason] : cases) {
        ScratchMount disk;
        SKIP_WITHOUT_SCRATCH_MOUNT(disk);
        const std::string path = disk.FilePath("Operators.ini").toStdString();
        const std::string before = "[Op1]\r\nURL=a\r\n;note\r\n";
        {
            QFile f(QString::fromStdString(path));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(before.data(), static_cast<qint64>(before.size()));
        }
        MakeOld(path);
        ProfileIniFile ini(path);
        ASSERT_EQ(ini.value("Op1", "URL", ""), "a");
        (disk.*spoil)();
        const std::string message = "Unable to write to " + path + ": " + reason + ".";
        EXPECT_THAT([&] { ini.setValue("Op1", "URL", "changed"); },
                    ::testing::ThrowsMessage<IniFileError>(::testing::StrEq(message)));
        EXPECT_THAT([&] { ini.setValue("Op2", "k", std::string(1000, 'v')); },
                    ::testing::ThrowsMessage<IniFileError>(::testing::StrEq(message)));
        EXPECT_THAT([&] { ini.removeSection("Op1"); },
                    ::testing::ThrowsMessage<IniFileError>(::testing::StrEq(message)));
        EXPECT_EQ(Get(path), before) << reason;
        EXPECT_EQ(ini.value("Op1", "URL", ""), "a") << "a failed write must not be read back";
        EXPECT_EQ(QDir(disk.Path()).entryList(QDir::Files), QStringList{"Operators.ini"});
    }
}

TEST_F(ProfileFileTest, AChangeOnDiskBetweenReadsIsSeen)
{
    const std::string path = Put("[S]\r\nk=1\r\n");
    MakeOld(path);
    ProfileIniFile ini(path);
    EXPECT_EQ(ini.value("S", "k", ""), "1");
    EXPECT_EQ(ini.value("S", "k", ""), "1");
    // Rewritten in place with the same size, then even given its old time back.
    Put("[S]\r\nk=2\r\n");
    MakeOld(path);
    EXPECT_EQ(ini.value("S", "k", ""), "2");
    // Rewritten again at once: within the clock's resolution of the last read.
    Put("[S]\r\nk=3\r\n");
    EXPECT_EQ(ini.value("S", "k", ""), "3");
    Put("[S]\r\nk=4\r\n");
    EXPECT_EQ(ini.value("S", "k", ""), "4");
    ASSERT_TRUE(QFile::remove(QString::fromStdString(path)));
    EXPECT_EQ(ini.value("S", "k", "gone"), "gone");
    EXPECT_THAT(ini.sectionNames(), IsEmpty());
}
#endif

TEST(ProfileFileBuffers, ListsEndAtTheLastWholeNameAndValuesAreCut)
{
    // 100-byte names take 101 bytes each in the list buffer; with the closing
    // NUL, 162 of them fit in 16384 bytes and the 163rd does not.
    std::string text;
    for (int i = 0; i < 170; ++i) {
        std::string name = std::to_string(1000 + i);
        name.resize(100, 'n');
        text += "[" + name + "]\r\n" + name + "=v\r\n";
    }
    std::string keys = "[K]\r\n";
    for (int i = 0; i < 170; ++i) {
        std::string name = std::to_string(1000 + i);
        name.resize(100, 'k');
        keys += name + "=1\r\n";
    }
    keys += "[Long]\r\nv=" + std::string(3000, 'x') + "\r\n";
    auto sections = ProfileIniFile::fromBytes(text).sectionNames();
    ASSERT_EQ(sections.size(), 162u);
    EXPECT_THAT(sections.back(), StartsWith("1161"));
    auto ini = ProfileIniFile::fromBytes(keys);
    EXPECT_EQ(ini.keyNames("K").size(), 162u);
    EXPECT_EQ(ini.value("Long", "v", "").size(), 2047u);
}

TEST(ProfileFileInMemory, WritesChangeOnlyTheBytes)
{
    auto ini = ProfileIniFile::fromBytes("[S]\nk=1");
    ini.setValue("s", "j", "2");
    ini.removeSection("nothing");
    EXPECT_EQ(ini.bytes(), "[S]\r\nk=1\r\nj=2\r\n");
    EXPECT_EQ(ini.value("S", "J", ""), "2");
}
