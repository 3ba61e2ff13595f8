// m2bus-shots: renders every window of the program to PNG files, for a look
// at the layouts without a handset. Usage: m2bus-shots OUTDIR
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>
#include <exception>

#include "AppWindows.h"
#include "ErrorReport.h"
#include "FormStorage.h"
#include "ImportDialogShot.h"
#include "ShotContent.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "Unit6.h"
#include "FFOpSet.h"
#include "WindowShots.h"

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
        TFormPlacement::SetStoreOverride(work.filePath("settings.ini"));
        CreateAppWindows();
        const QDir workDir(work.path());
        std::vector<WindowShot> shots = {
            {"TFMain", [] { return FMain; }, FillMainWindow},
            {"TAbout", [] { return About; }, nullptr},
            {"TForm2", [] { return Form2; }, FillPhonebook},
            {"TForm4", [] { return Form4; }, FillRecordEditor},
            {"TForm5", [] { return Form5; }, [workDir] { FillLogoManager(workDir); }},
            {"LogoImportDialog", [] { return LogoImportDialogForShot(FMain); }, nullptr},
            {"TFSendSMS", [] { return FSendSMS; }, FillSendSms},
            {"TFOpSet", [] { return FOpSet; }, FillOperatorSettings},
        };
        failures = SaveWindowShots(shots, outDir);
    } catch (const std::exception& error) {
        err << "m2bus-shots: " << error.what() << Qt::endl;
        failures = 1;
    }
    DestroyAppWindows();
    return failures == 0 ? 0 : 1;
}
