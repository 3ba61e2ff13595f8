// The Internet SMS window, which keeps operator profiles and sends a
// message through an operator's web gateway.
#pragma once

#include "sms/HttpClient.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class ProfileIniFile;
class OperatorValueList;
class WindowStateStore;
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
// modally with its Cancel button, which is hidden again afterwards. The Phone
// cell of the selected row (Windows-1251, exactly as the table holds it,
// blanks included) when closed with OK; nothing otherwise.
class NumberPicker {
public:
    virtual ~NumberPicker() = default;
    virtual std::optional<std::string> pickNumber() = 0;
};

class SmsWindow : public QDialog {
    Q_OBJECT
public:
    // dialog is the operator settings dialog (owned elsewhere, one for the
    // whole run); picker may be null until the phonebook window exists.
    SmsWindow(OperatorObjects operators, OperatorDialog& dialog, NumberPicker* picker, QWidget* parent = nullptr);
    // The dialog is looked up through dialogSlot when first needed, so this
    // window can be made before the dialog is.
    SmsWindow(OperatorObjects operators, OperatorDialog* const& dialogSlot, NumberPicker* picker,
              QWidget* parent = nullptr);
    ~SmsWindow() override;

    void setNumberPicker(NumberPicker* picker) { picker_ = picker; }

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
    WindowStateStore* operatorStore = nullptr;

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
    OperatorDialog& operatorDialog() const { return **operatorDialogSlot_; }

    OperatorDialog* ownOperatorDialog_ = nullptr;
    OperatorDialog* const* operatorDialogSlot_ = nullptr;
    NumberPicker* picker_;
    HttpRequest requestTemplate_;
    bool sending_ = false;
    std::unique_ptr<SubmissionThread> submissions_;
};
