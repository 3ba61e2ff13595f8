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

const char* const FileFilter = QT_TRANSLATE_NOOP("PhonebookWindow", "Nokia PhoneBook file (*.npb);;All files (*)");
const QString FileExtension = QStringLiteral("npb");
const QString DefaultFileName = QStringLiteral("Phbook");
// Enough to see what is wrong without the question outgrowing the screen.
constexpr int ShownLines = 15;
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
    setFont(DesignFont("MS Sans Serif", 11));
    hintLabel->setWordWrap(false);
    FitLabelToText(*hintLabel);

    recordGrid->setFont(DesignFont("Courier", 13));
    recordGrid->setTextElideMode(Qt::ElideNone);
    recordGrid->setItemDelegate(new CutTextTipDelegate(recordGrid));
    recordGrid->setRowCount(GridRows - 1);
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
    for (int row = 0; row < GridRows - 1; ++row) {
        recordGrid->setVerticalHeaderItem(row, new QTableWidgetItem(QString()));
        for (int col = 0; col < 2; ++col)
            recordGrid->setItem(row, col, new QTableWidgetItem(QString()));
    }
    recordGrid->setHorizontalHeaderItem(0, new QTableWidgetItem(QString()));
    recordGrid->setHorizontalHeaderItem(1, new QTableWidgetItem(QString()));
    SelectRow(1);

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

QString PhonebookWindow::Cells(int col, int row) const
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

void PhonebookWindow::SetCell(int col, int row, const QString& text)
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

int PhonebookWindow::SelectedRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = recordGrid->selectedRanges();
    if (!ranges.isEmpty())
        return ranges.first().topRow() + 1;
    return recordGrid->currentRow() >= 0 ? recordGrid->currentRow() + 1 : 0;
}

void PhonebookWindow::SelectRow(int row)
{
    recordGrid->setCurrentCell(row - 1, 0);
}

bool PhonebookWindow::PickNumber(std::string& phone)
{
    cancelButton->setVisible(true);
    picking_ = true;
    const bool picked = exec() == QDialog::Accepted && SelectedRow() > 0;
    picking_ = false;
    cancelButton->setVisible(false);
    if (picked)
        phone = ToWin1251(Cells(2, SelectedRow()));
    return picked;
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
    SetCell(1, 0, tr("Name"));
    SetCell(2, 0, tr("Phone"));
    markChangedRows();
}

void PhonebookWindow::readFromPhone()
{
    TransferRunning running(transferRunning_);
    ButtonsDisabled disabled{readButton, writeAllButton, saveButton, loadButton, okButton};
    const AtScopeEnd marks([this] { markChangedRows(); });
    // Which handset answered is known once the read has run whole.
    handsetSerial_.reset();
    for (int row = 1; row <= RecordRows; ++row) {
        SetCell(1, row, QString());
        SetCell(2, row, QString());
    }
    progressBar->setPosition(0);
    int row = 1;
    for (; row <= RecordRows; ++row) {
        const std::optional<PhonebookEntry> record = host_.readRecord(row - 1);
        if (!record)
            break;
        SetCell(2, row, FromWin1251(record->Number));
        SetCell(1, row, FromWin1251(record->Name));
        progressBar->setPosition(row);
    }
    // The rows as shown, not the reply bytes, are what an unedited row
    // compares with.
    if (row > RecordRows && readHandsetSerial())
        phonebooks_.remember(*handsetSerial_, RecordRowsAsEntries());
}

