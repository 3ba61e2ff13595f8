// The "Phonebook" window.
#include "phonebook/ui/PhonebookWindow.h"

#include "jobs/LinkWorker.h"
#include "phonebook/HandsetCheck.h"
#include "phonebook/PhonebookFileIo.h"
#include "phonebook/PhonebookFormats.h"
#include "phonebook/PhonebookTransfer.h"
#include "phonebook/ui/RecordEditor.h"
#include "text/WinText.h"
#include "ui_PhonebookWindow.h"
#include "widgets/CutTextTips.h"
#include "widgets/DesignFonts.h"
#include "widgets/Prompts.h"
#include "widgets/TextFit.h"
#include "widgets/TransferGate.h"
#include "widgets/WaitingTitle.h"

#include <QDir>
#include <QHeaderView>
#include <QMenu>

#include <algorithm>
#include <utility>

namespace {

const char* const kFileFilter = QT_TRANSLATE_NOOP("PhonebookWindow", "Nokia PhoneBook file (*.npb);;All files (*)");
const QString kFileExtension = QStringLiteral("npb");
const QString kDefaultFileName = QStringLiteral("Phbook");
// Enough to see what is wrong without the question outgrowing the screen.
constexpr int kShownLines = 15;

} // namespace

PhonebookWindow::PhonebookWindow(LinkWorker& worker, TransferGate& gate, RecordEditor& editor,
                                 DialledNumberPicker pickDialledNumber, QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::PhonebookWindow>())
    , worker_(worker)
    , gate_(gate)
    , editor_(editor)
    , pickDialledNumber_(std::move(pickDialledNumber))
{
    ui_->setupUi(this);
    setFont(designFont("MS Sans Serif", 11));
    ui_->hintLabel->setWordWrap(false);
    fitLabelToText(*ui_->hintLabel);
    setUpRecordList();
    setUpActions();

    connect(ui_->readButton, &QPushButton::clicked, this, &PhonebookWindow::readFromPhone);
    connect(ui_->writeAllButton, &QPushButton::clicked, this, &PhonebookWindow::writeAllToPhone);
    connect(ui_->saveButton, &QPushButton::clicked, this, &PhonebookWindow::saveToFile);
    connect(ui_->loadButton, &QPushButton::clicked, this, &PhonebookWindow::loadFromFile);
    connect(ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    using Touches = TransferGate::Touches;
    for (QWidget* button : {ui_->readButton, ui_->writeAllButton})
        gate_.guard(button, Touches::Handset);
    for (QWidget* button : {ui_->saveButton, ui_->loadButton, ui_->okButton})
        gate_.guard(button, Touches::PhonebookData);
    for (QAction* action : {ui_->updateRecordAction, ui_->dialledNumberAction})
        gate_.guard(action, Touches::Handset);
    gate_.guard(ui_->writeChangesAction, Touches::Handset,
                {[this] { return model_.handsetKnown(); },
                 [this] {
                     return model_.handsetKnown() ? tr("Write only the records marked • to the phone, then reset it")
                                                  : tr("Read the phonebook from the phone first");
                 }});
    for (QAction* action : {ui_->editRecordAction, ui_->deleteRecordAction, ui_->importAction, ui_->exportAction})
        gate_.guard(action, Touches::PhonebookData);
    // Whether "Write changes to Phone" can be chosen follows what is known of the handset.
    connect(&model_, &PhonebookModel::marksChanged, &gate_, &TransferGate::refresh);
}

PhonebookWindow::~PhonebookWindow() = default;

void PhonebookWindow::setUpRecordList()
{
    QTableView& list = *ui_->recordGrid;
    list.setAccessibleName(tr("Phonebook records"));
    // Tab leaves the list for the buttons; the arrow keys move within it.
    list.setTabKeyNavigation(false);
    // The font before the model: a header set up for a model keeps the
    // font it had then.
    list.setFont(designFont("Courier", 13));
    list.setModel(&model_);
    list.setTextElideMode(Qt::ElideNone);
    list.setItemDelegate(new CutTextTipDelegate(&list));
    list.verticalHeader()->setFixedWidth(64);
    list.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list.verticalHeader()->setDefaultSectionSize(24);
    list.horizontalHeader()->setFixedHeight(24);
    list.horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list.horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Header cells are plain fixed cells: they do not turn bold with the selection.
    list.horizontalHeader()->setHighlightSections(false);
    list.verticalHeader()->setHighlightSections(false);
    list.setColumnWidth(PhonebookModel::NameColumn, 262);
    list.setColumnWidth(PhonebookModel::NumberColumn, 100);
    selectLocation(0);
    connect(&list, &QTableView::doubleClicked, this, &PhonebookWindow::editClickedRecord);
}

void PhonebookWindow::setUpActions()
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("recordMenu"));
    menu->addAction(ui_->updateRecordAction);
    menu->addAction(ui_->writeChangesAction);
    // Says why an item cannot be chosen now.
    menu->setToolTipsVisible(true);
    menu->addAction(ui_->editRecordAction);
    menu->addAction(ui_->deleteRecordAction);
    menu->addAction(ui_->dialledNumberAction);
    menu->addSeparator();
    menu->addAction(ui_->importAction);
    menu->addAction(ui_->exportAction);
    // The shortcuts work while the window has the focus, menu open or not.
    for (QAction* action : menu->actions())
        addAction(action);
    connect(ui_->recordGrid, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint& at) { menu->popup(ui_->recordGrid->viewport()->mapToGlobal(at)); });

    connect(ui_->updateRecordAction, &QAction::triggered, this, &PhonebookWindow::updateRecordInPhone);
    connect(ui_->writeChangesAction, &QAction::triggered, this, &PhonebookWindow::writeChangesToPhone);
    connect(ui_->editRecordAction, &QAction::triggered, this, &PhonebookWindow::editRecord);
    connect(ui_->deleteRecordAction, &QAction::triggered, this, &PhonebookWindow::deleteRecord);
    connect(ui_->dialledNumberAction, &QAction::triggered, this, &PhonebookWindow::takeDialledNumber);
    connect(ui_->importAction, &QAction::triggered, this, &PhonebookWindow::importFromFile);
    connect(ui_->exportAction, &QAction::triggered, this, &PhonebookWindow::exportToFile);
}

