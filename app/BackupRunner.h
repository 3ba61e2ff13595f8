// "Back up handset…" and "Restore handset…" of the main window: the folder
// chooser, the questions, the progress window and the closing notice around
// the backup core. The handset's part runs as a job on the link's thread,
// one record or block at a time; the window hears of each step.
#pragma once

#include "backup/BackupContents.h"
#include "backup/HandsetFacts.h"

#include <QObject>
#include <QPointer>

#include <optional>

class BackupProgressDialog;
class LinkWorker;
class QWidget;

class BackupRunner final : public QObject {
    Q_OBJECT
public:
    // Neither is owned; both outlive the runner.
    BackupRunner(QWidget& window, LinkWorker& worker);

    void backUp();
    void restore();

private:
    // Once the handset on the cable is known: asks, then writes the backup.
    void restoreOnto(const QString& folder, const BackupContents& backup, const std::optional<HandsetFacts>& handset);
    BackupProgressDialog* showProgress(const QString& title);

    QWidget& window_;
    LinkWorker& worker_;
    QPointer<BackupProgressDialog> progress_;
};
