#include "AppWindows.h"

#include <QApplication>

#include "DesignFonts.h"
#include "Unit1.h"
#include "Unit3.h"

void CreateAppWindows()
{
    InstallFontSubstitutes();
    FMain = new TFMain;
    About = new TAbout(FMain);
}

void DestroyAppWindows()
{
    delete About;
    About = nullptr;
    delete FMain;
    FMain = nullptr;
}