std::optional<int> PhonebookWindow::selectedLocation() const
{
    const QModelIndexList selected = ui_->recordGrid->selectionModel()->selectedIndexes();
    const QModelIndex at = selected.isEmpty() ? ui_->recordGrid->currentIndex() : selected.first();
    if (!at.isValid())
        return std::nullopt;
    return at.row();
}

void PhonebookWindow::selectLocation(int location)
{
    ui_->recordGrid->setCurrentIndex(model_.index(location, PhonebookModel::NameColumn));
}

std::optional<std::string> PhonebookWindow::pickNumber()
{
    ui_->cancelButton->setVisible(true);
    const bool accepted = exec() == QDialog::Accepted;
    ui_->cancelButton->setVisible(false);
    const std::optional<int> location = selectedLocation();
    if (!accepted || !location)
        return std::nullopt;
    return toWin1251(model_.row(*location).number);
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
    emit transferEnded();
    if (closeWhenDone_) {
        setWindowTitle(titleBeforeWaiting_);
        QDialog::done(*std::exchange(closeWhenDone_, std::nullopt));
    }
}

// A whole phonebook moves the bar a record at a time, up to its last LED.
void PhonebookWindow::showProgress(int done, int total)
{
    LedProgressBar& bar = *ui_->progressBar;
    const int leds = bar.maximum() + 1;
    bar.setValue(total > 0 ? std::min(done * leds / total, bar.maximum()) : 0);
}

void PhonebookWindow::readFromPhone()
{
    if (worker_.isBusy())
        return;
    // Which handset answered is known once the read has run whole.
    model_.setHandsetSerial(std::nullopt);
    model_.setRows(emptyPhonebookRows());
    ui_->progressBar->setValue(0);
    startTransfer([this](JobContext& job) {
        for (int location = 0; location < kRecordRows; ++location) {
            if (job.stopRequested())
                return;
            const LinkResult<PhonebookEntry> record = readRecord(job.link(), location);
            if (!record) {
                job.tell(record.failure());
                return;
            }
            job.post([this, location, entry = *record] {
                model_.setRow(location, {fromWin1251(entry.name), fromWin1251(entry.number)});
            });
            job.progress(location + 1, kRecordRows);
        }
        const CommandResult serial = job.commands().readSerialNumber();
        job.report(serial);
        if (!serial.readings.serialNumber)
            return;
        // The rows as shown, not the reply bytes, are what an unedited row
        // compares with.
        job.post([this, number = *serial.readings.serialNumber] { model_.rememberAll(number, model_.entries()); });
    });
}

void PhonebookWindow::writeAllToPhone()
{
    if (worker_.isBusy())
        return;
    if (!prompts().confirm(this, tr("Do You really want to write current phonebook into Phone?")))
        return;
    if (!handsetKeepsOrUserGoesOn(model_.rows()))
        return;
    model_.setHandsetSerial(std::nullopt);
    ui_->progressBar->setValue(0);
    startTransfer([this, rows = model_.entries()](JobContext& job) {
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
                model_.rememberAll(*serial, rows);
                return;
            }
            // Whichever handset took them, these records may have changed; the
            // failed one too, when only its acknowledgement was lost.
            for (int location = 0; location <= written && location < kRecordRows; ++location)
                model_.forgetRecord(location);
        });
        // The handset takes the new phonebook in only after a restart.
        job.report(job.commands().resetHandset());
    });
}