void PhonebookWindow::writeAllToPhone()
{
    if (!prompts().Confirm(this, tr("Do You really want to write current phonebook into Phone?")))
        return;
    if (!HandsetKeepsOrUserGoesOn(GridRecords()))
        return;
    TransferRunning running(transferRunning_);
    ButtonsDisabled disabled{readButton, writeAllButton, saveButton, loadButton};
    const AtScopeEnd marks([this] { markChangedRows(); });
    handsetSerial_.reset();
    progressBar->setPosition(0);
    std::vector<PhonebookEntry> written;
    for (int row = 1; row <= RecordRows; ++row) {
        const std::string number = ToWin1251(Cells(2, row));
        const std::string name = ToWin1251(Cells(1, row));
        if (!host_.writeRecord(row - 1, {name, number}))
            break;
        written.push_back({name, number});
        progressBar->setPosition(row);
    }
    // Asked afterwards, so that a dead line costs no more than it did.
    if (static_cast<int>(written.size()) == RecordRows && readHandsetSerial()) {
        phonebooks_.remember(*handsetSerial_, written);
    } else {
        // Whichever handset took them, these records may have changed; the
        // failed one too, when only its acknowledgement was lost.
        for (int location = 0; location <= static_cast<int>(written.size()) && location < RecordRows; ++location)
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
        prompts().Notice(this, tr("The phone holds every record as the list shows it: there is nothing to write."));
        return;
    }
    const int count = static_cast<int>(rows.size());
    if (!prompts().Confirm(this, tr("Do You really want to write the %n changed record(s) into Phone?", "", count)))
        return;
    PhonebookRows changed = emptyPhonebookRows();
    std::vector<PhonebookEntry> entries;
    for (int row : rows) {
        changed[static_cast<std::size_t>(row - 1)] = {Cells(1, row), Cells(2, row)};
        entries.push_back({ToWin1251(Cells(1, row)), ToWin1251(Cells(2, row))});
    }
    if (!HandsetKeepsOrUserGoesOn(changed))
        return;
    const std::string expected = *handsetSerial_;
    {
        TransferRunning running(transferRunning_);
        ButtonsDisabled disabled{readButton, writeAllButton, saveButton, loadButton};
        const AtScopeEnd marks([this] { markChangedRows(); });
        if (!readHandsetSerial())
            return;
        if (*handsetSerial_ == expected) {
            progressBar->setPosition(0);
            for (int i = 0; i < count; ++i) {
                const int location = rows[static_cast<std::size_t>(i)] - 1;
                const PhonebookEntry& entry = entries[static_cast<std::size_t>(i)];
                if (!host_.writeRecord(location, entry)) {
                    phonebooks_.forgetRecord(location);
                    break;
                }
                phonebooks_.rememberRecord(expected, location, entry);
                progressBar->setPosition((i + 1) * progressBar->Max() / count);
            }
            host_.resetHandset();
            return;
        }
    }
    prompts().Notice(this,
                     tr("The phone on the cable is not the one whose phonebook was read: its serial number is %1, "
                        "not %2. Nothing was written. Read the phonebook from this phone first, or use \"Write All "
                        "to Phone\".")
                         .arg(FromWin1251(*handsetSerial_).trimmed(), FromWin1251(expected).trimmed()));
}

void PhonebookWindow::saveToFile()
{
    const QString path =
        prompts().SaveFileNameAs(this, tr("Save phonebook"), tr(FileFilter), FileExtension, DefaultFileName);
    if (path.isEmpty() || !HandsetKeepsOrUserGoesOn(GridRecords()))
        return;
    SavePhonebookFile(path, RecordRowsAsEntries());
}

void PhonebookWindow::loadFromFile()
{
    const QString path =
        prompts().OpenFileNameAs(this, tr("Load phonebook"), tr(FileFilter), DefaultFileName, false);
    if (path.isEmpty())
        return;
    const DecodedPhonebook book = DecodePhonebookFile(ReadPhonebookFile(path));
    for (std::size_t i = 0; i < book.Entries.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        SetCell(1, row, FromWin1251(book.Entries[i].Name));
        SetCell(2, row, FromWin1251(book.Entries[i].Number));
    }
    if (book.Truncated)
        throw InOutError(tr("Read beyond end of file").toStdString());
}

void PhonebookWindow::updateRecordInPhone()
{
    const int row = SelectedRow();
    if (row <= 0)
        return;
    if (row > RecordRows) {
        prompts().Notice(this,
                         tr("Record #%1 is not in the phone's phonebook: only records 1 to %2 "
                            "can be written to the phone.")
                             .arg(row)
                             .arg(RecordRows));
        return;
    }
    if (!prompts().Confirm(this, tr("Do you really want to update record #%1 in Phone?").arg(row)))
        return;
    PhonebookRows single = emptyPhonebookRows();
    single[static_cast<std::size_t>(row - 1)] = {Cells(1, row), Cells(2, row)};
    if (!HandsetKeepsOrUserGoesOn(single))
        return;
    const PhonebookEntry entry{ToWin1251(Cells(1, row)), ToWin1251(Cells(2, row))};
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
    const int row = SelectedRow();
    if (row <= 0)
        return;
    Editor().SetRecord(Cells(1, row), Cells(2, row));
    Editor().setWindowTitle(tr("Edit Record #%1").arg(row));
    if (Editor().exec() != QDialog::Accepted)
        return;
    SetCell(1, row, Editor().NameText());
    SetCell(2, row, Editor().NumberText());
}

void PhonebookWindow::deleteRecord()
{
    const int row = SelectedRow();
    if (row <= 0)
        return;
    if (!prompts().Confirm(this, tr("Do You really want to delete record?")))
        return;
    SetCell(1, row, QString());
    SetCell(2, row, QString());
}

