#include "cli/Handset.h"

#include "backup/HandsetFacts.h"
#include "cli/CliError.h"
#include "jobs/SerialLine.h"
#include "link/PhoneLink.h"
#include "link/ServiceCommands.h"
#include "logo/LogoTransfer.h"
#include "phonebook/PhonebookTransfer.h"
#include "serial/SerialPort.h"
#include "text/WinText.h"

#include <QStringList>

#include <optional>

// The link without a window: no lights to show, and waits that block on the
// port, since the program has nothing else to do meanwhile.
struct Handset::Parts {
    Parts(const PortChoice& chosen, const QString& path)
        : choice(chosen)
        , device(path)
        , serial(SerialSettings{}, [path](int) { return path; })
    { }
    PortChoice choice;
    QString device;
    SerialPort serial;
    SerialLine line{serial};
    PhoneLink link{line, line};
    ServiceCommands commands{link};
};

Handset::Handset(const PortChoice& choice, const QSettings& settings, LinkObserver* frameLog)
    : parts_(std::make_unique<Parts>(choice, choiceDevicePath(settings, choice)))
{
    if (choice.isCom())
        parts_->serial.setPortNumber(choice.comNumber);
    parts_->link.setObserver(frameLog);
}

Handset::~Handset()
{
    parts_->serial.close();
}

QString Handset::devicePath() const
{
    return parts_->device;
}

void Handset::fail(const LinkFailure& failure)
{
    const Parts& p = *parts_;
    if (failure.kind == LinkFailure::Kind::PortUnavailable) {
        QString reason = describeOpenFailure(p.device);
        if (reason.isEmpty())
            reason = QString::fromStdString(failure.portError);
        if (p.choice.isCom())
            throw CliError(ExitCode::Port,
                           QStringLiteral("Invalid port number Com%1: %2").arg(p.choice.comNumber).arg(reason));
        throw CliError(ExitCode::Port, reason);
    }
    // Where it stopped and why, on a line of its own: "Phonebook read of
    // location 57: reply damaged 3 times".
    QString where = QString::fromStdString(failure.exchange.request);
    if (!where.isEmpty())
        where[0] = where[0].toUpper();
    throw CliError(ExitCode::NoAnswer, QStringLiteral("%1\n%2: %3")
                                           .arg(QString::fromLatin1(kNoAnswerMessage), where,
                                                QString::fromStdString(failure.exchange.reasonText())));
}

namespace {

// Runs one of the link's jobs; a port error while it runs ends the program.
template <typename Job>
auto run(Job&& job) -> decltype(job())
{
    try {
        return job();
    } catch (const std::exception& error) {
        throw CliError(ExitCode::Port, QString::fromStdString(error.what()));
    }
}

} // namespace

HandsetInfo Handset::readInfo()
{
    const CommandResult result = run([&] { return parts_->commands.connectToPhone(); });
    if (result.failure)
        fail(*result.failure);
    // The reply pads the text with zero bytes, which the window shows as
    // dots; a script wants the text alone, as a backup notes it.
    const HandsetFacts facts = handsetFactsFromReadings(result.readings).value_or(HandsetFacts{});
    return {facts.version, facts.serialNumber, facts.netMonitor};
}

QString Handset::readSerialNumber()
{
    const CommandResult result = run([&] { return parts_->commands.readSerialNumber(); });
    if (result.failure)
        fail(*result.failure);
    return fromWin1251(result.readings.serialNumber.value_or(std::string())).trimmed();
}

bool Handset::switchNetMonitor(bool on)
{
    const CommandResult result =
        run([&] { return on ? parts_->commands.switchNetMonitorOn() : parts_->commands.switchNetMonitorOff(); });
    if (result.failure)
        fail(*result.failure);
    return result.readings.netMonitorOn.value_or(false);
}

void Handset::reset()
{
    const CommandResult result = run([&] { return parts_->commands.resetHandset(); });
    if (result.failure)
        fail(*result.failure);
}

StoredNumber Handset::readOwnNumber()
{
    const LinkResult<StoredNumber> number = run([&] { return readStoredNumber(parts_->link, kOwnNumberLocation); });
    if (!number)
        fail(number.failure());
    return *number;
}

DialledNumbers Handset::readDialledNumbers()
{
    const LinkResult<DialledNumbers> numbers = run([&] { return ::readDialledNumbers(parts_->link); });
    if (!numbers)
        fail(numbers.failure());
    return *numbers;
}

HandsetNumbers Handset::readNumbers()
{
    const LinkResult<HandsetNumbers> numbers = run([&] { return readHandsetNumbers(parts_->link); });
    if (!numbers)
        fail(numbers.failure());
    return *numbers;
}

PhonebookEntry Handset::readRecord(int location)
{
    const LinkResult<PhonebookEntry> entry = run([&] { return ::readRecord(parts_->link, location); });
    if (!entry)
        fail(entry.failure());
    return *entry;
}

void Handset::writeRecord(int location, PhonebookEntry entry)
{
    const LinkResult<Answered> done = run([&] { return ::writeRecord(parts_->link, location, entry); });
    if (!done)
        fail(done.failure());
}

LogoBlock Handset::readLogoBlock(int block)
{
    const LinkResult<LogoBlock> data = run([&] { return ::readLogoBlock(parts_->link, block); });
    if (!data)
        fail(data.failure());
    return *data;
}

void Handset::writeLogoBlock(int block, LogoBlock data)
{
    const LinkResult<Answered> done = run([&] { return ::writeLogoBlock(parts_->link, block, data); });
    if (!done)
        fail(done.failure());
}
