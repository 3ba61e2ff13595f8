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

void CreateAppWindows()
{
    InstallFontSubstitutes();
    FMain = new TFMain;
    // The record editor is made after the phonebook window that uses it, as
    // the windows' order asks; the phonebook window only keeps a reference.
    Form4 = new TForm4(FMain);
    Form2 = new TForm2(*FMain, *Form4, FMain);
    About = new TAbout(FMain);
    Form5 = new TForm5(*FMain);
}

void DestroyAppWindows()
{
    delete Form5;
    Form5 = nullptr;
    delete About;
    About = nullptr;
    delete Form2;
    Form2 = nullptr;
    delete Form4;
    Form4 = nullptr;
    delete FMain;
    FMain = nullptr;
}
