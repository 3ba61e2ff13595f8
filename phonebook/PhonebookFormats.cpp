#include "phonebook/PhonebookFormats.h"

#include "phonebook/PhonebookCsv.h"
#include "phonebook/PhonebookVcard.h"

#include "files/SafeFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

PhonebookFormat formatOrRaise(const QString& path, const char* verb)
{
    if (const std::optional<PhonebookFormat> format = phonebookFormatFor(path))
        return *format;
    throw InOutError(QStringLiteral("Cannot %1 \"%2\": a phonebook file ends in .npb, .csv or .vcf.")
                          .arg(QString::fromLatin1(verb), path)
                          .toStdString());
}

PhonebookImport readAnyFormat(const QString& path)
{
    switch (formatOrRaise(path, "read")) {
    case PhonebookFormat::Csv:
        return readPhonebookCsv(path);
    case PhonebookFormat::Vcard:
        return readPhonebookVcard(path);
    case PhonebookFormat::Npb:
        break;
    }
    const DecodedPhonebook book = decodePhonebookFile(readPhonebookBytes(path, kNpbFileSize).toStdString());
    if (book.truncated)
        throw InOutError(
            QCoreApplication::translate("Phonebook", "Cannot read \"%1\": the file ends after %2 of the %3 records.")
                .arg(path, QString::number(book.entries.size()), QString::number(kNpbRecords))
                .toStdString());
    return {rowsFromEntries(book.entries), {}};
}

// Why the user may not write at path (a file or a folder), or 0.
int writeDenied(const QString& path)
{
#ifdef Q_OS_UNIX
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0 ? 0 : errno;
#else
    return QFileInfo(path).isWritable() ? 0 : EACCES;
#endif
}

} // namespace

std::optional<PhonebookFormat> phonebookFormatFor(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"npb")
        return PhonebookFormat::Npb;
    if (suffix == u"csv")
        return PhonebookFormat::Csv;
    if (suffix == u"vcf" || suffix == u"vcard")
        return PhonebookFormat::Vcard;
    return std::nullopt;
}

PhonebookImport readPhonebook(const QString& path)
{
    PhonebookImport book = readAnyFormat(path);
    if (std::all_of(book.rows.begin(), book.rows.end(), [](const PhonebookRow& row) { return row.isBlank(); })) {
        // The notes may say why: cards without a name or number, say.
        const QString why = book.notes.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(book.notes.first());
        throw InOutError(QCoreApplication::translate("Phonebook", "Cannot read \"%1\": there is no record in it%2.")
                              .arg(path, why)
                              .toStdString());
    }
    return book;
}

void checkPhonebookWritable(const QString& path)
{
    formatOrRaise(path, "save");
    const auto refuse = [&](const QString& reason) {
        throw InOutError(QCoreApplication::translate("Phonebook", "Cannot save \"%1\": %2.").arg(path, reason).toStdString());
    };
    const FileProbe target = probeFile(path);
    if (target.outcome.ok()) {
        if (const int error = writeDenied(path))
            refuse(fileOutcomeFromErrno(error).reason);
    } else if (target.outcome.fault != FileFault::Missing) {
        refuse(target.outcome.reason);
    }
    // The file is written beside its place and then renamed: the folder must take a new file.
    const QString folder = QFileInfo(path).absolutePath();
    const FileProbe place = probeFile(folder);
    if (place.outcome.fault == FileFault::Missing || place.outcome.fault == FileFault::FolderMissing)
        refuse(fileOutcomeFromErrno(ENOTDIR).reason);
    if (place.outcome.fault != FileFault::IsFolder)
        refuse(place.outcome.ok() ? fileOutcomeFromErrno(ENOTDIR).reason : place.outcome.reason);
    QTemporaryFile trial(folder + QStringLiteral("/.phonebook-XXXXXX"));
    if (!trial.open()) {
        const int error = errno;
        refuse(fileOutcomeFromErrno(error != 0 ? error : EACCES).reason);
    }
}

void writePhonebook(const QString& path, const PhonebookRows& rows)
{
    switch (formatOrRaise(path, "save")) {
    case PhonebookFormat::Csv:
        return writePhonebookCsv(path, rows);
    case PhonebookFormat::Vcard:
        return writePhonebookVcard(path, rows);
    case PhonebookFormat::Npb:
        break;
    }
    const std::string image = encodePhonebookFile(entriesFromRows(rows));
    replacePhonebookFile(path, QByteArray(image.data(), static_cast<qsizetype>(image.size())));
}
