#include "app/MainWindow.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/AppWindows.h"
#include "app/BackupRunner.h"
#include "widgets/DesignFonts.h"
#include "widgets/ErrorReport.h"
#include "widgets/WindowStateStore.h"
#include "sms/ProfileIniFile.h"
#include "logo/LogoTransfer.h"
#include "sms/OperatorValueList.h"
#include "sms/OperatorsFileLocation.h"
#include "phonebook/PhonebookTransfer.h"
#include "link/FrameLog.h"
#include "link/PhoneLink.h"
#include "widgets/Prompts.h"
#include "widgets/ReadableColor.h"
#include "link/ServiceCommands.h"
#include "widgets/TextFit.h"
#include "phonebook/ui/PhonebookWindow.h"
#include "app/AboutDialog.h"
#include "logo/ui/LogoWindow.h"
#include "sms/ui/SmsWindow.h"
#include "serial/SerialPort.h"
#include "app/SerialLinkPort.h"
#include "text/WinText.h"
#include "ui_MainWindow.h"

namespace {

// Every handler runs through here: an exception that leaves it is shown by
// the top-level error report instead of unwinding through Qt's event code.
template <typename F>
void guarded(F&& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        reportError(error);
    }
}

// Names in the settings store. They are its format and stay as the first
// release wrote them, whatever the window and its controls are called.
const QString kStoredSection = QStringLiteral("TFMain");
const QString kStoredPortBox = QStringLiteral("cboxCOM");
// The frame log's file while logging is on; older builds never read it.
const QString kStoredFrameLog = QStringLiteral("Ports/FrameLog");

// The version and serial number boxes' design font height.
constexpr int kShownTextPixels = 19;

// The link speaks English in Windows-1251 and knows nothing of Qt; its
// messages are looked up here, once they are Unicode.
QString TranslatedLinkMessage(const QString& text)
{
    static const QRegularExpression badPort(QStringLiteral("^Invalid port number Com(\\d+)$"));
    const QRegularExpressionMatch port = badPort.match(text);
    if (port.hasMatch())
        return QCoreApplication::translate("Link", "Invalid port number Com%1").arg(port.captured(1));
    if (text == QLatin1String(kNoAnswerMessage))
        return QCoreApplication::translate("Link", "No answer from phone!  Please, check cable connection!");
    return text;
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent)
    , ui_(std::make_unique<Ui::MainWindow>())
{
    ui_->setupUi(this);
    setUpControls();

    link_ = std::make_unique<LinkThread>(*this);
    // A port error while bytes come in is raised on the link's thread; it is
    // reported here, on the window's.
    SerialPort::setErrorReport([this](const std::exception& error) {
        QMetaObject::invokeMethod(
            this, [message = std::string(error.what())] { reportError(std::runtime_error(message)); },
            Qt::QueuedConnection);
    });
    // A port may live elsewhere than /dev/ttyS(n-1): "Ports/COMn" in the
    // program's settings names its device (USB cables, the simulator). A
    // device chosen in the port box is stored as soon as it is chosen.
    SerialPort::setDeviceResolver([](int portNum) {
        const auto store = WindowPlacement::programStore();
        if (portNum == kChosenDevicePort)
            return store->value(portsettings::kDevice).toString();
        return store->value(portsettings::comDeviceKey(portNum)).toString();
    });

    windowState_ = new WindowStateStore(this);
    windowState_->setUseRegistry(true);
    windowState_->setMainWindow(true);
    windowState_->setIniSection(kStoredSection);
    windowState_->addStoredProp(kStoredPortBox, ui_->portBox, "Text");
    connect(windowState_, &WindowPlacement::placementRestored, this, [this] { guarded([this] { applyRestoredPort(); }); });
    windowState_->setErrorHandler([](const QString& message) { prompts().notice(QApplication::activeWindow(), message); });

    connectControls();
    showPortItems(knownPorts(*WindowPlacement::programStore()));
    if (const auto& refused = WindowPlacement::lastRefusedStore()) {
        const QString notice = tr("The settings file %1 is not used: %2. The program starts with default settings "
                                  "and will not save them.")
                                   .arg(QDir::toNativeSeparators(refused->path), refused->reason);
        // The window is not up yet; the notice waits for it.
        QTimer::singleShot(0, this, [notice] { prompts().notice(QApplication::activeWindow(), notice); });
    }
    restoreFrameLog();
    loadOperatorProfiles();
}

MainWindow::~MainWindow()
{
    windowState_->ownerDestroying();
    link_.reset();
    SerialPort::setErrorReport({});
    dropOperatorProfiles();
}

