#include "app/Unit1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSettings>
#include <QTimer>
#include <chrono>
#include <thread>

#include "app/AppWindows.h"
#include "widgets/DesignFonts.h"
#include "widgets/ErrorReport.h"
#include "widgets/FormStorage.h"
#include "sms/IniFile.h"
#include "logo/LogoTransfer.h"
#include "sms/OperatorValues.h"
#include "phonebook/PhBookTransfer.h"
#include "link/PhoneLink.h"
#include "widgets/Prompts.h"
#include "link/ServiceCommands.h"
#include "widgets/TextFit.h"
#include "phonebook/ui/Unit2.h"
#include "app/Unit3.h"
#include "logo/ui/Unit5.h"
#include "sms/ui/Unit6.h"
#include "serial/VaComm.h"
#include "app/VaCommPort.h"
#include "widgets/WinText.h"
#include "ui_Unit1.h"

namespace {

// Every handler runs through here: an exception that leaves it is shown by
// the top-level error report instead of unwinding through Qt's event code.
template <typename F>
void guarded(F&& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        ReportError(error);
    }
}

// Names in the settings store. They are its format and stay as the first
// release wrote them, whatever the window and its controls are called.
const QString kStoredSection = QStringLiteral("TFMain");
const QString kStoredPortBox = QStringLiteral("cboxCOM");
const QString kStoredPortDevice = QStringLiteral("Ports/COM%1");

// The version and serial number boxes' design font height.
constexpr int kShownTextPixels = 19;

} // namespace

TFMain::TFMain(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::TFMain>()), VaComm1_(std::make_unique<TVaComm>(VaComm1Settings()))
{
    ui_->setupUi(this);
    SetUpControls();

    port_ = std::make_unique<VaCommPort>(*VaComm1_);
    link_ = std::make_unique<PhoneLink>(*port_, *this);
    commands_ = std::make_unique<ServiceCommands>(*link_, *this);
    VaComm1_->OnRxChar = [this](QObject*, int count) { link_->VaComm1RxChar(count); };
    TVaComm::SetErrorReport([](const std::exception& error) { ReportError(error); });
    // A port may live elsewhere than /dev/ttyS(n-1): "Ports/COMn" in the
    // program's settings names its device (USB cables, the simulator).
    TVaComm::SetDeviceResolver([](int portNum) {
        return TFormPlacement::ProgramStore()->value(kStoredPortDevice.arg(portNum)).toString();
    });

    FormStorage1_ = new TFormStorage(this);
    FormStorage1_->UseRegistry = true;
    FormStorage1_->MainForm = true;
    FormStorage1_->IniSection = kStoredSection;
    FormStorage1_->AddStoredProp(kStoredPortBox, ui_->cboxCOM, "Text");
    FormStorage1_->OnRestorePlacement = [this](TFormPlacement*) { guarded([this] { FormStorage1RestorePlacement(); }); };
    FormStorage1_->OnError = [](const QString& message) { prompts().Notice(QApplication::activeWindow(), message); };

    Connect();
    FormCreate();
}

TFMain::~TFMain()
{
    FormStorage1_->FormDestroying();
    VaComm1_->Close();
    FormDestroy();
}

void TFMain::SetUpControls()
{
    setFont(DesignFont("MS Sans Serif", 11));
    setWindowTitle("Nokia 640/650 M2Bus Service Tool");
    setAutoFillBackground(true);
    // Opens where it was designed; a stored placement may move it later.
    move(253, 118);

    const QColor silver(0xC0, 0xC0, 0xC0);
    ui_->ledNMStat->SetLedType(TVrLedType::ltLargeRect);
    ui_->ledNMStat->SetPalette({silver, QColor(0xFF, 0, 0)});
    ui_->ledNMStat->SetCaption("NetMonitor status");
    QPalette blueText = ui_->ledNMStat->palette();
    blueText.setColor(QPalette::WindowText, QColor(0, 0, 0xFF));
    ui_->ledNMStat->setPalette(blueText);
    for (TVrLed* led : {ui_->ledACK, ui_->ledPACK}) {
        led->SetLedType(TVrLedType::ltLargeRect);
        led->SetPalette({silver, QColor(0, 0xFF, 0)});
    }

    const QFont shown = DesignFont("MS Sans Serif", kShownTextPixels, true, true);
    for (QLabel* label : {ui_->lblInfo, ui_->lblSerNum}) {
        label->setFont(shown);
        label->setStyleSheet("color: palette(highlight);");
    }
    ui_->VrLabel3->SetCaption("Version INFO");
    ui_->VrLabel3->setFont(DesignFont("Arial", 17, true, true));
    ui_->Label1->setFont(DesignFont("MS Sans Serif", 19, true, true));
    ui_->Label1->setStyleSheet("color: red;");
    ui_->cboxCOM->setEditText("Com1");
    // Only the exact port names choose a port; a completer would turn "Com"
    // into "Com1" while typing, and "com2" into "Com2" on Enter.
    ui_->cboxCOM->setCompleter(nullptr);
    ui_->cboxCOM->lineEdit()->installEventFilter(this);
    for (QLabel* label : {ui_->Label2, ui_->Label3, ui_->Label4})
        FitLabelToText(*label);
}

