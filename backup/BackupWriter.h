// A backup being written. Its parts go into a temporary folder beside the
// place of the backup, under a name no backup has; finish() renames it to
// its backup name as the last step. Whatever fails before, the temporary
// folder is removed again: a folder that looks like a backup is whole.
#pragma once

#include "backup/HandsetFacts.h"
#include "logo/LogoBlocks.h"
#include "phonebook/PhonebookFile.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <vector>

class QTemporaryDir;

// The start of the temporary folder's name.
inline const QString kUnfinishedBackupPrefix = QStringLiteral("unfinished-backup-");

// "<serial number>-<yyyyMMdd>-<HHmmss>": sorts by handset, then by time.
// Characters of the serial number unsafe in a file name become '_'.
QString backupFolderName(const QString& serialNumber, const QDateTime& made);

class BackupWriter {
public:
    // Raises BackupError when parentFolder is no folder, or no folder can be
    // made in it.
    explicit BackupWriter(const QString& parentFolder);
    ~BackupWriter();
    BackupWriter(const BackupWriter&) = delete;
    BackupWriter& operator=(const BackupWriter&) = delete;

    // The phonebook as .npb and .vcf files; raises BackupError.
    void addPhonebook(const std::vector<PhonebookEntry>& entries);
    // The logo as .png and .bmp pictures; raises BackupError.
    void addLogo(const LogoBlocks& blocks);
    // Writes handset.txt and gives the folder its name; a name already taken
    // gets "-2", "-3"… Returns the backup's folder; raises BackupError.
    QString finish(const HandsetFacts& facts, const QDateTime& made);

private:
    QString partPath(const QString& name) const;

    QString parent_;
    std::unique_ptr<QTemporaryDir> folder_;
};
