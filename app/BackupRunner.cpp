#include "app/BackupRunner.h"

#include "app/BackupProgressDialog.h"
#include "app/MainWindow.h"
#include "backup/BackupError.h"
#include "backup/HandsetBackup.h"
#include "widgets/Prompts.h"

#include <QDir>

BackupRunner::BackupRunner(MainWindow& window)
    : window_(window)
{ }

void BackupRunner::backUp()
{
    const QString parent = prompts().folderName(&window_, tr("Back up handset into folder"));
    if (parent.isEmpty())
        return;
    QString folder;
    {
        BackupProgressDialog progress(&window_, tr("Back up handset"));
        try {
            folder = makeBackup(*this, progress, parent);
        } catch (const BackupError& error) {
            progress.hide();
            prompts().notice(&window_, error.message());
            return;
        }
    }
    prompts().notice(&window_, tr("The handset was backed up into %1.").arg(QDir::toNativeSeparators(folder)));
}

void BackupRunner::restore()
{
    const QString folder = prompts().folderName(&window_, tr("Restore handset from backup folder"));
    if (folder.isEmpty())
        return;
    BackupContents backup;
    try {
        backup = readBackup(folder);
    } catch (const BackupError& error) {
        prompts().notice(&window_, error.message());
        return;
    }
    const std::optional<HandsetFacts> handset = readFacts();
    if (!handset)
        return;
    if (handset->serialNumber != backup.facts.serialNumber
        && !prompts().confirm(&window_,
                              tr("This backup is of the handset %1, and the handset on the cable is %2. "
                                 "Restore it onto this handset all the same?")
                                  .arg(backup.facts.serialNumber, handset->serialNumber)))
        return;
    if (!prompts().confirm(&window_,
                           tr("Do You really want to write the phonebook and logo of this backup into Phone?")))
        return;
    {
        BackupProgressDialog progress(&window_, tr("Restore handset"));
        try {
            restoreBackup(*this, progress, backup);
        } catch (const BackupError& error) {
            progress.hide();
            prompts().notice(&window_, error.message());
            return;
        }
    }
    prompts().notice(&window_, tr("The handset was restored from %1.").arg(QDir::toNativeSeparators(folder)));
}

std::optional<HandsetFacts> BackupRunner::readFacts()
{
    const HandsetReadings readings =
        window_.link().run([](LinkThread::Parts& p) { return p.commands.connectToPhone(); });
    // What was read shows as "Connect to Phone" shows it.
    window_.showReadings(readings);
    return handsetFactsFromReadings(readings);
}

std::optional<PhonebookEntry> BackupRunner::readRecord(int location)
{
    return window_.readRecord(location);
}

bool BackupRunner::writeRecord(int location, const PhonebookEntry& entry)
{
    return window_.writeRecord(location, entry);
}

std::optional<LogoBlock> BackupRunner::readLogoBlock(int block)
{
    return window_.readLogoBlock(block);
}

bool BackupRunner::writeLogoBlock(int block, const LogoBlock& data)
{
    return window_.writeLogoBlock(block, data);
}

bool BackupRunner::reset()
{
    return window_.link().run([](LinkThread::Parts& p) { return p.commands.resetHandset(); });
}
