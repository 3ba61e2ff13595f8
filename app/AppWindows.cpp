#include "AppWindows.h"

#include "DesignFonts.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"

TFMain* FMain = nullptr;
TForm2* Form2 = nullptr;
TAbout* About = nullptr;
TForm4* Form4 = nullptr;
TForm5* Form5 = nullptr;

namespace {

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
    FMain = Created(new TFMain);
    // The phonebook window comes before its record editor and finds the
    // editor through the global reference once it needs it.
    Form2 = Created(new TForm2(*FMain, Form4, FMain));
    About = Created(new TAbout(FMain));
    Form4 = Created(new TForm4(FMain));
    Form5 = Created(new TForm5(*FMain));
}

const std::vector<QWidget*>& AppWindowsInCreationOrder()
{
    return CreationOrder();
}

void DestroyAppWindows()
{
    CreationOrder().clear();
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