void MainWindow::setUpControls()
{
    setFont(designFont("MS Sans Serif", 11));
    setWindowTitle("Nokia 640/650 M2Bus Service Tool");
    setAutoFillBackground(true);
    // Opens where it was designed; a stored placement may move it later.
    move(253, 118);

    const QColor silver(0xC0, 0xC0, 0xC0);
    ui_->netMonitorLed->setLedType(LedType::LargeRect);
    ui_->netMonitorLed->setIndicatorPalette({silver, QColor(0xFF, 0, 0)});
    ui_->netMonitorLed->setCaption(tr("NetMonitor status"));
    setReadableTextColor(*ui_->netMonitorLed, QColor(0, 0, 0xFF));
    for (Led* led : {ui_->ackLed, ui_->packLed}) {
        led->setLedType(LedType::LargeRect);
        led->setIndicatorPalette({silver, QColor(0, 0xFF, 0)});
    }

    const QFont shown = designFont("MS Sans Serif", kShownTextPixels, true, true);
    for (QLabel* label : {ui_->versionLabel, ui_->serialNumberLabel}) {
        label->setFont(shown);
        setReadableTextColor(*label, QPalette::Highlight);
    }
    ui_->versionTitle->setCaption(tr("Version INFO"));
    ui_->versionTitle->setFont(designFont("Arial", 17, true, true));
    ui_->serialNumberTitle->setFont(designFont("MS Sans Serif", 19, true, true));
    setReadableTextColor(*ui_->serialNumberTitle, Qt::red);
    ui_->portBox->setEditText("Com1");
    // Only the exact port names choose a port; a completer would turn "Com"
    // into "Com1" while typing, and "com2" into "Com2" on Enter.
    ui_->portBox->setCompleter(nullptr);
    ui_->portBox->lineEdit()->installEventFilter(this);
    ui_->portBox->beforePopup = [this] { guarded([this] { refreshPorts(); }); };
    for (QLabel* label : {ui_->portLabel, ui_->ackLabel, ui_->packLabel})
        fitLabelToText(*label);
    // The link LEDs have no caption of their own: a screen reader names them by these labels.
    ui_->ackLabel->setBuddy(ui_->ackLed);
    ui_->packLabel->setBuddy(ui_->packLed);
}

