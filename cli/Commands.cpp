#include "cli/Commands.h"

#include "cli/DecodeCommand.h"
#include "cli/BackupCommands.h"
#include "cli/Progress.h"
#include "cli/ToolAccess.h"

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
void Print(const QString& text)
{
    const QByteArray line = (text + '\n').toUtf8();
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
    std::fflush(stdout);
}

void Tell(const QString& text)
{
    const QByteArray line = (text + '\n').toUtf8();
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
}

[[noreturn]] void Usage(const QString& message)
{
    throw CliError(ExitCode::Usage, message + QStringLiteral(" (try m2bus-cli --help)"));
}

// Asks on the terminal; --yes answers for the user, and without a terminal
// to ask on nothing is done.
void Confirm(const CliOptions& options, const QString& question)
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

PortChoice ChosenPort(const CliOptions& options, const QSettings& settings)
{
    if (options.port.isEmpty())
        return StoredPortChoice(settings);
    static const QRegularExpression com(QStringLiteral("^com([1-9][0-9]{0,2})$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = com.match(options.port);
    if (match.hasMatch())
        return {match.captured(1).toInt(), {}};
    return {0, options.port};
}

// The handset on the chosen port, with the frame log when one was asked for.
class Session {
public:
    explicit Session(const CliOptions& options)
    {
        const std::unique_ptr<QSettings> settings = OpenToolSettings();
        if (!options.logPath.isEmpty()) {
            try {
                log_ = std::make_unique<FrameLog>(std::filesystem::path(options.logPath.toStdU16String()));
            } catch (const std::exception& error) {
                throw CliError(ExitCode::File, QStringLiteral("Cannot write the frame log \"%1\": %2")
                                                   .arg(options.logPath, QString::fromLocal8Bit(error.what())));
            }
        }
        handset_ = std::make_unique<Handset>(ChosenPort(options, *settings), *settings, log_.get());
    }
    Handset& operator*() { return *handset_; }
    Handset* operator->() { return handset_.get(); }

private:
    std::unique_ptr<FrameLog> log_;  // outlives the handset's link
    std::unique_ptr<Handset> handset_;
};

void NeedWords(const CliOptions& options, int count, const char* usage)
{
    if (options.words.size() != count)
        Usage(QStringLiteral("Usage: m2bus-cli %1").arg(QLatin1String(usage)));
}

void Info(const CliOptions& options)
{
    NeedWords(options, 1, "info");
    Session handset(options);
    const HandsetInfo info = handset->ReadInfo();
    Print(QStringLiteral("Version: ") + QString(info.version).replace('\n', QStringLiteral("\n         ")));
    Print(QStringLiteral("Serial number: ") + info.serialNumber);
    Print(QStringLiteral("Net monitor: ") + (info.netMonitor ? "on" : "off"));
}

void NetMonitor(const CliOptions& options)
{
    NeedWords(options, 2, "netmon on|off");
    const QString state = options.words[1];
    if (state != QLatin1String("on") && state != QLatin1String("off"))
        Usage(QStringLiteral("netmon takes on or off, not \"%1\"").arg(state));
    Session handset(options);
    const bool on = handset->SwitchNetMonitor(state == QLatin1String("on"));
    Print(QStringLiteral("Net monitor: ") + (on ? "on" : "off"));
}

void Reset(const CliOptions& options)
{
    NeedWords(options, 1, "reset");
    Session handset(options);
    handset->Reset();
    Print(QStringLiteral("The handset was reset"));
}

void CheckPhonebookFile(const QString& path)
{
    if (!phonebookFormatFor(path))
        throw CliError(ExitCode::File,
                       QStringLiteral("\"%1\": a phonebook file ends in .npb, .csv or .vcf").arg(path));
}

void PhonebookRead(const CliOptions& options, const QString& path)
{
    CheckPhonebookFile(path);
    // Before the transfer, which takes its time: the result must have a place.
    try {
        checkPhonebookWritable(path);
    } catch (const InOutError& error) {
        throw CliError(ExitCode::File, QString::fromStdString(error.what()));
    }
    Session handset(options);
    std::vector<PhonebookEntry> entries;
    {
        Progress progress(QStringLiteral("Reading phonebook"), NpbRecords);
        for (int location = 0; location < NpbRecords; ++location) {
            entries.push_back(handset->ReadRecord(location));
            progress.Step(location + 1);
        }
    }
    const PhonebookRows rows = rowsFromEntries(entries);
    try {
        writePhonebook(path, rows);
    } catch (const InOutError& error) {
        throw CliError(ExitCode::File, QString::fromStdString(error.what()));
    }
    const auto used = std::count_if(rows.begin(), rows.end(), [](const PhonebookRow& row) { return !row.isBlank(); });
    Print(QStringLiteral("Read %1 records (%2 in use) into %3").arg(NpbRecords).arg(used).arg(path));
}

// Reads the handset's phonebook and compares it with entries as the handset
// would store them: a record it cannot hold exactly is no change once written.
std::vector<int> ChangedLocations(Handset& handset, const std::vector<PhonebookEntry>& entries)
{
    const QString serialNumber = handset.ReadSerialNumber();
    std::vector<PhonebookEntry> held;
    {
        Progress progress(QStringLiteral("Reading phonebook"), NpbRecords);
        for (int location = 0; location < NpbRecords; ++location) {
            held.push_back(handset.ReadRecord(location));
            progress.Step(location + 1);
        }
    }
    const std::vector<int> locations = differingLocations(held, entries);
    Tell(QStringLiteral("Handset %1: %2 of %3 records differ, %4 are skipped")
             .arg(serialNumber)
             .arg(locations.size())
             .arg(NpbRecords)
             .arg(NpbRecords - static_cast<int>(locations.size())));
    return locations;
}

ExitCode PhonebookWrite(const CliOptions& options, const QString& path)
{
    CheckPhonebookFile(path);
    PhonebookImport file;
    try {
        file = readPhonebook(path);
    } catch (const InOutError& error) {
        throw CliError(ExitCode::File, QString::fromStdString(error.what()));
    }
    for (const QString& note : file.notes)
        Tell(note);
    const std::vector<HandsetFinding> findings = checkForHandset(file.rows);
    if (!findings.empty()) {
        Tell(QStringLiteral("The handset will not keep these records as they are:"));
        for (const QString& line : describeHandsetFindings(file.rows, findings, 20))
            Tell(QStringLiteral("  ") + line);
    }
    Confirm(options, QStringLiteral("Do You really want to write current phonebook into Phone?"));
    const std::vector<PhonebookEntry> entries = entriesFromRows(file.rows);
    Session handset(options);
    std::vector<int> locations;
    if (options.changed) {
        locations = ChangedLocations(*handset, entries);
    } else {
        for (int location = 0; location < NpbRecords; ++location)
            locations.push_back(location);
    }
    const int count = static_cast<int>(locations.size());
    if (count > 0) {
        Progress progress(QStringLiteral("Writing phonebook"), count);
        for (int i = 0; i < count; ++i) {
            const int location = locations[static_cast<std::size_t>(i)];
            handset->WriteRecord(location, entries[static_cast<std::size_t>(location)]);
            progress.Step(i + 1);
        }
        // The handset takes the new phonebook in only after a restart.
        handset->Reset();
    }
    if (!options.changed)
        Print(QStringLiteral("Wrote %1 records from %2; the handset was reset").arg(NpbRecords).arg(path));
    else if (count > 0)
        Print(QStringLiteral("Wrote %1 changed records from %2, skipped %3 the handset holds already; the handset "
                             "was reset")
                  .arg(count)
                  .arg(path)
                  .arg(NpbRecords - count));
    else
        Print(QStringLiteral("Wrote no record: the handset holds all %1 records of %2 already").arg(NpbRecords).arg(path));
    if (!file.changed && findings.empty())
        return ExitCode::Ok;
    Tell(QStringLiteral("m2bus-cli: The handset does not hold everything as in the file: see the lines above"));
    return ExitCode::Changed;
}

void LogoGet(const CliOptions& options, const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("bmp") && suffix != QLatin1String("png"))
        throw CliError(ExitCode::File, QStringLiteral("\"%1\": the logo is saved as .bmp or .png").arg(path));
    Session handset(options);
    LogoBlocks blocks{};
    {
        Progress progress(QStringLiteral("Reading logo"), LogoBlockCount);
        for (int b = 0; b < LogoBlockCount; ++b) {
            blocks[static_cast<std::size_t>(b)] = handset->ReadLogoBlock(b);
            progress.Step(b + 1);
        }
    }
    SaveLogoPicture(LogoPictureFromBlocks(blocks), path);
    Print(QStringLiteral("Saved the logo in %1").arg(path));
}

void LogoPut(const CliOptions& options, const QString& path)
{
    const LogoBlocks blocks = LogoBlocksFromDots(logoImportDots(LoadLogoPicture(path), options.logo));
    Session handset(options);
    {
        Progress progress(QStringLiteral("Writing logo"), LogoBlockCount);
        for (int b = 0; b < LogoBlockCount; ++b) {
            handset->WriteLogoBlock(b, blocks[static_cast<std::size_t>(b)]);
            progress.Step(b + 1);
        }
    }
    Print(QStringLiteral("Wrote the logo from %1").arg(path));
}

void SmsSend(const CliOptions& options)
{
    NeedWords(options, 2, "sms send --operator NAME --to NUMBER --text TEXT");
    if (options.operatorName.isEmpty() || options.to.isEmpty() || options.text.isNull())
        Usage(QStringLiteral("sms send needs --operator, --to and --text"));
    const QString lost = CharactersWin1251Lacks(options.to + options.text);
    if (!lost.isEmpty())
        Confirm(options, "These characters cannot be sent and will go out as \"?\": " + lost + " - send the message anyway?");
    Print(SendSms(options.operatorName, options.to, options.text));
}

void RunFileCommand(const CliOptions& options, const QString& command)
{
    const char* withFile[] = {"phonebook read", "logo get", "logo put"};
    for (const char* known : withFile) {
        if (command != QLatin1String(known))
            continue;
        NeedWords(options, 3, (std::string(known) + " FILE").c_str());
        const QString& path = options.words[2];
        if (command == QLatin1String("phonebook read"))
            return PhonebookRead(options, path);
        if (command == QLatin1String("logo get"))
            return LogoGet(options, path);
        return LogoPut(options, path);
    }
    Usage(QStringLiteral("Unknown command \"%1\"").arg(options.words.join(' ')));
}

} // namespace

