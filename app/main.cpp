// Start-up: one application object, the seven windows created once in a fixed
// order (the main window first), only the main window shown.
#include "app/AppWindows.h"
#include "widgets/ErrorReport.h"
#include "app/MainWindow.h"

int main(int argc, char* argv[])
{
    M2BusApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    CreateAppWindows();
    mainWindow->show();
    const int result = app.exec();
    DestroyAppWindows();
    return result;
}
