// The commands of m2bus-cli, once the command line has been read.
#pragma once

#include "cli/ToolAccess.h"
#include "logo/LogoImport.h"

#include <QString>
#include <QStringList>

struct CliOptions {
    QString port;        // --port: a device or COMn; empty for the stored choice
    QString logPath;     // --log
    bool yes = false;    // --yes
    bool summary = false;  // --summary (decode)
    bool anyHandset = false;  // --any-handset (restore)
    bool changed = false;  // --changed (phonebook write)
    QString operatorName, to, text;  // sms send
    bool logoOptionsGiven = false;
    LogoImportOptions logo;
    QStringList words;   // the command and its arguments
    bool help = false; // --help: the usage text instead of a command
    bool version = false;
};

// Runs the command; raises CliError on failure. Ok, or Changed when the
// phonebook written differs from its file.
ExitCode runCommand(const CliOptions& options);
// The usage text of --help, exit codes included.
QString cliUsage();
