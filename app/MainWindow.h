// The main window. It owns the serial port, the link and the operator
// profile objects, runs the four service commands and opens the other windows.
#pragma once

#include <QWidget>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "jobs/LinkWorker.h"
#include "serial/PortChoice.h"

class AboutDialog;
class DialledNumbersDialog;
class LogoWindow;
class PhonebookWindow;
class ProfileIniFile;
class RecordEditor;
class SmsWindow;
class OperatorValueList;
class WindowStateStore;
class FrameLog;
class QAction;
class QMenu;
class TransferGate;
class BackupRunner;
class SettingsStore;

namespace Ui {
class MainWindow;
}


class MainWindow : public QWidget {
    Q_OBJECT
public:
    // The settings are the program's, kept for as long as the window lives.
    explicit MainWindow(const SettingsStore& settings, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The serial port, the link and the service commands, on their own thread.
    LinkWorker& worker() { return *worker_; }
    // Decides what every window may do while a transfer runs.
    TransferGate& transferGate() { return *gate_; }
    int portNumber() const { return worker_->portNumber(); }
    // The device the next job opens.
    QString portDevicePath() const;
    WindowStateStore& windowState() { return *windowState_; }

    // The other windows, each made when first needed and the main window's
    // from then on.
    PhonebookWindow& phonebookWindow();
    LogoWindow& logoWindow();
    SmsWindow& smsWindow();
    AboutDialog& aboutDialog();
    DialledNumbersDialog& dialledNumbersDialog();

    // The SMS operators' profile file, its section names and the values the
    // SMS window shares; present from construction until destruction.
    ProfileIniFile& operatorProfiles() { return *operatorProfiles_; }
    std::vector<std::string>& operatorNames() { return operatorNames_; }
    OperatorValueList& operatorValues() { return *operatorValues_; }

    void connectToPhone();
    void switchNetMonitorOn();
    void switchNetMonitorOff();
    void resetHandset();
    void openPhonebook();
    void openSmsWindow();
    void openLogoManager();
    void showAbout();
    void choosePort();
    void applyRestoredPort();
    // Fills the port box with Com1..Com4 and the ports there are now,
    // keeping its text. Asking the system takes long, so this waits until
    // the box is opened; until then it lists the ports the settings know.
    void refreshPorts();
    // The frame log switch: asks for the file and starts logging, or stops.
    void logFramesToFile();
    void stopLoggingFrames();
    // The whole handset into a new folder of the user's choice, and back.
    void backUpHandset();
    void restoreHandset();
    // The handset's own number and its last dialled numbers, read anew.
    void showDialledNumbers();

    // What a service command read; what it did not read stays as it was.
    void showReadings(const HandsetReadings& readings);
    // Tells why a request to the handset failed.
    void showFailure(const LinkFailure& failure);

protected:
    // The program runs until the main window closes, whatever else is open.
    // While a transfer runs, the window asks it to stop, says it waits for
    // the phone, and closes once the transfer is over.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void loadOperatorProfiles();
    void dropOperatorProfiles();
    void setUpControls();
    void connectControls();
    void connectWorker();
    // Runs a service command as a job: its readings and failure come back as it ends.
    void runCommand(CommandResult (ServiceCommands::*command)());
    void transferStartedOrEnded(bool running);
    void usePort(const PortChoice& choice);
    // Puts the box back on the port in use.
    void showPortInUse();
    void showPortItems(const QList<PortItem>& items);
    // The context menu shows the frame log item that applies: on, or off.
    void showFrameLogSwitch();
    // Why the file cannot be opened for the log, or empty once logging.
    QString startFrameLog(const QString& path);
    void restoreFrameLog();

    const SettingsStore& settings_;
    std::unique_ptr<Ui::MainWindow> ui_;
    // Declared before the worker: the link's thread writes to it until the worker is gone.
    std::unique_ptr<FrameLog> frameLog_;
    LinkWorker* worker_ = nullptr;
    TransferGate* gate_ = nullptr;
    BackupRunner* backupRunner_ = nullptr;
    PhonebookWindow* phonebookWindow_ = nullptr;
    RecordEditor* recordEditor_ = nullptr;
    LogoWindow* logoWindow_ = nullptr;
    SmsWindow* smsWindow_ = nullptr;
    AboutDialog* aboutDialog_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    DialledNumbersDialog* dialledNumbersDialog_ = nullptr;
    QAction* logFramesAction_ = nullptr;
    QAction* stopLoggingAction_ = nullptr;
    QAction* backUpAction_ = nullptr;
    QAction* restoreAction_ = nullptr;
    QAction* dialledNumbersAction_ = nullptr;
    // The text the port box showed for the port in use.
    QString portInUseText_ = QStringLiteral("Com1");
    bool closeWhenIdle_ = false;
    QString titleBeforeWaiting_;
    WindowStateStore* windowState_ = nullptr;
    std::unique_ptr<ProfileIniFile> operatorProfiles_;
    std::vector<std::string> operatorNames_;
    std::unique_ptr<OperatorValueList> operatorValues_;
    QList<PortItem> portItems_;
};
