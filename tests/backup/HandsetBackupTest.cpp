// A whole handset into a backup folder and back, against a handset held in
// memory that can fall silent at any job.
#include <gtest/gtest.h>

#include "backup/BackupError.h"
#include "backup/BackupWriter.h"
#include "backup/HandsetBackup.h"
#include "logo/LogoPicture.h"
#include "phonebook/PhonebookFormats.h"
#include "support/AsNobody.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <stdexcept>

namespace {

class StoredHandset : public BackupHandset {
public:
    StoredHandset()
        : phonebook(kNpbRecords)
    {
        phonebook[0] = {"\xC8\xE2\xE0\xED", "+79161234567"}; // Иван
        phonebook[56] = {"Bob  Smith", "*100#p12"};
        phonebook[99] = {"Last", "99"};
        for (int b = 0; b < kLogoBlockCount; ++b)
            for (int x = 0; x < kLogoBlockSize; ++x)
                logo[b][x] = static_cast<std::uint8_t>(x * 7 + b * 31);
    }

    std::optional<HandsetFacts> readFacts() override
    {
        if (!answers("facts"))
            return std::nullopt;
        return facts;
    }
    // Never fails, whatever the handset does: it keeps none of what it did not give.
    HandsetNumbers readNumbers() override
    {
        jobs.push_back("read numbers");
        return numbers;
    }
    std::optional<PhonebookEntry> readRecord(int location) override
    {
        if (!answers("read record " + std::to_string(location)))
            return std::nullopt;
        return phonebook.at(static_cast<std::size_t>(location));
    }
    bool writeRecord(int location, const PhonebookEntry& entry) override
    {
        if (!answers("write record " + std::to_string(location)))
            return false;
        phonebook.at(static_cast<std::size_t>(location)) = entry;
        return true;
    }
    std::optional<LogoBlock> readLogoBlock(int block) override
    {
        if (!answers("read block " + std::to_string(block)))
            return std::nullopt;
        return logo.at(static_cast<std::size_t>(block));
    }
    bool writeLogoBlock(int block, const LogoBlock& data) override
    {
        if (!answers("write block " + std::to_string(block)))
            return false;
        logo.at(static_cast<std::size_t>(block)) = data;
        return true;
    }
    bool reset() override { return answers("reset"); }

