#include "cli/Commands.h"

#include "cli/Handset.h"
#include "cli/DecodeCommand.h"
#include "cli/BackupCommands.h"
#include "cli/Progress.h"
#include "cli/ToolAccess.h"
#include "logo/LogoImportArguments.h"

#include "link/FrameLog.h"
#include "phonebook/HandsetCheck.h"
#include "phonebook/HandsetPhonebooks.h"
#include "phonebook/PhonebookFormats.h"
#include "text/WinText.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

// Whole lines, even with a NUL in them.
void print(const QString& text)
{
    const QByteArray line = (text + '\n').toUtf8();
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
    std::fflush(stdout);
}

void tell(const QString& text)
{
    const QByteArray line = (text + '\n').toUtf8();
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
}

[[noreturn]] void usageError(const QString& message)
{
    throw CliError(ExitCode::Usage, message + QStringLiteral(" (try m2bus-cli --help)"));
}

// Asks on the terminal; --yes answers for the user, and without a terminal
// to ask on nothing is done.
void confirm(const CliOptions& options, const QString& question)
{
    if (options.yes)
        return;
    if (!isatty(fileno(stdin)))
        throw CliError(ExitCode::NotConfirmed,
                       QStringLiteral("Not done: there is no terminal to ask \"%1\"; give --yes to go on").arg(question));
    std::fputs((question + QStringLiteral(" [y/N] ")).toUtf8().constData(), stderr);
    std::fflush(stderr);
    std::string answer;
    std::getline(std::cin, answer);
    if (answer != "y" && answer != "Y" && answer != "yes")
        throw CliError(ExitCode::NotConfirmed, QStringLiteral("Not done: not confirmed"));
}

