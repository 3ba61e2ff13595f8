#include "phonebook/PhonebookVcard.h"

#include "phonebook/ContactNumbers.h"
#include "phonebook/LocationPlanner.h"
#include "text/WinText.h"

#include <QCoreApplication>
#include <QStringDecoder>

#include <cctype>
#include <map>
#include <optional>
#include <utility>

namespace {

constexpr char kLocationProperty[] = "X-M2BUS-LOCATION";
constexpr qsizetype kFoldOctets = 75;
// Cards nest for an agent, rarely deeper; a file nesting far deeper is broken.
constexpr std::size_t kMaxNestedCards = 8;

struct ContentLine {
    int line;  // where it starts in the file
    QByteArray text;
};

bool isQuotedPrintable(const QByteArray& line)
{
    const qsizetype colon = line.indexOf(':');
    return line.left(colon < 0 ? line.size() : colon).toUpper().contains("QUOTED-PRINTABLE");
}

// Lines end in CR LF, LF, or CR alone (older Mac programs).
QList<QByteArray> physicalLines(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\n' && bytes[i] != '\r')
            continue;
        lines << bytes.mid(start, i - start);
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    lines << bytes.mid(start);
    return lines;
}

// Unfolds the lines: a line starting with a space or tab continues the one
// before it, and a quoted-printable value ending in '=' continues on the
// next line whatever it starts with.
std::vector<ContentLine> contentLines(const QByteArray& bytes)
{
    const QList<QByteArray> physical = physicalLines(bytes);
    std::vector<ContentLine> lines;
    for (qsizetype i = 0; i < physical.size(); ++i) {
        ContentLine content{static_cast<int>(i + 1), physical[i]};
        while (i + 1 < physical.size()) {
            const QByteArray& next = physical[i + 1];
            if (next.startsWith(' ') || next.startsWith('\t')) {
                content.text += next.mid(1);
            } else if (content.text.endsWith('=') && isQuotedPrintable(content.text)) {
                content.text.chop(1);
                content.text += next;
            } else {
                break;
            }
            ++i;
        }
        lines.push_back(std::move(content));
    }
    return lines;
}

QByteArray decodeQuotedPrintable(const QByteArray& value)
{
    QByteArray out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const bool escape = value[i] == '=' && i + 2 < value.size() && std::isxdigit(static_cast<unsigned char>(value[i + 1])) &&
                            std::isxdigit(static_cast<unsigned char>(value[i + 2]));
        if (escape) {
            out += static_cast<char>(value.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else {
            out += value[i];
        }
    }
    return out;
}

// Undoes the backslash escapes of a text value.
QString unescaped(const QString& text)
{
    if (!text.contains(u'\\'))
        return text;
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size()) {
            const QChar next = text[++i];
            out += next == u'n' || next == u'N' ? QChar(u'\n') : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Splits at the separators that are not escaped; the parts stay escaped.
QStringList splitUnescaped(const QString& text, QChar separator)
{
    QStringList parts{QString()};
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size()) {
            parts.last() += text[i];
            parts.last() += text[++i];
        } else if (text[i] == separator) {
            parts << QString();
        } else {
            parts.last() += text[i];
        }
    }
    return parts;
}

QString escaped(const QString& text)
{
    QString out;
    for (QChar c : text) {
        if (c == u'\\' || c == u',' || c == u';')
            out += u'\\';
        if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c != u'\r')
            out += c;
    }
    return out;
}

struct Property {
    QByteArray group;  // "item1" of "item1.TEL", upper case
    QByteArray name;   // upper case, group removed
    QList<QByteArray> parameters;
    QByteArray value;
};

std::optional<Property> parseProperty(const QByteArray& line)
{
    bool quoted = false;
    qsizetype colon = -1;
    for (qsizetype i = 0; i < line.size() && colon < 0; ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            colon = i;
    }
    if (colon < 0)
        return std::nullopt;
    QList<QByteArray> head = line.left(colon).split(';');
    Property property;
    const QByteArray groupAndName = head.takeFirst().trimmed().toUpper();
    const qsizetype dot = groupAndName.lastIndexOf('.');
    property.group = groupAndName.left(dot < 0 ? 0 : dot);
    property.name = groupAndName.mid(dot + 1);
    property.parameters = head;
    property.value = line.mid(colon + 1);
    return property;
}

class CardReader {
public:
    explicit CardReader(QStringList& notes) : notes_(notes) {}

