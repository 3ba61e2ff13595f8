#include "phonebook/PhonebookFormats.h"

#include "phonebook/PhonebookCsv.h"
#include "phonebook/PhonebookVcard.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

PhonebookFormat FormatOrRaise(const QString& path, const char* verb)
{
    if (const std::optional<PhonebookFormat> format = phonebookFormatFor(path))
        return *format;
    throw InOutError(QStringLiteral("Cannot %1 \"%2\": a phonebook file ends in .npb, .csv or .vcf.")
                          .arg(QString::fromLatin1(verb), path)
                          .toStdString());
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
    switch (FormatOrRaise(path, "read")) {
    case PhonebookFormat::Csv:
        return readPhonebookCsv(path);
    case PhonebookFormat::Vcard:
        return readPhonebookVcard(path);
    case PhonebookFormat::Npb:
        break;
    }
    const DecodedPhonebook book = DecodePhonebookFile(readPhonebookBytes(path, NpbFileSize).toStdString());
    if (book.Truncated)
        throw InOutError(QCoreApplication::translate("Phonebook", "Cannot read \"%1\": the file ends after %2 of the %3 records.")
                              .arg(path, QString::number(book.Entries.size()), QString::number(NpbRecords))
                              .toStdString());
    return {rowsFromEntries(book.Entries), {}};
}

void writePhonebook(const QString& path, const PhonebookRows& rows)
{
    switch (FormatOrRaise(path, "save")) {
    case PhonebookFormat::Csv:
        return writePhonebookCsv(path, rows);
    case PhonebookFormat::Vcard:
        return writePhonebookVcard(path, rows);
    case PhonebookFormat::Npb:
        break;
    }
    const std::string image = EncodePhonebookFile(entriesFromRows(rows));
    replacePhonebookFile(path, QByteArray(image.data(), static_cast<qsizetype>(image.size())));
}
