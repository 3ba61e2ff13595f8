// The Internet SMS window, which keeps operator profiles and sends a
// message through an operator's web gateway.
#pragma once

#include "sms/HttpClient.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ProfileIniFile;
class OperatorValueList;
class WindowStateStore;
class SettingsStore;
class OperatorDialog;
class SubmissionThread;
struct SubmissionOutcome;

namespace Ui {
class SmsWindow;
}

// The main window's operator objects; the SMS window only borrows them.
struct OperatorObjects {
    ProfileIniFile& profileFile;
    std::vector<std::string>& names;
    OperatorValueList& values;
};

// Lets the user choose a number from the phonebook: the phonebook window shown
// modally with its Cancel button, which is hidden again afterwards. The
// number of the selected record (Windows-1251, exactly as the list holds it,
// blanks included) when closed with OK; nothing otherwise.
using NumberPicker = std::function<std::optional<std::string>()>;

class SmsWindow : public QDialog {
    Q_OBJECT
public:
    // The window has its own operator settings dialog; it keeps its place and
    // last text in the program's settings, which outlive it.
    SmsWindow(OperatorObjects operators, const SettingsStore& settings, NumberPicker pickNumber,
              QWidget* parent = nullptr);
    ~SmsWindow() override;

    // Handlers; public so the main window and tests can drive them as clicks do.
    void prepareToShow();
    void loadChosenProfile();
    void addOperator();
    void editOperator();
    void deleteOperator();
    void pickNumberFromPhonebook();
    // Starts the send and returns; the gateway is asked on a thread of its
    // own, and while it runs only Cancel is live. When it ends, its outcome
    // is shown, then what it raised goes to the error report, and then
    // sendFinished() is emitted.
    void sendMessage();
    // During a send, Cancel, Escape and closing the window cancel the
    // request and leave the window open.
    void reject() override;

    // The request every send starts from: its headers, manners and limits.
    HttpRequest& requestTemplate() { return requestTemplate_; }

    WindowStateStore* windowState = nullptr;

    // Key string that scrambles the stored value "TextField".
    static constexpr const char* kTextFieldKey = "Sm6TxFld";

signals:
    void sendFinished();

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Outgoing {
        std::string phone; // Windows-1251, as the gateway gets them
        std::string message;
    };

    void readChosenProfile();
    void reloadOperatorList();
    // The message as it goes out; nothing when the user backed out because
    // some characters cannot be sent.
    std::optional<Outgoing> messageToSend();
    std::string chosenOperator() const;
    void lockForSending(bool locked);
    // Raises what the request raised, after the window is usable again.
    void showOutcome(const SubmissionOutcome& outcome);

    std::unique_ptr<Ui::SmsWindow> ui_;
    OperatorObjects operators_;
    OperatorDialog& operatorDialog() const { return *operatorDialog_; }

    OperatorDialog* operatorDialog_ = nullptr;
    NumberPicker pickNumber_;
    HttpRequest requestTemplate_;
    bool sending_ = false;
    std::unique_ptr<SubmissionThread> submissions_;
};
