#include "app/AppWindows.h"

#include "widgets/DesignFonts.h"
#include "sms/ui/OperatorDialog.h"
#include "app/MainWindow.h"
#include "phonebook/ui/PhonebookWindow.h"
#include "app/AboutDialog.h"
#include "phonebook/ui/RecordEditor.h"
#include "logo/ui/LogoWindow.h"
#include "sms/ui/SmsWindow.h"

#include <QEvent>
#include <QTimer>

MainWindow* mainWindow = nullptr;
PhonebookWindow* phonebookWindow = nullptr;
AboutDialog* aboutDialog = nullptr;
RecordEditor* recordEditor = nullptr;
LogoWindow* logoWindow = nullptr;
SmsWindow* smsWindow = nullptr;
OperatorDialog* operatorDialog = nullptr;

namespace {

// "Get from PBook": the phonebook window as a number picker.
class PhonebookPicker final : public NumberPicker {
public:
    std::optional<std::string> pickNumber() override
    {
        return phonebookWindow->pickNumber();
    }
};

PhonebookPicker phonebookPicker;

std::vector<QWidget*>& CreationOrder()
{
    static std::vector<QWidget*> windows;
    return windows;
}

template <typename W>
W* Created(W* window)
{
    CreationOrder().push_back(window);
    return window;
}

} // namespace

void createAppWindows()
{
    createMainWindow();
    createOtherWindows();
}

void createMainWindow()
{
    installFontSubstitutes();
    CreationOrder().clear();
    mainWindow = Created(new MainWindow);
}

void createOtherWindows()
{
    if (!mainWindow || phonebookWindow)
        return;
    // Windows that use a later one (the phonebook its record editor, the SMS
    // window its operator dialog) find it through its global when needed.
    phonebookWindow = Created(
        new PhonebookWindow(mainWindow->worker(), mainWindow->transferGate(), recordEditor, mainWindow));
    aboutDialog = Created(new AboutDialog(mainWindow));
    recordEditor = Created(new RecordEditor(mainWindow));
    logoWindow = Created(new LogoWindow(mainWindow->worker(), mainWindow->transferGate()));
    smsWindow = Created(
        new SmsWindow(OperatorObjects{mainWindow->operatorProfiles(), mainWindow->operatorNames(), mainWindow->operatorValues()},
                      operatorDialog, &phonebookPicker, mainWindow));
    operatorDialog = Created(new OperatorDialog(smsWindow));
}

namespace {

class AfterFirstPaint final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // After this paint has reached the screen.
            QTimer::singleShot(0, [] { createOtherWindows(); });
            deleteLater();
        }
        return false;
    }
};

} // namespace

void createOtherWindowsAfterFirstPaint()
{
    mainWindow->installEventFilter(new AfterFirstPaint(mainWindow));
}

const std::vector<QWidget*>& appWindowsInCreationOrder()
{
    return CreationOrder();
}

void destroyAppWindows()
{
    CreationOrder().clear();
    delete operatorDialog;
    operatorDialog = nullptr;
    delete smsWindow;
    smsWindow = nullptr;
    delete logoWindow;
    logoWindow = nullptr;
    delete recordEditor;
    recordEditor = nullptr;
    delete aboutDialog;
    aboutDialog = nullptr;
    delete phonebookWindow;
    phonebookWindow = nullptr;
    delete mainWindow;
    mainWindow = nullptr;
}
