// m2bus-shots: renders every window of the program to PNG files, for a look
// at the layouts without a handset. Usage: m2bus-shots OUTDIR
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>
#include <exception>

#include "app/AppWindows.h"
#include "widgets/ErrorReport.h"
#include "widgets/WindowStateStore.h"
#include "tools/ImportDialogShot.h"
#include "tools/ShotContent.h"
#include "app/MainWindow.h"
#include "phonebook/ui/PhonebookWindow.h"
#include "app/AboutDialog.h"
#include "phonebook/ui/RecordEditor.h"
#include "logo/ui/LogoWindow.h"
#include "sms/ui/SmsWindow.h"
#include "sms/ui/OperatorDialog.h"
#include "tools/WindowShots.h"

int main(int argc, char* argv[])
{
    M2BusApplication app(argc, argv);
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
    try {
        // Settings go to a scratch store, so taking pictures never changes
        // the user's own stored port or window places.
        WindowPlacement::SetStoreOverride(work.filePath("settings.ini"));
        CreateAppWindows();
        const QDir workDir(work.path());
        std::vector<WindowShot> shots = {
            {"MainWindow", [] { return mainWindow; }, FillMainWindow},
            {"AboutDialog", [] { return aboutDialog; }, nullptr},
            {"PhonebookWindow", [] { return phonebookWindow; }, FillPhonebook},
            {"RecordEditor", [] { return recordEditor; }, FillRecordEditor},
            {"LogoWindow", [] { return logoWindow; }, [workDir] { FillLogoManager(workDir); }},
            {"LogoImportDialog", [] { return LogoImportDialogForShot(mainWindow); }, nullptr},
            {"SmsWindow", [] { return smsWindow; }, FillSendSms},
            {"OperatorDialog", [] { return operatorDialog; }, FillOperatorSettings},
        };
        failures = SaveWindowShots(shots, outDir);
    } catch (const std::exception& error) {
        err << "m2bus-shots: " << error.what() << Qt::endl;
        failures = 1;
    }
    DestroyAppWindows();
    return failures == 0 ? 0 : 1;
}