void PhonebookWindow::writeChangesToPhone()
{
    if (worker_.isBusy() || !model_.handsetKnown())
        return;
    const std::vector<int> locations = model_.changedLocations();
    if (locations.empty()) {
        prompts().notice(this, tr("The phone holds every record as the list shows it: there is nothing to write."));
        return;
    }
    const int count = static_cast<int>(locations.size());
    if (!prompts().confirm(this, tr("Do You really want to write the %n changed record(s) into Phone?", "", count)))
        return;
    PhonebookRows changed = emptyPhonebookRows();
    std::vector<PhonebookEntry> entries;
    const std::vector<PhonebookEntry> all = model_.entries();
    for (int location : locations) {
        changed[static_cast<std::size_t>(location)] = model_.row(location);
        entries.push_back(all[static_cast<std::size_t>(location)]);
    }
    if (!handsetKeepsOrUserGoesOn(changed))
        return;
    ui_->progressBar->setValue(0);
    startTransfer([this, expected = *model_.handsetSerial(), locations, entries](JobContext& job) {
        const CommandResult read = job.commands().readSerialNumber();
        job.report(read);
        if (!read.readings.serialNumber)
            return;
        const std::string serial = *read.readings.serialNumber;
        job.post([this, serial] { model_.setHandsetSerial(serial); });
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
        const int count = static_cast<int>(locations.size());
        for (int i = 0; i < count; ++i) {
            const int location = locations[static_cast<std::size_t>(i)];
            const PhonebookEntry& entry = entries[static_cast<std::size_t>(i)];
            const LinkResult<Answered> done = writeRecord(job.link(), location, entry);
            if (!done) {
                job.tell(done.failure());
                job.post([this, location] { model_.forgetRecord(location); });
                break;
            }
            job.post([this, serial, location, entry] { model_.rememberRecord(serial, location, entry); });
            job.progress(i + 1, count);
        }
        job.report(job.commands().resetHandset());
    });
}

void PhonebookWindow::saveToFile()
{
    const QString path =
        prompts().saveFileNameAs(this, tr("Save phonebook"), tr(kFileFilter), kFileExtension, kDefaultFileName);
    if (path.isEmpty() || !handsetKeepsOrUserGoesOn(model_.rows()))
        return;
    savePhonebookFile(path, model_.entries());
}

void PhonebookWindow::loadFromFile()
{
    const QString path = prompts().openFileNameAs(this, tr("Load phonebook"), tr(kFileFilter), kDefaultFileName, false);
    if (path.isEmpty())
        return;
    const DecodedPhonebook book = decodePhonebookFile(readPhonebookFile(path));
    for (std::size_t i = 0; i < book.entries.size(); ++i)
        model_.setRow(static_cast<int>(i), {fromWin1251(book.entries[i].name), fromWin1251(book.entries[i].number)});
    if (book.truncated)
        throw InOutError(tr("Read beyond end of file").toStdString());
}

void PhonebookWindow::updateRecordInPhone()
{
    const std::optional<int> location = selectedLocation();
    if (!location || worker_.isBusy())
        return;
    if (!prompts().confirm(this, tr("Do you really want to update record #%1 in Phone?").arg(*location + 1)))
        return;
    PhonebookRows single = emptyPhonebookRows();
    single[static_cast<std::size_t>(*location)] = model_.row(*location);
    if (!handsetKeepsOrUserGoesOn(single))
        return;
    model_.setHandsetSerial(std::nullopt);
    startTransfer([this, location = *location,
                   entry = model_.entries()[static_cast<std::size_t>(*location)]](JobContext& job) {
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
            if (serial)
                model_.rememberRecord(*serial, location, entry);
            else
                model_.forgetRecord(location);
        });
    });
}

void PhonebookWindow::editRecord()
{
    const std::optional<int> location = selectedLocation();
    if (!location)
        return;
    const PhonebookRow& record = model_.row(*location);
    editor_.setRecord(record.name, record.number);
    editor_.setWindowTitle(tr("Edit Record #%1").arg(*location + 1));
    if (editor_.exec() != QDialog::Accepted)
        return;
    model_.setRow(*location, {editor_.nameText(), editor_.numberText()});
}

void PhonebookWindow::deleteRecord()
{
    const std::optional<int> location = selectedLocation();
    if (!location)
        return;
    if (!prompts().confirm(this, tr("Do You really want to delete record?")))
        return;
    model_.setRow(*location, {});
}

void PhonebookWindow::takeDialledNumber()
{
    const std::optional<int> location = selectedLocation();
    // The numbers are read from the handset, which a transfer has now.
    if (!location || worker_.isBusy())
        return;
    const std::optional<QString> number = pickDialledNumber_();
    if (!number)
        return;
    model_.setRow(*location, {model_.row(*location).name, *number});
}

void PhonebookWindow::editClickedRecord()
{
    ui_->okButton->click();
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
    model_.setRows(imported.rows);
}

void PhonebookWindow::exportToFile()
{
    const QString filter = tr("CSV files (*.csv);;vCard files (*.vcf);;Nokia PhoneBook file (*.npb)");
    const QString path =
        prompts().saveFileNameAs(this, tr("Export phonebook"), filter, QStringLiteral("csv"), kDefaultFileName);
    if (path.isEmpty())
        return;
    PhonebookRows rows = model_.rows();
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
