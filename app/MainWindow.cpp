#include "app/MainWindow.h"

#include "files/SettingsStore.h"
#include "widgets/Accessibility.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/BackupRunner.h"
#include "widgets/TransferGate.h"
#include "widgets/WaitingTitle.h"
#include "serial/SerialPortError.h"
#include "widgets/DesignFonts.h"
#include "widgets/ErrorReport.h"
#include "widgets/WindowStateStore.h"
#include "sms/ProfileIniFile.h"
#include "sms/OperatorValueList.h"
#include "sms/OperatorsFileLocation.h"
#include "link/FrameLog.h"
#include "widgets/Prompts.h"
#include "widgets/ReadableColor.h"
#include "link/ServiceCommands.h"
#include "widgets/TextFit.h"
#include "phonebook/ui/PhonebookWindow.h"
#include "phonebook/ui/RecordEditor.h"
#include "app/AboutDialog.h"
#include "app/DialledNumbersDialog.h"
#include "logo/ui/LogoWindow.h"
#include "sms/ui/SmsWindow.h"
#include "serial/DevicePath.h"
#include "jobs/LinkFailureText.h"
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

// The device the settings name for a port: "Ports/COMn", or the device chosen
// in the port box; empty for the port's own default.
QString storedDeviceOf(const SettingsStore& settings, int portNumber)
{
    const auto store = settings.open();
    if (portNumber == kChosenDevicePort)
        return store->value(portsettings::kDevice).toString();
    return store->value(portsettings::comDeviceKey(portNumber)).toString();
}

// The main window is a plain widget: to a screen reader it is the program's
// window, where Qt would give it the role of a filler.
class MainWindowAccessible : public QAccessibleWidget {
public:
    explicit MainWindowAccessible(MainWindow* window)
        : QAccessibleWidget(window, QAccessible::Window)
    { }
};

// The version and serial number boxes' design font height.
constexpr int kShownTextPixels = 19;

} // namespace