void TFMain::Connect()
{
    auto on = [this](QPushButton* button, void (TFMain::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    on(ui_->btInfo, &TFMain::btInfoClick);
    on(ui_->btNMOn, &TFMain::btNMOnClick);
    on(ui_->btNMOff, &TFMain::btNMOffClick);
    on(ui_->btReset, &TFMain::btResetClick);
    on(ui_->Button1, &TFMain::Button1Click);
    on(ui_->Button2, &TFMain::Button2Click);
    on(ui_->Button3, &TFMain::Button3Click);
    connect(ui_->RxSpeedButton1, &QToolButton::clicked, this, [this] { guarded([this] { RxSpeedButton1Click(); }); });
    // Only the user's changes count: typing, or picking an item.
    connect(ui_->cboxCOM->lineEdit(), &QLineEdit::textEdited, this, [this] { guarded([this] { cboxCOMChange(); }); });
    connect(ui_->cboxCOM, &QComboBox::textActivated, this, [this] { guarded([this] { cboxCOMChange(); }); });
}

void TFMain::FormCreate()
{
    // The program's own folder, never the working directory.
    AppPath = QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
    if (AppPath.empty() || (AppPath.back() != '/' && AppPath.back() != '\\'))
        AppPath += QDir::separator().toLatin1();
    OperatorIni = std::make_unique<ProfileIniFile>(AppPath + "Operators.ini");
    OperatorList.clear();
    OperatorValues = std::make_unique<OperatorValueList>();
    try {
        OperatorList = OperatorIni->ReadSections();
    } catch (const EIniFileError& error) {
        // The program runs without profiles; the message waits until the
        // main window is up, and the SMS window repeats it when used.
        QTimer::singleShot(0, this, [message = std::string(error.what())] {
            ReportError(EIniFileError(message));
        });
    }
}

void TFMain::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        QCoreApplication::quit();
}

bool TFMain::eventFilter(QObject* watched, QEvent* event)
{
    // Enter changes no text in the port box. Let through, it would pick the
    // typed item again (and add unknown texts to the list), applying the port
    // once more for a change already applied.
    if (watched == ui_->cboxCOM->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TFMain::FormDestroy()
{
    OperatorIni.reset();
    OperatorList.clear();
    OperatorValues.reset();
}

void TFMain::btInfoClick() { commands_->btInfoClick(); }
void TFMain::btNMOnClick() { commands_->btNMOnClick(); }
void TFMain::btNMOffClick() { commands_->btNMOffClick(); }
void TFMain::btResetClick() { commands_->btResetClick(); }

void TFMain::Button1Click()
{
    Form2->exec();
}

void TFMain::Button2Click()
{
    FSendSMS->exec();
}

// The logo manager is not modal; a second click only brings it forward.
void TFMain::Button3Click()
{
    Form5->show();
    Form5->raise();
    Form5->activateWindow();
}

void TFMain::PhBookRead(int Location, std::string& Name, std::string& Number, bool& Ok)
{
    ::PhBookRead(*link_, Location, Name, Number, Ok);
}

void TFMain::PhBookWrite(int Location, std::string& Name, std::string& Number, bool& Ok)
{
    ::PhBookWrite(*link_, Location, Name, Number, Ok);
}

void TFMain::ClickSoftwareReset()
{
    btResetClick();
}

void TFMain::GetBitmap(std::uint8_t* Data, int& Block, bool& Ok)
{
    ::GetBitmap(*link_, Data, Block, Ok);
}

void TFMain::PutBitmap(std::uint8_t* Data, int& Block, bool& Ok)
{
    ::PutBitmap(*link_, Data, Block, Ok);
}

void TFMain::RxSpeedButton1Click()
{
    About->exec();
}

void TFMain::cboxCOMChange()
{
    const QString text = ui_->cboxCOM->currentText();
    for (int n = 1; n <= 4; ++n) {
        if (text == QString("Com%1").arg(n)) {
            VaComm1_->SetPortNum(n);
            return;
        }
    }
}

void TFMain::FormStorage1RestorePlacement()
{
    cboxCOMChange();
}

void TFMain::ProcessMessages()
{
    QCoreApplication::processEvents();
}

// The link sleeps in runs (1 ms steps while a frame goes out, then the
// exchange's pause). Each step sleeps to a running deadline, so that a
// scheduler that wakes late does not stretch a run by its lateness at every
// step; a run starts anew after a longer gap.
void TFMain::Sleep(int ms)
{
    using namespace std::chrono;
    const auto now = steady_clock::now();
    if (sleepDeadline_ + milliseconds(5) < now)
        sleepDeadline_ = now;
    sleepDeadline_ += milliseconds(ms);
    if (sleepDeadline_ > now)
        std::this_thread::sleep_until(sleepDeadline_);
}

void TFMain::SetAckLed(bool on) { ui_->ledACK->SetActive(on); }
void TFMain::SetPackLed(bool on) { ui_->ledPACK->SetActive(on); }
void TFMain::EnableInfoButton() { ui_->btInfo->setEnabled(true); }

void TFMain::ShowMessage(const std::string& text)
{
    prompts().Notice(this, FromWin1251(text));
}

void TFMain::SetButtonEnabled(CommandButton button, bool enabled)
{
    switch (button) {
    case CommandButton::Info: ui_->btInfo->setEnabled(enabled); break;
    case CommandButton::NMOn: ui_->btNMOn->setEnabled(enabled); break;
    case CommandButton::NMOff: ui_->btNMOff->setEnabled(enabled); break;
    case CommandButton::Reset: ui_->btReset->setEnabled(enabled); break;
    }
}

// The texts come from the handset, up to 32 characters in lines of any
// length (the version's last line ends in dots for the reply's padding).
void TFMain::SetInfoCaption(const std::string& text)
{
    ui_->lblInfo->setText(FromWin1251(text));
    ShrinkFontToFitBox(*ui_->lblInfo, kShownTextPixels);
}

void TFMain::SetSerNumCaption(const std::string& text)
{
    ui_->lblSerNum->setText(FromWin1251(text));
    ShrinkFontToFitBox(*ui_->lblSerNum, kShownTextPixels);
}
void TFMain::SetNetMonitorLed(bool on) { ui_->ledNMStat->SetActive(on); }
