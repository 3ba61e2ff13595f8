#include "backup/BackupContents.h"

#include "backup/BackupError.h"
#include "files/SafeFile.h"
#include "logo/LogoPicture.h"

#include <QCoreApplication>
#include <QDir>

#include <cerrno>

namespace {

// handset.txt is a few lines; anything this long is not one.
constexpr qint64 kLargestFactsFile = 64 * 1024;

[[noreturn]] void refuse(const QString& folder, const QString& clause)
{
    throw BackupError(QCoreApplication::translate("Backup", "\"%1\" is not a complete backup: %2.")
                          .arg(QDir::toNativeSeparators(folder), clause));
}

// The file's bytes; a missing or unreadable file refuses the folder.
QByteArray partBytes(const QString& folder, const QString& name, qint64 maxBytes)
{
    const FileContents contents = readRegularFile(QDir(folder).filePath(name), maxBytes);
    if (contents.outcome.fault == FileFault::Missing)
        refuse(folder, QCoreApplication::translate("Backup", "%1 is missing").arg(name));
    if (!contents.outcome.ok())
        refuse(folder, QStringLiteral("%1: %2").arg(name, contents.outcome.reason));
    return contents.bytes;
}

} // namespace

BackupContents readBackup(const QString& folder)
{
    const FileOutcome place = probeFile(folder).outcome;
    if (place.fault != FileFault::IsFolder) {
        const QString reason = place.ok() ? QCoreApplication::translate("Backup", "it is not a folder")
                                          : fileOutcomeFromErrno(ENOTDIR).reason;
        throw BackupError(QCoreApplication::translate("Backup", "\"%1\" is not a backup folder: %2.")
                              .arg(QDir::toNativeSeparators(folder), reason));
    }
    // Restore reads three of them, but a folder without all five is not what a backup leaves.
    for (const QString& name :
         {kBackupFactsFile, kBackupPhonebookFile, kBackupContactsFile, kBackupLogoFile, kBackupLogoBitmapFile})
        partBytes(folder, name, 0);

    BackupContents backup;
    try {
        backup.facts = parseHandsetFacts(partBytes(folder, kBackupFactsFile, kLargestFactsFile));
    } catch (const BackupError& error) {
        refuse(folder, error.message());
    }

    const QByteArray npb = partBytes(folder, kBackupPhonebookFile, NpbFileSize + 1);
    if (npb.size() != NpbFileSize)
        refuse(folder,
               QCoreApplication::translate("Backup", "%1 holds %2 bytes, not the %3 of a whole phonebook")
                   .arg(kBackupPhonebookFile)
                   .arg(npb.size())
                   .arg(NpbFileSize));
    backup.phonebook = DecodePhonebookFile(npb.toStdString()).Entries;

    QImage picture;
    try {
        picture = LogoLoadPicture(QDir(folder).filePath(kBackupLogoFile));
    } catch (const PictureError& error) {
        throw BackupError(QCoreApplication::translate("Backup", "\"%1\" is not a complete backup. %2")
                              .arg(QDir::toNativeSeparators(folder), error.Message));
    }
    if (picture.width() != LogoWidth || picture.height() != LogoHeight)
        refuse(folder,
               QCoreApplication::translate("Backup", "%1 is %2 × %3 pixels, not the %4 × %5 of the logo")
                   .arg(kBackupLogoFile)
                   .arg(picture.width())
                   .arg(picture.height())
                   .arg(LogoWidth)
                   .arg(LogoHeight));
    backup.logo = LogoBlocksFromDots(LogoDotsFromPicture(picture));
    return backup;
}