ExitCode RunCommand(const CliOptions& options)
{
    const QStringList& w = options.words;
    if (w.isEmpty())
        Usage(QStringLiteral("No command given"));
    const std::pair<const char*, const char*> verbs[] = {
        {"phonebook", "read|write FILE"}, {"logo", "get|put FILE"}, {"sms", "send --operator NAME --to NUMBER --text TEXT"}};
    for (const auto& [noun, usage] : verbs)
        if (w.size() == 1 && w[0] == QLatin1String(noun))
            Usage(QStringLiteral("%1 needs a verb: m2bus-cli %1 %2").arg(QLatin1String(noun), QLatin1String(usage)));
    const QString command = w[0] + (w.size() > 1 && (w[0] == "phonebook" || w[0] == "logo" || w[0] == "sms") ? " " + w[1] : QString());
    if (options.logoOptionsGiven && command != QLatin1String("logo put"))
        Usage(QStringLiteral("The picture options are for logo put only"));
    if ((!options.operatorName.isEmpty() || !options.to.isEmpty() || !options.text.isNull()) && command != QLatin1String("sms send"))
        Usage(QStringLiteral("--operator, --to and --text are for sms send only"));
    if (options.summary && command != QLatin1String("decode"))
        Usage(QStringLiteral("--summary is for decode only"));
    if (options.anyHandset && command != QLatin1String("restore"))
        Usage(QStringLiteral("--any-handset is for restore only"));
    if (options.changed && command != QLatin1String("phonebook write"))
        Usage(QStringLiteral("--changed is for phonebook write only"));

    if (command == QLatin1String("phonebook write")) {
        NeedWords(options, 3, "phonebook write [--changed] FILE");
        return PhonebookWrite(options, w[2]);
    }
    if (command == QLatin1String("info"))
        Info(options);
    else if (command == QLatin1String("netmon"))
        NetMonitor(options);
    else if (command == QLatin1String("reset"))
        Reset(options);
    else if (command == QLatin1String("sms send"))
        SmsSend(options);
    else if (command == QLatin1String("decode")) {
        NeedWords(options, 2, "decode LOG [--summary]");
        runDecode(w[1], options.summary);
    } else if (command == QLatin1String("backup")) {
        NeedWords(options, 2, "backup DIR");
        Session handset(options);
        Print(QStringLiteral("Backed up the handset into %1").arg(backUpHandset(*handset, w[1])));
    } else if (command == QLatin1String("restore")) {
        NeedWords(options, 2, "restore FOLDER [--any-handset]");
        Session handset(options);
        restoreHandset(*handset, w[1], options.anyHandset, [&](const QString& question) { Confirm(options, question); });
        Print(QStringLiteral("Restored the logo and phonebook from %1; the handset was reset").arg(w[1]));
    } else
        RunFileCommand(options, command);
    return ExitCode::Ok;
}

QString CliUsage()
{
    QString text = QStringLiteral(R"(Usage: m2bus-cli [--port DEVICE|COMn] [--log FILE] [--yes] COMMAND [ARGUMENTS]

The handset jobs of the M2Bus Service Tool without a window.

Commands:
  info                          print the version text, serial number and
                                net monitor state
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
                                serial number, net monitor) into a new
                                folder DIR/<serial number>-<date>-<time>
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
  --yes               do not ask before writing the phonebook or sending
                      characters the gateway cannot take
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
