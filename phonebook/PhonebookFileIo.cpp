#include "PhonebookFileIo.h"

#include <QFile>
#include <QFileInfo>
#include <QDir>
#include <QSaveFile>

namespace {

[[noreturn]] void RaiseFileError(const QFileDevice& file, const QString& path)
{
    switch (file.error()) {
    case QFileDevice::OpenError:
        if (!QFileInfo::exists(path) && !QFileInfo(path).absoluteDir().exists())
            throw EInOutError("File not found");
        if (path.isEmpty() || QFileInfo(path).isDir())
            throw EInOutError("Invalid filename");
        throw EInOutError("File access denied");
    case QFileDevice::PermissionsError:
        throw EInOutError("File access denied");
    case QFileDevice::ResizeError:
    case QFileDevice::WriteError:
        throw EInOutError("Disk full");
    default:
        throw EInOutError("I/O error " + std::to_string(static_cast<int>(file.error())));
    }
}

} // namespace

void SavePhonebookFile(const QString& path, const std::vector<PhonebookEntry>& entries)
{
    const std::string image = EncodePhonebookFile(entries);
    QSaveFile file(path);
    // Unbuffered: a short write shows here, before commit could put a cut file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        RaiseFileError(file, path);
    if (file.write(image.data(), static_cast<qint64>(image.size())) != static_cast<qint64>(image.size())) {
        if (file.error() == QFileDevice::PermissionsError)
            throw EInOutError("File access denied");
        throw EInOutError("Disk full");
    }
    if (!file.commit())
        RaiseFileError(file, path);
}

std::string ReadPhonebookFile(const QString& path)
{
    QFile file(path);
    if (!QFileInfo::exists(path))
        throw EInOutError("File not found");
    if (QFileInfo(path).isDir())
        throw EInOutError("Invalid filename");
    if (!file.open(QIODevice::ReadOnly))
        RaiseFileError(file, path);
    const QByteArray bytes = file.read(NpbFileSize);
    if (file.error() != QFileDevice::NoError)
        RaiseFileError(file, path);
    return bytes.toStdString();
}
