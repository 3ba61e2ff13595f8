// The Internet SMS window, which keeps operator profiles and sends a
// message through an operator's web gateway.
#include "sms/ui/SmsWindow.h"

#include "sms/ui/OperatorDialog.h"
#include "sms/ProfileIniFile.h"
#include "sms/OperatorProfile.h"
#include "sms/OperatorValueList.h"
#include "sms/SmsSubmission.h"
#include "sms/SubmissionThread.h"
#include "ui_SmsWindow.h"

#include "widgets/DesignFonts.h"
#include "widgets/ErrorReport.h"
#include "widgets/WindowStateStore.h"
#include "widgets/Prompts.h"
#include "text/WinText.h"

#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QStyle>

namespace {

// Names in the settings store. They are its format and stay as the first
// release wrote them, whatever the window and its controls are called.
const QString kStoredSection = QStringLiteral("TFSendSMS");
const QString kStoredOperatorBox = QStringLiteral("ComboBox1");
const QString kStoredTextField = QStringLiteral("TextField");

std::optional<HttpCredentials> askHttpCredentials(const std::string& title, const HttpCredentials& current)
{
    const auto typed = prompts().credentials(nullptr, fromWin1251(title),
                                             {fromWin1251(current.userName), fromWin1251(current.password)});
    if (!typed)
        return std::nullopt;
    return HttpCredentials{toWin1251(typed->user), toWin1251(typed->password)};
}

// Runs a handler from a click: anything it raises goes to the top-level report.
template <typename Handler>
void guarded(Handler handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        reportError(e);
    }
}

} // namespace

SmsWindow::SmsWindow(OperatorObjects operators, const SettingsStore& settings, NumberPicker pickNumber,
                     QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::SmsWindow>())
    , operators_(operators)
    , pickNumber_(std::move(pickNumber))
    , requestTemplate_(submissionRequest())
    , submissions_(std::make_unique<SubmissionThread>(askHttpCredentials))
{
    ui_->setupUi(this);
    setFont(designFont("MS Sans Serif", 11));
    // Labels size themselves to their captions, whatever width the font gives them.
    for (QLabel* label : findChildren<QLabel*>())
        label->adjustSize();
    operatorDialog_ = new OperatorDialog(this);
    // A completer would turn a typed prefix of a name into that name.
    ui_->operatorBox->setCompleter(nullptr);
    // A screen reader names the fields by their labels.
    ui_->operatorLabel->setBuddy(ui_->operatorBox);
    ui_->numberLabel->setBuddy(ui_->numberEdit);
    ui_->messageLabel->setBuddy(ui_->messageEdit);
    for (QLabel* label : {ui_->operatorLabel, ui_->numberLabel, ui_->messageLabel})
        label->buddy()->setAccessibleName(label->text());
    ui_->prefixEdit->setAccessibleName(tr("Number prefix"));
    QPalette menu = ui_->prefixEdit->palette();
    menu.setColor(QPalette::Disabled, QPalette::Base, palette().color(QPalette::Window));
    ui_->prefixEdit->setPalette(menu);
    ui_->sendButton->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    ui_->cancelButton->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));

    windowState = new WindowStateStore(this, settings);
    windowState->setObjectName("windowState");
    windowState->setIniSection(kStoredSection);
    windowState->addStoredProp(kStoredOperatorBox, ui_->operatorBox, "Items");
    windowState->storedValues().add(kStoredTextField).scrambleKey = kTextFieldKey;

    connect(submissions_.get(), &SubmissionThread::finished, this, [this](const SubmissionOutcome& outcome) {
        guarded([&] { showOutcome(outcome); });
        emit sendFinished();
    });

    // Only the user's own changes: picking an item or typing.
    connect(ui_->operatorBox, &QComboBox::textActivated, this, [this] { guarded([this] { loadChosenProfile(); }); });
    connect(ui_->operatorBox->lineEdit(), &QLineEdit::textEdited, this,
            [this] { guarded([this] { loadChosenProfile(); }); });
    connect(ui_->addOperatorButton, &QPushButton::clicked, this, [this] { guarded([this] { addOperator(); }); });
    connect(ui_->editOperatorButton, &QPushButton::clicked, this, [this] { guarded([this] { editOperator(); }); });
    connect(ui_->deleteOperatorButton, &QPushButton::clicked, this, [this] { guarded([this] { deleteOperator(); }); });
    connect(ui_->phonebookButton, &QPushButton::clicked, this,
            [this] { guarded([this] { pickNumberFromPhonebook(); }); });
    connect(ui_->sendButton, &QPushButton::clicked, this, [this] { guarded([this] { sendMessage(); }); });
    connect(ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

SmsWindow::~SmsWindow()
{
    // A send still running is cancelled and waited for: nothing of it outlives the window.
    submissions_.reset();
    windowState->ownerDestroying();
}

void SmsWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The storage has restored the stored items by now; the profile file wins.
    if (!event->spontaneous())
        guarded([this] { prepareToShow(); });
}

std::string SmsWindow::chosenOperator() const
{
    return toWin1251(ui_->operatorBox->currentText());
}