PortChoice chosenPort(const CliOptions& options, const QSettings& settings)
{
    if (options.port.isEmpty())
        return storedPortChoice(settings);
    static const QRegularExpression kComName(QStringLiteral("^com([1-9][0-9]{0,2})$"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = kComName.match(options.port);
    if (match.hasMatch())
        return {match.captured(1).toInt(), {}};
    return {0, options.port};
}

// The handset on the chosen port, with the frame log when one was asked for.
class Session {
public:
    explicit Session(const CliOptions& options)
    {
        const std::unique_ptr<QSettings> settings = openToolSettings();
        if (!options.logPath.isEmpty()) {
            try {
                log_ = std::make_unique<FrameLog>(std::filesystem::path(options.logPath.toStdU16String()));
            } catch (const std::exception& error) {
                throw CliError(ExitCode::File, QStringLiteral("Cannot write the frame log \"%1\": %2")
                                                   .arg(options.logPath, QString::fromLocal8Bit(error.what())));
            }
        }
        handset_ = std::make_unique<Handset>(chosenPort(options, *settings), *settings, log_.get());
    }
    Handset& operator*() { return *handset_; }
    Handset* operator->() { return handset_.get(); }

private:
    std::unique_ptr<FrameLog> log_;  // outlives the handset's link
    std::unique_ptr<Handset> handset_;
};

void needWords(const CliOptions& options, int count, const char* usage)
{
    if (options.words.size() != count)
        usageError(QStringLiteral("Usage: m2bus-cli %1").arg(QLatin1String(usage)));
}

QString numberText(const StoredNumber& number)
{
    return number ? fromWin1251(*number) : QStringLiteral("not stored");
}

void runInfo(const CliOptions& options)
{
    needWords(options, 1, "info");
    Session handset(options);
    const HandsetInfo info = handset->readInfo();
    const StoredNumber own = handset->readOwnNumber();
    print(QStringLiteral("Version: ") + QString(info.version).replace('\n', QStringLiteral("\n         ")));
    print(QStringLiteral("Serial number: ") + info.serialNumber);
    print(QStringLiteral("Net monitor: ") + (info.netMonitor ? "on" : "off"));
    print(QStringLiteral("Own number: ") + numberText(own));
}

void runDialled(const CliOptions& options)
{
    needWords(options, 1, "dialled");
    Session handset(options);
    const DialledNumbers numbers = handset->readDialledNumbers();
    for (std::size_t i = 0; i < numbers.size(); ++i)
        print(QStringLiteral("%1: %2").arg(i + 1).arg(numberText(numbers[i])));
}

void runNetMonitor(const CliOptions& options)
{
    needWords(options, 2, "netmon on|off");
    const QString state = options.words[1];
    if (state != QLatin1String("on") && state != QLatin1String("off"))
        usageError(QStringLiteral("netmon takes on or off, not \"%1\"").arg(state));
    Session handset(options);
    const bool on = handset->switchNetMonitor(state == QLatin1String("on"));
    print(QStringLiteral("Net monitor: ") + (on ? "on" : "off"));
}

void runReset(const CliOptions& options)
{
    needWords(options, 1, "reset");
    Session handset(options);
    handset->reset();
    print(QStringLiteral("The handset was reset"));
}

void checkPhonebookFile(const QString& path)
{
    if (!phonebookFormatFor(path))
        throw CliError(ExitCode::File,
                       QStringLiteral("\"%1\": a phonebook file ends in .npb, .csv or .vcf").arg(path));
}

void runPhonebookRead(const CliOptions& options, const QString& path)
{
    checkPhonebookFile(path);
    // Before the transfer, which takes its time: the result must have a place.
    try {
        checkPhonebookWritable(path);
    } catch (const InOutError& error) {
        throw CliError(ExitCode::File, QString::fromStdString(error.what()));
    }
    Session handset(options);
    std::vector<PhonebookEntry> entries;
    {
        Progress progress(QStringLiteral("Reading phonebook"), kNpbRecords);
        for (int location = 0; location < kNpbRecords; ++location) {
            entries.push_back(handset->readRecord(location));
            progress.step(location + 1);
        }
    }
    const PhonebookRows rows = rowsFromEntries(entries);
    try {
        writePhonebook(path, rows);
    } catch (const InOutError& error) {
        throw CliError(ExitCode::File, QString::fromStdString(error.what()));
    }
    const auto used = std::count_if(rows.begin(), rows.end(), [](const PhonebookRow& row) { return !row.isBlank(); });
    print(QStringLiteral("Read %1 records (%2 in use) into %3").arg(kNpbRecords).arg(used).arg(path));
}

// Reads the handset's phonebook and compares it with entries as the handset
// would store them: a record it cannot hold exactly is no change once written.
std::vector<int> changedLocations(Handset& handset, const std::vector<PhonebookEntry>& entries)
{
    const QString serialNumber = handset.readSerialNumber();
    std::vector<PhonebookEntry> held;
    {
        Progress progress(QStringLiteral("Reading phonebook"), kNpbRecords);
        for (int location = 0; location < kNpbRecords; ++location) {
            held.push_back(handset.readRecord(location));
            progress.step(location + 1);
        }
    }
    const std::vector<int> locations = differingLocations(held, entries);
    tell(QStringLiteral("Handset %1: %2 of %3 records differ, %4 are skipped")
             .arg(serialNumber)
             .arg(locations.size())
             .arg(kNpbRecords)
             .arg(kNpbRecords - static_cast<int>(locations.size())));
    return locations;
}

ExitCode runPhonebookWrite(const CliOptions& options, const QString& path)
{
    checkPhonebookFile(path);
    PhonebookImport file;
    try {
        file = readPhonebook(path);
    } catch (const InOutError& error) {
        throw CliError(ExitCode::File, QString::fromStdString(error.what()));
    }
    for (const QString& note : file.notes)
        tell(note);
    const std::vector<HandsetFinding> findings = checkForHandset(file.rows);
    if (!findings.empty()) {
        tell(QStringLiteral("The handset will not keep these records as they are:"));
        for (const QString& line : describeHandsetFindings(file.rows, findings, 20))
            tell(QStringLiteral("  ") + line);
    }
    confirm(options, QStringLiteral("Do You really want to write current phonebook into Phone?"));
    const std::vector<PhonebookEntry> entries = entriesFromRows(file.rows);
    Session handset(options);
    std::vector<int> locations;
    if (options.changed) {
        locations = changedLocations(*handset, entries);
    } else {
        for (int location = 0; location < kNpbRecords; ++location)
            locations.push_back(location);
    }
    const int count = static_cast<int>(locations.size());
    if (count > 0) {
        Progress progress(QStringLiteral("Writing phonebook"), count);
        for (int i = 0; i < count; ++i) {
            const int location = locations[static_cast<std::size_t>(i)];
            handset->writeRecord(location, entries[static_cast<std::size_t>(location)]);
            progress.step(i + 1);
        }
        // The handset takes the new phonebook in only after a restart.
        handset->reset();
    }
    if (!options.changed)
        print(QStringLiteral("Wrote %1 records from %2; the handset was reset").arg(kNpbRecords).arg(path));
    else if (count > 0)
        print(QStringLiteral("Wrote %1 changed records from %2, skipped %3 the handset holds already; the handset "
                             "was reset")
                  .arg(count)
                  .arg(path)
                  .arg(kNpbRecords - count));
    else
        print(QStringLiteral("Wrote no record: the handset holds all %1 records of %2 already").arg(kNpbRecords).arg(path));
    if (!file.changed && findings.empty())
        return ExitCode::Ok;
    tell(QStringLiteral("m2bus-cli: The handset does not hold everything as in the file: see the lines above"));
    return ExitCode::Changed;
}

void runLogoGet(const CliOptions& options, const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("bmp") && suffix != QLatin1String("png"))
        throw CliError(ExitCode::File, QStringLiteral("\"%1\": the logo is saved as .bmp or .png").arg(path));
    Session handset(options);
    LogoBlocks blocks{};
    {
        Progress progress(QStringLiteral("Reading logo"), kLogoBlockCount);
        for (int b = 0; b < kLogoBlockCount; ++b) {
            blocks[static_cast<std::size_t>(b)] = handset->readLogoBlock(b);
            progress.step(b + 1);
        }
    }
    saveLogoPicture(logoPictureFromBlocks(blocks), path);
    print(QStringLiteral("Saved the logo in %1").arg(path));
}

void runLogoPut(const CliOptions& options, const QString& path)
{
    const LogoBlocks blocks = logoBlocksFromDots(logoImportDots(loadLogoPicture(path), options.logo));
    Session handset(options);
    {
        Progress progress(QStringLiteral("Writing logo"), kLogoBlockCount);
        for (int b = 0; b < kLogoBlockCount; ++b) {
            handset->writeLogoBlock(b, blocks[static_cast<std::size_t>(b)]);
            progress.step(b + 1);
        }
    }
    print(QStringLiteral("Wrote the logo from %1").arg(path));
}

void runSmsSend(const CliOptions& options)
{
    needWords(options, 2, "sms send --operator NAME --to NUMBER --text TEXT");
    if (options.operatorName.isEmpty() || options.to.isEmpty() || options.text.isNull())
        usageError(QStringLiteral("sms send needs --operator, --to and --text"));
    const QString lost = charactersWin1251Lacks(options.to + options.text);
    if (!lost.isEmpty())
        confirm(options,
                "These characters cannot be sent and will go out as \"?\": " + lost + " - send the message anyway?");
    print(sendSms(options.operatorName, options.to, options.text));
}

void runFileCommand(const CliOptions& options, const QString& command)
{
    const char* withFile[] = {"phonebook read", "logo get", "logo put"};
    for (const char* known : withFile) {
        if (command != QLatin1String(known))
            continue;
        needWords(options, 3, (std::string(known) + " FILE").c_str());
        const QString& path = options.words[2];
        if (command == QLatin1String("phonebook read"))
            return runPhonebookRead(options, path);
        if (command == QLatin1String("logo get"))
            return runLogoGet(options, path);
        return runLogoPut(options, path);
    }
    usageError(QStringLiteral("Unknown command \"%1\"").arg(options.words.join(' ')));
}

} // namespace