void PhonebookWindow::editClickedRecord()
{
    okButton->click();
}

std::vector<PhonebookEntry> PhonebookWindow::RecordRowsAsEntries() const
{
    std::vector<PhonebookEntry> entries;
    entries.reserve(RecordRows);
    for (int row = 1; row <= RecordRows; ++row)
        entries.push_back({ToWin1251(Cells(1, row)), ToWin1251(Cells(2, row))});
    return entries;
}

PhonebookRows PhonebookWindow::GridRecords() const
{
    PhonebookRows rows = emptyPhonebookRows();
    for (int row = 1; row <= RecordRows; ++row)
        rows[static_cast<std::size_t>(row - 1)] = {Cells(1, row), Cells(2, row)};
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
        && phonebooks_.differs(*handsetSerial_, row - 1, {ToWin1251(Cells(1, row)), ToWin1251(Cells(2, row))});
}

std::vector<int> PhonebookWindow::changedRows() const
{
    std::vector<int> rows;
    for (int row = 1; row <= RecordRows; ++row) {
        if (rowChanged(row))
            rows.push_back(row);
    }
    return rows;
}

void PhonebookWindow::markRow(int row)
{
    if (row < 1 || row > RecordRows)
        return;
    const bool changed = rowChanged(row);
    QTableWidgetItem* label = recordGrid->verticalHeaderItem(row - 1);
    label->setText(changed ? kChangedRowLabel.arg(row) : QString::number(row));
    label->setToolTip(changed ? tr("Not yet written to the phone") : QString());
}

void PhonebookWindow::markChangedRows()
{
    for (int row = 1; row <= RecordRows; ++row)
        markRow(row);
    const bool known = handsetKnown();
    writeChangesAction->setEnabled(known);
    writeChangesAction->setToolTip(known ? tr("Write only the records marked • to the phone, then reset it")
                                         : tr("Read the phonebook from the phone first"));
}

bool PhonebookWindow::HandsetKeepsOrUserGoesOn(const PhonebookRows& rows)
{
    const std::vector<HandsetFinding> findings = checkForHandset(rows);
    if (findings.empty())
        return true;
    return prompts().Confirm(this,
                             tr("The handset will not keep these records as they are:\n\n%1\n\nGo on all the same?")
                                 .arg(describeHandsetFindings(rows, findings, ShownLines).join(u'\n')));
}

void PhonebookWindow::importFromFile()
{
    // The shortcut still works while a transfer lets events through; the
    // records it reads or writes must not change under it.
    if (transferRunning_)
        return;
    const QString filter = tr("Phonebook files (*.csv *.vcf *.vcard *.npb);;CSV files (*.csv);;"
                              "vCard files (*.vcf *.vcard);;Nokia PhoneBook file (*.npb);;All files (*)");
    const QString path = prompts().OpenFileNameAs(this, tr("Import phonebook"), filter, QString(), false);
    if (path.isEmpty())
        return;
    // A file that cannot be read raises before any row changes.
    const PhonebookImport imported = readPhonebook(path);
    const auto records = std::count_if(imported.rows.begin(), imported.rows.end(),
                                       [](const PhonebookRow& row) { return !row.isBlank(); });
    QString question = tr("Replace records 1 to %1 with the %n record(s) of \"%2\"?", "", static_cast<int>(records))
                           .arg(RecordRows)
                           .arg(QDir::toNativeSeparators(path));
    if (!imported.notes.isEmpty()) {
        QStringList notes = imported.notes.mid(0, ShownLines);
        if (imported.notes.size() > ShownLines)
            notes << tr("… and %n more", "", static_cast<int>(imported.notes.size() - ShownLines));
        question += QStringLiteral("\n\n") + notes.join(u'\n');
    }
    if (!prompts().Confirm(this, question))
        return;
    for (int row = 1; row <= RecordRows; ++row) {
        const PhonebookRow& record = imported.rows[static_cast<std::size_t>(row - 1)];
        SetCell(1, row, record.name);
        SetCell(2, row, record.number);
    }
}

void PhonebookWindow::exportToFile()
{
    const QString filter = tr("CSV files (*.csv);;vCard files (*.vcf);;Nokia PhoneBook file (*.npb)");
    const QString path =
        prompts().SaveFileNameAs(this, tr("Export phonebook"), filter, QStringLiteral("csv"), DefaultFileName);
    if (path.isEmpty())
        return;
    PhonebookRows rows = GridRecords();
    if (phonebookFormatFor(path) == PhonebookFormat::Npb) {
        if (!HandsetKeepsOrUserGoesOn(rows))
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
