// The Internet SMS window, which keeps operator profiles and sends a
// message through an operator's web gateway.
#pragma once

#include "sms/CodePageConverter.h"
#include "sms/HttpClient.h"

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

class ProfileIniFile;
class OperatorValueList;
class WindowStateStore;
class OperatorDialog;

namespace Ui {
class SmsWindow;
}

// The main window's operator objects; the SMS window only borrows them.
struct OperatorObjects {
    ProfileIniFile& OperatorIni;
    std::vector<std::string>& OperatorList;
    OperatorValueList& OperatorValues;
};

// Lets the user choose a number from the phonebook: the phonebook window shown
// modally with its Cancel button, which is hidden again afterwards. True with
// the Phone cell of the selected row (Windows-1251, exactly as the table holds
// it, blanks included) when closed with OK; false leaves phone alone.
class NumberPicker {
public:
    virtual ~NumberPicker() = default;
    virtual bool PickNumber(std::string& phone) = 0;
};

class SmsWindow : public QDialog {
    Q_OBJECT
public:
    // opSet is the operator settings dialog (owned elsewhere, one for the
    // whole run); picker may be null until the phonebook window exists.
    SmsWindow(OperatorObjects operators, OperatorDialog& opSet, NumberPicker* picker, QWidget* parent = nullptr);
    // The dialog is looked up through opSetSlot when first needed, so this
    // window can be made before the dialog is.
    SmsWindow(OperatorObjects operators, OperatorDialog* const& opSetSlot, NumberPicker* picker,
              QWidget* parent = nullptr);
    ~SmsWindow() override;

    void SetNumberPicker(NumberPicker* picker) { picker_ = picker; }

    // Handlers; public so the main window and tests can drive them as clicks do.
    void prepareToShow();
    void loadChosenProfile();
    void addOperator();
    void editOperator();
    void deleteOperator();
    void pickNumberFromPhonebook();
    // Raises what the request raised, after the window is usable again.
    // While it runs, the window keeps repainting and only Cancel is live.
    void sendMessage();
    // During a send, Cancel, Escape and closing the window cancel the
    // request and leave the window open.
    void reject() override;
    void reportHttpError(HttpClient* Sender);

    CodePageConverter codePages;
    HttpClient http;
    WindowStateStore* windowState = nullptr;
    WindowStateStore* operatorStore = nullptr;

    // Key string that scrambles the stored value "TextField".
    static constexpr const char* kTextFieldKey = "Sm6TxFld";

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ReadChosenProfile();
    void ReloadOperatorList();
    // The message as it goes out, or false when the user backed out because
    // some characters cannot be sent.
    bool MessageToSend(std::string& phone, std::string& message);
    std::string OperatorName() const;
    void LockForSending(bool locked);

    std::unique_ptr<Ui::SmsWindow> ui_;
    OperatorObjects operators_;
    OperatorDialog& operatorDialog() const { return **operatorDialogSlot_; }

    OperatorDialog* ownOperatorDialog_ = nullptr;
    OperatorDialog* const* operatorDialogSlot_ = nullptr;
    NumberPicker* picker_;
    bool sending_ = false;
};
