// The "Phonebook" window, the program's only copy of the phonebook.
#include "phonebook/ui/PhonebookWindow.h"

#include "phonebook/HandsetCheck.h"
#include "phonebook/PhonebookFileIo.h"
#include "phonebook/PhonebookFormats.h"
#include "jobs/LinkWorker.h"
#include "phonebook/PhonebookTransfer.h"
#include "widgets/TransferGate.h"
#include "widgets/WaitingTitle.h"
#include "phonebook/ui/RecordEditor.h"
#include "widgets/DesignFonts.h"
#include "widgets/CutTextTips.h"
#include "widgets/TextFit.h"
#include "ui_PhonebookWindow.h"
#include "widgets/Prompts.h"
#include "text/WinText.h"

#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

const char* const kFileFilter = QT_TRANSLATE_NOOP("PhonebookWindow", "Nokia PhoneBook file (*.npb);;All files (*)");
const QString kFileExtension = QStringLiteral("npb");
const QString kDefaultFileName = QStringLiteral("Phbook");
// Enough to see what is wrong without the question outgrowing the screen.
constexpr int kShownLines = 15;
// After the location of a record the handset does not hold as shown.
const QString kChangedRowLabel = QStringLiteral("%1 \u2022");

} // namespace

PhonebookWindow::PhonebookWindow(LinkWorker& worker, TransferGate& gate, RecordEditor& editor, QWidget* parent)
    : PhonebookWindow(worker, gate, ownEditor_, parent)
{
    ownEditor_ = &editor;
}

