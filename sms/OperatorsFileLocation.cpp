#include "sms/OperatorsFileLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#ifndef M2BUS_DATA_FROM_PROGRAM
#define M2BUS_DATA_FROM_PROGRAM "../share/m2bus-tool"
#endif

namespace {

const QString kFileName = QStringLiteral("Operators.ini");

QString& programFolderOverride()
{
    static QString folder;
    return folder;
}

// Tried rather than read from the permission bits: those say yes to root
// anywhere and, on Windows, know nothing of the folder's access list.
bool canWriteFile(const QString& path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly);
}

bool canWriteIn(const QString& folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".m2bus-write-test-XXXXXX")));
    return probe.open();
}

} // namespace

void setProgramFolderOverride(const QString& folder)
{
    programFolderOverride() = folder;
}

OperatorsFilePlaces operatorsFilePlaces()
{
    const QString program =
        programFolderOverride().isEmpty() ? QCoreApplication::applicationDirPath() : programFolderOverride();
    // Not the application's own name: m2bus-cli must find the file m2bus-tool writes.
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return {program, QDir(config).filePath(QStringLiteral("m2bus-tool")),
            QDir::cleanPath(QDir(program).filePath(QStringLiteral(M2BUS_DATA_FROM_PROGRAM "/") + kFileName))};
}

QString operatorsFileFor(const OperatorsFilePlaces& places)
{
    const QString beside = QDir(places.programFolder).filePath(kFileName);
    if (canWriteFile(beside))
        return beside;
    const bool installed = QFileInfo(places.seedFile).isFile();
    if (!installed && canWriteIn(places.programFolder))
        return beside;

    const QString own = QDir(places.configFolder).filePath(kFileName);
    if (QFileInfo::exists(own) || !QDir().mkpath(places.configFolder))
        return own;
    const QString seed = installed ? places.seedFile : (QFileInfo(beside).isFile() ? beside : QString());
    // QFile::copy writes a temporary file and renames it: never a half copy.
    // The packaged copy is read-only to the user; their own copy takes their edits.
    if (!seed.isEmpty() && QFile::copy(seed, own))
        QFile(own).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                  | QFileDevice::ReadOther);
    return own;
}
