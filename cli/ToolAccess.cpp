#include "ToolAccess.h"

#include "app/common/WinText.h"
#include "files/SafeFile.h"
#include "link/CommandUi.h"
#include "link/PhoneLink.h"
#include "link/ServiceCommands.h"
#include "logo/LogoPicture.h"
#include "logo/LogoTransfer.h"
#include "phonebook/PhBookTransfer.h"
#include "serial/EventWait.h"
#include "serial/VaComm.h"
#include "sms/CyrCoder.h"
#include "sms/IniFile.h"
#include "sms/OperatorValues.h"
#include "sms/SmsSubmission.h"
#include "sms/uAdvHttp.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSet>

#include <chrono>
#include <optional>
#include <thread>

QString FromHandsetText(std::string_view win1251) { return FromWin1251(win1251); }
std::string ToHandsetText(const QString& text, bool* lossy) { return ToWin1251(text, lossy); }

// The windows' store: the registry key or INI file named after m2bus-tool,
// whatever this program's own file is called.
std::unique_ptr<QSettings> OpenToolSettings()
{
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\m2bus-tool"),
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("m2bus-tool"));
#endif
}

QString OperatorsIniPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Operators.ini"));
}

namespace {

// The link's port: the serial port component, noting why an open failed.
class CliPort final : public LinkPort {
public:
    explicit CliPort(TVaComm& port) : port_(port) {}
    void Open() override
    {
        try {
            port_.Open();
            openError_.reset();
        } catch (const std::exception& error) {
            openError_ = QString::fromStdString(error.what());
            throw;
        }
    }
    void Close() override { port_.Close(); }
    bool IsOpen() const override { return port_.IsOpen(); }
    int PortNum() const override { return port_.PortNum(); }
    int WriteBuf(const std::uint8_t* buffer, int count) override { return port_.WriteBuf(buffer, count); }
    int ReadBuf(std::uint8_t* buffer, int count) override { return port_.ReadBuf(buffer, count); }
    const std::optional<QString>& OpenError() const { return openError_; }

private:
    TVaComm& port_;
    std::optional<QString> openError_;
};

// The link's surroundings without a window: the event loop of the
// application object, and the notices kept for the error line.
class CliHost final : public LinkHost, public CommandUi {
public:
    void ProcessMessages() override { QCoreApplication::processEvents(); }
    void Sleep(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    void WaitForEvents(std::int64_t untilUs) override { WaitForEventsUntil(untilUs); }
    void SetAckLed(bool) override {}
    void SetPackLed(bool) override {}
    void EnableInfoButton() override {}
    void ShowMessage(const std::string& text) override { message = FromWin1251(text); }

    void SetButtonEnabled(CommandButton, bool) override {}
    void SetInfoCaption(const std::string& text) override { info.version = FromWin1251(text); }
    void SetSerNumCaption(const std::string& text) override { info.serialNumber = FromWin1251(text); }
    void SetNetMonitorLed(bool on) override { info.netMonitor = on; }

    std::optional<QString> message;
    HandsetInfo info;
};

} // namespace

struct Handset::Parts {
    TVaComm serial{VaComm1Settings()};
    CliPort port{serial};
    CliHost host;
    PhoneLink link{port, host};
    ServiceCommands commands{link, host};
    PortChoice choice;
    QString device;
    std::optional<QString> rxError;
};

Handset::Handset(const PortChoice& choice, const QSettings& settings, LinkObserver* frameLog)
    : parts_(std::make_unique<Parts>())
{
    parts_->choice = choice;
    parts_->device = ChoiceDevicePath(settings, choice);
    if (choice.isCom())
        parts_->serial.SetPortNum(choice.comNumber);
    TVaComm::SetDeviceResolver([device = parts_->device](int) { return device; });
    TVaComm::SetErrorReport([parts = parts_.get()](const std::exception& error) {
        parts->rxError = QString::fromStdString(error.what());
    });
    parts_->serial.OnRxChar = [link = &parts_->link](QObject*, int count) { link->VaComm1RxChar(count); };
    parts_->link.SetObserver(frameLog);
}

Handset::~Handset()
{
    parts_->serial.Close();
    TVaComm::SetErrorReport({});
}

QString Handset::DevicePath() const { return parts_->device; }

void Handset::Fail()
{
    Parts& p = *parts_;
    if (p.port.OpenError()) {
        QString reason = DescribeOpenFailure(p.device);
        if (reason.isEmpty())
            reason = *p.port.OpenError();
        if (p.choice.isCom())
            throw CliError(ExitCode::Port, QStringLiteral("Invalid port number Com%1: %2").arg(p.choice.comNumber).arg(reason));
        throw CliError(ExitCode::Port, reason);
    }
    if (p.rxError)
        throw CliError(ExitCode::Port, *p.rxError);
    throw CliError(ExitCode::NoAnswer, p.host.message.value_or(QString::fromLatin1(kNoAnswerMessage)));
}

namespace {

// Runs one of the link's jobs; a port error while it runs ends the program.
template <typename Job>
bool Run(CliHost& host, Job&& job)
{
    host.message.reset();
    try {
        job();
    } catch (const std::exception& error) {
        throw CliError(ExitCode::Port, QString::fromStdString(error.what()));
    }
    return !host.message;
}

} // namespace

HandsetInfo Handset::ReadInfo()
{
    if (!Run(parts_->host, [&] { parts_->commands.btInfoClick(); }))
        Fail();
    HandsetInfo info = parts_->host.info;
    // The reply pads the text with zero bytes, which the window shows as
    // dots; a script wants the text alone.
    QStringList lines = info.version.split('\n');
    for (QString& line : lines)
        line = line.trimmed();
    while (!lines.isEmpty()) {
        QString& last = lines.last();
        while (last.endsWith('.'))
            last.chop(1);
        if (!last.trimmed().isEmpty())
            break;
        lines.removeLast();
    }
    info.version = lines.join('\n');
    info.serialNumber = info.serialNumber.trimmed();
    return info;
}

bool Handset::SwitchNetMonitor(bool on)
{
    if (!Run(parts_->host, [&] { on ? parts_->commands.btNMOnClick() : parts_->commands.btNMOffClick(); }))
        Fail();
    return parts_->host.info.netMonitor;
}

void Handset::Reset()
{
    if (!Run(parts_->host, [&] { parts_->commands.btResetClick(); }))
        Fail();
}

PhonebookEntry Handset::ReadRecord(int location)
{
    PhonebookEntry entry;
    bool ok = false;
    Run(parts_->host, [&] { PhBookRead(parts_->link, location, entry.Name, entry.Number, ok); });
    if (!ok)
        Fail();
    return entry;
}

void Handset::WriteRecord(int location, PhonebookEntry entry)
{
    bool ok = false;
    Run(parts_->host, [&] { PhBookWrite(parts_->link, location, entry.Name, entry.Number, ok); });
    if (!ok)
        Fail();
}

LogoBlock Handset::ReadLogoBlock(int block)
{
    LogoBlock data{};
    bool ok = false;
    Run(parts_->host, [&] { GetBitmap(parts_->link, data.data(), block, ok); });
    if (!ok)
        Fail();
    return data;
}

void Handset::WriteLogoBlock(int block, LogoBlock data)
{
    bool ok = false;
    Run(parts_->host, [&] { PutBitmap(parts_->link, data.data(), block, ok); });
    if (!ok)
        Fail();
}

QImage LoadLogoPicture(const QString& path)
{
    try {
        return LogoLoadPicture(path);
    } catch (const EPictureError& error) {
        throw CliError(ExitCode::File, error.Message);
    }
}

void SaveLogoPicture(const QImage& picture, const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    try {
        if (suffix == QLatin1String("bmp"))
            return LogoSavePicture(picture, path);
    } catch (const EPictureError& error) {
        throw CliError(ExitCode::File, error.Message);
    }
    if (suffix != QLatin1String("png"))
        throw CliError(ExitCode::File, QStringLiteral("Cannot save \"%1\": the logo is saved as .bmp or .png.").arg(path));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(picture))
        throw CliError(ExitCode::File, QStringLiteral("Cannot save \"%1\": %2.").arg(path, writer.errorString()));
    const FileOutcome outcome = replaceFile(path, bytes);
    if (!outcome.ok())
        throw CliError(ExitCode::File, QStringLiteral("Cannot save \"%1\": %2.").arg(path, outcome.reason));
}

