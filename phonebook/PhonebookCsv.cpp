#include "phonebook/PhonebookCsv.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>

namespace {

struct CsvRecord {
    int line = 0;  // where the record starts
    QStringList fields;
    bool isEmpty() const
    {
        return std::all_of(fields.begin(), fields.end(), [](const QString& f) { return f.trimmed().isEmpty(); });
    }
};

// The separator is whichever of comma, semicolon and tab the header row (the
// first line that is not blank) holds most often outside quotes.
QChar DetectSeparator(const QString& text)
{
    std::array<int, 3> counts{};
    constexpr std::array<char16_t, 3> candidates{u',', u';', u'\t'};
    bool quoted = false;
    bool inHeader = false;
    for (QChar c : text) {
        if (c == u'"') {
            quoted = !quoted;
            inHeader = true;
        } else if (quoted) {
            continue;
        } else if (c == u'\n' || c == u'\r') {
            if (inHeader)
                break;
        } else {
            inHeader = inHeader || !c.isSpace();
            for (std::size_t i = 0; i < candidates.size(); ++i)
                counts[i] += c == candidates[i];
        }
    }
    const auto most = std::max_element(counts.begin(), counts.end());
    return *most == 0 ? QChar(u',') : QChar(candidates[static_cast<std::size_t>(most - counts.begin())]);
}

std::vector<CsvRecord> SplitRecords(const QString& text, QChar separator)
{
    std::vector<CsvRecord> records;
    CsvRecord record{1, {}};
    QString field;
    bool quoted = false;
    bool fieldStarted = false;  // a quote opens a quoted field only at its start
    int line = 1;

    const auto endField = [&] {
        record.fields << field;
        field.clear();
        fieldStarted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool lineBreak = c == u'\n' || c == u'\r';
        if (lineBreak && c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;  // CR LF is one line break
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += lineBreak ? QChar(u'\n') : c;
                line += lineBreak;
            }
        } else if (c == u'"' && !fieldStarted) {
            quoted = true;
            fieldStarted = true;
        } else if (c == separator) {
            endField();
        } else if (lineBreak) {
            endField();
            records.push_back(std::move(record));
            record = {++line, {}};
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (quoted)
        throw PhonebookParseError(record.line, QCoreApplication::translate("Phonebook", "a quoted field is not closed"));
    if (fieldStarted || !record.fields.isEmpty()) {
        endField();
        records.push_back(std::move(record));
    }
    return records;
}

struct Columns {
    qsizetype location = -1;
    qsizetype name = -1;
    qsizetype number = -1;
};

Columns HeaderColumns(const CsvRecord& header)
{
    Columns columns;
    for (qsizetype i = 0; i < header.fields.size(); ++i) {
        const QString title = header.fields[i].trimmed().toLower();
        qsizetype* column = title == u"location" ? &columns.location
                          : title == u"name"     ? &columns.name
                          : title == u"number"   ? &columns.number
                                                 : nullptr;
        if (column && *column < 0)
            *column = i;
    }
    if (columns.name < 0 || columns.number < 0)
        throw PhonebookParseError(header.line,
                                  QCoreApplication::translate("Phonebook", "the first row must be the header \"location,name,number\""));
    return columns;
}

QString Field(const CsvRecord& record, qsizetype column)
{
    return column >= 0 && column < record.fields.size() ? record.fields[column] : QString();
}

// Quoted when a spreadsheet would otherwise split, join or trim it.
QString Quoted(const QString& text)
{
    const bool plain = !text.contains(u',') && !text.contains(u';') && !text.contains(u'"') &&
                       !text.contains(u'\n') && !text.contains(u'\r') && !text.contains(u'\t') &&
                       text.trimmed() == text;
    if (plain)
        return text;
    QString out = text;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

} // namespace

PhonebookImport parsePhonebookCsv(const QByteArray& bytes)
{
    QStringList notes;
    const QString text = decodeImportText(bytes, notes);
    const std::vector<CsvRecord> records = SplitRecords(text, DetectSeparator(text));

    auto record = std::find_if(records.begin(), records.end(), [](const CsvRecord& r) { return !r.isEmpty(); });
    if (record == records.end())
        throw PhonebookParseError(1, QCoreApplication::translate("Phonebook", "the header row \"location,name,number\" is missing"));
    const Columns columns = HeaderColumns(*record);

    LocationPlanner planner;
    for (++record; record != records.end(); ++record) {
        PhonebookRow row{Field(*record, columns.name), Field(*record, columns.number)};
        if (!row.isBlank())
            planner.add(record->line, Field(*record, columns.location), std::move(row));
    }
    PhonebookImport result = planner.finish();
    result.notes = notes + result.notes;
    return result;
}

QByteArray formatPhonebookCsv(const PhonebookRows& rows)
{
    // The byte-order mark makes spreadsheet programs take the file as UTF-8
    // rather than as the system's code page.
    QString text = QStringLiteral("\uFEFFlocation,name,number\r\n");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].isBlank())
            continue;
        text += QString::number(i + 1) + u',' + Quoted(rows[i].name) + u',' + Quoted(rows[i].number) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

PhonebookImport readPhonebookCsv(const QString& path)
{
    const QByteArray bytes = readPhonebookBytes(path);
    try {
        return parsePhonebookCsv(bytes);
    } catch (const PhonebookParseError& error) {
        raiseParseError(path, error);
    }
}

void writePhonebookCsv(const QString& path, const PhonebookRows& rows)
{
    replacePhonebookFile(path, formatPhonebookCsv(rows));
}
