#include "cli/ToolAccess.h"

#include "text/WinText.h"
#include "files/SafeFile.h"
#include "files/SettingsStore.h"
#include "logo/LogoExport.h"
#include "logo/LogoPicture.h"
#include "sms/ProfileIniFile.h"
#include "sms/OperatorValueList.h"
#include "sms/OperatorsFileLocation.h"
#include "sms/SmsSubmission.h"
#include "sms/HttpClient.h"

#include <QFileInfo>

#include <cstdio>

QString fromHandsetText(std::string_view win1251)
{
    return fromWin1251(win1251);
}
std::string toHandsetText(const QString& text, bool* lossy)
{
    return toWin1251(text, lossy);
}

// The windows' store: the registry key or INI file named after m2bus-tool,
// whatever this program's own file is called.
std::unique_ptr<QSettings> openToolSettings()
{
    const SettingsStore settings = SettingsStore::forProgram(QStringLiteral("m2bus-tool"));
    static bool told = false;
    if (const auto refused = settings.refusal(); refused && !told) {
        std::fprintf(stderr, "m2bus-cli: not reading the settings file %s: %s; going on with the default settings\n",
                     refused->path.toUtf8().constData(), refused->reason.toUtf8().constData());
        told = true;
    }
    return settings.open();
}

QString operatorsIniPath()
{
    return operatorsFileFor(operatorsFilePlaces());
}

QImage loadLogoPicture(const QString& path)
{
    try {
        return logoLoadPicture(path);
    } catch (const PictureError& error) {
        throw CliError(ExitCode::File, error.message());
    }
}

void saveLogoPicture(const QImage& picture, const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("bmp") && suffix != QLatin1String("png"))
        throw CliError(ExitCode::File, QStringLiteral("Cannot save \"%1\": the logo is saved as .bmp or .png.").arg(path));
    try {
        exportLogoPicture(picture, path);
    } catch (const PictureError& error) {
        throw CliError(ExitCode::File, error.message());
    }
}

QImage logoPictureFromBlocks(const LogoBlocks& blocks)
{
    QImage picture = logoBlankPicture();
    logoDrawDots(picture, logoDotsFromBlocks(blocks));
    return picture;
}

QString sendSms(const QString& operatorName, const QString& phone, const QString& text)
{
    ProfileIniFile ini(operatorsIniPath().toStdString());
    const std::string name = toWin1251(operatorName);
    std::vector<std::string> sections;
    try {
        sections = ini.sectionNames();
    } catch (const IniFileError& error) {
        throw CliError(ExitCode::Operator, QString::fromStdString(error.what()));
    }
    if (std::find(sections.begin(), sections.end(), name) == sections.end()) {
        QStringList known;
        for (const std::string& section : sections)
            known << fromWin1251(section);
        throw CliError(
            ExitCode::Operator,
            QStringLiteral("Unknown operator \"%1\" in %2 (known: %3)")
                .arg(operatorName, operatorsIniPath(), known.isEmpty() ? QStringLiteral("none") : known.join(", ")));
    }
    OperatorValueList profile;
    profile.readSection(ini, name);
    HttpClient http;

    QString message = text;
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\n', QStringLiteral("\r\n"));
    const SubmissionOutcome outcome =
        submitForm(http, submissionRequest(), profile, toWin1251(phone), toWin1251(message));
    if (outcome.error) {
        try {
            std::rethrow_exception(outcome.error);
        } catch (const std::exception& error) {
            throw CliError(ExitCode::Gateway, QString::fromStdString(error.what()));
        }
    }
    if (!outcome.accepted)
        throw CliError(ExitCode::Gateway,
                       QStringLiteral("The gateway did not confirm the message: its reply lacks the profile's Reply text"));
    return QStringLiteral("Your message was sent succesfully!");
}
