// Unit6: the Internet SMS window, which keeps operator profiles and sends a
// message through an operator's web gateway.
#include "sms/ui/Unit6.h"

#include "sms/ui/FFOpSet.h"
#include "sms/IniFile.h"
#include "sms/OperatorProfile.h"
#include "sms/OperatorValues.h"
#include "sms/SmsSubmission.h"
#include "ui_Unit6.h"

#include "widgets/DesignFonts.h"
#include "widgets/ErrorReport.h"
#include "widgets/FormStorage.h"
#include "widgets/Prompts.h"
#include "widgets/WinText.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QShowEvent>
#include <QStyle>

namespace {

// Names in the settings store. They are its format and stay as the first
// release wrote them, whatever the window and its controls are called.
const QString kStoredSection = QStringLiteral("TFSendSMS");
const QString kStoredOperatorBox = QStringLiteral("ComboBox1");
const QString kStoredTextField = QStringLiteral("TextField");

std::optional<HttpCredentials> AskHttpCredentials(const std::string& title, const HttpCredentials& current)
{
    QString user = FromWin1251(current.userName);
    QString password = FromWin1251(current.password);
    if (!prompts().Credentials(nullptr, FromWin1251(title), user, password))
        return std::nullopt;
    return HttpCredentials{ToWin1251(user), ToWin1251(password)};
}

// Runs a handler from a click: anything it raises goes to the top-level report.
template <typename Handler>
void Guarded(Handler handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        ReportError(e);
    }
}

// The characters of text that Windows-1251 has no byte for, each once.
QString UnsendableCharacters(const QString& text)
{
    QString found;
    QSet<uint> seen;
    for (uint code : text.toUcs4()) {
        const QString ch = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        bool lossy = false;
        ToWin1251(ch, &lossy);
        if (lossy && !seen.contains(code)) {
            seen.insert(code);
            found += ch;
        }
    }
    return found;
}

} // namespace

TFSendSMS::TFSendSMS(OperatorObjects operators, TFOpSet& opSet, NumberPicker* picker, QWidget* parent)
    : TFSendSMS(operators, ownOpSet_, picker, parent)
{
    ownOpSet_ = &opSet;
}