ExitCode runCommand(const CliOptions& options)
{
    const QStringList& w = options.words;
    if (w.isEmpty())
        usageError(QStringLiteral("No command given"));
    const std::pair<const char*, const char*> verbs[] = {
        {"phonebook", "read|write FILE"}, {"logo", "get|put FILE"}, {"sms", "send --operator NAME --to NUMBER --text TEXT"}};
    for (const auto& [noun, usage] : verbs)
        if (w.size() == 1 && w[0] == QLatin1String(noun))
            usageError(
                QStringLiteral("%1 needs a verb: m2bus-cli %1 %2").arg(QLatin1String(noun), QLatin1String(usage)));
    const QString command = w[0] + (w.size() > 1 && (w[0] == "phonebook" || w[0] == "logo" || w[0] == "sms") ? " " + w[1] : QString());
    if (options.logoOptionsGiven && command != QLatin1String("logo put"))
        usageError(QStringLiteral("The picture options are for logo put only"));
    if ((!options.operatorName.isEmpty() || !options.to.isEmpty() || !options.text.isNull()) && command != QLatin1String("sms send"))
        usageError(QStringLiteral("--operator, --to and --text are for sms send only"));
    if (options.summary && command != QLatin1String("decode"))
        usageError(QStringLiteral("--summary is for decode only"));
    if (options.anyHandset && command != QLatin1String("restore"))
        usageError(QStringLiteral("--any-handset is for restore only"));
    if (options.changed && command != QLatin1String("phonebook write"))
        usageError(QStringLiteral("--changed is for phonebook write only"));

    if (command == QLatin1String("phonebook write")) {
        needWords(options, 3, "phonebook write [--changed] FILE");
        return runPhonebookWrite(options, w[2]);
    }
    if (command == QLatin1String("info"))
        runInfo(options);
    else if (command == QLatin1String("dialled"))
        runDialled(options);
    else if (command == QLatin1String("netmon"))
        runNetMonitor(options);
    else if (command == QLatin1String("reset"))
        runReset(options);
    else if (command == QLatin1String("sms send"))
        runSmsSend(options);
    else if (command == QLatin1String("decode")) {
        needWords(options, 2, "decode LOG [--summary]");
        runDecode(w[1], options.summary);
    } else if (command == QLatin1String("backup")) {
        needWords(options, 2, "backup DIR");
        Session handset(options);
        print(QStringLiteral("Backed up the handset into %1").arg(backUpHandset(*handset, w[1])));
    } else if (command == QLatin1String("restore")) {
        needWords(options, 2, "restore FOLDER [--any-handset]");
        Session handset(options);
        restoreHandset(*handset, w[1], options.anyHandset, [&](const QString& question) { confirm(options, question); });
        print(QStringLiteral("Restored the logo and phonebook from %1; the handset was reset").arg(w[1]));
    } else
        runFileCommand(options, command);
    return ExitCode::Ok;
}