MainWindow::MainWindow(const SettingsStore& settings, QWidget* parent)
    : QWidget(parent)
    , settings_(settings)
    , ui_(std::make_unique<Ui::MainWindow>())
{
    installAccessibleInterface<MainWindow, MainWindowAccessible>();
    // The design's fonts stand in before the first form is laid out.
    installFontSubstitutes();
    ui_->setupUi(this);
    setUpControls();

    // A port may live elsewhere than /dev/ttyS(n-1): "Ports/COMn" in the
    // program's settings names its device (USB cables, the simulator). A
    // device chosen in the port box is stored as soon as it is chosen.
    worker_ = new LinkWorker([this](int portNumber) { return storedDeviceOf(settings_, portNumber); }, this);
    gate_ = new TransferGate(this);
    backupRunner_ = new BackupRunner(*this, *worker_);

    windowState_ = new WindowStateStore(this, settings_);
    windowState_->setMainWindow(true);
    windowState_->setIniSection(kStoredSection);
    windowState_->addStoredProp(kStoredPortBox, ui_->portBox, "Text");
    connect(windowState_, &WindowPlacement::placementRestored, this, [this] { guarded([this] { applyRestoredPort(); }); });
    windowState_->setErrorHandler([](const QString& message) { prompts().notice(QApplication::activeWindow(), message); });

    connectControls();
    connectWorker();
    showPortItems(knownPorts(*settings_.open()));
    if (const auto& refused = settings_.refusal()) {
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
    // Before the windows its jobs report to, and before the frame log it writes.
    delete worker_;
    worker_ = nullptr;
    dropOperatorProfiles();
}

void MainWindow::setUpControls()
{
    setFont(designFont("MS Sans Serif", 11));
    setWindowTitle(QStringLiteral("Nokia 640/650 M2Bus Service Tool"));
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
    ui_->portLabel->setBuddy(ui_->portBox);
    ui_->portBox->setAccessibleName(ui_->portLabel->text());
    // The bevels are drawn around what they frame; a reader hears them as its group.
    ui_->versionFrame->setAccessibleName(ui_->versionTitle->caption());
    ui_->serialNumberFrame->setAccessibleName(ui_->serialNumberTitle->text());
    ui_->netMonitorFrame->setAccessibleName(ui_->netMonitorLed->caption());
    ui_->ledFrame->setAccessibleName(tr("Link lights"));
    ui_->aboutButton->setAccessibleName(tr("About"));
    ui_->aboutButton->setAccessibleDescription(tr("Shows the program's version, licence and authors"));
    ui_->aboutButton->setToolTip(tr("About this program"));
    ui_->aboutButton->setShortcut(QKeySequence::HelpContents);
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

    logFramesAction_ = new QAction(tr("Log frames to a file…"), this);
    stopLoggingAction_ = new QAction(tr("Stop logging"), this);
    backUpAction_ = new QAction(tr("Back up handset…"), this);
    restoreAction_ = new QAction(tr("Restore handset…"), this);
    dialledNumbersAction_ = new QAction(tr("Last dialled numbers…"), this);
    logFramesAction_->setShortcut(Qt::CTRL | Qt::Key_L);
    stopLoggingAction_->setShortcut(Qt::CTRL | Qt::Key_L);
    backUpAction_->setShortcut(Qt::CTRL | Qt::Key_B);
    restoreAction_->setShortcut(Qt::CTRL | Qt::Key_R);
    dialledNumbersAction_->setShortcut(Qt::CTRL | Qt::Key_D);
    contextMenu_ = new QMenu(this);
    // Says why an item cannot be chosen while a transfer runs.
    contextMenu_->setToolTipsVisible(true);
    contextMenu_->addActions(
        {logFramesAction_, stopLoggingAction_, backUpAction_, restoreAction_, dialledNumbersAction_});
    // The shortcuts work while the window is active, menu open or not; only
    // one of the two frame log items is shown at a time, and takes Ctrl+L.
    addActions(contextMenu_->actions());
    showFrameLogSwitch();
    // The menu key opens the menu by itself; Shift+F10 too, as on other desktops.
    auto* menuKey = new QAction(this);
    menuKey->setShortcut(Qt::SHIFT | Qt::Key_F10);
    addAction(menuKey);
    connect(menuKey, &QAction::triggered, this, [this] {
        const QWidget* at = focusWidget() ? focusWidget() : this;
        contextMenu_->popup(at->mapToGlobal(at->rect().center()));
    });
    connect(logFramesAction_, &QAction::triggered, this, [this] { guarded([this] { logFramesToFile(); }); });
    connect(stopLoggingAction_, &QAction::triggered, this, [this] { guarded([this] { stopLoggingFrames(); }); });
    connect(backUpAction_, &QAction::triggered, this, [this] { guarded([this] { backUpHandset(); }); });
    connect(restoreAction_, &QAction::triggered, this, [this] { guarded([this] { restoreHandset(); }); });
    connect(dialledNumbersAction_, &QAction::triggered, this, [this] { guarded([this] { showDialledNumbers(); }); });

    // The link's thread writes to the frame log while a transfer runs.
    for (QWidget* button : {static_cast<QWidget*>(ui_->connectButton), static_cast<QWidget*>(ui_->netMonitorOnButton),
                            static_cast<QWidget*>(ui_->netMonitorOffButton), static_cast<QWidget*>(ui_->resetButton)})
        gate_->guard(button, TransferGate::Touches::Handset);
    for (QAction* action : {logFramesAction_, stopLoggingAction_, backUpAction_, restoreAction_, dialledNumbersAction_})
        gate_->guard(action, TransferGate::Touches::Handset);
}

void MainWindow::connectWorker()
{
    connect(worker_, &LinkWorker::busyChanged, this, &MainWindow::transferStartedOrEnded);
    connect(worker_, &LinkWorker::lightChanged, this, [this](LinkLight light, bool lit) {
        (light == LinkLight::Ack ? ui_->ackLed : ui_->packLed)->setActive(lit);
    });
    connect(worker_, &LinkWorker::handsetRead, this, &MainWindow::showReadings);
    connect(worker_, &LinkWorker::linkFailed, this, &MainWindow::showFailure);
    connect(worker_, &LinkWorker::errorRaised, this,
            [](const QString& message) { reportError(std::runtime_error(message.toStdString())); });
}

namespace {

TransferGate::Touches heldBy(JobData data)
{
    switch (data) {
    case JobData::Phonebook:
        return TransferGate::Touches::PhonebookData;
    case JobData::Logo:
        return TransferGate::Touches::LogoData;
    case JobData::None:
        break;
    }
    return TransferGate::Touches::Handset;
}

} // namespace

void MainWindow::transferStartedOrEnded(bool running)
{
    if (running) {
        gate_->setTransfer(heldBy(worker_->runningData()));
        return;
    }
    gate_->clearTransfer();
    if (closeWhenIdle_) {
        closeWhenIdle_ = false;
        setWindowTitle(QStringLiteral("Nokia 640/650 M2Bus Service Tool"));
        close();
    }
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
    if (worker_->isBusy()) {
        // No job runs on behind a window that is gone: a read stops between
        // two exchanges, a write goes on to its end.
        event->ignore();
        if (!closeWhenIdle_)
            titleBeforeWaiting_ = windowTitle();
        closeWhenIdle_ = true;
        worker_->runningJob()->requestStop();
        setWindowTitle(waitingTitle(titleBeforeWaiting_));
        return;
    }
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

void MainWindow::runCommand(CommandResult (ServiceCommands::*command)())
{
    worker_->start(this, JobData::None, [command](JobContext& job) { job.report((job.commands().*command)()); });
}

void MainWindow::connectToPhone()
{
    runCommand(&ServiceCommands::connectToPhone);
}
void MainWindow::switchNetMonitorOn()
{
    runCommand(&ServiceCommands::switchNetMonitorOn);
}
void MainWindow::switchNetMonitorOff()
{
    runCommand(&ServiceCommands::switchNetMonitorOff);
}
void MainWindow::resetHandset()
{
    runCommand(&ServiceCommands::resetHandset);
}

QString MainWindow::portDevicePath() const
{
    const QString stored = storedDeviceOf(settings_, portNumber());
    return stored.isEmpty() ? defaultDevicePath(portNumber()) : stored;
}

PhonebookWindow& MainWindow::phonebookWindow()
{
    if (!phonebookWindow_) {
        recordEditor_ = new RecordEditor(this);
        // "Number from last dialled…": the dialled numbers dialog as a picker.
        phonebookWindow_ = new PhonebookWindow(*worker_, *gate_, *recordEditor_,
                                               [this] { return dialledNumbersDialog().pickNumber(); }, this);
    }
    return *phonebookWindow_;
}

LogoWindow& MainWindow::logoWindow()
{
    if (!logoWindow_) {
        // A window of its own beside the main window, not modal.
        logoWindow_ = new LogoWindow(*worker_, *gate_, this);
        logoWindow_->setWindowFlag(Qt::Window);
    }
    return *logoWindow_;
}

SmsWindow& MainWindow::smsWindow()
{
    if (!smsWindow_) {
        // "Get from PBook": the phonebook window as a number picker.
        smsWindow_ = new SmsWindow(OperatorObjects{*operatorProfiles_, operatorNames_, *operatorValues_}, settings_,
                                   [this] { return phonebookWindow().pickNumber(); }, this);
    }
    return *smsWindow_;
}

AboutDialog& MainWindow::aboutDialog()
{
    if (!aboutDialog_)
        aboutDialog_ = new AboutDialog(this);
    return *aboutDialog_;
}

DialledNumbersDialog& MainWindow::dialledNumbersDialog()
{
    if (!dialledNumbersDialog_)
        dialledNumbersDialog_ = new DialledNumbersDialog(*worker_, this);
    return *dialledNumbersDialog_;
}

void MainWindow::openPhonebook()
{
    phonebookWindow().exec();
}

void MainWindow::openSmsWindow()
{
    smsWindow().exec();
}

// The logo manager is not modal; a second click only brings it forward.
void MainWindow::openLogoManager()
{
    LogoWindow& window = logoWindow();
    window.show();
    window.raise();
    window.activateWindow();
}

void MainWindow::showAbout()
{
    aboutDialog().exec();
}

// Only an item's exact text chooses a port; other typed text leaves it as it
// is. A change the port refuses is told once, and the box goes back to the
// port in use.
void MainWindow::choosePort()
{
    const QString text = ui_->portBox->currentText();
    const PortItem* item = findPortItem(portItems_, text);
    if (!item)
        return;
    try {
        usePort(item->choice);
    } catch (const SerialPortError&) {
        showPortInUse();
        throw;
    }
    portInUseText_ = text;
}

void MainWindow::usePort(const PortChoice& choice)
{
    const QString storedDevice = settings_.open()->value(portsettings::kDevice).toString();
    const int number = choice.isCom() ? choice.comNumber : kChosenDevicePort;
    // Another device while a job has the port open is refused, as another Com<n> is.
    const bool same = number == worker_->portNumber() && (choice.isCom() || storedDevice == choice.device);
    if (!same && worker_->isBusy())
        throw SerialPortError(serialtext::kPortOpen);
    worker_->setPortNumber(number);
    rememberPortChoice(*settings_.open(), choice);
}

void MainWindow::showPortInUse()
{
    PortBox& box = *ui_->portBox;
    const QSignalBlocker quiet(&box);
    box.setCurrentIndex(box.findText(portInUseText_, Qt::MatchExactly | Qt::MatchCaseSensitive));
    box.setEditText(portInUseText_);
}

// The box's text is stored as older builds read it; a device is stored
// apart, and is what the box shows when its text names no Com<n>.
void MainWindow::applyRestoredPort()
{
    showPortItems(knownPorts(*settings_.open()));
    if (comItemNumber(ui_->portBox->currentText()) != 0) {
        choosePort();
        return;
    }
    const PortChoice stored = storedPortChoice(*settings_.open());
    if (stored.isCom())
        return;
    for (const PortItem& item : portItems_) {
        if (item.choice == stored)
            ui_->portBox->setEditText(item.text);
    }
    usePort(stored);
    portInUseText_ = ui_->portBox->currentText();
}

void MainWindow::refreshPorts()
{
    showPortItems(listPorts(*settings_.open()));
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
    contextMenu_->popup(event->globalPos());
}

void MainWindow::showFrameLogSwitch()
{
    logFramesAction_->setVisible(!frameLog_);
    stopLoggingAction_->setVisible(frameLog_ != nullptr);
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
    settings_.open()->setValue(kStoredFrameLog, path);
}

void MainWindow::backUpHandset()
{
    backupRunner_->backUp();
}

void MainWindow::restoreHandset()
{
    backupRunner_->restore();
}

void MainWindow::showDialledNumbers()
{
    if (!worker_->isBusy())
        dialledNumbersDialog().showNumbersOfPhone();
}

void MainWindow::stopLoggingFrames()
{
    worker_->setFrameLog(nullptr);
    frameLog_.reset();
    showFrameLogSwitch();
    settings_.open()->remove(kStoredFrameLog);
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
    // Only while no transfer runs: the old log is no longer written.
    worker_->setFrameLog(log.get());
    frameLog_ = std::move(log);
    showFrameLogSwitch();
    return {};
}

// Logging stays on from one start to the next. A file that cannot be opened
// any more is forgotten, so the message comes once and not at every start.
void MainWindow::restoreFrameLog()
{
    const QString path = settings_.open()->value(kStoredFrameLog).toString();
    if (path.isEmpty())
        return;
    const QString failure = startFrameLog(path);
    if (failure.isEmpty())
        return;
    settings_.open()->remove(kStoredFrameLog);
    // The window is not up yet; the notice waits for it.
    QTimer::singleShot(0, this, [failure] { prompts().notice(QApplication::activeWindow(), failure); });
}

void MainWindow::showFailure(const LinkFailure& failure)
{
    prompts().notice(this, linkFailureText(failure));
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
