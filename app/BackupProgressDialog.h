// The small modal window that shows a backup or restore at work: the part
// it is at and how many of its records or blocks are done. It cannot be
// closed while the job runs; the job ends it by going away.
#pragma once

#include "backup/BackupHandset.h"

#include <QDialog>

#include <memory>

namespace Ui {
class BackupProgressDialog;
}

class BackupProgressDialog : public QDialog, public BackupProgress {
    Q_OBJECT
public:
    BackupProgressDialog(QWidget* parent, const QString& title);
    ~BackupProgressDialog() override;


    void startPart(const QString& name, int steps) override;
    void stepDone(int done) override;
    // Half a transfer cannot be taken back: Escape and the close button do nothing.
    void reject() override { }

signals:
    void partStarted(const QString& name);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::unique_ptr<Ui::BackupProgressDialog> ui_;
};