void MainWindow::connectControls()
{
    auto on = [this](QPushButton* button, void (MainWindow::*handler)()) {
        connect(button, &QPushButton::clicked, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    on(ui_->connectButton, &MainWindow::connectToPhone);
    on(ui_->netMonitorOnButton, &MainWindow::switchNetMonitorOn);
    on(ui_->netMonitorOffButton, &MainWindow::switchNetMonitorOff);
    on(ui_->resetButton, &MainWindow::resetHandset);
    on(ui_->phonebookButton, &MainWindow::openPhonebook);
    on(ui_->smsButton, &MainWindow::openSmsWindow);
    on(ui_->logoButton, &MainWindow::openLogoManager);
    connect(ui_->aboutButton, &QToolButton::clicked, this, [this] { guarded([this] { showAbout(); }); });
    // Only the user's changes count: typing, or picking an item.
    connect(ui_->portBox->lineEdit(), &QLineEdit::textEdited, this, [this] { guarded([this] { choosePort(); }); });
    connect(ui_->portBox, &QComboBox::textActivated, this, [this] { guarded([this] { choosePort(); }); });
}

void MainWindow::loadOperatorProfiles()
{
    // Beside a portable program; in the user's configuration folder for an installed one.
    operatorProfiles_ = std::make_unique<ProfileIniFile>(
        QDir::toNativeSeparators(operatorsFileFor(operatorsFilePlaces())).toStdString());
    operatorNames_.clear();
    operatorValues_ = std::make_unique<OperatorValueList>();
    try {
        operatorNames_ = operatorProfiles_->sectionNames();
    } catch (const IniFileError& error) {
        // The program runs without profiles; the message waits until the
        // main window is up, and the SMS window repeats it when used.
        QTimer::singleShot(0, this, [message = std::string(error.what())] { reportError(IniFileError(message)); });
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        QCoreApplication::quit();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Enter changes no text in the port box. Let through, it would pick the
    // typed item again (and add unknown texts to the list), applying the port
    // once more for a change already applied.
    if (watched == ui_->portBox->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::dropOperatorProfiles()
{
    operatorProfiles_.reset();
    operatorNames_.clear();
    operatorValues_.reset();
}

void MainWindow::connectToPhone()
{
    showReadings(link_->run([](LinkThread::Parts& p) { return p.commands.connectToPhone(); }));
}
void MainWindow::switchNetMonitorOn()
{
    showReadings(link_->run([](LinkThread::Parts& p) { return p.commands.switchNetMonitorOn(); }));
}
void MainWindow::switchNetMonitorOff()
{
    showReadings(link_->run([](LinkThread::Parts& p) { return p.commands.switchNetMonitorOff(); }));
}
void MainWindow::resetHandset()
{
    link_->run([](LinkThread::Parts& p) { p.commands.resetHandset(); });
}

int MainWindow::portNumber()
{
    return link_->call([](LinkThread::Parts& p) { return p.serial.portNumber(); });
}

bool MainWindow::portIsOpen()
{
    return link_->call([](LinkThread::Parts& p) { return p.serial.isOpen(); });
}

QString MainWindow::portDevicePath()
{
    return link_->call([](LinkThread::Parts& p) { return p.serial.devicePath(); });
}

void MainWindow::openPhonebook()
{
    createOtherWindows();
    phonebookWindow->exec();
}

void MainWindow::openSmsWindow()
{
    createOtherWindows();
    smsWindow->exec();
}

// The logo manager is not modal; a second click only brings it forward.
void MainWindow::openLogoManager()
{
    createOtherWindows();
    logoWindow->show();
    logoWindow->raise();
    logoWindow->activateWindow();
}

std::optional<PhonebookEntry> MainWindow::readRecord(int location)
{
    return link_->run([location](LinkThread::Parts& p) { return ::readRecord(p.link, location); });
}

bool MainWindow::writeRecord(int location, const PhonebookEntry& entry)
{
    return link_->run([location, &entry](LinkThread::Parts& p) { return ::writeRecord(p.link, location, entry); });
}

std::optional<std::string> MainWindow::readSerialNumber()
{
    const HandsetReadings readings =
        link_->run([](LinkThread::Parts& p) { return p.commands.readSerialNumber(); });
    showReadings(readings);
    return readings.serialNumber;
}

std::optional<LogoBlock> MainWindow::readLogoBlock(int block)
{
    return link_->run([block](LinkThread::Parts& p) { return ::readLogoBlock(p.link, block); });
}

bool MainWindow::writeLogoBlock(int block, const LogoBlock& data)
{
    return link_->run([block, &data](LinkThread::Parts& p) { return ::writeLogoBlock(p.link, block, data); });
}

void MainWindow::showAbout()
{
    createOtherWindows();
    aboutDialog->exec();
}

// Only an item's exact text chooses a port; other typed text leaves it as it is.
void MainWindow::choosePort()
{
    if (const PortItem* item = findPortItem(portItems_, ui_->portBox->currentText()))
        usePort(item->choice);
}

void MainWindow::usePort(const PortChoice& choice)
{
    const QString storedDevice = WindowPlacement::programStore()->value(portsettings::kDevice).toString();
    link_->call([&](LinkThread::Parts& p) {
        if (choice.isCom()) {
            p.serial.setPortNumber(choice.comNumber);
            return;
        }
        // Another device while a command has the port open is refused, as
        // another Com<n> is by the port itself.
        const bool same = p.serial.portNumber() == kChosenDevicePort && storedDevice == choice.device;
        if (!same && p.serial.isOpen())
            throw SerialPortError(serialtext::kPortOpen);
        p.serial.setPortNumber(kChosenDevicePort);
    });
    rememberPortChoice(*WindowPlacement::programStore(), choice);
}

// The box's text is stored as older builds read it; a device is stored
// apart, and is what the box shows when its text names no Com<n>.
void MainWindow::applyRestoredPort()
{
    showPortItems(knownPorts(*WindowPlacement::programStore()));
    if (comItemNumber(ui_->portBox->currentText()) != 0) {
        choosePort();
        return;
    }
    const PortChoice stored = storedPortChoice(*WindowPlacement::programStore());
    if (stored.isCom())
        return;
    for (const PortItem& item : portItems_) {
        if (item.choice == stored)
            ui_->portBox->setEditText(item.text);
    }
    usePort(stored);
}

void MainWindow::refreshPorts()
{
    showPortItems(listPorts(*WindowPlacement::programStore()));
}

void MainWindow::showPortItems(const QList<PortItem>& items)
{
    PortBox& box = *ui_->portBox;
    QString text = box.currentText();
    // A device shown by its bare path takes its description once the system names it.
    if (const PortItem* shown = findPortItem(portItems_, text)) {
        for (const PortItem& item : items) {
            if (item.choice == shown->choice)
                text = item.text;
        }
    }
    portItems_ = items;
    const QSignalBlocker quiet(&box);
    box.clear();
    for (const PortItem& item : portItems_)
        box.addItem(item.text);
    box.setCurrentIndex(box.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    box.setEditText(text);
    // The box keeps its designed width; the list is as wide as its longest item.
    box.view()->setMinimumWidth(box.view()->sizeHintForColumn(0) + box.style()->pixelMetric(QStyle::PM_ScrollBarExtent)
                                + 2 * box.view()->frameWidth());
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    if (frameLog_)
        menu.addAction(tr("Stop logging"), this, [this] { guarded([this] { stopLoggingFrames(); }); });
    else
        menu.addAction(tr("Log frames to a file…"), this, [this] { guarded([this] { logFramesToFile(); }); });
    menu.addAction(tr("Back up handset…"), this, [this] { guarded([this] { backUpHandset(); }); });
    menu.addAction(tr("Restore handset…"), this, [this] { guarded([this] { restoreHandset(); }); });
    menu.exec(event->globalPos());
}

void MainWindow::logFramesToFile()
{
    const QString path = prompts().saveFileName(this, tr("Log frames to a file"),
                                                tr("Log files (*.log);;All files (*)"), QStringLiteral("log"));
    if (path.isEmpty())
        return;
    const QString failure = startFrameLog(path);
    if (!failure.isEmpty()) {
        prompts().notice(this, failure);
        return;
    }
    WindowPlacement::programStore()->setValue(kStoredFrameLog, path);
}

void MainWindow::backUpHandset()
{
    BackupRunner(*this).backUp();
}

void MainWindow::restoreHandset()
{
    BackupRunner(*this).restore();
}

void MainWindow::stopLoggingFrames()
{
    link_->call([](LinkThread::Parts& p) { p.link.setObserver(nullptr); });
    frameLog_.reset();
    WindowPlacement::programStore()->remove(kStoredFrameLog);
}

QString MainWindow::startFrameLog(const QString& path)
{
    std::unique_ptr<FrameLog> log;
    try {
        log = std::make_unique<FrameLog>(std::filesystem::path(path.toStdU16String()));
    } catch (const std::runtime_error& error) {
        return tr("Cannot log frames to %1: %2")
            .arg(QDir::toNativeSeparators(path), translateReportedText(QString::fromLocal8Bit(error.what())));
    }
    // The link may be writing to the old log until it has the new one.
    link_->call([observer = log.get()](LinkThread::Parts& p) { p.link.setObserver(observer); });
    frameLog_ = std::move(log);
    return {};
}

// Logging stays on from one start to the next. A file that cannot be opened
// any more is forgotten, so the message comes once and not at every start.
void MainWindow::restoreFrameLog()
{
    const QString path = WindowPlacement::programStore()->value(kStoredFrameLog).toString();
    if (path.isEmpty())
        return;
    const QString failure = startFrameLog(path);
    if (failure.isEmpty())
        return;
    WindowPlacement::programStore()->remove(kStoredFrameLog);
    // The window is not up yet; the notice waits for it.
    QTimer::singleShot(0, this, [failure] { prompts().notice(QApplication::activeWindow(), failure); });
}

void MainWindow::setAckLed(bool on)
{
    ui_->ackLed->setActive(on);
}
void MainWindow::setPackLed(bool on)
{
    ui_->packLed->setActive(on);
}
void MainWindow::enableConnectButton()
{
    ui_->connectButton->setEnabled(true);
}

void MainWindow::showMessage(const std::string& text)
{
    prompts().notice(this, TranslatedLinkMessage(fromWin1251(text)));
}

void MainWindow::setButtonEnabled(CommandButton button, bool enabled)
{
    switch (button) {
    case CommandButton::Connect:
        ui_->connectButton->setEnabled(enabled);
        break;
    case CommandButton::NetMonitorOn:
        ui_->netMonitorOnButton->setEnabled(enabled);
        break;
    case CommandButton::NetMonitorOff:
        ui_->netMonitorOffButton->setEnabled(enabled);
        break;
    case CommandButton::Reset:
        ui_->resetButton->setEnabled(enabled);
        break;
    }
}

// The texts come from the handset, up to 32 characters in lines of any
// length (the version's last line ends in dots for the reply's padding).
// What a command did not read leaves its caption as it was.
void MainWindow::showReadings(const HandsetReadings& readings)
{
    if (readings.versionText) {
        ui_->versionLabel->setText(fromWin1251(*readings.versionText));
        shrinkFontToFitBox(*ui_->versionLabel, kShownTextPixels);
    }
    if (readings.serialNumber) {
        ui_->serialNumberLabel->setText(fromWin1251(*readings.serialNumber));
        shrinkFontToFitBox(*ui_->serialNumberLabel, kShownTextPixels);
    }
    if (readings.netMonitorOn)
        ui_->netMonitorLed->setActive(*readings.netMonitorOn);
}
