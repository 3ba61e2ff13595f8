#include "files/SettingsStore.h"

#include "files/SafeFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

SettingsStore SettingsStore::forProgram(const QString& programName)
{
    SettingsStore store;
    store.programName_ = programName;
    return store;
}

QString SettingsStore::runningProgramName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

SettingsStore SettingsStore::inFile(const QString& iniPath)
{
    SettingsStore store;
    store.iniPath_ = iniPath;
    return store;
}

QString SettingsStore::iniPath() const
{
    if (!iniPath_.isEmpty())
        return iniPath_;
#ifdef Q_OS_WIN
    return {};
#else
    // Where QSettings keeps a user's INI store, known before it is opened.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + programName_
        + QStringLiteral(".ini");
#endif
}

std::optional<SettingsStore::Refusal> SettingsStore::refusal() const
{
    const QString path = iniPath();
    if (path.isEmpty())
        return std::nullopt;
    const FileOutcome found = probeFile(path).outcome;
    if (found.fault != FileFault::NotRegularFile && found.fault != FileFault::IsFolder)
        return std::nullopt;
    return Refusal{path, found.reason};
}

std::unique_ptr<QSettings> SettingsStore::open() const
{
    const QString path = iniPath();
    if (path.isEmpty())
        return std::make_unique<QSettings>("HKEY_CURRENT_USER\\Software\\" + programName_, QSettings::NativeFormat);
    if (!refusal()) {
        if (!iniPath_.isEmpty())
            return std::make_unique<QSettings>(iniPath_, QSettings::IniFormat);
        return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, programName_);
    }
    static QTemporaryDir standIns;
    const QString standIn = standIns.filePath(QString::number(qHash(path), 16) + QStringLiteral(".ini"));
    return std::make_unique<QSettings>(standIn, QSettings::IniFormat);
}