TFSendSMS::TFSendSMS(OperatorObjects operators, TFOpSet* const& opSetSlot, NumberPicker* picker, QWidget* parent)
    : QDialog(parent)
    , ui_(std::make_unique<Ui::TFSendSMS>())
    , operators_(operators)
    , opSetSlot_(&opSetSlot)
    , picker_(picker)
{
    ui_->setupUi(this);
    setFont(DesignFont("MS Sans Serif", 11));
    // Labels size themselves to their captions, whatever width the font gives them.
    for (QLabel* label : findChildren<QLabel*>())
        label->adjustSize();
    // A completer would turn a typed prefix of a name into that name.
    ui_->ComboBox1->setCompleter(nullptr);
    QPalette menu = ui_->ePref->palette();
    menu.setColor(QPalette::Disabled, QPalette::Base, palette().color(QPalette::Window));
    ui_->ePref->setPalette(menu);
    ui_->bSend->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
    ui_->bCancel->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));

    FormStorage1 = new TFormStorage(this);
    FormStorage1->setObjectName("FormStorage1");
    FormStorage1->UseRegistry = true;
    FormStorage1->IniSection = kStoredSection;
    FormStorage1->AddStoredProp(kStoredOperatorBox, ui_->ComboBox1, "Items");
    FormStorage1->StoredValues().Add(kStoredTextField).KeyString = kTextFieldKey;

    FormStorage2 = new TFormStorage(this);
    FormStorage2->setObjectName("FormStorage2");
    FormStorage2->Active = false;
    FormStorage2->IniFileName = "Operator.ini";
    FormStorage2->Options = 0;

    CyrCoder1.SetSource(TCodePage::KOI8R);
    CyrCoder1.SetTarget(TCodePage::CP1251);

    AdvHttp1.SetConnectTimeout(10000);
    AdvHttp1.SetUserAgent("Mozilla/4.0 (compatible; MSIE 5.0; Windows 98; DigExt)");
    AdvHttp1.SetAcceptTypes({"image/gif", "image/x-xbitmap", "image/jpeg", "image/pjpeg", "application/vnd.ms-excel",
                             "application/msword", "application/vnd.ms-powerpoint", "*/*"});
    AdvHttp1.SetMethod("GET");
    AdvHttp1.SetAuthRetries(3);
    AdvHttp1.SetInternetFlags(InternetFlag(ifIgnoreCertCnInvalid) | InternetFlag(ifIgnoreCertDateInvalid)
                              | InternetFlag(ifIgnoreRedirectToHttp) | InternetFlag(ifIgnoreRedirectToHttps)
                              | InternetFlag(ifKeepConnection) | InternetFlag(ifNoUi)
                              | InternetFlag(ifPragmaNoCache) | InternetFlag(ifReload));
    AdvHttp1.SetURL("http://localhost/");
    AdvHttp1.OnError = [this](TAdvHttp* sender) { AdvHttp1Error(sender); };
    AdvHttp1.OnWaiting = [](TAdvHttp*) { QCoreApplication::processEvents(); };
    AdvHttp1.OnCredentials = [](const std::string& title, const HttpCredentials& current) {
        return AskHttpCredentials(title, current);
    };

    // Only the user's own changes: picking an item or typing.
    connect(ui_->ComboBox1, &QComboBox::textActivated, this, [this] { Guarded([this] { ComboBox1Change(); }); });
    connect(ui_->ComboBox1->lineEdit(), &QLineEdit::textEdited, this,
            [this] { Guarded([this] { ComboBox1Change(); }); });
    connect(ui_->bAdd, &QPushButton::clicked, this, [this] { Guarded([this] { bAddClick(); }); });
    connect(ui_->bEdit, &QPushButton::clicked, this, [this] { Guarded([this] { bEditClick(); }); });
    connect(ui_->Button1, &QPushButton::clicked, this, [this] { Guarded([this] { Button1Click(); }); });
    connect(ui_->bPhBook, &QPushButton::clicked, this, [this] { Guarded([this] { bPhBookClick(); }); });
    connect(ui_->bSend, &QPushButton::clicked, this, [this] { Guarded([this] { bSendClick(); }); });
    connect(ui_->bCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TFSendSMS::~TFSendSMS()
{
    FormStorage1->FormDestroying();
}

void TFSendSMS::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The storage has restored the stored items by now; the profile file wins.
    if (!event->spontaneous())
        Guarded([this] { FormShow(); });
}

std::string TFSendSMS::OperatorName() const
{
    return ToWin1251(ui_->ComboBox1->currentText());
}

void TFSendSMS::ReadChosenProfile()
{
    operators_.OperatorValues.ReadSection(operators_.OperatorIni, OperatorName());
    ui_->ePref->setText(FromWin1251(operators_.OperatorValues.Values("Prefix")));
}

void TFSendSMS::ReloadOperatorList()
{
    operators_.OperatorList = operators_.OperatorIni.ReadSections();
    QStringList names;
    for (const std::string& name : operators_.OperatorList)
        names << FromWin1251(name);
    QComboBox* box = ui_->ComboBox1;
    const QSignalBlocker quiet(box);
    const QString text = box->currentText();
    box->clear();
    box->addItems(names);
    box->setCurrentIndex(-1);
    box->setEditText(text);
}

void TFSendSMS::FormShow()
{
    ReloadOperatorList();
    {
        const QSignalBlocker quiet(ui_->ComboBox1);
        ui_->ComboBox1->setCurrentIndex(operators_.OperatorList.empty() ? -1 : 0);
        if (operators_.OperatorList.empty())
            ui_->ComboBox1->setEditText(QString());
    }
    ReadChosenProfile();
}

void TFSendSMS::ComboBox1Change()
{
    ReadChosenProfile();
}