    QString text(const Property& property)
    {
        QByteArray raw = property.value;
        QByteArray charset;
        for (const QByteArray& parameter : property.parameters) {
            const QByteArray upper = parameter.trimmed().toUpper();
            if (upper == "QUOTED-PRINTABLE" || upper == "ENCODING=QUOTED-PRINTABLE")
                raw = decodeQuotedPrintable(raw);
            else if (upper.startsWith("CHARSET="))
                charset = upper.mid(8).replace('"', "");
        }
        return decode(raw, charset);
    }

private:
    QString decode(const QByteArray& raw, const QByteArray& charset)
    {
        if (charset == "WINDOWS-1251" || charset == "CP1251")
            return fromWin1251(std::string_view(raw.constData(), static_cast<std::size_t>(raw.size())));
        if (!charset.isEmpty() && charset != "UTF-8") {
            QStringDecoder named(charset.constData());
            if (named.isValid()) {
                const QString text = named(raw);
                if (!named.hasError())
                    return text;
            }
        }
        QStringDecoder utf8(QStringConverter::Utf8);
        const QString text = utf8(raw);
        if (!utf8.hasError())
            return text;
        if (!warnedWin1251_)
            notes_ << QCoreApplication::translate("Phonebook", "text that is not UTF-8 was read as Windows-1251");
        warnedWin1251_ = true;
        return fromWin1251(std::string_view(raw.constData(), static_cast<std::size_t>(raw.size())));
    }

    QStringList& notes_;
    bool warnedWin1251_ = false;
};

struct Card {
    int line = 0;
    // A card inside another one as the value of its AGENT property: someone
    // acting for the contact, not a contact of the phonebook.
    bool agent = false;
    std::optional<QString> formattedName;
    std::optional<QString> structuredName;
    std::vector<std::pair<QByteArray, ContactNumber>> numbers;  // with the property's group
    std::map<QByteArray, QString> labels;                       // X-ABLabel by group
    QString location;
};

// The standard types said at once; others (X-…) read as labels.
void applyTelType(QByteArrayView type, ContactNumber& number)
{
    const auto is = [&](const char* word) { return type.compare(word, Qt::CaseInsensitive) == 0; };
    if (is("CELL") || is("IPHONE") || is("MOBILE"))
        number.mobile = true;
    else if (is("PREF"))
        number.preferred = true;
    else if (is("FAX") || is("PAGER"))
        number.noVoice = true;
    else if (!(is("VOICE") || is("HOME") || is("WORK") || is("MAIN") || is("OTHER") || is("TEXT") || is("MSG")))
        applyNumberLabel(QString::fromUtf8(type), number);
}

// TYPE=CELL,VOICE, TYPE="cell,voice", a bare CELL (2.1), PREF or PREF=1 (4.0).
ContactNumber numberOfTel(const Property& property, QString text)
{
    ContactNumber number{std::move(text)};
    for (const QByteArray& parameter : property.parameters) {
        const qsizetype equals = parameter.indexOf('=');
        const QByteArrayView name = QByteArrayView(parameter).first(equals < 0 ? 0 : equals).trimmed();
        const QByteArrayView value = QByteArrayView(parameter).sliced(equals + 1);
        if (equals >= 0 && name.compare("PREF", Qt::CaseInsensitive) == 0) {
            number.preferred = true;
        } else if (equals < 0 || name.compare("TYPE", Qt::CaseInsensitive) == 0) {
            for (const QByteArray& type : value.toByteArray().replace('"', "").split(','))
                applyTelType(QByteArrayView(type).trimmed(), number);
        }
    }
    return number;
}

QString nameFromStructured(const QString& value)
{
    // family;given;additional;prefix;suffix, shown as prefix given additional family suffix
    const QStringList parts = splitUnescaped(value, u';');
    QStringList shown;
    for (int index : {3, 1, 2, 0, 4})
        if (index < parts.size() && !unescaped(parts[index]).trimmed().isEmpty())
            shown << unescaped(parts[index]).trimmed();
    return shown.join(u' ');
}

