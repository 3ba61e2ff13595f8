#include "app/BackupProgressDialog.h"

#include <QCloseEvent>

#include "ui_BackupProgressDialog.h"

BackupProgressDialog::BackupProgressDialog(QWidget* parent, const QString& title)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::BackupProgressDialog>())
{
    ui_->setupUi(this);
    setWindowTitle(title);
    setModal(true);
}

BackupProgressDialog::~BackupProgressDialog() = default;

void BackupProgressDialog::startPart(const QString& name, int steps)
{
    ui_->partLabel->setText(name);
    ui_->partBar->setRange(0, steps);
    ui_->partBar->setValue(0);
    if (!isVisible())
        show();
    emit partStarted(name);
}

void BackupProgressDialog::stepDone(int done)
{
    ui_->partBar->setValue(done);
}

void BackupProgressDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
}
