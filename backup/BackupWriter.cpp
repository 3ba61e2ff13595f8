#include "backup/BackupWriter.h"

#include "backup/BackupContents.h"
#include "backup/BackupError.h"
#include "files/SafeFile.h"
#include "logo/LogoExport.h"
#include "logo/LogoPicture.h"
#include "phonebook/PhonebookFormats.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace {

// A real serial number is ten digits; a garbled reply must not make a path.
constexpr qsizetype kLongestSerialInName = 40;

[[noreturn]] void noBackup(const QString& reason)
{
    throw BackupError(QCoreApplication::translate("Backup", "No backup was made. %1").arg(reason));
}

std::filesystem::path nativePath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

} // namespace

QString backupFolderName(const QString& serialNumber, const QDateTime& made)
{
    QString serial = serialNumber.left(kLongestSerialInName);
    for (QChar& c : serial) {
        const bool safe =
            (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'-' || c == u'_';
        if (!safe)
            c = u'_';
    }
    if (serial.isEmpty())
        serial = QStringLiteral("handset");
    return serial + u'-' + made.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

BackupWriter::BackupWriter(const QString& parentFolder)
    : parent_(QDir(parentFolder).absolutePath())
{
    const auto refuse = [&](const QString& reason) {
        throw BackupError(QCoreApplication::translate("Backup", "Cannot back up into \"%1\": %2.")
                              .arg(QDir::toNativeSeparators(parentFolder), reason));
    };
    const FileOutcome place = probeFile(parent_).outcome;
    if (place.ok())
        refuse(QCoreApplication::translate("Backup", "it is not a folder"));
    if (place.fault != FileFault::IsFolder)
        refuse(place.fault == FileFault::Missing ? fileOutcomeFromErrno(ENOTDIR).reason : place.reason);
    // Private, as every temporary folder: a phonebook is nobody else's business.
    errno = 0;
    folder_ =
        std::make_unique<QTemporaryDir>(QDir(parent_).filePath(kUnfinishedBackupPrefix + QStringLiteral("XXXXXX")));
    if (!folder_->isValid()) {
        const int error = errno;
        folder_.reset();
        refuse(fileOutcomeFromErrno(error != 0 ? error : EACCES).reason);
    }
}

BackupWriter::~BackupWriter() = default;

QString BackupWriter::partPath(const QString& name) const
{
    return QDir(folder_->path()).filePath(name);
}

void BackupWriter::addPhonebook(const std::vector<PhonebookEntry>& entries)
{
    // The .npb from the bytes as read: every location exactly as the handset holds it.
    const std::string image = EncodePhonebookFile(entries);
    try {
        replacePhonebookFile(partPath(kBackupPhonebookFile),
                             QByteArray(image.data(), static_cast<qsizetype>(image.size())));
        writePhonebook(partPath(kBackupContactsFile), rowsFromEntries(entries));
    } catch (const InOutError& error) {
        noBackup(QString::fromStdString(error.what()));
    }
}

void BackupWriter::addLogo(const LogoBlocks& blocks)
{
    QImage picture = LogoBlankPicture();
    LogoDrawDots(picture, LogoDotsFromBlocks(blocks));
    try {
        exportLogoPicture(picture, partPath(kBackupLogoFile));
        exportLogoPicture(picture, partPath(kBackupLogoBitmapFile));
    } catch (const PictureError& error) {
        noBackup(error.Message);
    }
}

QString BackupWriter::finish(const HandsetFacts& facts, const QDateTime& made)
{
    const FileOutcome written = replaceFile(partPath(kBackupFactsFile), formatHandsetFacts(facts, made));
    if (!written.ok())
        noBackup(QCoreApplication::translate("Backup", "Cannot save \"%1\": %2.")
                     .arg(QDir::toNativeSeparators(partPath(kBackupFactsFile)), written.reason));

    const QString name = backupFolderName(facts.serialNumber, made);
    QString target = QDir(parent_).filePath(name);
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = QDir(parent_).filePath(QStringLiteral("%1-%2").arg(name).arg(n));
    std::error_code error;
    std::filesystem::rename(nativePath(folder_->path()), nativePath(target), error);
    if (error)
        noBackup(QCoreApplication::translate("Backup", "Cannot rename \"%1\" to \"%2\": %3.")
                     .arg(QDir::toNativeSeparators(folder_->path()), QDir::toNativeSeparators(target),
                          fileOutcomeFromErrno(error.value()).reason));
    // Renamed: nothing is left to remove.
    folder_->setAutoRemove(false);
    return target;
}