    HandsetFacts facts{QStringLiteral("V 9.99\nNMT-650"), QStringLiteral("4711082015"), false};
    HandsetNumbers numbers{"+4957654321", {"112", std::nullopt, "0951234", std::nullopt, "*#06#"}};
    std::vector<PhonebookEntry> phonebook;
    LogoBlocks logo{};
    int answersLeft = -1; // jobs answered before it falls silent; -1: all
    bool raisesInstead = false; // silent as the command line's handset is: with its own error
    std::vector<std::string> jobs;

private:
    bool answers(const std::string& job)
    {
        jobs.push_back(job);
        if (answersLeft != 0) {
            --answersLeft;
            return true;
        }
        if (raisesInstead)
            throw std::runtime_error("no answer");
        return false;
    }
};

// Each part as "name done/steps", as far as it got.
class PartsSeen : public BackupProgress {
public:
    void startPart(const QString& name, int steps) override
    {
        name_ = name;
        steps_ = steps;
        parts << QStringLiteral("%1 0/%2").arg(name).arg(steps);
    }
    void stepDone(int done) override { parts.last() = QStringLiteral("%1 %2/%3").arg(name_).arg(done).arg(steps_); }
    QStringList parts;

private:
    QString name_;
    int steps_ = 0;
};

void Touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// The message of the BackupError the job raises.
std::string ErrorOf(const std::function<void()>& job)
{
    try {
        job();
    } catch (const BackupError& error) {
        return error.what();
    }
    return "(no error)";
}

TEST(HandsetBackup, FolderHoldsEveryPartAndReadsBackAsTheHandsetHadIt)
{
    QTemporaryDir dir;
    StoredHandset handset;
    PartsSeen progress;
    const QString folder = makeBackup(handset, progress, dir.path());

    EXPECT_EQ(Entries(dir.path()), QStringList{QFileInfo(folder).fileName()});
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^4711082015-\\d{8}-\\d{6}$")).match(QFileInfo(folder).fileName()).hasMatch())
        << folder.toStdString();
    EXPECT_EQ(Entries(folder), (QStringList{"handset.txt", "logo.bmp", "logo.png", "phonebook.npb", "phonebook.vcf"}));
    EXPECT_EQ(progress.parts,
              (QStringList{"Reading version and serial number 1/1", "Reading own and dialled numbers 1/1",
                           "Reading phonebook 100/100", "Reading logo 6/6"}));

    const BackupContents back = readBackup(folder);
    HandsetFacts noted = handset.facts;
    noted.numbers = handset.numbers;
    EXPECT_EQ(back.facts, noted);
    EXPECT_EQ(back.phonebook, handset.phonebook);
    EXPECT_EQ(back.logo, handset.logo);
    EXPECT_EQ(readPhonebook(QDir(folder).filePath("phonebook.vcf")).rows, rowsFromEntries(handset.phonebook));
    EXPECT_EQ(logoBlocksFromDots(logoDotsFromPicture(logoLoadPicture(QDir(folder).filePath("logo.bmp")))),
              handset.logo);
}

// Whichever job the handset stops at, and however it fails, the folder
// chosen holds afterwards what it held before.
TEST(HandsetBackup, HandsetFallingSilentLeavesNoFolderBehind)
{
    const std::pair<int, QString> stops[] = {
        {0, "No backup was made: the handset did not tell its version and serial number."},
        {1 + 57, "No backup was made: the handset did not answer for phonebook record 58 of 100."},
        {1 + 100 + 5, "No backup was made: the handset did not answer for logo block 6 of 6."},
    };
    for (const bool raises : {false, true}) {
        for (const auto& [answers, message] : stops) {
            QTemporaryDir dir;
            Touch(dir.filePath("earlier.txt"));
            StoredHandset handset;
            handset.answersLeft = answers;
            handset.raisesInstead = raises;
            PartsSeen progress;
            if (raises)
                EXPECT_THROW(makeBackup(handset, progress, dir.path()), std::runtime_error);
            else
                EXPECT_EQ(ErrorOf([&] { makeBackup(handset, progress, dir.path()); }), message.toStdString());
            EXPECT_EQ(Entries(dir.path()), QStringList{"earlier.txt"}) << answers;
        }
    }
}

TEST(HandsetBackup, PlaceThatCannotTakeABackupIsRefusedBeforeTheHandsetIsAsked)
{
    QTemporaryDir dir;
    Touch(dir.filePath("file"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    const QFile::Permissions readable =
        QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(dir.filePath("locked"), readable));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), readable | QFile::WriteOwner));
    const std::pair<QString, QString> places[] = {
        {dir.filePath("missing"), "the folder does not exist"},
        {dir.filePath("file"), "it is not a folder"},
        {dir.filePath("locked"), "access is denied"},
    };
    for (const auto& [place, reason] : places) {
        const QString& folder = place;  // clang 14 lets no lambda capture a structured binding
        StoredHandset handset;
        PartsSeen progress;
        AsNobody nobody;
        EXPECT_EQ(ErrorOf([&] { makeBackup(handset, progress, folder); }),
                  ("Cannot back up into \"" + place + "\": " + reason + ".").toStdString());
        EXPECT_TRUE(handset.jobs.empty());
    }
    EXPECT_TRUE(Entries(dir.filePath("locked")).isEmpty());
}

TEST(HandsetBackup, FolderNamesAreSafeAndNeverTakenTwice)
{
    const QDateTime made(QDate(2026, 12, 8), QTime(14, 30, 5));
    EXPECT_EQ(backupFolderName(QStringLiteral("../47 11"), made), "___47_11-20261208-143005");
    EXPECT_EQ(backupFolderName(QString(), made), "handset-20261208-143005");

    QTemporaryDir dir;
    const HandsetFacts facts{QStringLiteral("V"), QStringLiteral("4711"), false};
    QStringList made3;
    for (int i = 0; i < 3; ++i)
        made3 << QFileInfo(BackupWriter(dir.path()).finish(facts, made)).fileName();
    EXPECT_EQ(made3, (QStringList{"4711-20261208-143005", "4711-20261208-143005-2", "4711-20261208-143005-3"}));
}

