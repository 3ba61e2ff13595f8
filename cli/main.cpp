// m2bus-cli: reads the command line, runs one command, and turns its
// outcome into the exit status with one line on stderr.
#include "cli/Commands.h"
#include "cli/ToolAccess.h"
#include "logo/LogoImportArguments.h"

#include "m2bus/Version.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

CliOptions parseArguments(const QStringList& arguments)
{
    CliOptions options;
    LogoImportArguments logo;
    try {
        logo = parseLogoImportArguments(arguments);
    } catch (const LogoImportOptionError& error) {
        throw CliError(ExitCode::Usage, QString::fromStdString(error.what()));
    }
    options.logo = logo.options;
    options.logoOptionsGiven = logo.others.size() != arguments.size();

    QCommandLineParser parser;
    const QCommandLineOption port("port", {}, "DEVICE");
    const QCommandLineOption log("log", {}, "FILE");
    const QCommandLineOption yes("yes");
    const QCommandLineOption anyHandset("any-handset");
    const QCommandLineOption changed("changed");
    const QCommandLineOption operatorName("operator", {}, "NAME");
    const QCommandLineOption to("to", {}, "NUMBER");
    const QCommandLineOption text("text", {}, "TEXT");
    const QCommandLineOption summary("summary");
    const QCommandLineOption helpOption(QStringList{"help", "h"});
    const QCommandLineOption versionOption("version");
    parser.addOptions({port, log, yes, anyHandset, changed, operatorName, to, text, summary, helpOption, versionOption});
    // "--port --yes info" would take "--yes" for the device.
    const qsizetype portAt = logo.others.indexOf(QStringLiteral("--port"));
    const bool portEmpty = logo.others.contains(QStringLiteral("--port=")) ||
                           (portAt >= 0 && (portAt + 1 == logo.others.size() || logo.others[portAt + 1].startsWith(u'-')));
    if (portEmpty)
        throw CliError(ExitCode::Usage, QStringLiteral("--port needs a device, such as /dev/ttyUSB0 or COM1 (try m2bus-cli --help)"));
    if (!parser.parse(QStringList{QStringLiteral("m2bus-cli")} + logo.others))
        throw CliError(ExitCode::Usage, parser.errorText() + QStringLiteral(" (try m2bus-cli --help)"));
    options.help = parser.isSet(helpOption);
    options.version = parser.isSet(versionOption);
    options.port = parser.value(port);
    options.logPath = parser.value(log);
    options.yes = parser.isSet(yes);
    options.summary = parser.isSet(summary);
    options.anyHandset = parser.isSet(anyHandset);
    options.changed = parser.isSet(changed);
    options.operatorName = parser.value(operatorName);
    options.to = parser.value(to);
    if (parser.isSet(text))
        options.text = parser.value(text).isNull() ? QStringLiteral("") : parser.value(text);
    options.words = parser.positionalArguments();
    return options;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    try {
        const CliOptions options = parseArguments(arguments);
        if (options.help) {
            std::fputs(cliUsage().toUtf8().constData(), stdout);
            return 0;
        }
        if (options.version) {
            std::printf("m2bus-cli %s\n", kM2BusVersion);
            return 0;
        }
        return static_cast<int>(runCommand(options));
    } catch (const CliError& error) {
        std::fprintf(stderr, "m2bus-cli: %s\n", error.what());
        return static_cast<int>(error.code());
    }
}