void SmsWindow::readChosenProfile()
{
    operators_.values.readSection(operators_.profileFile, chosenOperator());
    ui_->prefixEdit->setText(fromWin1251(operators_.values.value("Prefix")));
}

void SmsWindow::reloadOperatorList()
{
    operators_.names = operators_.profileFile.sectionNames();
    QStringList names;
    for (const std::string& name : operators_.names)
        names << fromWin1251(name);
    QComboBox* box = ui_->operatorBox;
    const QSignalBlocker quiet(box);
    const QString text = box->currentText();
    box->clear();
    box->addItems(names);
    box->setCurrentIndex(-1);
    box->setEditText(text);
}

void SmsWindow::prepareToShow()
{
    reloadOperatorList();
    {
        const QSignalBlocker quiet(ui_->operatorBox);
        ui_->operatorBox->setCurrentIndex(operators_.names.empty() ? -1 : 0);
        if (operators_.names.empty())
            ui_->operatorBox->setEditText(QString());
    }
    readChosenProfile();
}

void SmsWindow::loadChosenProfile()
{
    readChosenProfile();
}

void SmsWindow::addOperator()
{
    // A file that cannot be read is never written; say so before the user types a profile.
    operators_.profileFile.refresh();
    operatorDialog().emptyEditBoxes();
    if (operatorDialog().exec() != QDialog::Accepted)
        return;
    storeProfile(operators_.profileFile, operators_.values, operatorDialog().operatorName(), operatorDialog().texts(),
                 false);
    reloadOperatorList();
}

void SmsWindow::editOperator()
{
    const std::string name = chosenOperator();
    operators_.values.readSection(operators_.profileFile, name);
    operatorDialog().fill(name, operators_.values);
    if (operatorDialog().exec() != QDialog::Accepted)
        return;
    storeProfile(operators_.profileFile, operators_.values, operatorDialog().operatorName(), operatorDialog().texts(),
                 true);
    reloadOperatorList();
}

void SmsWindow::deleteOperator()
{
    const QString name = ui_->operatorBox->currentText();
    operators_.profileFile.refresh();
    if (!prompts().confirm(this, tr("Do You really want to delete operator \"%1\"?").arg(name)))
        return;
    operators_.profileFile.removeSection(toWin1251(name));
    reloadOperatorList();
    const QSignalBlocker quiet(ui_->operatorBox);
    ui_->operatorBox->setCurrentIndex(operators_.names.empty() ? -1 : 0);
}

void SmsWindow::pickNumberFromPhonebook()
{
    if (!pickNumber_)
        return;
    if (const std::optional<std::string> phone = pickNumber_())
        ui_->numberEdit->setText(fromWin1251(*phone));
}

std::optional<SmsWindow::Outgoing> SmsWindow::messageToSend()
{
    // The memo separates lines with LF; the gateway gets them as CR LF.
    QString text = ui_->messageEdit->toPlainText();
    text.replace('\n', QStringLiteral("\r\n"));
    const QString lost = charactersWin1251Lacks(ui_->numberEdit->text() + text);
    if (!lost.isEmpty()
        && !prompts().confirm(
            this, tr("These characters cannot be sent and will go out as \"?\": %1\nSend the message anyway?").arg(lost)))
        return std::nullopt;
    return Outgoing{toWin1251(ui_->numberEdit->text()), toWin1251(text)};
}

void SmsWindow::lockForSending(bool locked)
{
    // The profile and the message must stay as they were sent until the reply is judged.
    sending_ = locked;
    for (QWidget* control : std::initializer_list<QWidget*>{ui_->sendButton, ui_->operatorBox, ui_->addOperatorButton,
                                                            ui_->editOperatorButton, ui_->deleteOperatorButton,
                                                            ui_->phonebookButton, ui_->debugBox})
        control->setEnabled(!locked);
    ui_->numberEdit->setReadOnly(locked);
    ui_->messageEdit->setReadOnly(locked);
}

void SmsWindow::reject()
{
    if (sending_) {
        submissions_->cancel();
        return;
    }
    QDialog::reject();
}

void SmsWindow::sendMessage()
{
    if (sending_)
        return;
    const std::optional<Outgoing> outgoing = messageToSend();
    if (!outgoing)
        return;

    lockForSending(true);
    try {
        operators_.values.readSection(operators_.profileFile, chosenOperator());
        submissions_->submit(requestTemplate_, operators_.values, outgoing->phone, outgoing->message);
    } catch (...) {
        lockForSending(false);
        throw;
    }
}

void SmsWindow::showOutcome(const SubmissionOutcome& outcome)
{
    try {
        if (outcome.accepted)
            prompts().notice(this, tr("Your message was sent succesfully!"));
        if (outcome.judged && ui_->debugBox->isChecked())
            ui_->messageEdit->setPlainText(
                fromWin1251(outcome.pageText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    } catch (...) {
        lockForSending(false);
        throw;
    }
    lockForSending(false);
    if (outcome.error)
        std::rethrow_exception(outcome.error);
}