TEST(HandsetBackup, FolderThatIsNoCompleteBackupIsRefused)
{
    QTemporaryDir dir;
    StoredHandset handset;
    PartsSeen progress;
    const QString folder = makeBackup(handset, progress, dir.path());
    const auto refusal = [&](const std::function<void(const QString&)>& spoil) {
        const QString copy = dir.filePath("copy");
        QDir(copy).removeRecursively();
        QDir().mkdir(copy);
        for (const QString& name : Entries(folder))
            QFile::copy(QDir(folder).filePath(name), QDir(copy).filePath(name));
        spoil(copy);
        return ErrorOf([&] { readBackup(copy); });
    };
    const QString notComplete = "\"" + dir.filePath("copy") + "\" is not a complete backup: ";
    for (const QString name : {"handset.txt", "phonebook.npb", "phonebook.vcf", "logo.png", "logo.bmp"})
        EXPECT_EQ(refusal([&](const QString& copy) { QFile::remove(QDir(copy).filePath(name)); }),
                  (notComplete + name + " is missing.").toStdString());
    EXPECT_EQ(refusal([](const QString& copy) { QFile::resize(QDir(copy).filePath("phonebook.npb"), 6599); }),
              (notComplete + "phonebook.npb holds 6599 bytes, not the 6600 of a whole phonebook.").toStdString());
    EXPECT_EQ(refusal([](const QString& copy) {
                  QFile file(QDir(copy).filePath("handset.txt"));
                  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                  file.write("version: V\nnet monitor: on\n");
              }),
              (notComplete + "handset.txt has no serial number.").toStdString());
    EXPECT_EQ(refusal([](const QString& copy) {
                  QImage wide(85, 48, QImage::Format_RGB32);
                  wide.fill(Qt::white);
                  wide.save(QDir(copy).filePath("logo.png"));
              }),
              (notComplete + "logo.png is 85 × 48 pixels, not the 84 × 48 of the logo.").toStdString());
    EXPECT_EQ(
        ErrorOf([&] { readBackup(QDir(folder).filePath("handset.txt")); }),
        ("\"" + QDir(folder).filePath("handset.txt") + "\" is not a backup folder: it is not a folder.").toStdString());
    EXPECT_EQ(refusal([](const QString&) {}), "(no error)");
}

TEST(HandsetBackup, RestoreWritesLogoThenPhonebookThenResets)
{
    QTemporaryDir dir;
    StoredHandset original;
    PartsSeen progress;
    const BackupContents backup = readBackup(makeBackup(original, progress, dir.path()));

    StoredHandset other;
    other.phonebook.assign(kNpbRecords, PhonebookEntry{"Other", "1"});
    other.logo = {};
    progress.parts.clear();
    restoreBackup(other, progress, backup);
    EXPECT_EQ(other.phonebook, original.phonebook);
    EXPECT_EQ(other.logo, original.logo);
    EXPECT_EQ(other.jobs.front(), "write block 0");
    EXPECT_EQ(other.jobs.at(6), "write record 0");
    EXPECT_EQ(other.jobs.back(), "reset");
    EXPECT_EQ(other.jobs.size(), 6u + 100u + 1u);
    EXPECT_EQ(progress.parts, (QStringList{"Writing logo 6/6", "Writing phonebook 100/100", "Resetting handset 1/1"}));

    // Stopped on the way: said where, and no reset of a half-written phonebook.
    const std::pair<int, QString> stops[] = {
        {2,
         "The restore stopped at logo block 3 of 6: the handset did not answer. Its phonebook is as it was; its "
         "logo may be partly written."},
        {6 + 57,
         "The restore stopped at phonebook record 58 of 100: the handset did not answer. Its logo is restored; "
         "its phonebook may be partly written."},
        {6 + 100,
         "The phonebook and logo are written, but the handset did not answer the reset: switch it off and on "
         "again to take the phonebook in."},
    };
    for (const auto& [answers, message] : stops) {
        StoredHandset failing;
        failing.answersLeft = answers;
        EXPECT_EQ(ErrorOf([&] { restoreBackup(failing, progress, backup); }), message.toStdString());
        EXPECT_EQ(failing.jobs.size(), static_cast<std::size_t>(answers + 1));
    }
}

} // namespace
