#include "phonebook/PhonebookFileIo.h"

#include "files/SafeFile.h"

namespace {

// The window's long-standing texts where they say what happened; a sentence
// naming the file and the reason where none of them fits.
[[noreturn]] void raiseFileError(const FileOutcome& outcome, const char* verb, const QString& path)
{
    switch (outcome.fault) {
    case FileFault::Missing:
    case FileFault::FolderMissing:
        throw InOutError("File not found");
    case FileFault::AccessDenied:
        throw InOutError("File access denied");
    case FileFault::DiskFull:
        throw InOutError("Disk full");
    case FileFault::InvalidName:
        throw InOutError("Invalid filename");
    default:
        throw InOutError(
            QStringLiteral("Cannot %1 \"%2\": %3.").arg(QString::fromLatin1(verb), path, outcome.reason).toStdString());
    }
}

} // namespace

void savePhonebookFile(const QString& path, const std::vector<PhonebookEntry>& entries)
{
    const std::string image = encodePhonebookFile(entries);
    const FileOutcome outcome = replaceFile(path, QByteArrayView(image.data(), static_cast<qsizetype>(image.size())));
    if (!outcome.ok())
        raiseFileError(outcome, "save", path);
}

std::string readPhonebookFile(const QString& path)
{
    const FileContents contents = readRegularFile(path, kNpbFileSize);
    if (!contents.outcome.ok())
        raiseFileError(contents.outcome, "open", path);
    return contents.bytes.toStdString();
}
