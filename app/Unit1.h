// Unit1: the main window. It owns the serial port, the link and the operator
// profile objects, runs the four service commands and opens the other windows.
#pragma once

#include <QWidget>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "link/CommandUi.h"
#include "link/LinkHost.h"
#include "link/LinkPort.h"
#include "logo/LogoHost.h"
#include "phonebook/PhonebookHost.h"

class TVaComm;
class PhoneLink;
class ServiceCommands;
class ProfileIniFile;
class OperatorValueList;
class TFormStorage;

namespace Ui {
class TFMain;
}

class TFMain : public QWidget, public LinkHost, public CommandUi, public PhonebookHost, public LogoHost {
    Q_OBJECT
public:
    explicit TFMain(QWidget* parent = nullptr);
    ~TFMain() override;

    Ui::TFMain* ui() const { return ui_.get(); }
    TVaComm& VaComm1() { return *VaComm1_; }
    PhoneLink& Link() { return *link_; }
    TFormStorage& FormStorage1() { return *FormStorage1_; }

    // Folder of the program file, with a trailing separator.
    std::string AppPath;
    std::unique_ptr<ProfileIniFile> OperatorIni;
    std::vector<std::string> OperatorList;
    std::unique_ptr<OperatorValueList> OperatorValues;

    void btInfoClick();
    void btNMOnClick();
    void btNMOffClick();
    void btResetClick();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void RxSpeedButton1Click();
    void cboxCOMChange();
    void FormStorage1RestorePlacement();

    // LinkHost
    void ProcessMessages() override;
    void Sleep(int ms) override;
    void SetAckLed(bool on) override;
    void SetPackLed(bool on) override;
    void EnableInfoButton() override;
    void ShowMessage(const std::string& text) override;

    // The record and block transfers: each opens the port, runs one exchange
    // and closes the port again.
    void PhBookRead(int Location, std::string& Name, std::string& Number, bool& Ok) override;
    void PhBookWrite(int Location, std::string& Name, std::string& Number, bool& Ok) override;
    void ClickSoftwareReset() override;
    void GetBitmap(std::uint8_t* Data, int& Block, bool& Ok) override;
    void PutBitmap(std::uint8_t* Data, int& Block, bool& Ok) override;

    // CommandUi
    void SetButtonEnabled(CommandButton button, bool enabled) override;
    void SetInfoCaption(const std::string& text) override;
    void SetSerNumCaption(const std::string& text) override;
    void SetNetMonitorLed(bool on) override;

protected:
    // The program runs until the main window closes, whatever else is open.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    void SetUpControls();
    void Connect();

    std::unique_ptr<Ui::TFMain> ui_;
    std::unique_ptr<TVaComm> VaComm1_;
    std::unique_ptr<LinkPort> port_;
    std::unique_ptr<PhoneLink> link_;
    std::unique_ptr<ServiceCommands> commands_;
    TFormStorage* FormStorage1_ = nullptr;
    std::chrono::steady_clock::time_point sleepDeadline_{};
};
