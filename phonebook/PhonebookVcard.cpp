#include "phonebook/PhonebookVcard.h"

#include "text/WinText.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cctype>
#include <optional>

namespace {

constexpr char LocationProperty[] = "X-M2BUS-LOCATION";
constexpr qsizetype FoldOctets = 75;

struct ContentLine {
    int line;  // where it starts in the file
    QByteArray text;
};

bool IsQuotedPrintable(const QByteArray& line)
{
    const qsizetype colon = line.indexOf(':');
    return line.left(colon < 0 ? line.size() : colon).toUpper().contains("QUOTED-PRINTABLE");
}

// Unfolds the lines: a line starting with a space or tab continues the one
// before it, and a quoted-printable value ending in '=' continues on the
// next line whatever it starts with.
std::vector<ContentLine> ContentLines(const QByteArray& bytes)
{
    QList<QByteArray> physical = bytes.split('\n');
    for (QByteArray& line : physical)
        if (line.endsWith('\r'))
            line.chop(1);
    std::vector<ContentLine> lines;
    for (qsizetype i = 0; i < physical.size(); ++i) {
        ContentLine content{static_cast<int>(i + 1), physical[i]};
        while (i + 1 < physical.size()) {
            const QByteArray& next = physical[i + 1];
            if (next.startsWith(' ') || next.startsWith('\t')) {
                content.text += next.mid(1);
            } else if (content.text.endsWith('=') && IsQuotedPrintable(content.text)) {
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

QByteArray DecodeQuotedPrintable(const QByteArray& value)
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
QString Unescaped(const QString& text)
{
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
QStringList SplitUnescaped(const QString& text, QChar separator)
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

QString Escaped(const QString& text)
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
    QByteArray name;  // upper case, group removed
    QList<QByteArray> parameters;
    QByteArray value;
};

std::optional<Property> ParseProperty(const QByteArray& line)
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
    property.name = head.takeFirst().trimmed().toUpper();
    property.name = property.name.mid(property.name.lastIndexOf('.') + 1);
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
                raw = DecodeQuotedPrintable(raw);
            else if (upper.startsWith("CHARSET="))
                charset = upper.mid(8).replace('"', "");
        }
        return decode(raw, charset);
    }

private:
    QString decode(const QByteArray& raw, const QByteArray& charset)
    {
        if (charset == "WINDOWS-1251" || charset == "CP1251")
            return FromWin1251(std::string_view(raw.constData(), static_cast<std::size_t>(raw.size())));
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
        return FromWin1251(std::string_view(raw.constData(), static_cast<std::size_t>(raw.size())));
    }

    QStringList& notes_;
    bool warnedWin1251_ = false;
};

struct Card {
    int line = 0;
    std::optional<QString> formattedName;
    std::optional<QString> structuredName;
    std::optional<QString> number;
    QString location;
};

QString NameFromStructured(const QString& value)
{
    // family;given;additional;prefix;suffix, shown as prefix given additional family suffix
    const QStringList parts = SplitUnescaped(value, u';');
    QStringList shown;
    for (int index : {3, 1, 2, 0, 4})
        if (index < parts.size() && !Unescaped(parts[index]).trimmed().isEmpty())
            shown << Unescaped(parts[index]).trimmed();
    return shown.join(u' ');
}

// Numbers in cards are usually written for reading ("+7 (495) 123-45-67");
// the handset wants the digits alone.
QString NumberFromTel(QString value)
{
    if (value.startsWith(QStringLiteral("tel:"), Qt::CaseInsensitive))
        value.remove(0, 4);
    value.remove(QRegularExpression(QStringLiteral("[\\s\\-().\\x{00A0}]")));
    return value;
}

// Folds a content line after FoldOctets octets without splitting a UTF-8 sequence.
QByteArray Folded(const QString& line)
{
    const QByteArray bytes = line.toUtf8();
    QByteArray out;
    qsizetype start = 0;
    qsizetype limit = FoldOctets;
    while (bytes.size() - start > limit) {
        qsizetype cut = start + limit;
        while ((static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
            --cut;
        out += bytes.mid(start, cut - start) + "\r\n ";
        start = cut;
        limit = FoldOctets - 1;  // the leading space counts
    }
    return out + bytes.mid(start) + "\r\n";
}

} // namespace

PhonebookImport parsePhonebookVcard(const QByteArray& bytes)
{
    QStringList notes;
    QByteArray utf8Bytes = bytes;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        utf8Bytes = decodeImportText(bytes, notes).toUtf8();
    else if (bytes.startsWith("\xEF\xBB\xBF"))
        utf8Bytes = bytes.mid(3);

    CardReader reader(notes);
    LocationPlanner planner;
    std::optional<Card> card;
    int depth = 0;  // cards inside a card (old AGENT properties) are skipped
    bool anyCard = false;
    for (const ContentLine& line : ContentLines(utf8Bytes)) {
        const std::optional<Property> property = ParseProperty(line.text);
        if (!property)
            continue;
        const bool marker = property->name == "BEGIN" || property->name == "END";
        if (marker && property->value.trimmed().toUpper() != "VCARD")
            continue;
        if (property->name == "BEGIN") {
            if (depth++ == 0)
                card = Card{line.line, {}, {}, {}, {}};
            anyCard = true;
        } else if (property->name == "END") {
            if (depth == 0)
                throw PhonebookParseError(line.line, QCoreApplication::translate("Phonebook", "END:VCARD without BEGIN:VCARD"));
            if (--depth > 0)
                continue;
            const QString name = card->formattedName.value_or(card->structuredName.value_or(QString()));
            PhonebookRow row{name, card->number.value_or(QString())};
            if (row.isBlank())
                notes << QCoreApplication::translate("Phonebook", "line %1: a card without name or number is left out").arg(card->line);
            else
                planner.add(card->line, card->location, std::move(row));
            card.reset();
        } else if (depth == 1) {
            if (property->name == "FN" && !card->formattedName) {
                const QString name = Unescaped(reader.text(*property)).trimmed();
                if (!name.isEmpty())
                    card->formattedName = name;
            }
            else if (property->name == "N" && !card->structuredName)
                card->structuredName = NameFromStructured(reader.text(*property));
            else if (property->name == "TEL" && !card->number)
                card->number = NumberFromTel(Unescaped(reader.text(*property)));
            else if (property->name == LocationProperty)
                card->location = reader.text(*property);
        }
    }
    if (card)
        throw PhonebookParseError(card->line, QCoreApplication::translate("Phonebook", "the card has no END:VCARD"));
    if (!anyCard && !bytes.trimmed().isEmpty())
        throw PhonebookParseError(1, QCoreApplication::translate("Phonebook", "no BEGIN:VCARD, this is not a vCard file"));

    PhonebookImport result = planner.finish();
    result.notes = notes + result.notes;
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
        out += Folded(QStringLiteral("FN:") + Escaped(row.name));
        out += Folded(QStringLiteral("N:") + Escaped(row.name) + QStringLiteral(";;;;"));
        if (!row.number.trimmed().isEmpty())
            out += Folded(QStringLiteral("TEL:") + Escaped(row.number));
        out += QByteArray(LocationProperty) + ':' + QByteArray::number(static_cast<qulonglong>(i + 1)) + "\r\n";
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