PhonebookWindow::PhonebookWindow(LinkWorker& worker, TransferGate& gate, RecordEditor* const& editorSlot,
                                 QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::PhonebookWindow>())
    , worker_(worker)
    , gate_(gate)
    , editorSlot_(&editorSlot)
{
    ui_->setupUi(this);
    readButton = ui_->readButton;
    writeAllButton = ui_->writeAllButton;
    saveButton = ui_->saveButton;
    loadButton = ui_->loadButton;
    okButton = ui_->okButton;
    cancelButton = ui_->cancelButton;
    hintLabel = ui_->hintLabel;
    recordGrid = ui_->recordGrid;
    progressBar = ui_->progressBar;
    updateRecordAction = ui_->updateRecordAction;
    writeChangesAction = ui_->writeChangesAction;
    editRecordAction = ui_->editRecordAction;
    deleteRecordAction = ui_->deleteRecordAction;
    importAction = ui_->importAction;
    exportAction = ui_->exportAction;
    setFont(designFont("MS Sans Serif", 11));
    hintLabel->setWordWrap(false);
    fitLabelToText(*hintLabel);

    recordGrid->setFont(designFont("Courier", 13));
    recordGrid->setTextElideMode(Qt::ElideNone);
    recordGrid->setItemDelegate(new CutTextTipDelegate(recordGrid));
    recordGrid->setRowCount(kGridRows - 1);
    recordGrid->setColumnCount(2);
    recordGrid->verticalHeader()->setFixedWidth(64);
    recordGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    recordGrid->verticalHeader()->setDefaultSectionSize(24);
    recordGrid->horizontalHeader()->setFixedHeight(24);
    recordGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    recordGrid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Header cells are plain fixed cells: they do not turn bold with the selection.
    recordGrid->horizontalHeader()->setHighlightSections(false);
    recordGrid->verticalHeader()->setHighlightSections(false);
    recordGrid->setColumnWidth(0, 262);
    recordGrid->setColumnWidth(1, 100);
    for (int row = 0; row < kGridRows - 1; ++row) {
        recordGrid->setVerticalHeaderItem(row, new QTableWidgetItem(QString()));
        for (int col = 0; col < 2; ++col)
            recordGrid->setItem(row, col, new QTableWidgetItem(QString()));
    }
    recordGrid->setHorizontalHeaderItem(0, new QTableWidgetItem(QString()));
    recordGrid->setHorizontalHeaderItem(1, new QTableWidgetItem(QString()));
    selectRow(1);

    recordMenu = new QMenu(this);
    recordMenu->addAction(updateRecordAction);
    recordMenu->addAction(writeChangesAction);
    // Says why "Write changes to Phone" cannot be chosen yet.
    recordMenu->setToolTipsVisible(true);
    recordMenu->addAction(editRecordAction);
    recordMenu->addAction(deleteRecordAction);
    recordMenu->addSeparator();
    recordMenu->addAction(importAction);
    recordMenu->addAction(exportAction);
    // The shortcuts work while the window has the focus, menu open or not.
    addAction(updateRecordAction);
    addAction(writeChangesAction);
    addAction(editRecordAction);
    addAction(deleteRecordAction);
    addAction(importAction);
    addAction(exportAction);
    connect(recordGrid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { recordMenu->popup(recordGrid->viewport()->mapToGlobal(at)); });

    connect(readButton, &QPushButton::clicked, this, &PhonebookWindow::readFromPhone);
    connect(writeAllButton, &QPushButton::clicked, this, &PhonebookWindow::writeAllToPhone);
    connect(saveButton, &QPushButton::clicked, this, &PhonebookWindow::saveToFile);
    connect(loadButton, &QPushButton::clicked, this, &PhonebookWindow::loadFromFile);
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(updateRecordAction, &QAction::triggered, this, &PhonebookWindow::updateRecordInPhone);
    connect(writeChangesAction, &QAction::triggered, this, &PhonebookWindow::writeChangesToPhone);
    connect(editRecordAction, &QAction::triggered, this, &PhonebookWindow::editRecord);
    connect(deleteRecordAction, &QAction::triggered, this, &PhonebookWindow::deleteRecord);
    connect(importAction, &QAction::triggered, this, &PhonebookWindow::importFromFile);
    connect(exportAction, &QAction::triggered, this, &PhonebookWindow::exportToFile);
    connect(recordGrid, &QTableWidget::cellDoubleClicked, this, &PhonebookWindow::editClickedRecord);
    // Every change of a cell, whatever made it, moves its row's mark.
    connect(recordGrid, &QTableWidget::itemChanged, this,
            [this](const QTableWidgetItem* item) { markRow(item->row() + 1); });

    using Touches = TransferGate::Touches;
    for (QWidget* button : {readButton, writeAllButton})
        gate_.guard(button, Touches::Handset);
    for (QWidget* button : {saveButton, loadButton, okButton})
        gate_.guard(button, Touches::PhonebookData);
    gate_.guard(updateRecordAction, Touches::Handset);
    gate_.guard(writeChangesAction, Touches::Handset,
                {[this] { return handsetKnown(); },
                 [this] {
                     return handsetKnown() ? tr("Write only the records marked • to the phone, then reset it")
                                           : tr("Read the phonebook from the phone first");
                 }});
    for (QAction* action : {editRecordAction, deleteRecordAction, importAction, exportAction})
        gate_.guard(action, Touches::PhonebookData);
    markChangedRows();
}

PhonebookWindow::~PhonebookWindow() = default;

QString PhonebookWindow::cellText(int col, int row) const
{
    const QTableWidgetItem* item = nullptr;
    if (row == 0 && col > 0)
        item = recordGrid->horizontalHeaderItem(col - 1);
    else if (col == 0 && row > 0)
        item = recordGrid->verticalHeaderItem(row - 1);
    else if (col > 0)
        item = recordGrid->item(row - 1, col - 1);
    return item ? item->text() : QString();
}

void PhonebookWindow::setCellText(int col, int row, const QString& text)
{
    QTableWidgetItem* item = nullptr;
    if (row == 0 && col > 0)
        item = recordGrid->horizontalHeaderItem(col - 1);
    else if (col == 0 && row > 0)
        item = recordGrid->verticalHeaderItem(row - 1);
    else if (col > 0)
        item = recordGrid->item(row - 1, col - 1);
    if (item)
        item->setText(text);
}

