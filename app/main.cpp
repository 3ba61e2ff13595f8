// Start-up: one application object and the main window, which makes the
// other windows when they are first needed.
#include "app/MainWindow.h"
#include "files/SettingsStore.h"
#include "app/ProgramIcon.h"
#include "widgets/ErrorReport.h"
#include "widgets/M2BusApplication.h"
#include "app/Translations.h"
#include "m2bus/Version.h"

#include <QCommandLineParser>

#include <cstdio>

namespace {

// --help and --version answer before any window system is needed, so they
// work on a machine without a display. Qt's own options pass on to Qt.
bool AnswerCommandLine(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{"help", "h"});
    const QCommandLineOption version("version");
    parser.addOptions({help, version});
    parser.parse(arguments);
    if (parser.isSet(help)) {
        std::fputs("Usage: m2bus-tool [--help] [--version]\n\n"
                   "The M2Bus Service Tool's windows. The port, the phonebook, the logo and\n"
                   "SMS are all reached from the main window; m2bus-cli does the same jobs\n"
                   "on the command line.\n",
                   stdout);
        return true;
    }
    if (parser.isSet(version)) {
        std::printf("m2bus-tool %s\n", kM2BusVersion);
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (AnswerCommandLine(argc, argv))
        return 0;
    M2BusApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    app.setWindowIcon(programIcon());
    // Lets a Wayland desktop match the windows to the installed desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.m2bus.ServiceTool"));
    installTranslations();
    const SettingsStore settings = SettingsStore::forProgram(SettingsStore::runningProgramName());
    MainWindow window(settings);
    window.show();
    return app.exec();
}
