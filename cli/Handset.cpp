#include "cli/Handset.h"

#include "backup/HandsetFacts.h"
#include "cli/CliError.h"
#include "link/CommandButtons.h"
#include "link/PhoneLink.h"
#include "link/ServiceCommands.h"
#include "logo/LogoTransfer.h"
#include "phonebook/PhonebookTransfer.h"
#include "serial/EventWait.h"
#include "serial/SerialPort.h"
#include "text/WinText.h"

#include <QCoreApplication>
#include <QStringList>

#include <chrono>
#include <optional>
#include <thread>

namespace {

// The link's port: the serial port component, noting why an open failed.
class CliPort final : public LinkPort {
public:
    explicit CliPort(SerialPort& port)
        : port_(port)
    { }
    void open() override
    {
        try {
            port_.open();
            openError_.reset();
        } catch (const std::exception& error) {
            openError_ = QString::fromStdString(error.what());
            throw;
        }
    }
    void close() override { port_.close(); }
    bool isOpen() const override { return port_.isOpen(); }
    int portNumber() const override { return port_.portNumber(); }
    int write(const std::uint8_t* buffer, int count) override { return port_.write(buffer, count); }
    int read(std::uint8_t* buffer, int count) override { return port_.read(buffer, count); }
    const std::optional<QString>& openError() const { return openError_; }

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
    void waitForEvents(std::int64_t untilUs) override { waitForEventsUntil(untilUs); }
    void setAckLed(bool) override { }
    void setPackLed(bool) override { }
    void enableConnectButton() override { }
    void showMessage(const std::string& text) override { message = fromWin1251(text); }

    void setButtonEnabled(CommandButton, bool) override { }

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
    parts_->device = choiceDevicePath(settings, choice);
    if (choice.isCom())
        parts_->serial.setPortNumber(choice.comNumber);
    SerialPort::setDeviceResolver([device = parts_->device](int) { return device; });
    SerialPort::setErrorReport(
        [parts = parts_.get()](const std::exception& error) { parts->rxError = QString::fromStdString(error.what()); });
    parts_->serial.bytesArrived = [link = &parts_->link](int count) { link->onBytesReceived(count); };
    parts_->link.setObserver(frameLog);
}

Handset::~Handset()
{
    parts_->serial.close();
    SerialPort::setErrorReport({});
}

QString Handset::devicePath() const
{
    return parts_->device;
}

void Handset::fail()
{
    Parts& p = *parts_;
    if (p.port.openError()) {
        QString reason = describeOpenFailure(p.device);
        if (reason.isEmpty())
            reason = *p.port.openError();
        if (p.choice.isCom())
            throw CliError(ExitCode::Port,
                           QStringLiteral("Invalid port number Com%1: %2").arg(p.choice.comNumber).arg(reason));
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
bool run(CliHost& host, Job&& job)
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

HandsetInfo Handset::readInfo()
{
    HandsetReadings readings;
    if (!run(parts_->host, [&] { readings = parts_->commands.connectToPhone(); }))
        fail();
    // The reply pads the text with zero bytes, which the window shows as
    // dots; a script wants the text alone, as a backup notes it.
    const HandsetFacts facts = handsetFactsFromReadings(readings).value_or(HandsetFacts{});
    return {facts.version, facts.serialNumber, facts.netMonitor};
}

QString Handset::readSerialNumber()
{
    HandsetReadings readings;
    if (!run(parts_->host, [&] { readings = parts_->commands.readSerialNumber(); }))
        fail();
    return fromWin1251(readings.serialNumber.value_or(std::string())).trimmed();
}

bool Handset::switchNetMonitor(bool on)
{
    HandsetReadings readings;
    if (!run(parts_->host,
             [&] { readings = on ? parts_->commands.switchNetMonitorOn() : parts_->commands.switchNetMonitorOff(); }))
        fail();
    return readings.netMonitorOn.value_or(false);
}

void Handset::reset()
{
    if (!run(parts_->host, [&] { parts_->commands.resetHandset(); }))
        fail();
}

PhonebookEntry Handset::readRecord(int location)
{
    std::optional<PhonebookEntry> entry;
    run(parts_->host, [&] { entry = ::readRecord(parts_->link, location); });
    if (!entry)
        fail();
    return *entry;
}

void Handset::writeRecord(int location, PhonebookEntry entry)
{
    bool ok = false;
    run(parts_->host, [&] { ok = ::writeRecord(parts_->link, location, entry); });
    if (!ok)
        fail();
}

LogoBlock Handset::readLogoBlock(int block)
{
    std::optional<LogoBlock> data;
    run(parts_->host, [&] { data = ::readLogoBlock(parts_->link, block); });
    if (!data)
        fail();
    return *data;
}

void Handset::writeLogoBlock(int block, LogoBlock data)
{
    bool ok = false;
    run(parts_->host, [&] { ok = ::writeLogoBlock(parts_->link, block, data); });
    if (!ok)
        fail();
}
