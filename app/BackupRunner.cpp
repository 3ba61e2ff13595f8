#include "app/BackupRunner.h"

#include "app/BackupProgressDialog.h"
#include "backup/BackupError.h"
#include "backup/BackupHandset.h"
#include "backup/HandsetBackup.h"
#include "jobs/LinkWorker.h"
#include "link/PhoneLink.h"
#include "logo/LogoTransfer.h"
#include "phonebook/HandsetNumbers.h"
#include "phonebook/PhonebookTransfer.h"
#include "widgets/Prompts.h"

#include <QDir>
#include <QWidget>

#include <memory>

namespace {

// The handset as a backup sees it, on the link's thread: what it cannot
// give has been told to the user.
class LinkedHandset final : public BackupHandset {
public:
    explicit LinkedHandset(JobContext& job)
        : job_(job)
    { }

    std::optional<HandsetFacts> readFacts() override
    {
        const CommandResult result = job_.commands().connectToPhone();
        // What was read shows as "Connect to Phone" shows it.
        job_.report(result);
        if (result.failure)
            return std::nullopt;
        return handsetFactsFromReadings(result.readings);
    }
    // A port that cannot be opened is told by the phonebook's first read
    // next; the numbers alone never end a backup.
    HandsetNumbers readNumbers() override
    {
        const LinkResult<HandsetNumbers> numbers = readHandsetNumbers(job_.link());
        return numbers ? *numbers : HandsetNumbers{};
    }
    std::optional<PhonebookEntry> readRecord(int location) override
    {
        return told(::readRecord(job_.link(), location));
    }
    bool writeRecord(int location, const PhonebookEntry& entry) override
    {
        return told(::writeRecord(job_.link(), location, entry)).has_value();
    }
    std::optional<LogoBlock> readLogoBlock(int block) override { return told(::readLogoBlock(job_.link(), block)); }
    bool writeLogoBlock(int block, const LogoBlock& data) override
    {
        return told(::writeLogoBlock(job_.link(), block, data)).has_value();
    }
    bool reset() override
    {
        const CommandResult result = job_.commands().resetHandset();
        job_.report(result);
        return !result.failure;
    }

private:
    template <typename T>
    std::optional<T> told(LinkResult<T> result)
    {
        if (!result) {
            job_.tell(result.failure());
            return std::nullopt;
        }
        return std::move(*result);
    }

    JobContext& job_;
};

// Where the backup is, shown in the progress window on the window's thread.
class PostedProgress final : public BackupProgress {
public:
    PostedProgress(JobContext& job, QPointer<BackupProgressDialog> dialog)
        : job_(job)
        , dialog_(std::move(dialog))
    { }
    void startPart(const QString& name, int steps) override
    {
        job_.post([dialog = dialog_, name, steps] {
            if (dialog)
                dialog->startPart(name, steps);
        });
    }
    void stepDone(int done) override
    {
        job_.post([dialog = dialog_, done] {
            if (dialog)
                dialog->stepDone(done);
        });
    }

private:
    JobContext& job_;
    QPointer<BackupProgressDialog> dialog_;
};

} // namespace

BackupRunner::BackupRunner(QWidget& window, LinkWorker& worker)
    : QObject(&window)
    , window_(window)
    , worker_(worker)
{ }

BackupProgressDialog* BackupRunner::showProgress(const QString& title)
{
    progress_ = new BackupProgressDialog(&window_, title);
    return progress_;
}

void BackupRunner::backUp()
{
    if (worker_.isBusy())
        return;
    const QString parent = prompts().folderName(&window_, tr("Back up handset into folder"));
    if (parent.isEmpty())
        return;
    QPointer<BackupProgressDialog> dialog = showProgress(tr("Back up handset"));
    LinkJob* job = worker_.start(this, JobData::None, [this, dialog, parent](JobContext& job) {
        LinkedHandset handset(job);
        PostedProgress progress(job, dialog);
        QString notice;
        try {
            notice = tr("The handset was backed up into %1.")
                         .arg(QDir::toNativeSeparators(makeBackup(handset, progress, parent)));
        } catch (const BackupError& error) {
            notice = error.message();
        }
        job.post([this, dialog, notice] {
            if (dialog)
                dialog->hide();
            prompts().notice(&window_, notice);
        });
    });
    if (!job) {
        delete dialog;
        return;
    }
    connect(job, &LinkJob::finished, dialog, &QObject::deleteLater);
}

void BackupRunner::restore()
{
    if (worker_.isBusy())
        return;
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
    auto handset = std::make_shared<std::optional<HandsetFacts>>();
    LinkJob* job = worker_.start(this, JobData::None, [handset](JobContext& job) {
        LinkedHandset linked(job);
        job.post([handset, facts = linked.readFacts()] { *handset = facts; });
    });
    if (!job)
        return;
    // The questions come once the link is free again for the restore itself.
    connect(job, &LinkJob::finished, this, [this, folder, backup, handset] { restoreOnto(folder, backup, *handset); });
}

void BackupRunner::restoreOnto(const QString& folder, const BackupContents& backup,
                               const std::optional<HandsetFacts>& handset)
{
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
    QPointer<BackupProgressDialog> dialog = showProgress(tr("Restore handset"));
    LinkJob* job = worker_.start(this, JobData::None, [this, dialog, folder, backup](JobContext& job) {
        LinkedHandset handset(job);
        PostedProgress progress(job, dialog);
        QString notice = tr("The handset was restored from %1.").arg(QDir::toNativeSeparators(folder));
        try {
            restoreBackup(handset, progress, backup);
        } catch (const BackupError& error) {
            notice = error.message();
        }
        job.post([this, dialog, notice] {
            if (dialog)
                dialog->hide();
            prompts().notice(&window_, notice);
        });
    });
    if (!job) {
        delete dialog;
        return;
    }
    connect(job, &LinkJob::finished, dialog, &QObject::deleteLater);
}
