#include "cli/ToolAccess.h"

#include "text/WinText.h"
#include "backup/HandsetFacts.h"
#include "files/SafeFile.h"
#include "link/CommandButtons.h"
#include "link/PhoneLink.h"
#include "link/ServiceCommands.h"
#include "logo/LogoExport.h"
#include "logo/LogoPicture.h"
#include "logo/LogoTransfer.h"
#include "phonebook/PhonebookTransfer.h"
#include "serial/EventWait.h"
#include "serial/SerialPort.h"
#include "sms/ProfileIniFile.h"
#include "sms/OperatorValueList.h"
#include "sms/OperatorsFileLocation.h"
#include "sms/SmsSubmission.h"
#include "sms/HttpClient.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
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
    // Looked at before QSettings opens it: a named pipe there would block for good.
    const QString path =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/m2bus-tool.ini");
    const FileOutcome found = probeFile(path).outcome;
    if (found.fault == FileFault::NotRegularFile || found.fault == FileFault::IsFolder) {
        static bool told = false;
        if (!told)
            std::fprintf(stderr, "m2bus-cli: not reading the settings file %s: %s; going on with the default settings\n",
                         path.toUtf8().constData(), found.reason.toUtf8().constData());
        told = true;
        static QTemporaryDir empty;
        return std::make_unique<QSettings>(empty.filePath(QStringLiteral("m2bus-tool.ini")), QSettings::IniFormat);
    }
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("m2bus-tool"));
#endif
}

QString OperatorsIniPath()
{
    return operatorsFileFor(operatorsFilePlaces());
}

