// m2bus-shots: renders every window of the program to PNG files, for a look
// at the layouts without a handset. Usage: m2bus-shots OUTDIR
// The language follows the locale (LANG=ru_RU.UTF-8 gives Russian);
// M2BUS_SHOTS_DARK=1 renders under a dark palette.
#include <QDir>
#include <QPalette>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTextStream>
#include <exception>
#include <memory>

#include "app/Translations.h"
#include "widgets/ErrorReport.h"
#include "widgets/M2BusApplication.h"
#include "widgets/WindowStateStore.h"
#include "tools/ImportDialogShot.h"
#include "tools/ShotContent.h"
#include "app/MainWindow.h"
#include "files/SettingsStore.h"
#include "phonebook/ui/PhonebookWindow.h"
#include "app/AboutDialog.h"
#include "app/DialledNumbersDialog.h"
#include "phonebook/ui/RecordEditor.h"
#include "logo/ui/LogoWindow.h"
#include "sms/ui/SmsWindow.h"
#include "sms/ui/OperatorDialog.h"
#include "tools/WindowShots.h"

namespace {

// A dark desktop theme as users run them: light text on dark window and base.
void UseDarkPalette()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::AlternateBase, QColor(55, 55, 58));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(60, 60, 64));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
    dark.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
    dark.setColor(QPalette::Highlight, QColor(80, 140, 220));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Light, QColor(90, 90, 96));
    dark.setColor(QPalette::Midlight, QColor(75, 75, 80));
    dark.setColor(QPalette::Mid, QColor(40, 40, 42));
    dark.setColor(QPalette::Dark, QColor(25, 25, 27));
    dark.setColor(QPalette::Shadow, Qt::black);
    QApplication::setPalette(dark);
}

} // namespace

int main(int argc, char* argv[])
{
    M2BusApplication app(argc, argv);
    if (qEnvironmentVariableIntValue("M2BUS_SHOTS_DARK") != 0)
        UseDarkPalette();
    installTranslations();
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: m2bus-shots OUTDIR" << Qt::endl;
        return 2;
    }
    QDir outDir(QString::fromLocal8Bit(argv[1]));
    if (!outDir.mkpath(".")) {
        err << "m2bus-shots: cannot create " << outDir.path() << Qt::endl;
        return 1;
    }
    QTemporaryDir work;
    if (!work.isValid()) {
        err << "m2bus-shots: no temporary folder: " << work.errorString() << Qt::endl;
        return 1;
    }

    int failures = 0;
    // Settings go to a scratch store, so taking pictures never changes the
    // user's own stored port or window places.
    const SettingsStore settings = SettingsStore::inFile(work.filePath("settings.ini"));
    std::unique_ptr<MainWindow> main;
    try {
        main = std::make_unique<MainWindow>(settings);
        MainWindow& m = *main;
        const QDir workDir(work.path());
        std::vector<WindowShot> shots = {
            {"MainWindow", [&m] { return &m; }, [&m] { FillMainWindow(m); }},
            {"AboutDialog", [&m] { return &m.aboutDialog(); }, nullptr},
            {"PhonebookWindow", [&m] { return &m.phonebookWindow(); }, [&m] { FillPhonebook(m); }},
            {"RecordEditor", [&m] { return m.findChild<RecordEditor*>(); }, [&m] { FillRecordEditor(m); }},
            {"LogoWindow", [&m] { return &m.logoWindow(); }, [&m, workDir] { FillLogoManager(m, workDir); }},
            {"LogoImportDialog", [&m] { return LogoImportDialogForShot(&m); }, nullptr},
            {"SmsWindow", [&m] { return &m.smsWindow(); }, [&m] { FillSendSms(m); }},
            {"OperatorDialog", [&m] { return m.smsWindow().findChild<OperatorDialog*>(); },
             [&m] { FillOperatorSettings(m); }},
            {"DialledNumbersDialog", [&m] { return &m.dialledNumbersDialog(); }, [&m] { FillDialledNumbers(m); }},
        };
        failures = SaveWindowShots(shots, outDir);
    } catch (const std::exception& error) {
        err << "m2bus-shots: " << error.what() << Qt::endl;
        failures = 1;
    }
    main.reset();
    return failures == 0 ? 0 : 1;
}
