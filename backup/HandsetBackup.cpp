#include "backup/HandsetBackup.h"

#include "backup/BackupError.h"
#include "backup/BackupWriter.h"

#include <QCoreApplication>

QString makeBackup(BackupHandset& handset, BackupProgress& progress, const QString& parentFolder)
{
    const QDateTime made = QDateTime::currentDateTime();
    // First, so that a folder the backup cannot go into is known before the long transfers.
    BackupWriter writer(parentFolder);

    progress.startPart(QCoreApplication::translate("Backup", "Reading version and serial number"), 1);
    const std::optional<HandsetFacts> facts = handset.readFacts();
    if (!facts)
        throw BackupError(QCoreApplication::translate(
            "Backup", "No backup was made: the handset did not tell its version and serial number."));
    progress.stepDone(1);

    progress.startPart(QCoreApplication::translate("Backup", "Reading own and dialled numbers"), 1);
    HandsetFacts noted = *facts;
    noted.numbers = handset.readNumbers();
    progress.stepDone(1);

    progress.startPart(QCoreApplication::translate("Backup", "Reading phonebook"), kNpbRecords);
    std::vector<PhonebookEntry> phonebook;
    for (int location = 0; location < kNpbRecords; ++location) {
        const std::optional<PhonebookEntry> entry = handset.readRecord(location);
        if (!entry)
            throw BackupError(
                QCoreApplication::translate(
                    "Backup", "No backup was made: the handset did not answer for phonebook record %1 of %2.")
                    .arg(location + 1)
                    .arg(kNpbRecords));
        phonebook.push_back(*entry);
        progress.stepDone(location + 1);
    }
    writer.addPhonebook(phonebook);

    progress.startPart(QCoreApplication::translate("Backup", "Reading logo"), kLogoBlockCount);
    LogoBlocks logo{};
    for (int b = 0; b < kLogoBlockCount; ++b) {
        const std::optional<LogoBlock> block = handset.readLogoBlock(b);
        if (!block)
            throw BackupError(QCoreApplication::translate(
                                  "Backup", "No backup was made: the handset did not answer for logo block %1 of %2.")
                                  .arg(b + 1)
                                  .arg(kLogoBlockCount));
        logo[static_cast<std::size_t>(b)] = *block;
        progress.stepDone(b + 1);
    }
    writer.addLogo(logo);
    return writer.finish(noted, made);
}

void restoreBackup(BackupHandset& handset, BackupProgress& progress, const BackupContents& backup)
{
    // The logo first: a handset that stops answering half-way keeps its old phonebook whole.
    progress.startPart(QCoreApplication::translate("Backup", "Writing logo"), kLogoBlockCount);
    for (int b = 0; b < kLogoBlockCount; ++b) {
        if (!handset.writeLogoBlock(b, backup.logo[static_cast<std::size_t>(b)]))
            throw BackupError(QCoreApplication::translate(
                                  "Backup",
                                  "The restore stopped at logo block %1 of %2: the handset did not answer. Its "
                                  "phonebook is as it was; its logo may be partly written.")
                                  .arg(b + 1)
                                  .arg(kLogoBlockCount));
        progress.stepDone(b + 1);
    }

    progress.startPart(QCoreApplication::translate("Backup", "Writing phonebook"), kNpbRecords);
    for (int location = 0; location < kNpbRecords; ++location) {
        if (!handset.writeRecord(location, backup.phonebook.at(static_cast<std::size_t>(location))))
            throw BackupError(QCoreApplication::translate(
                                  "Backup",
                                  "The restore stopped at phonebook record %1 of %2: the handset did not answer. "
                                  "Its logo is restored; its phonebook may be partly written.")
                                  .arg(location + 1)
                                  .arg(kNpbRecords));
        progress.stepDone(location + 1);
    }

    progress.startPart(QCoreApplication::translate("Backup", "Resetting handset"), 1);
    if (!handset.reset())
        throw BackupError(
            QCoreApplication::translate("Backup",
                                        "The phonebook and logo are written, but the handset did not answer the reset: "
                                        "switch it off and on again to take the phonebook in."));
    progress.stepDone(1);
}
