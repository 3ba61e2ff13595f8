// The program's file access on real files: what is refused before it is
// opened, and a replacement that is whole or leaves the old file as it was.
#include "files/SafeFile.h"
#include "files/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/ScratchMount.h"
#include "support/TrapFifo.h"

namespace {

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// A named pipe, a folder or nothing where a file is expected is named
// without opening anything, for reading and for replacing alike.
TEST(SafeFile, WhatIsNoRegularFileIsRefusedUnopened)
{
    QTemporaryDir dir;
    TrapFifo pipe(dir.filePath("pipe"));
    ASSERT_TRUE(pipe.Made());
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));

    EXPECT_EQ(probeFile(pipe.Path()).outcome.fault, FileFault::NotRegularFile);
    EXPECT_EQ(readRegularFile(pipe.Path()).outcome.fault, FileFault::NotRegularFile);
    EXPECT_EQ(replaceFile(pipe.Path(), "x").fault, FileFault::NotRegularFile);
    EXPECT_FALSE(pipe.Released()) << "the pipe was opened";

    const FileContents folder = readRegularFile(dir.filePath("folder"));
    EXPECT_EQ(folder.outcome.fault, FileFault::IsFolder);
    EXPECT_FALSE(folder.outcome.reason.isEmpty());
    EXPECT_EQ(readRegularFile(dir.filePath("none")).outcome.fault, FileFault::Missing);
    EXPECT_EQ(readRegularFile(dir.filePath("no/such/folder/file")).outcome.fault, FileFault::Missing);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 1) << "only the pipe is there";
}

TEST(SafeFile, ReadTakesAtMostWhatItIsAskedForAndStampsTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("data.bin");
    ASSERT_TRUE(replaceFile(path, QByteArray("0123456789")).ok());

    const FileContents all = readRegularFile(path);
    ASSERT_TRUE(all.outcome.ok());
    EXPECT_EQ(all.bytes, "0123456789");
    EXPECT_EQ(readRegularFile(path, 4).bytes, "0123");
    EXPECT_EQ(all.stamp, probeFile(path).stamp);

    ASSERT_TRUE(replaceFile(path, QByteArray("0123456789")).ok());
    EXPECT_NE(probeFile(path).stamp, all.stamp) << "a replacement with the same bytes is still a change";
}

// On a full disk and on a read-only one the earlier file stays byte for byte
// and no temporary file is left beside it.
TEST(SafeFile, FailedReplacementLeavesTheOldFileAndNoLitter)
{
    ScratchMount mount;
    SKIP_WITHOUT_SCRATCH_MOUNT(mount);
    const QString path = mount.FilePath("book.csv");
    ASSERT_TRUE(replaceFile(path, QByteArray("old contents\n")).ok());
    mount.FillUp();

    const FileOutcome full = replaceFile(path, QByteArray(64 * 1024, 'n'));
    EXPECT_EQ(full.fault, FileFault::DiskFull);
    EXPECT_EQ(full.reason, "the disk is full");
    EXPECT_EQ(Bytes(path), "old contents\n");

    QFile::remove(mount.FilePath(".filler"));
    mount.MakeReadOnly();
    EXPECT_EQ(replaceFile(path, QByteArray("new")).fault, FileFault::ReadOnlyFileSystem);
    EXPECT_EQ(Bytes(path), "old contents\n");
    EXPECT_EQ(QDir(mount.Path()).entryList(QDir::Files | QDir::Hidden), QStringList{"book.csv"});
}

// A settings file that is a named pipe is never opened: the settings live in
// a stand-in for the run, and the store says why.
TEST(SettingsStore, SettingsFileThatIsNoRegularFileIsReplacedByAStandIn)
{
    QTemporaryDir dir;
    const SettingsStore sound = SettingsStore::inFile(dir.filePath("sound.ini"));
    EXPECT_FALSE(sound.refusal());
    sound.open()->setValue("Ports/COM1", "/dev/ttyUSB0");
    EXPECT_EQ(QSettings(dir.filePath("sound.ini"), QSettings::IniFormat).value("Ports/COM1"), "/dev/ttyUSB0");

    TrapFifo pipe(dir.filePath("pipe.ini"));
    ASSERT_TRUE(pipe.Made());
    const SettingsStore refused = SettingsStore::inFile(pipe.Path());
    ASSERT_TRUE(refused.refusal());
    EXPECT_EQ(refused.refusal()->path, pipe.Path());
    EXPECT_EQ(refused.refusal()->reason, probeFile(pipe.Path()).outcome.reason);
    refused.open()->setValue("Ports/COM1", "/dev/ttyUSB1");
    EXPECT_EQ(refused.open()->value("Ports/COM1"), "/dev/ttyUSB1");
    EXPECT_FALSE(pipe.Released()) << "the pipe was opened";
}

} // namespace