int PhonebookWindow::selectedRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = recordGrid->selectedRanges();
    if (!ranges.isEmpty())
        return ranges.first().topRow() + 1;
    return recordGrid->currentRow() >= 0 ? recordGrid->currentRow() + 1 : 0;
}

void PhonebookWindow::selectRow(int row)
{
    recordGrid->setCurrentCell(row - 1, 0);
}

std::optional<std::string> PhonebookWindow::pickNumber()
{
    cancelButton->setVisible(true);
    picking_ = true;
    const bool picked = exec() == QDialog::Accepted && selectedRow() > 0;
    picking_ = false;
    cancelButton->setVisible(false);
    if (!picked)
        return std::nullopt;
    return toWin1251(cellText(2, selectedRow()));
}

void PhonebookWindow::done(int result)
{
    if (!job_) {
        QDialog::done(result);
        return;
    }
    // No transfer runs on behind a closed window: a read stops between two
    // records, a write goes on to its end.
    if (!closeWhenDone_)
        titleBeforeWaiting_ = windowTitle();
    closeWhenDone_ = result;
    job_->requestStop();
    setWindowTitle(waitingTitle(titleBeforeWaiting_));
}

bool PhonebookWindow::startTransfer(std::function<void(JobContext&)> work)
{
    job_ = worker_.start(this, JobData::Phonebook, std::move(work));
    if (!job_)
        return false;
    connect(job_, &LinkJob::progress, this, &PhonebookWindow::showProgress);
    connect(job_, &LinkJob::finished, this, &PhonebookWindow::transferFinished);
    return true;
}

void PhonebookWindow::transferFinished()
{
    job_ = nullptr;
    markChangedRows();
    emit transferEnded();
    if (closeWhenDone_) {
        setWindowTitle(titleBeforeWaiting_);
        QDialog::done(*std::exchange(closeWhenDone_, std::nullopt));
    }
}

// A whole phonebook moves the bar a record at a time, up to its last LED.
void PhonebookWindow::showProgress(int done, int total)
{
    const int leds = progressBar->maximum() + 1;
    progressBar->setValue(total > 0 ? std::min(done * leds / total, progressBar->maximum()) : 0);
}

void PhonebookWindow::showReadRecord(int location, const PhonebookEntry& entry)
{
    setCellText(2, location + 1, fromWin1251(entry.number));
    setCellText(1, location + 1, fromWin1251(entry.name));
}

