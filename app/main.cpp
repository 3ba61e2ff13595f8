// Start-up: one application object, the seven windows created once in a fixed
// order (the main window first), only the main window shown.
#include "app/AppWindows.h"
#include "app/MainWindow.h"
#include "app/ProgramIcon.h"
#include "widgets/ErrorReport.h"

int main(int argc, char* argv[])
{
    M2BusApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    app.setWindowIcon(programIcon());
    // Lets a Wayland desktop match the windows to the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.m2bus.ServiceTool"));
    CreateAppWindows();
    mainWindow->show();
    const int result = app.exec();
    DestroyAppWindows();
    return result;
}
