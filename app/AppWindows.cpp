#include "AppWindows.h"

#include "DesignFonts.h"
#include "FFOpSet.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit6.h"

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

} // namespace

void CreateAppWindows()
{
    InstallFontSubstitutes();
    // Windows that use a later one (the phonebook its record editor, the SMS
    // window its operator dialog) find it through its global when needed.
    FMain = new TFMain;
    Form2 = new TForm2(*FMain, Form4, FMain);
    About = new TAbout(FMain);
    Form4 = new TForm4(FMain);
    Form5 = new TForm5(*FMain);
    FSendSMS = new TFSendSMS(OperatorObjects{*FMain->OperatorIni, FMain->OperatorList, *FMain->OperatorValues}, FOpSet,
                             &phonebookPicker, FMain);
    FOpSet = new TFOpSet(FSendSMS);
}

void DestroyAppWindows()
{
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