QString cliUsage()
{
    QString text = QStringLiteral(R"(Usage: m2bus-cli [--port DEVICE|COMn] [--log FILE] [--yes] COMMAND [ARGUMENTS]

The handset jobs of the M2Bus Service Tool without a window.

Commands:
  info                          print the version text, serial number,
                                net monitor state and own number
  dialled                       print the last five numbers dialled, the
                                latest first
  netmon on|off                 switch the net monitor
  reset                         reset the handset
  phonebook read FILE           read the 100 records into FILE
  phonebook write [--changed] FILE
                                write FILE to the handset, then reset it
                                (FILE: .npb, .csv or .vcf); --changed:
                                read the handset first and write only the
                                records that differ from FILE (reset only
                                when any was written)
  logo get FILE                 save the start-up logo (.bmp or .png)
  logo put FILE [OPTIONS]       send a picture as the start-up logo
  sms send --operator NAME --to NUMBER --text TEXT
                                send a message through a profile of
                                Operators.ini
  decode LOG [--summary]        print each frame of a frame log (--log)
                                with its meaning and what went wrong;
                                --summary: only the counts and the time
                                on the line against the least line time
  backup DIR                    save the phonebook (.npb, .vcf), the logo
                                (.png, .bmp) and handset.txt (version,
                                serial number, net monitor, own and
                                dialled numbers) into a new folder
                                DIR/<serial number>-<date>-<time>
  restore FOLDER [--any-handset]
                                write the phonebook and logo of a backup
                                folder to the handset, then reset it; a
                                backup of another serial number only with
                                --any-handset

Options:
  --port DEVICE|COMn  the serial port: a device such as /dev/ttyUSB0, or
                      COMn, whose device Ports/COMn in the windows' settings
                      names (else /dev/ttyS(n-1)); default: the port the
                      main window used last
  --log FILE          append every frame sent and received to FILE
  --summary           decode: the counts only, not each frame
  --yes               do not ask before writing the phonebook, restoring a
                      backup or sending characters the gateway cannot take
  --any-handset       restore: write a backup of another serial number
  --changed           phonebook write: only the records the handset does
                      not hold as in FILE
  --help              this text
  --version           the program's version

Picture options of logo put (default: as drawn, exact black is a set dot):
)");
    for (const QString& line : logoImportUsage().split('\n', Qt::SkipEmptyParts))
        text += line + '\n';
    text += QStringLiteral(R"(
Exit status:
  0  done
  1  no answer from the handset
  2  bad command line
  3  the port is missing, busy, not permitted or failing
  4  a file cannot be read or written, or its contents are bad
  5  unknown operator, or Operators.ini cannot be read
  6  the SMS gateway failed or did not confirm the message
  7  not confirmed (the answer was no, or no terminal to ask on and no --yes)
  8  phonebook write done, but records were left out or changed on the way
     (listed on stderr: extra numbers, characters, cut names and numbers)
  9  restore refused: the backup is of another handset (no --any-handset)
)");
    return text;
}
