#include "cli/BackupCommands.h"

#include "backup/BackupError.h"
#include "backup/HandsetBackup.h"
#include "cli/CliError.h"
#include "cli/Progress.h"

#include <memory>
#include <optional>
#include <utility>

namespace {

// The handset's jobs as backup and restore take them. A failure the handset
// raised is kept and told with the backup's own account of what it left.
class CliBackupHandset final : public BackupHandset {
public:
    explicit CliBackupHandset(Handset& handset)
        : handset_(handset)
    { }

    std::optional<HandsetFacts> readFacts() override
    {
        return attempt([&] {
            const HandsetInfo info = handset_.readInfo();
            return HandsetFacts{info.version, info.serialNumber, info.netMonitor};
        });
    }
    // A port that fails here fails the phonebook's first read next, which
    // tells it; the numbers alone never end a backup.
    HandsetNumbers readNumbers() override
    {
        try {
            return handset_.readNumbers();
        } catch (const CliError&) {
            return {};
        }
    }
    std::optional<PhonebookEntry> readRecord(int location) override
    {
        return attempt([&] { return handset_.readRecord(location); });
    }
    bool writeRecord(int location, const PhonebookEntry& entry) override
    {
        return attempt([&] { return (handset_.writeRecord(location, entry), true); }).has_value();
    }
    std::optional<LogoBlock> readLogoBlock(int block) override
    {
        return attempt([&] { return handset_.readLogoBlock(block); });
    }
    bool writeLogoBlock(int block, const LogoBlock& data) override
    {
        return attempt([&] { return (handset_.writeLogoBlock(block, data), true); }).has_value();
    }
    bool reset() override
    {
        return attempt([&] { return (handset_.reset(), true); }).has_value();
    }

    // The backup's error as the program's: the handset's failure first, with its exit status.
    [[noreturn]] void raise(const BackupError& error, ExitCode otherwise) const
    {
        if (!failure_)
            throw CliError(otherwise, error.message());
        throw CliError(failure_->code(), QString::fromStdString(failure_->what()) + u'\n' + error.message());
    }

private:
    template <typename Job>
    auto attempt(Job&& job) -> std::optional<decltype(job())>
    {
        try {
            return job();
        } catch (const CliError& error) {
            failure_ = error;
            return std::nullopt;
        }
    }

    Handset& handset_;
    std::optional<CliError> failure_;
};

// Each part on stderr as the other commands show their transfers.
class CliBackupProgress final : public BackupProgress {
public:
    void startPart(const QString& name, int steps) override
    {
        bar_.reset();
        bar_ = std::make_unique<Progress>(name, steps);
    }
    void stepDone(int done) override { bar_->step(done); }

private:
    std::unique_ptr<Progress> bar_;
};

} // namespace

QString backUpHandset(Handset& handset, const QString& parentFolder)
{
    CliBackupHandset source(handset);
    CliBackupProgress progress;
    try {
        return makeBackup(source, progress, parentFolder);
    } catch (const BackupError& error) {
        source.raise(error, ExitCode::File);
    }
}

void restoreHandset(Handset& handset, const QString& folder, bool anyHandset,
                    const std::function<void(const QString& question)>& confirm)
{
    BackupContents backup;
    try {
        backup = readBackup(folder);
    } catch (const BackupError& error) {
        throw CliError(ExitCode::File, error.message());
    }
    const QString serialNumber = handset.readInfo().serialNumber;
    if (serialNumber != backup.facts.serialNumber && !anyHandset)
        throw CliError(ExitCode::OtherHandset,
                       QStringLiteral("Not restored: the backup is of the handset %1, and this one is %2; give "
                                      "--any-handset to restore it all the same")
                           .arg(backup.facts.serialNumber, serialNumber));
    confirm(QStringLiteral("Do You really want to write the phonebook and logo of this backup into Phone?"));
    CliBackupHandset target(handset);
    CliBackupProgress progress;
    try {
        restoreBackup(target, progress, backup);
    } catch (const BackupError& error) {
        target.raise(error, ExitCode::NoAnswer);
    }
}
