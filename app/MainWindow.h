// The main window. It owns the serial port, the link and the operator
// profile objects, runs the four service commands and opens the other windows.
#pragma once

#include <QWidget>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/LinkThread.h"
#include "logo/LogoHost.h"
#include "phonebook/PhonebookHost.h"
#include "serial/PortChoice.h"

class ProfileIniFile;
class OperatorValueList;
class WindowStateStore;
class FrameLog;

namespace Ui {
class MainWindow;
}

struct HandsetReadings;

class MainWindow : public QWidget, public LinkDisplay, public PhonebookHost, public LogoHost {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    Ui::MainWindow* ui() const { return ui_.get(); }
    // The serial port, the link and the service commands, on their own thread.
    LinkThread& link() { return *link_; }
    int portNumber();
    bool portIsOpen();
    QString portDevicePath();
    WindowStateStore& windowState() { return *windowState_; }

    // The SMS operators' profile file, its section names and the values the
    // SMS window shares; present from construction until destruction.
    ProfileIniFile& operatorProfiles() { return *operatorProfiles_; }
    std::vector<std::string>& operatorNames() { return operatorNames_; }
    OperatorValueList& operatorValues() { return *operatorValues_; }

    void connectToPhone();
    void switchNetMonitorOn();
    void switchNetMonitorOff();
    void resetHandset() override;
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

    // LinkDisplay
    void setAckLed(bool on) override;
    void setPackLed(bool on) override;
    void enableConnectButton() override;
    void showMessage(const std::string& text) override;
    void setButtonEnabled(CommandButton button, bool enabled) override;

    // The record and block transfers: each opens the port, runs one exchange
    // and closes the port again.
    std::optional<PhonebookEntry> readRecord(int location) override;
    bool writeRecord(int location, const PhonebookEntry& entry) override;
    // Also shown in the serial number box.
    std::optional<std::string> readSerialNumber() override;
    std::optional<LogoBlock> readLogoBlock(int block) override;
    bool writeLogoBlock(int block, const LogoBlock& data) override;

    // Shows what a service command read; what it did not read stays as it was.
    void showReadings(const HandsetReadings& readings);

protected:
    // The program runs until the main window closes, whatever else is open.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void loadOperatorProfiles();
    void dropOperatorProfiles();
    void setUpControls();
    void connectControls();
    void usePort(const PortChoice& choice);
    void showPortItems(const QList<PortItem>& items);
    // Why the file cannot be opened for the log, or empty once logging.
    QString startFrameLog(const QString& path);
    void restoreFrameLog();

    std::unique_ptr<Ui::MainWindow> ui_;
    // Declared before the link: the link points at it until the link is gone.
    std::unique_ptr<FrameLog> frameLog_;
    std::unique_ptr<LinkThread> link_;
    WindowStateStore* windowState_ = nullptr;
    std::unique_ptr<ProfileIniFile> operatorProfiles_;
    std::vector<std::string> operatorNames_;
    std::unique_ptr<OperatorValueList> operatorValues_;
    QList<PortItem> portItems_;
};