void PhonebookWindow::keyPressEvent(QKeyEvent* event)
{
    // Escape cancels a pick; the phonebook itself is closed only on purpose.
    if (event->key() == Qt::Key_Escape && !picking_) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PhonebookWindow::showEvent(QShowEvent* event)
{
    labelGrid();
    QDialog::showEvent(event);
}

void PhonebookWindow::labelGrid()
{
    setCellText(1, 0, tr("Name"));
    setCellText(2, 0, tr("Phone"));
    markChangedRows();
}

void PhonebookWindow::readFromPhone()
{
    if (worker_.isBusy())
        return;
    // Which handset answered is known once the read has run whole.
    handsetSerial_.reset();
    for (int row = 1; row <= kRecordRows; ++row) {
        setCellText(1, row, QString());
        setCellText(2, row, QString());
    }
    progressBar->setValue(0);
    startTransfer([this](JobContext& job) {
        for (int location = 0; location < kRecordRows; ++location) {
            if (job.stopRequested())
                return;
            const LinkResult<PhonebookEntry> record = readRecord(job.link(), location);
            if (!record) {
                job.tell(record.failure());
                return;
            }
            job.post([this, location, entry = *record] { showReadRecord(location, entry); });
            job.progress(location + 1, kRecordRows);
        }
        const CommandResult serial = job.commands().readSerialNumber();
        job.report(serial);
        if (!serial.readings.serialNumber)
            return;
        // The rows as shown, not the reply bytes, are what an unedited row
        // compares with.
        job.post([this, number = *serial.readings.serialNumber] {
            handsetSerial_ = number;
            phonebooks_.remember(number, recordRowsAsEntries());
        });
    });
}

void PhonebookWindow::writeAllToPhone()
{
    if (worker_.isBusy())
        return;
    if (!prompts().confirm(this, tr("Do You really want to write current phonebook into Phone?")))
        return;
    if (!handsetKeepsOrUserGoesOn(gridRecords()))
        return;
    handsetSerial_.reset();
    progressBar->setValue(0);
    startTransfer([this, rows = recordRowsAsEntries()](JobContext& job) {
        // A write is never left half-way: the phonebook goes whole or until the handset fails.
        int written = 0;
        for (; written < kRecordRows; ++written) {
            const LinkResult<Answered> done =
                writeRecord(job.link(), written, rows[static_cast<std::size_t>(written)]);
            if (!done) {
                job.tell(done.failure());
                break;
            }
            job.progress(written + 1, kRecordRows);
        }
        // Asked afterwards, so that a dead line costs no more than it did.
        std::optional<std::string> serial;
        if (written == kRecordRows) {
            const CommandResult read = job.commands().readSerialNumber();
            job.report(read);
            serial = read.readings.serialNumber;
        }
        job.post([this, written, serial, rows] {
            if (serial) {
                handsetSerial_ = serial;
                phonebooks_.remember(*serial, rows);
                return;
            }
            // Whichever handset took them, these records may have changed; the
            // failed one too, when only its acknowledgement was lost.
            for (int location = 0; location <= written && location < kRecordRows; ++location)
                phonebooks_.forgetRecord(location);
        });
        // The handset takes the new phonebook in only after a restart.
        job.report(job.commands().resetHandset());
    });
}

void PhonebookWindow::writeChangesToPhone()
{
    if (worker_.isBusy() || !handsetKnown())
        return;
    const std::vector<int> rows = changedRows();
    if (rows.empty()) {
        prompts().notice(this, tr("The phone holds every record as the list shows it: there is nothing to write."));
        return;
    }
    const int count = static_cast<int>(rows.size());
    if (!prompts().confirm(this, tr("Do You really want to write the %n changed record(s) into Phone?", "", count)))
        return;
    PhonebookRows changed = emptyPhonebookRows();
    std::vector<PhonebookEntry> entries;
    for (int row : rows) {
        changed[static_cast<std::size_t>(row - 1)] = {cellText(1, row), cellText(2, row)};
        entries.push_back({toWin1251(cellText(1, row)), toWin1251(cellText(2, row))});
    }
    if (!handsetKeepsOrUserGoesOn(changed))
        return;
    progressBar->setValue(0);
    startTransfer([this, expected = *handsetSerial_, rows, entries](JobContext& job) {
        const CommandResult read = job.commands().readSerialNumber();
        job.report(read);
        if (!read.readings.serialNumber)
            return;
        const std::string serial = *read.readings.serialNumber;
        job.post([this, serial] { handsetSerial_ = serial; });
        if (serial != expected) {
            job.post([this, serial, expected] {
                prompts().notice(
                    this, tr("The phone on the cable is not the one whose phonebook was read: its serial number is "
                             "%1, not %2. Nothing was written. Read the phonebook from this phone first, or use "
                             "\"Write All to Phone\".")
                              .arg(fromWin1251(serial).trimmed(), fromWin1251(expected).trimmed()));
            });
            return;
        }
        const int count = static_cast<int>(rows.size());
        for (int i = 0; i < count; ++i) {
            const int location = rows[static_cast<std::size_t>(i)] - 1;
            const PhonebookEntry& entry = entries[static_cast<std::size_t>(i)];
            const LinkResult<Answered> done = writeRecord(job.link(), location, entry);
            if (!done) {
                job.tell(done.failure());
                job.post([this, location] { phonebooks_.forgetRecord(location); });
                break;
            }
            job.post([this, serial, location, entry] { phonebooks_.rememberRecord(serial, location, entry); });
            job.progress(i + 1, count);
        }
        job.report(job.commands().resetHandset());
    });
}

void PhonebookWindow::saveToFile()
{
    const QString path =
        prompts().saveFileNameAs(this, tr("Save phonebook"), tr(kFileFilter), kFileExtension, kDefaultFileName);
    if (path.isEmpty() || !handsetKeepsOrUserGoesOn(gridRecords()))
        return;
    savePhonebookFile(path, recordRowsAsEntries());
}

void PhonebookWindow::loadFromFile()
{
    const QString path = prompts().openFileNameAs(this, tr("Load phonebook"), tr(kFileFilter), kDefaultFileName, false);
    if (path.isEmpty())
        return;
    const DecodedPhonebook book = decodePhonebookFile(readPhonebookFile(path));
    for (std::size_t i = 0; i < book.entries.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        setCellText(1, row, fromWin1251(book.entries[i].name));
        setCellText(2, row, fromWin1251(book.entries[i].number));
    }
    if (book.truncated)
        throw InOutError(tr("Read beyond end of file").toStdString());
}

void PhonebookWindow::updateRecordInPhone()
{
    const int row = selectedRow();
    if (row <= 0 || worker_.isBusy())
        return;
    if (row > kRecordRows) {
        prompts().notice(this,
                         tr("Record #%1 is not in the phone's phonebook: only records 1 to %2 "
                            "can be written to the phone.")
                             .arg(row)
                             .arg(kRecordRows));
        return;
    }
    if (!prompts().confirm(this, tr("Do you really want to update record #%1 in Phone?").arg(row)))
        return;
    PhonebookRows single = emptyPhonebookRows();
    single[static_cast<std::size_t>(row - 1)] = {cellText(1, row), cellText(2, row)};
    if (!handsetKeepsOrUserGoesOn(single))
        return;
    handsetSerial_.reset();
    startTransfer([this, location = row - 1,
                   entry = PhonebookEntry{toWin1251(cellText(1, row)), toWin1251(cellText(2, row))}](JobContext& job) {
        std::optional<std::string> serial;
        const LinkResult<Answered> done = writeRecord(job.link(), location, entry);
        if (!done) {
            job.tell(done.failure());
        } else {
            const CommandResult read = job.commands().readSerialNumber();
            job.report(read);
            serial = read.readings.serialNumber;
        }
        job.post([this, location, entry, serial] {
            if (!serial) {
                phonebooks_.forgetRecord(location);
                return;
            }
            handsetSerial_ = serial;
            phonebooks_.rememberRecord(*serial, location, entry);
        });
    });
}

void PhonebookWindow::editRecord()
{
    const int row = selectedRow();
    if (row <= 0)
        return;
    editor().setRecord(cellText(1, row), cellText(2, row));
    editor().setWindowTitle(tr("Edit Record #%1").arg(row));
    if (editor().exec() != QDialog::Accepted)
        return;
    setCellText(1, row, editor().nameText());
    setCellText(2, row, editor().numberText());
}

void PhonebookWindow::deleteRecord()
{
    const int row = selectedRow();
    if (row <= 0)
        return;
    if (!prompts().confirm(this, tr("Do You really want to delete record?")))
        return;
    setCellText(1, row, QString());
    setCellText(2, row, QString());
}

void PhonebookWindow::editClickedRecord()
{
    okButton->click();
}

std::vector<PhonebookEntry> PhonebookWindow::recordRowsAsEntries() const
{
    std::vector<PhonebookEntry> entries;
    entries.reserve(kRecordRows);
    for (int row = 1; row <= kRecordRows; ++row)
        entries.push_back({toWin1251(cellText(1, row)), toWin1251(cellText(2, row))});
    return entries;
}

PhonebookRows PhonebookWindow::gridRecords() const
{
    PhonebookRows rows = emptyPhonebookRows();
    for (int row = 1; row <= kRecordRows; ++row)
        rows[static_cast<std::size_t>(row - 1)] = {cellText(1, row), cellText(2, row)};
    return rows;
}

bool PhonebookWindow::handsetKnown() const
{
    return handsetSerial_ && phonebooks_.knows(*handsetSerial_);
}

bool PhonebookWindow::rowChanged(int row) const
{
    return handsetKnown()
        && phonebooks_.differs(*handsetSerial_, row - 1, {toWin1251(cellText(1, row)), toWin1251(cellText(2, row))});
}

std::vector<int> PhonebookWindow::changedRows() const
{
    std::vector<int> rows;
    for (int row = 1; row <= kRecordRows; ++row) {
        if (rowChanged(row))
            rows.push_back(row);
    }
    return rows;
}

void PhonebookWindow::markRow(int row)
{
    if (row < 1 || row > kRecordRows)
        return;
    const bool changed = rowChanged(row);
    QTableWidgetItem* label = recordGrid->verticalHeaderItem(row - 1);
    label->setText(changed ? kChangedRowLabel.arg(row) : QString::number(row));
    label->setToolTip(changed ? tr("Not yet written to the phone") : QString());
}

void PhonebookWindow::markChangedRows()
{
    for (int row = 1; row <= kRecordRows; ++row)
        markRow(row);
    // The gate decides whether "Write changes to Phone" can be chosen now.
    gate_.refresh();
}

bool PhonebookWindow::handsetKeepsOrUserGoesOn(const PhonebookRows& rows)
{
    const std::vector<HandsetFinding> findings = checkForHandset(rows);
    if (findings.empty())
        return true;
    return prompts().confirm(this,
                             tr("The handset will not keep these records as they are:\n\n%1\n\nGo on all the same?")
                                 .arg(describeHandsetFindings(rows, findings, kShownLines).join(u'\n')));
}

void PhonebookWindow::importFromFile()
{
    const QString filter = tr("Phonebook files (*.csv *.vcf *.vcard *.npb);;CSV files (*.csv);;"
                              "vCard files (*.vcf *.vcard);;Nokia PhoneBook file (*.npb);;All files (*)");
    const QString path = prompts().openFileNameAs(this, tr("Import phonebook"), filter, QString(), false);
    if (path.isEmpty())
        return;
    // A file that cannot be read raises before any row changes.
    const PhonebookImport imported = readPhonebook(path);
    const auto records = std::count_if(imported.rows.begin(), imported.rows.end(),
                                       [](const PhonebookRow& row) { return !row.isBlank(); });
    QString question = tr("Replace records 1 to %1 with the %n record(s) of \"%2\"?", "", static_cast<int>(records))
                           .arg(kRecordRows)
                           .arg(QDir::toNativeSeparators(path));
    if (!imported.notes.isEmpty()) {
        QStringList notes = imported.notes.mid(0, kShownLines);
        if (imported.notes.size() > kShownLines)
            notes << tr("… and %n more", "", static_cast<int>(imported.notes.size() - kShownLines));
        question += QStringLiteral("\n\n") + notes.join(u'\n');
    }
    if (!prompts().confirm(this, question))
        return;
    for (int row = 1; row <= kRecordRows; ++row) {
        const PhonebookRow& record = imported.rows[static_cast<std::size_t>(row - 1)];
        setCellText(1, row, record.name);
        setCellText(2, row, record.number);
    }
}

void PhonebookWindow::exportToFile()
{
    const QString filter = tr("CSV files (*.csv);;vCard files (*.vcf);;Nokia PhoneBook file (*.npb)");
    const QString path =
        prompts().saveFileNameAs(this, tr("Export phonebook"), filter, QStringLiteral("csv"), kDefaultFileName);
    if (path.isEmpty())
        return;
    PhonebookRows rows = gridRecords();
    if (phonebookFormatFor(path) == PhonebookFormat::Npb) {
        if (!handsetKeepsOrUserGoesOn(rows))
            return;
    } else {
        // The record editor pads the fields to their full width; that is no part of a name.
        for (PhonebookRow& row : rows) {
            row.name = row.name.trimmed();
            row.number = row.number.trimmed();
        }
    }
    writePhonebook(path, rows);
}
