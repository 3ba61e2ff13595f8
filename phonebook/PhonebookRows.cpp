#include "phonebook/PhonebookRows.h"

#include "text/WinText.h"
#include "files/SafeFile.h"
#include "phonebook/PhoneRecord.h"

#include <QCoreApplication>
#include <QStringDecoder>

#include <algorithm>

bool PhonebookRow::isBlank() const
{
    const auto blank = [](const QString& text) {
        return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0x20; });
    };
    return blank(name) && blank(number);
}

PhonebookRows emptyPhonebookRows()
{
    return PhonebookRows(kPhonebookLocations);
}

PhonebookRows rowsFromEntries(const std::vector<PhonebookEntry>& entries)
{
    PhonebookRows rows = emptyPhonebookRows();
    const std::size_t count = std::min(entries.size(), rows.size());
    for (std::size_t i = 0; i < count; ++i)
        rows[i] = {fromWin1251(entries[i].name), fromWin1251(entries[i].number)};
    return rows;
}

std::vector<PhonebookEntry> entriesFromRows(const PhonebookRows& rows)
{
    std::vector<PhonebookEntry> entries(kPhonebookLocations);
    const std::size_t count = std::min(entries.size(), rows.size());
    for (std::size_t i = 0; i < count; ++i)
        entries[i] = {toWin1251(rows[i].name), toWin1251(rows[i].number)};
    return entries;
}

QString excerpt(const QString& text)
{
    QString shown;
    int characters = 0;
    for (qsizetype i = 0; i < text.size(); ++characters) {
        if (characters == kMaxQuotedChars)
            return shown + u'…';
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const char16_t c = text[i].unicode();
        if (c < 0x20)
            shown += QChar(0x2400 + c);  // the control pictures: ␀ ␁ … ␟
        else if (c == 0x7F)
            shown += QChar(0x2421);
        else if (c == 0x85 || c == 0x2028 || c == 0x2029)
            shown += QChar(0x2424);  // ␤, a line break of another kind
        else
            shown += text.mid(i, length);
        i += length;
    }
    return shown;
}

QString decodeImportText(const QByteArray& bytes, QStringList& notes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        return utf16(QByteArrayView(bytes).sliced(2));
    }
    const QByteArrayView body = bytes.startsWith("\xEF\xBB\xBF") ? QByteArrayView(bytes).sliced(3) : QByteArrayView(bytes);
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8(body);
    if (!utf8.hasError())
        return text;
    notes << QCoreApplication::translate("Phonebook", "the file is not UTF-8; it was read as Windows-1251");
    return fromWin1251(std::string_view(body.data(), static_cast<std::size_t>(body.size())));
}

QByteArray readPhonebookBytes(const QString& path, qint64 maxBytes)
{
    // One byte more than allowed tells an oversized file from one of exactly the limit.
    const FileContents contents = readRegularFile(path, maxBytes + 1);
    if (!contents.outcome.ok())
        throw InOutError(QCoreApplication::translate("Phonebook", "Cannot read \"%1\": %2.").arg(path, contents.outcome.reason).toStdString());
    if (contents.bytes.size() > maxBytes)
        throw InOutError(QCoreApplication::translate("Phonebook", "Cannot read \"%1\": it is larger than %2 MB, too large for a phonebook.")
                              .arg(path, QString::number(maxBytes / (1024 * 1024)))
                              .toStdString());
    return contents.bytes;
}

void replacePhonebookFile(const QString& path, const QByteArray& bytes)
{
    const FileOutcome outcome = replaceFile(path, bytes);
    if (!outcome.ok())
        throw InOutError(QCoreApplication::translate("Phonebook", "Cannot save \"%1\": %2.").arg(path, outcome.reason).toStdString());
}

void raiseParseError(const QString& path, const PhonebookParseError& error)
{
    throw InOutError(QCoreApplication::translate("Phonebook", "Cannot read \"%1\", line %2: %3.").arg(path, QString::number(error.line()), error.reason()).toStdString());
}
