#include "phonebook/PhonebookCsv.h"

#include "phonebook/ContactNumbers.h"
#include "phonebook/LocationPlanner.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <map>

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
QChar detectSeparator(const QString& text)
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

std::vector<CsvRecord> splitRecords(const QString& text, QChar separator)
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

struct NumberColumn {
    qsizetype value;
    qsizetype type = -1;  // Google's "Phone 1 - Type" beside "Phone 1 - Value"
    QString title;        // Outlook's title says the kind: "Mobile Phone", "Business Fax"
    bool google = false;
};

// Our own "location,name,number", or what contact services export: Google
// ("Name", "Given Name", "Phone 1 - Type", "Phone 1 - Value", …) and Outlook
// ("First Name", "Last Name", "Mobile Phone", "Business Phone", …).
struct Columns {
    qsizetype location = -1;  // only beside "number": in exports it is a place
    qsizetype name = -1;
    std::array<qsizetype, 3> nameParts{-1, -1, -1};  // given, middle, family
    qsizetype organization = -1;
    std::vector<NumberColumn> numbers;
};

bool isOutlookNumberTitle(const QString& title)
{
    return title.endsWith(u"phone") || title.endsWith(u"phone 2") || title.endsWith(u"fax") || title == u"callback" ||
           title == u"isdn" || title == u"pager" || title == u"telex";
}

Columns headerColumns(const CsvRecord& header)
{
    static const QRegularExpression kGoogleNumber(QStringLiteral(R"(^phone (\d+) - (value|type|label)$)"));
    Columns columns;
    bool ownNumber = false;
    std::map<QString, qsizetype> googleTypes;  // "1" → its "Phone 1 - Type" column
    std::vector<std::pair<QString, qsizetype>> googleValues;
    const auto take = [](qsizetype& column, qsizetype i) {
        if (column < 0)
            column = i;
    };
    for (qsizetype i = 0; i < header.fields.size(); ++i) {
        const QString title = header.fields[i].trimmed().toLower();
        const QRegularExpressionMatch google = kGoogleNumber.match(title);
        if (title == u"location")
            take(columns.location, i);
        else if (title == u"name" || title == u"full name" || title == u"display name")
            take(columns.name, i);
        else if (title == u"given name" || title == u"first name")
            take(columns.nameParts[0], i);
        else if (title == u"additional name" || title == u"middle name")
            take(columns.nameParts[1], i);
        else if (title == u"family name" || title == u"last name")
            take(columns.nameParts[2], i);
        else if (title == u"company" || title == u"organization 1 - name" || title == u"organization name")
            take(columns.organization, i);
        else if (title == u"number" && !ownNumber) {
            columns.numbers.push_back({i, -1, {}, false});
            ownNumber = true;
        } else if (google.hasMatch() && google.captured(2) == u"value")
            googleValues.emplace_back(google.captured(1), i);
        else if (google.hasMatch())
            googleTypes.emplace(google.captured(1), i);
        else if (isOutlookNumberTitle(title))
            columns.numbers.push_back({i, -1, title, false});
    }
    for (const auto& [index, column] : googleValues) {
        const auto type = googleTypes.find(index);
        columns.numbers.push_back({column, type == googleTypes.end() ? -1 : type->second, {}, true});
    }
    if (!ownNumber)
        columns.location = -1;
    const bool named = columns.name >= 0 || columns.organization >= 0 ||
                       std::any_of(columns.nameParts.begin(), columns.nameParts.end(), [](qsizetype c) { return c >= 0; });
    if (!named || columns.numbers.empty())
        throw PhonebookParseError(header.line,
                                  QCoreApplication::translate("Phonebook", "the first row must be the header \"location,name,number\", "
                                                                           "or that of a Google or Outlook contacts export"));
    return columns;
}

QString field(const CsvRecord& record, qsizetype column)
{
    return column >= 0 && column < record.fields.size() ? record.fields[column] : QString();
}

// The name column as it stands; else the parts of the name, else the company.
QString contactName(const CsvRecord& record, const Columns& columns)
{
    const QString whole = field(record, columns.name);
    if (!whole.trimmed().isEmpty())
        return whole;
    QStringList parts;
    for (qsizetype column : columns.nameParts)
        if (!field(record, column).trimmed().isEmpty())
            parts << field(record, column).trimmed();
    return parts.isEmpty() ? field(record, columns.organization).trimmed() : parts.join(u' ');
}

std::vector<ContactNumber> contactNumbers(const CsvRecord& record, const Columns& columns)
{
    std::vector<ContactNumber> numbers;
    for (const NumberColumn& column : columns.numbers) {
        ContactNumber kind;
        applyNumberLabel(column.type >= 0 ? field(record, column.type) : column.title, kind);
        const QString value = field(record, column.value);
        // Google puts several numbers of one type into one cell.
        const QStringList texts = column.google ? value.split(QStringLiteral(" ::: ")) : QStringList{value};
        for (const QString& text : texts) {
            kind.text = text;
            numbers.push_back(kind);
        }
    }
    return numbers;
}

// Quoted when a spreadsheet would otherwise split, join or trim it.
QString quoted(const QString& text)
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
    const std::vector<CsvRecord> records = splitRecords(text, detectSeparator(text));

    auto record = std::find_if(records.begin(), records.end(), [](const CsvRecord& r) { return !r.isEmpty(); });
    if (record == records.end())
        throw PhonebookParseError(1, QCoreApplication::translate("Phonebook", "the header row \"location,name,number\" is missing"));
    const Columns columns = headerColumns(*record);

    LocationPlanner planner;
    bool changed = false;
    for (++record; record != records.end(); ++record) {
        const QString name = contactName(*record, columns);
        const ChosenNumber chosen = chooseContactNumber(record->line, name, contactNumbers(*record, columns));
        PhonebookRow row{name, chosen.number};
        notes += chosen.notes;
        changed = changed || chosen.changed;
        if (!row.isBlank())
            planner.add(record->line, field(*record, columns.location), std::move(row));
    }
    PhonebookImport result = planner.finish();
    result.notes = notes + result.notes;
    result.changed = result.changed || changed;
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
        text += QString::number(i + 1) + u',' + quoted(rows[i].name) + u',' + quoted(rows[i].number)
            + QStringLiteral("\r\n");
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
