#include "app/DialledNumbersDialog.h"

#include "jobs/LinkWorker.h"
#include "text/WinText.h"
#include "ui_DialledNumbersDialog.h"
#include "widgets/DesignFonts.h"
#include "widgets/TransferGate.h"
#include "widgets/WaitingTitle.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QListWidgetItem>

#include <utility>

namespace {

// The number a line holds; none on a line that says "not stored".
constexpr int kNumberRole = Qt::UserRole;

} // namespace

DialledNumbersDialog::DialledNumbersDialog(LinkWorker& worker, QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::DialledNumbersDialog>())
    , worker_(worker)
{
    ui_->setupUi(this);
    setFont(designFont("MS Sans Serif", 11));
    // Room for the five numbers and no more, in the font in use.
    QListWidget& list = *ui_->numberList;
    list.addItem(QStringLiteral("0"));
    list.setFixedHeight(kDialledNumbers * list.sizeHintForRow(0) + 2 * list.frameWidth());
    list.clear();
    // Laid out for its texts in the program's language and font from the start.
    adjustSize();
    title_ = windowTitle();
    connect(ui_->numberList, &QListWidget::currentRowChanged, this, &DialledNumbersDialog::updateButtons);
    connect(ui_->numberList, &QListWidget::itemDoubleClicked, this, [this] {
        if (ui_->useButton->isVisible() && ui_->useButton->isEnabled())
            accept();
    });
    connect(ui_->copyButton, &QPushButton::clicked, this, &DialledNumbersDialog::copySelected);
    connect(ui_->useButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->closeButton, &QPushButton::clicked, this, &QDialog::reject);
}

DialledNumbersDialog::~DialledNumbersDialog() = default;

void DialledNumbersDialog::showNumbersOfPhone()
{
    readAndShow(false);
}

std::optional<QString> DialledNumbersDialog::pickNumber()
{
    if (readAndShow(true) != QDialog::Accepted)
        return std::nullopt;
    return selectedNumber();
}

int DialledNumbersDialog::readAndShow(bool picking)
{
    ui_->useButton->setVisible(picking);
    // Enter takes the chosen number in a pick, and closes otherwise.
    ui_->useButton->setDefault(picking);
    ui_->closeButton->setDefault(!picking);
    ui_->ownNumberEdit->clear();
    ui_->numberList->clear();
    read_ = false;
    job_ = worker_.start(this, JobData::None, [this](JobContext& job) {
        const LinkResult<HandsetNumbers> numbers =
            readHandsetNumbers(job.link(), [&job] { return job.stopRequested(); });
        if (!numbers) {
            job.tell(numbers.failure());
            return;
        }
        // A read stopped half-way would show numbers it never asked for as not stored.
        if (!job.stopRequested())
            job.post([this, shown = *numbers] {
                showNumbers(shown);
                read_ = true;
            });
    });
    if (job_) {
        connect(job_, &LinkJob::finished, this, &DialledNumbersDialog::readingFinished);
        ui_->statusLabel->setText(tr("Reading the numbers from the phone…"));
    } else {
        ui_->statusLabel->setText(TransferGate::busyText());
    }
    updateButtons();
    ui_->numberList->setFocus();
    return exec();
}

void DialledNumbersDialog::showNumbers(const HandsetNumbers& numbers)
{
    const QString notStored = tr("not stored");
    ui_->ownNumberEdit->setText(numbers.ownNumber ? fromWin1251(*numbers.ownNumber) : notStored);
    QListWidget& list = *ui_->numberList;
    list.clear();
    for (const StoredNumber& number : numbers.dialled) {
        auto* line = new QListWidgetItem(number ? fromWin1251(*number) : notStored, &list);
        if (number)
            line->setData(kNumberRole, fromWin1251(*number));
    }
    // The latest number there is, ready to copy or use.
    for (int row = 0; row < list.count(); ++row) {
        if (list.item(row)->data(kNumberRole).isValid()) {
            list.setCurrentRow(row);
            break;
        }
    }
    updateButtons();
}

void DialledNumbersDialog::readingFinished()
{
    job_ = nullptr;
    if (read_)
        ui_->statusLabel->clear();
    else
        ui_->statusLabel->setText(tr("The numbers could not be read from the phone."));
    updateButtons();
    emit readingEnded();
    if (closeWhenDone_) {
        setWindowTitle(title_);
        QDialog::done(*std::exchange(closeWhenDone_, std::nullopt));
    }
}

void DialledNumbersDialog::done(int result)
{
    if (!job_) {
        QDialog::done(result);
        return;
    }
    closeWhenDone_ = result;
    job_->requestStop();
    setWindowTitle(waitingTitle(title_));
}

std::optional<QString> DialledNumbersDialog::selectedNumber() const
{
    const QListWidgetItem* line = ui_->numberList->currentItem();
    if (!line || !line->data(kNumberRole).isValid())
        return std::nullopt;
    return line->data(kNumberRole).toString();
}

void DialledNumbersDialog::updateButtons()
{
    const bool chosen = !job_ && selectedNumber();
    ui_->copyButton->setEnabled(chosen);
    ui_->useButton->setEnabled(chosen);
}

void DialledNumbersDialog::copySelected()
{
    if (const std::optional<QString> number = selectedNumber())
        QGuiApplication::clipboard()->setText(*number);
}