void TFSendSMS::bAddClick()
{
    // A file that cannot be read is never written; say so before the user types a profile.
    operators_.OperatorIni.Refresh();
    OpSet().EmptyEditBoxes();
    if (OpSet().exec() != QDialog::Accepted)
        return;
    StoreProfile(operators_.OperatorIni, operators_.OperatorValues, OpSet().OperatorName(), OpSet().Texts(), false);
    ReloadOperatorList();
}

void TFSendSMS::bEditClick()
{
    const std::string name = OperatorName();
    operators_.OperatorValues.ReadSection(operators_.OperatorIni, name);
    OpSet().Fill(name, operators_.OperatorValues);
    if (OpSet().exec() != QDialog::Accepted)
        return;
    StoreProfile(operators_.OperatorIni, operators_.OperatorValues, OpSet().OperatorName(), OpSet().Texts(), true);
    ReloadOperatorList();
}

void TFSendSMS::Button1Click()
{
    const QString name = ui_->ComboBox1->currentText();
    operators_.OperatorIni.Refresh();
    if (!prompts().Confirm(this, "Do You really want to delete operator \"" + name + "\"?"))
        return;
    operators_.OperatorIni.EraseSection(ToWin1251(name));
    ReloadOperatorList();
    const QSignalBlocker quiet(ui_->ComboBox1);
    ui_->ComboBox1->setCurrentIndex(operators_.OperatorList.empty() ? -1 : 0);
}

void TFSendSMS::bPhBookClick()
{
    if (!picker_)
        return;
    std::string phone;
    if (picker_->PickNumber(phone))
        ui_->ePhNumber->setText(FromWin1251(phone));
}

bool TFSendSMS::MessageToSend(std::string& phone, std::string& message)
{
    // The memo separates lines with LF; the gateway gets them as CR LF.
    QString text = ui_->Memo1->toPlainText();
    text.replace('\n', QStringLiteral("\r\n"));
    const QString lost = UnsendableCharacters(ui_->ePhNumber->text() + text);
    if (!lost.isEmpty()
        && !prompts().Confirm(this, "These characters cannot be sent and will go out as \"?\": " + lost
                                        + "\nSend the message anyway?"))
        return false;
    phone = ToWin1251(ui_->ePhNumber->text());
    message = ToWin1251(text);
    return true;
}

void TFSendSMS::LockForSending(bool locked)
{
    // The profile and the message must stay as they were sent until the reply is judged.
    sending_ = locked;
    for (QWidget* control : std::initializer_list<QWidget*>{ui_->bSend, ui_->ComboBox1, ui_->bAdd, ui_->bEdit,
                                                            ui_->Button1, ui_->bPhBook, ui_->cbDebug})
        control->setEnabled(!locked);
    ui_->ePhNumber->setReadOnly(locked);
    ui_->Memo1->setReadOnly(locked);
}

void TFSendSMS::reject()
{
    if (sending_) {
        AdvHttp1.Cancel();
        return;
    }
    QDialog::reject();
}

void TFSendSMS::bSendClick()
{
    if (sending_)
        return;
    std::string phone;
    std::string message;
    if (!MessageToSend(phone, message))
        return;

    LockForSending(true);
    SubmissionOutcome outcome;
    try {
        operators_.OperatorValues.ReadSection(operators_.OperatorIni, OperatorName());
        outcome = SubmitForm(AdvHttp1, CyrCoder1, operators_.OperatorValues, phone, message);
        if (outcome.accepted)
            prompts().Notice(this, "Your message was sent succesfully!");
        if (outcome.judged && ui_->cbDebug->isChecked())
            ui_->Memo1->setPlainText(FromWin1251(outcome.pageText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    } catch (...) {
        LockForSending(false);
        throw;
    }
    LockForSending(false);
    if (outcome.error)
        std::rethrow_exception(outcome.error);
}

void TFSendSMS::AdvHttp1Error(TAdvHttp*)
{
    // The component raises its error right after this; the top-level report shows it.
}
