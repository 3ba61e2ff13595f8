// m2bus-cli backup and restore against m2bus-sim, run as a user runs them.
#include <gtest/gtest.h>

#include "logo/LogoPicture.h"
#include "phonebook/PhonebookFormats.h"
#include "support/SimProcess.h"
#include "app/PhonebookSimLog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

std::vector<std::uint8_t> WriteHead(std::uint8_t location)
{
    return {0x10, 0x08, 0x03, 0x00, 0x07, 0x1F, 0x7F, 0xF0, 0x00, location, 0x00, 0x00, 0x00, 0x21};
}

struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

class CliBackupTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir(dir.path()).mkdir("backups")); }

    void Start(QProcess& process, SimProcess& sim, const QStringList& arguments)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        process.setProcessEnvironment(env);
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(QStringLiteral(M2BUS_CLI_PATH),
                      QStringList{"--port", QString::fromStdString(sim.DevicePath())} + arguments);
    }
    CliRun Run(SimProcess& sim, const QStringList& arguments)
    {
        QProcess process;
        Start(process, sim, arguments);
        EXPECT_TRUE(process.waitForFinished(120000)) << arguments.join(' ').toStdString();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }
    // The one backup folder made so far.
    QString MadeBackup()
    {
        const QStringList made = QDir(Backups()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        EXPECT_EQ(made.size(), 1) << made.join(' ').toStdString();
        return made.isEmpty() ? QString() : QDir(Backups()).filePath(made.first());
    }
    QString Backups() { return dir.filePath("backups"); }
    QString Path(const QString& name) { return dir.filePath(name); }
    static QByteArray Bytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

// Backup, a whole phonebook written and the restore: no request ever writes
// a location past the phonebook, where the handset keeps its own numbers.
TEST_F(CliBackupTest, RestoreOntoAChangedHandsetBringsBackPhonebookAndLogo)
{
    SimProcess sim({"--serial", "1234567890", "--verbose"});
    const CliRun backup = Run(sim, {"backup", Backups()});
    ASSERT_EQ(backup.code, 0) << backup.err.toStdString();
    const QString folder = MadeBackup();
    EXPECT_TRUE(QRegularExpression("/1234567890-\\d{8}-\\d{6}$").match(folder).hasMatch()) << folder.toStdString();
    EXPECT_EQ(backup.out, "Backed up the handset into " + folder + "\n");
    for (const char* part : {"Reading version and serial number 1/1", "Reading own and dialled numbers 1/1",
                             "Reading phonebook 100/100", "Reading logo 6/6"})
        EXPECT_TRUE(backup.err.contains(part)) << backup.err.toStdString();
    const QByteArray facts = Bytes(QDir(folder).filePath("handset.txt"));
    EXPECT_TRUE(facts.contains("\nserial number: 1234567890\n"));
    EXPECT_TRUE(facts.contains("\nown number: +4957654321\ndialled 1: 0951234\ndialled 2: 112\n"))
        << facts.toStdString();

    PhonebookRows rows = readPhonebook(QDir(folder).filePath("phonebook.vcf")).rows;
    rows[1] = {QStringLiteral("Другой"), QStringLiteral("555")};
    writePhonebook(Path("changed.csv"), rows);
    QImage black(84, 48, QImage::Format_RGB32);
    black.fill(Qt::black);
    ASSERT_TRUE(black.save(Path("black.png")));
    ASSERT_EQ(Run(sim, {"--yes", "phonebook", "write", Path("changed.csv")}).code, 0);
    ASSERT_EQ(Run(sim, {"logo", "put", Path("black.png")}).code, 0);

    const CliRun unasked = Run(sim, {"restore", folder});
    EXPECT_EQ(unasked.code, 7);
    EXPECT_TRUE(unasked.err.contains("give --yes to go on")) << unasked.err.toStdString();
    const CliRun restore = Run(sim, {"--yes", "restore", folder});
    ASSERT_EQ(restore.code, 0) << restore.err.toStdString();
    EXPECT_EQ(restore.out, "Restored the logo and phonebook from " + folder + "; the handset was reset\n");

    ASSERT_EQ(Run(sim, {"phonebook", "read", Path("after.npb")}).code, 0);
    EXPECT_EQ(Bytes(Path("after.npb")), Bytes(QDir(folder).filePath("phonebook.npb")));
    ASSERT_EQ(Run(sim, {"logo", "get", Path("after.png")}).code, 0);
    EXPECT_EQ(logoDotsFromPicture(logoLoadPicture(Path("after.png"))),
              logoDotsFromPicture(logoLoadPicture(QDir(folder).filePath("logo.png"))));

    sim.Stop();
    const std::vector<std::uint8_t> heard = BytesHeardBySim(sim.ErrorOutput());
    EXPECT_GE(TimesHeard(heard, WriteHead(99)), 2) << "the log holds the writes";
    for (int location = 100; location < 256; ++location)
        EXPECT_EQ(TimesHeard(heard, WriteHead(static_cast<std::uint8_t>(location))), 0) << location;
}

// Until the last part is in, the backup is a folder named as no backup is;
// a handset that stops answering leaves nothing at all.
TEST_F(CliBackupTest, HandsetThatStopsLeavesNoBackupFolder)
{
    SimProcess silent({"--silent"});
    const CliRun none = Run(silent, {"backup", Backups()});
    EXPECT_EQ(none.code, 1);
    EXPECT_TRUE(none.err.endsWith("No backup was made: the handset did not tell its version and serial number.\n"))
        << none.err.toStdString();
    EXPECT_TRUE(QDir(Backups()).isEmpty());

    SimProcess sim({"--pace", "--turnaround", "20"});
    QProcess backup;
    Start(backup, sim, {"backup", Backups()});
    ASSERT_TRUE(backup.waitForStarted());
    QString err;
    QElapsedTimer waited;
    waited.start();
    while (!err.contains("Reading phonebook 30/100") && backup.state() == QProcess::Running
           && waited.elapsed() < 60000) {
        backup.waitForFinished(100);
        err += QString::fromUtf8(backup.readAllStandardError());
    }
    ASSERT_TRUE(err.contains("Reading phonebook 30/100")) << err.toStdString();
    const QStringList during = QDir(Backups()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(during.size(), 1);
    EXPECT_TRUE(during.first().startsWith("unfinished-backup-")) << during.first().toStdString();

    sim.Stop();
    ASSERT_TRUE(backup.waitForFinished(120000));
    err += QString::fromUtf8(backup.readAllStandardError());
    EXPECT_TRUE(backup.exitCode() == 1 || backup.exitCode() == 3) << err.toStdString();
    EXPECT_TRUE(QDir(Backups()).isEmpty()) << QDir(Backups()).entryList().join(' ').toStdString();
}

TEST_F(CliBackupTest, RestoreRefusesAnotherHandsetAndAnIncompleteFolder)
{
    SimProcess first({"--serial", "1111111111"});
    ASSERT_EQ(Run(first, {"backup", Backups()}).code, 0);
    const QString folder = MadeBackup();
    QFile::remove(QDir(folder).filePath("phonebook.vcf"));
    PhonebookRows rows = emptyPhonebookRows();
    rows[7] = {QStringLiteral("Second"), QStringLiteral("222")};
    writePhonebook(QDir(folder).filePath("phonebook.npb"), rows);

    // Refused before the handset is asked anything: this one never answers.
    SimProcess silent({"--silent"});
    const CliRun incomplete = Run(silent, {"--yes", "restore", folder});
    EXPECT_EQ(incomplete.code, 4);
    EXPECT_EQ(incomplete.err, "m2bus-cli: \"" + folder + "\" is not a complete backup: phonebook.vcf is missing.\n");

    writePhonebook(QDir(folder).filePath("phonebook.vcf"), rows);
    SimProcess second({"--serial", "2222222222"});
    const CliRun other = Run(second, {"--yes", "restore", folder});
    EXPECT_EQ(other.code, 9);
    EXPECT_EQ(other.err,
              "m2bus-cli: Not restored: the backup is of the handset 1111111111, and this one is "
              "2222222222; give --any-handset to restore it all the same\n");
    ASSERT_EQ(Run(second, {"phonebook", "read", Path("untouched.npb")}).code, 0);
    EXPECT_NE(readPhonebook(Path("untouched.npb")).rows, rows);

    EXPECT_EQ(Run(second, {"--any-handset", "info"}).code, 2);
    const CliRun anyway = Run(second, {"--yes", "--any-handset", "restore", folder});
    ASSERT_EQ(anyway.code, 0) << anyway.err.toStdString();
    ASSERT_EQ(Run(second, {"phonebook", "read", Path("restored.npb")}).code, 0);
    EXPECT_EQ(readPhonebook(Path("restored.npb")).rows, rows);
}

} // namespace