QImage LogoPictureFromBlocks(const LogoBlocks& blocks)
{
    QImage picture = LogoBlankPicture();
    LogoDrawDots(picture, LogoDotsFromBlocks(blocks));
    return picture;
}

QString UnsendableCharacters(const QString& text)
{
    QString found;
    QSet<char32_t> seen;
    for (char32_t code : text.toUcs4()) {
        const QString ch = QString::fromUcs4(&code, 1);
        bool lossy = false;
        ToWin1251(ch, &lossy);
        if (lossy && !seen.contains(code)) {
            seen.insert(code);
            found += ch;
        }
    }
    return found;
}

QString SendSms(const QString& operatorName, const QString& phone, const QString& text)
{
    ProfileIniFile ini(OperatorsIniPath().toStdString());
    const std::string name = ToWin1251(operatorName);
    std::vector<std::string> sections;
    try {
        sections = ini.ReadSections();
    } catch (const EIniFileError& error) {
        throw CliError(ExitCode::Operator, QString::fromStdString(error.what()));
    }
    if (std::find(sections.begin(), sections.end(), name) == sections.end()) {
        QStringList known;
        for (const std::string& section : sections)
            known << FromWin1251(section);
        throw CliError(ExitCode::Operator,
                       QStringLiteral("Unknown operator \"%1\" in %2 (known: %3)")
                           .arg(operatorName, OperatorsIniPath(), known.isEmpty() ? QStringLiteral("none") : known.join(", ")));
    }
    OperatorValueList profile;
    profile.ReadSection(ini, name);

    // Set up as the SMS window sets up its own request.
    TCyrCoder coder;
    coder.SetSource(TCodePage::KOI8R);
    coder.SetTarget(TCodePage::CP1251);
    TAdvHttp http;
    http.SetConnectTimeout(10000);
    http.SetUserAgent("Mozilla/4.0 (compatible; MSIE 5.0; Windows 98; DigExt)");
    http.SetAcceptTypes({"image/gif", "image/x-xbitmap", "image/jpeg", "image/pjpeg", "application/vnd.ms-excel",
                         "application/msword", "application/vnd.ms-powerpoint", "*/*"});
    http.SetMethod("GET");
    http.SetAuthRetries(3);
    http.SetInternetFlags(InternetFlag(ifIgnoreCertCnInvalid) | InternetFlag(ifIgnoreCertDateInvalid)
                          | InternetFlag(ifIgnoreRedirectToHttp) | InternetFlag(ifIgnoreRedirectToHttps)
                          | InternetFlag(ifKeepConnection) | InternetFlag(ifNoUi) | InternetFlag(ifPragmaNoCache)
                          | InternetFlag(ifReload));
    http.SetURL("http://localhost/");

    QString message = text;
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\n', QStringLiteral("\r\n"));
    const SubmissionOutcome outcome = SubmitForm(http, coder, profile, ToWin1251(phone), ToWin1251(message));
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
