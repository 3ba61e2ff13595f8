// "Back up handset…" and "Restore handset…" of the main window: the folder
// chooser, the questions, the progress window and the closing notice around
// the backup core. The handset's jobs run as the window runs them, one
// record or block at a time on the link's thread.
#pragma once

#include "backup/BackupHandset.h"

#include <QCoreApplication>

class MainWindow;

class BackupRunner final : public BackupHandset {
    Q_DECLARE_TR_FUNCTIONS(BackupRunner)
public:
    explicit BackupRunner(MainWindow& window);

    void backUp();
    void restore();

    // BackupHandset; failures have been shown by the link.
    std::optional<HandsetFacts> readFacts() override;
    std::optional<PhonebookEntry> readRecord(int location) override;
    bool writeRecord(int location, const PhonebookEntry& entry) override;
    std::optional<LogoBlock> readLogoBlock(int block) override;
    bool writeLogoBlock(int block, const LogoBlock& data) override;
    bool reset() override;

private:
    MainWindow& window_;
};