// Folds a content line after kFoldOctets octets without splitting a UTF-8 sequence.
QByteArray folded(const QString& line)
{
    const QByteArray bytes = line.toUtf8();
    QByteArray out;
    qsizetype start = 0;
    qsizetype limit = kFoldOctets;
    while (bytes.size() - start > limit) {
        qsizetype cut = start + limit;
        while ((static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
            --cut;
        out += bytes.mid(start, cut - start) + "\r\n ";
        start = cut;
        limit = kFoldOctets - 1; // the leading space counts
    }
    return out + bytes.mid(start) + "\r\n";
}

} // namespace

PhonebookImport parsePhonebookVcard(const QByteArray& bytes)
{
    QStringList notes;
    bool changed = false;
    QByteArray utf8Bytes = bytes;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        utf8Bytes = decodeImportText(bytes, notes).toUtf8();
    else if (bytes.startsWith("\xEF\xBB\xBF"))
        utf8Bytes = bytes.mid(3);

    CardReader reader(notes);
    LocationPlanner planner;
    std::vector<Card> open;  // the innermost card last
    bool anyCard = false;
    bool agentValue = false;  // the line before was an AGENT property without a value
    for (const ContentLine& line : contentLines(utf8Bytes)) {
        const std::optional<Property> property = parseProperty(line.text);
        if (!property)
            continue;
        const bool afterAgent = std::exchange(agentValue, false);
        const bool marker = property->name == "BEGIN" || property->name == "END";
        if (marker && property->value.trimmed().toUpper() != "VCARD")
            continue;
        if (property->name == "BEGIN") {
            // A card begun inside another is read as a card of its own, unless
            // it is the other's agent.
            if (open.size() == kMaxNestedCards)
                throw PhonebookParseError(
                    line.line,
                    QCoreApplication::translate("Phonebook", "cards nested more than %1 deep").arg(kMaxNestedCards));
            const bool agent = !open.empty() && (afterAgent || open.back().agent);
            open.push_back(Card{line.line, agent, {}, {}, {}, {}, {}});
            anyCard = true;
        } else if (property->name == "END") {
            if (open.empty())
                throw PhonebookParseError(line.line, QCoreApplication::translate("Phonebook", "END:VCARD without BEGIN:VCARD"));
            Card card = std::move(open.back());
            open.pop_back();
            if (card.agent)
                continue;
            const QString name = card.formattedName.value_or(card.structuredName.value_or(QString()));
            std::vector<ContactNumber> numbers;
            for (auto& [group, number] : card.numbers) {
                const auto label = card.labels.find(group);
                if (!group.isEmpty() && label != card.labels.end())
                    applyNumberLabel(label->second, number);
                numbers.push_back(std::move(number));
            }
            ChosenNumber chosen = chooseContactNumber(card.line, name, numbers);
            notes += chosen.notes;
            changed = changed || chosen.changed;
            PhonebookRow row{name, chosen.number};
            if (row.isBlank()) {
                notes << QCoreApplication::translate("Phonebook", "line %1: a card without name or number is left out").arg(card.line);
                changed = true;
            } else {
                planner.add(card.line, card.location, std::move(row));
            }
        } else if (!open.empty() && !open.back().agent) {
            Card& card = open.back();
            if (property->name == "FN" && !card.formattedName) {
                const QString name = unescaped(reader.text(*property)).trimmed();
                if (!name.isEmpty())
                    card.formattedName = name;
            } else if (property->name == "N" && !card.structuredName) {
                card.structuredName = nameFromStructured(reader.text(*property));
            } else if (property->name == "TEL") {
                card.numbers.emplace_back(property->group, numberOfTel(*property, unescaped(reader.text(*property))));
            } else if (property->name == "X-ABLABEL") {
                card.labels[property->group] = unescaped(reader.text(*property));
            } else if (property->name == kLocationProperty) {
                card.location = reader.text(*property);
            } else if (property->name == "AGENT") {
                agentValue = property->value.trimmed().isEmpty();
            }
        }
    }
    if (!open.empty())
        throw PhonebookParseError(open.back().line, QCoreApplication::translate("Phonebook", "the card has no END:VCARD"));
    if (!anyCard && !bytes.trimmed().isEmpty())
        throw PhonebookParseError(1, QCoreApplication::translate("Phonebook", "no BEGIN:VCARD, this is not a vCard file"));

    PhonebookImport result = planner.finish();
    result.notes = notes + result.notes;
    result.changed = result.changed || changed;
    return result;
}

QByteArray formatPhonebookVcard(const PhonebookRows& rows)
{
    QByteArray out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const PhonebookRow& row = rows[i];
        if (row.isBlank())
            continue;
        out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
        out += folded(QStringLiteral("FN:") + escaped(row.name));
        out += folded(QStringLiteral("N:") + escaped(row.name) + QStringLiteral(";;;;"));
        if (!row.number.trimmed().isEmpty())
            out += folded(QStringLiteral("TEL:") + escaped(row.number));
        out += QByteArray(kLocationProperty) + ':' + QByteArray::number(static_cast<qulonglong>(i + 1)) + "\r\n";
        out += "END:VCARD\r\n";
    }
    return out;
}

PhonebookImport readPhonebookVcard(const QString& path)
{
    const QByteArray bytes = readPhonebookBytes(path);
    try {
        return parsePhonebookVcard(bytes);
    } catch (const PhonebookParseError& error) {
        raiseParseError(path, error);
    }
}

void writePhonebookVcard(const QString& path, const PhonebookRows& rows)
{
    replacePhonebookFile(path, formatPhonebookVcard(rows));
}
