#include "app/AppWindows.h"

#include "widgets/DesignFonts.h"
#include "sms/ui/FFOpSet.h"
#include "app/Unit1.h"
#include "phonebook/ui/Unit2.h"
#include "app/Unit3.h"
#include "phonebook/ui/Unit4.h"
#include "logo/ui/Unit5.h"
#include "sms/ui/Unit6.h"

TFMain* FMain = nullptr;
TForm2* Form2 = nullptr;
TAbout* About = nullptr;
TForm4* Form4 = nullptr;
TForm5* Form5 = nullptr;
TFSendSMS* FSendSMS = nullptr;
TFOpSet* FOpSet = nullptr;

namespace {

// "Get from PBook": the phonebook window as a number picker.
class PhonebookPicker final : public NumberPicker {
public:
    bool PickNumber(std::string& phone) override { return Form2->PickNumber(phone); }
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

void CreateAppWindows()
{
    InstallFontSubstitutes();
    CreationOrder().clear();
    // Windows that use a later one (the phonebook its record editor, the SMS
    // window its operator dialog) find it through its global when needed.
    FMain = Created(new TFMain);
    Form2 = Created(new TForm2(*FMain, Form4, FMain));
    About = Created(new TAbout(FMain));
    Form4 = Created(new TForm4(FMain));
    Form5 = Created(new TForm5(*FMain));
    FSendSMS = Created(new TFSendSMS(
        OperatorObjects{*FMain->OperatorIni, FMain->OperatorList, *FMain->OperatorValues}, FOpSet, &phonebookPicker, FMain));
    FOpSet = Created(new TFOpSet(FSendSMS));
}

const std::vector<QWidget*>& AppWindowsInCreationOrder()
{
    return CreationOrder();
}

void DestroyAppWindows()
{
    CreationOrder().clear();
    delete FOpSet;
    FOpSet = nullptr;
    delete FSendSMS;
    FSendSMS = nullptr;
    delete Form5;
    Form5 = nullptr;
    delete Form4;
    Form4 = nullptr;
    delete About;
    About = nullptr;
    delete Form2;
    Form2 = nullptr;
    delete FMain;
    FMain = nullptr;
}