namespace {

// The link's port: the serial port component, noting why an open failed.
class CliPort final : public LinkPort {
public:
    explicit CliPort(SerialPort& port) : port_(port) {}
    void open() override
    {
        try {
            port_.Open();
            openError_.reset();
        } catch (const std::exception& error) {
            openError_ = QString::fromStdString(error.what());
            throw;
        }
    }
    void close() override { port_.Close(); }
    bool isOpen() const override { return port_.IsOpen(); }
    int portNumber() const override { return port_.portNumber(); }
    int write(const std::uint8_t* buffer, int count) override { return port_.write(buffer, count); }
    int read(std::uint8_t* buffer, int count) override { return port_.read(buffer, count); }
    const std::optional<QString>& OpenError() const { return openError_; }

private:
    SerialPort& port_;
    std::optional<QString> openError_;
};

// The link's surroundings without a window: the event loop of the
// application object, and the notices kept for the error line.
class CliHost final : public LinkHost, public CommandButtons {
public:
    void processMessages() override { QCoreApplication::processEvents(); }
    void sleep(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
    void waitForEvents(std::int64_t untilUs) override { WaitForEventsUntil(untilUs); }
    void setAckLed(bool) override {}
    void setPackLed(bool) override {}
    void enableConnectButton() override {}
    void showMessage(const std::string& text) override { message = FromWin1251(text); }

    void setButtonEnabled(CommandButton, bool) override {}

    std::optional<QString> message;
};

} // namespace

struct Handset::Parts {
    SerialPort serial{handsetLineSettings()};
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
    SerialPort::SetDeviceResolver([device = parts_->device](int) { return device; });
    SerialPort::SetErrorReport([parts = parts_.get()](const std::exception& error) {
        parts->rxError = QString::fromStdString(error.what());
    });
    parts_->serial.OnRxChar = [link = &parts_->link](QObject*, int count) { link->onBytesReceived(count); };
    parts_->link.setObserver(frameLog);
}

Handset::~Handset()
{
    parts_->serial.Close();
    SerialPort::SetErrorReport({});
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
    const QString message = p.host.message.value_or(QString::fromLatin1(kNoAnswerMessage));
    if (message != QLatin1String(kNoAnswerMessage))
        throw CliError(ExitCode::NoAnswer, message);
    // Where it stopped and why, on a line of its own: "Phonebook read of
    // location 57: reply damaged 3 times".
    const ExchangeFailure failure = p.link.lastFailure();
    QString where = QString::fromStdString(failure.request);
    if (!where.isEmpty())
        where[0] = where[0].toUpper();
    throw CliError(ExitCode::NoAnswer,
                   QStringLiteral("%1\n%2: %3").arg(message, where, QString::fromStdString(failure.reasonText())));
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
    HandsetReadings readings;
    if (!Run(parts_->host, [&] { readings = parts_->commands.connectToPhone(); }))
        Fail();
    // The reply pads the text with zero bytes, which the window shows as
    // dots; a script wants the text alone, as a backup notes it.
    const HandsetFacts facts = handsetFactsFromReadings(readings).value_or(HandsetFacts{});
    return {facts.version, facts.serialNumber, facts.netMonitor};
}

QString Handset::ReadSerialNumber()
{
    HandsetReadings readings;
    if (!Run(parts_->host, [&] { readings = parts_->commands.readSerialNumber(); }))
        Fail();
    return FromWin1251(readings.serialNumber.value_or(std::string())).trimmed();
}

bool Handset::SwitchNetMonitor(bool on)
{
    HandsetReadings readings;
    if (!Run(parts_->host, [&] {
            readings = on ? parts_->commands.switchNetMonitorOn() : parts_->commands.switchNetMonitorOff();
        }))
        Fail();
    return readings.netMonitorOn.value_or(false);
}

void Handset::Reset()
{
    if (!Run(parts_->host, [&] { parts_->commands.resetHandset(); }))
        Fail();
}

PhonebookEntry Handset::ReadRecord(int location)
{
    std::optional<PhonebookEntry> entry;
    Run(parts_->host, [&] { entry = readRecord(parts_->link, location); });
    if (!entry)
        Fail();
    return *entry;
}

void Handset::WriteRecord(int location, PhonebookEntry entry)
{
    bool ok = false;
    Run(parts_->host, [&] { ok = writeRecord(parts_->link, location, entry); });
    if (!ok)
        Fail();
}

LogoBlock Handset::ReadLogoBlock(int block)
{
    std::optional<LogoBlock> data;
    Run(parts_->host, [&] { data = readLogoBlock(parts_->link, block); });
    if (!data)
        Fail();
    return *data;
}

void Handset::WriteLogoBlock(int block, LogoBlock data)
{
    bool ok = false;
    Run(parts_->host, [&] { ok = writeLogoBlock(parts_->link, block, data); });
    if (!ok)
        Fail();
}

QImage LoadLogoPicture(const QString& path)
{
    try {
        return LogoLoadPicture(path);
    } catch (const PictureError& error) {
        throw CliError(ExitCode::File, error.Message);
    }
}

void SaveLogoPicture(const QImage& picture, const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("bmp") && suffix != QLatin1String("png"))
        throw CliError(ExitCode::File, QStringLiteral("Cannot save \"%1\": the logo is saved as .bmp or .png.").arg(path));
    try {
        exportLogoPicture(picture, path);
    } catch (const PictureError& error) {
        throw CliError(ExitCode::File, error.Message);
    }
}

QImage LogoPictureFromBlocks(const LogoBlocks& blocks)
{
    QImage picture = LogoBlankPicture();
    LogoDrawDots(picture, LogoDotsFromBlocks(blocks));
    return picture;
}

QString SendSms(const QString& operatorName, const QString& phone, const QString& text)
{
    ProfileIniFile ini(OperatorsIniPath().toStdString());
    const std::string name = ToWin1251(operatorName);
    std::vector<std::string> sections;
    try {
        sections = ini.sectionNames();
    } catch (const IniFileError& error) {
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
    profile.readSection(ini, name);
    HttpClient http;

    QString message = text;
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace('\n', QStringLiteral("\r\n"));
    const SubmissionOutcome outcome =
        submitForm(http, submissionRequest(), profile, ToWin1251(phone), ToWin1251(message));
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
