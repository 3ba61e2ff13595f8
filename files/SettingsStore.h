// The program's settings tree: the registry key "Software\<program>" on
// Windows, elsewhere the INI file of that name in the user's configuration
// folder (or one INI file named outright, for tests and tools). Made once at
// start and handed to whoever keeps settings.
#pragma once

#include <QString>

#include <memory>
#include <optional>

class QSettings;

class SettingsStore {
public:
    // The user's own settings of the program called programName.
    static SettingsStore forProgram(const QString& programName);
    // The name the running program's settings go by: its file's base name.
    static QString runningProgramName();
    // The settings in one INI file.
    static SettingsStore inFile(const QString& iniPath);

    // The tree, opened afresh: a QSettings takes in its file as it is made.
    // An INI file that is anything but a regular file (a named pipe would
    // block the program for good) is never opened: the settings then live in
    // a stand-in for as long as the program runs. Safe to use from any thread.
    std::unique_ptr<QSettings> open() const;

    struct Refusal {
        QString path;
        QString reason;
    };
    // Why open() refuses the INI file now, or nothing while it would open it.
    std::optional<Refusal> refusal() const;

private:
    SettingsStore() = default;
    // Where the INI file is; empty for the registry.
    QString iniPath() const;

    QString programName_; // for the platform's own store
    QString iniPath_; // for one INI file named outright
};
