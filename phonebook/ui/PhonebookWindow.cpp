// The "Phonebook" window, the program's only copy of the phonebook.
#include "phonebook/ui/PhonebookWindow.h"

#include "phonebook/HandsetCheck.h"
#include "phonebook/PhonebookFileIo.h"
#include "phonebook/PhonebookFormats.h"
#include "phonebook/PhonebookHost.h"
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

namespace {

const char* const kFileFilter = QT_TRANSLATE_NOOP("PhonebookWindow", "Nokia PhoneBook file (*.npb);;All files (*)");
const QString kFileExtension = QStringLiteral("npb");
const QString kDefaultFileName = QStringLiteral("Phbook");
// Enough to see what is wrong without the question outgrowing the screen.
constexpr int kShownLines = 15;
// After the location of a record the handset does not hold as shown.
const QString kChangedRowLabel = QStringLiteral("%1 \u2022");

// Re-enables the buttons a bulk transfer disabled, however it ends.
class ButtonsDisabled {
public:
    ButtonsDisabled(std::initializer_list<QWidget*> buttons)
        : buttons_(buttons)
    {
        for (QWidget* b : buttons_)
            b->setEnabled(false);
    }
    ~ButtonsDisabled()
    {
        for (QWidget* b : buttons_)
            b->setEnabled(true);
    }
    ButtonsDisabled(const ButtonsDisabled&) = delete;
    ButtonsDisabled& operator=(const ButtonsDisabled&) = delete;

private:
    std::vector<QWidget*> buttons_;
};

// Marks the window busy with the handset for as long as a transfer runs.
class TransferRunning {
public:
    explicit TransferRunning(bool& flag)
        : flag_(flag)
    {
        flag_ = true;
    }
    ~TransferRunning() { flag_ = false; }
    TransferRunning(const TransferRunning&) = delete;
    TransferRunning& operator=(const TransferRunning&) = delete;

private:
    bool& flag_;
};

// Runs its job however the scope ends, a port error included.
class AtScopeEnd {
public:
    explicit AtScopeEnd(std::function<void()> job)
        : job_(std::move(job))
    { }
    ~AtScopeEnd() { job_(); }
    AtScopeEnd(const AtScopeEnd&) = delete;
    AtScopeEnd& operator=(const AtScopeEnd&) = delete;

private:
    std::function<void()> job_;
};

} // namespace

PhonebookWindow::PhonebookWindow(PhonebookHost& host, RecordEditor& editor, QWidget* parent)
    : PhonebookWindow(host, ownEditor_, parent)
{
    ownEditor_ = &editor;
}

PhonebookWindow::PhonebookWindow(PhonebookHost& host, RecordEditor* const& editorSlot, QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::PhonebookWindow>())
    , host_(host)
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
    if (!transferRunning_)
        QDialog::done(result);
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
    TransferRunning running(transferRunning_);
    ButtonsDisabled disabled{readButton, writeAllButton, saveButton, loadButton, okButton};
    const AtScopeEnd marks([this] { markChangedRows(); });
    // Which handset answered is known once the read has run whole.
    handsetSerial_.reset();
    for (int row = 1; row <= kRecordRows; ++row) {
        setCellText(1, row, QString());
        setCellText(2, row, QString());
    }
    progressBar->setValue(0);
    int row = 1;
    for (; row <= kRecordRows; ++row) {
        const std::optional<PhonebookEntry> record = host_.readRecord(row - 1);
        if (!record)
            break;
        setCellText(2, row, fromWin1251(record->number));
        setCellText(1, row, fromWin1251(record->name));
        progressBar->setValue(row);
    }
    // The rows as shown, not the reply bytes, are what an unedited row
    // compares with.
    if (row > kRecordRows && readHandsetSerial())
        phonebooks_.remember(*handsetSerial_, recordRowsAsEntries());
}

void PhonebookWindow::writeAllToPhone()
{
    if (!prompts().confirm(this, tr("Do You really want to write current phonebook into Phone?")))
        return;
    if (!handsetKeepsOrUserGoesOn(gridRecords()))
        return;
    TransferRunning running(transferRunning_);
    ButtonsDisabled disabled{readButton, writeAllButton, saveButton, loadButton};
    const AtScopeEnd marks([this] { markChangedRows(); });
    handsetSerial_.reset();
    progressBar->setValue(0);
    std::vector<PhonebookEntry> written;
    for (int row = 1; row <= kRecordRows; ++row) {
        const std::string number = toWin1251(cellText(2, row));
        const std::string name = toWin1251(cellText(1, row));
        if (!host_.writeRecord(row - 1, {name, number}))
            break;
        written.push_back({name, number});
        progressBar->setValue(row);
    }
    // Asked afterwards, so that a dead line costs no more than it did.
    if (static_cast<int>(written.size()) == kRecordRows && readHandsetSerial()) {
        phonebooks_.remember(*handsetSerial_, written);
    } else {
        // Whichever handset took them, these records may have changed; the
        // failed one too, when only its acknowledgement was lost.
        for (int location = 0; location <= static_cast<int>(written.size()) && location < kRecordRows; ++location)
            phonebooks_.forgetRecord(location);
    }
    // The handset takes the new phonebook in only after a restart.
    host_.resetHandset();
}

void PhonebookWindow::writeChangesToPhone()
{
    if (transferRunning_ || !handsetKnown())
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
    const std::string expected = *handsetSerial_;
    {
        TransferRunning running(transferRunning_);
        ButtonsDisabled disabled{readButton, writeAllButton, saveButton, loadButton};
        const AtScopeEnd marks([this] { markChangedRows(); });
        if (!readHandsetSerial())
            return;
        if (*handsetSerial_ == expected) {
            progressBar->setValue(0);
            for (int i = 0; i < count; ++i) {
                const int location = rows[static_cast<std::size_t>(i)] - 1;
                const PhonebookEntry& entry = entries[static_cast<std::size_t>(i)];
                if (!host_.writeRecord(location, entry)) {
                    phonebooks_.forgetRecord(location);
                    break;
                }
                phonebooks_.rememberRecord(expected, location, entry);
                progressBar->setValue((i + 1) * progressBar->maximum() / count);
            }
            host_.resetHandset();
            return;
        }
    }
    prompts().notice(this,
                     tr("The phone on the cable is not the one whose phonebook was read: its serial number is %1, "
                        "not %2. Nothing was written. Read the phonebook from this phone first, or use \"Write All "
                        "to Phone\".")
                         .arg(fromWin1251(*handsetSerial_).trimmed(), fromWin1251(expected).trimmed()));
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
    if (row <= 0)
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
    const PhonebookEntry entry{toWin1251(cellText(1, row)), toWin1251(cellText(2, row))};
    TransferRunning running(transferRunning_);
    const AtScopeEnd marks([this] { markChangedRows(); });
    handsetSerial_.reset();
    if (host_.writeRecord(row - 1, entry) && readHandsetSerial())
        phonebooks_.rememberRecord(*handsetSerial_, row - 1, entry);
    else
        phonebooks_.forgetRecord(row - 1);
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

bool PhonebookWindow::readHandsetSerial()
{
    std::optional<std::string> serial = host_.readSerialNumber();
    if (!serial)
        return false;
    handsetSerial_ = std::move(serial);
    return true;
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
    const bool known = handsetKnown();
    writeChangesAction->setEnabled(known);
    writeChangesAction->setToolTip(known ? tr("Write only the records marked • to the phone, then reset it")
                                         : tr("Read the phonebook from the phone first"));
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
    // The shortcut still works while a transfer lets events through; the
    // records it reads or writes must not change under it.
    if (transferRunning_)
        return;
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
