#include "phonebook/HandsetCheck.h"

#include <QCoreApplication>

#include "text/WinText.h"
#include "phonebook/PhoneChars.h"
#include "phonebook/PhoneRecord.h"

#include <algorithm>
#include <map>

namespace {

// The write drops the same blanks: every byte up to 0x20 at either end.
QString trimmedLikeWrite(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 0x20)
        ++first;
    while (last > first && text[last - 1].unicode() <= 0x20)
        --last;
    return text.mid(first, last - first);
}

enum class Fate { Kept, Nearest, Lost };

// A name character is kept when the handset gives back what it was sent,
// stored as its nearest letter when it gives back that one; anything else
// comes back changed or as a blank.
Fate nameCharFate(const QString& character)
{
    bool lossy = false;
    const std::string bytes = toWin1251(character, &lossy);
    if (lossy || bytes.size() != 1)
        return Fate::Lost;
    const auto sent = static_cast<std::uint8_t>(bytes[0]);
    const std::uint8_t stored = storedLetter(sent);
    const std::uint8_t code = kWinToPhoneChars[stored];
    const std::uint8_t back = code < 0x80 ? kPhoneCharsLow[code] : kPhoneCharsHigh[code - 0x80];
    if (back != stored)
        return Fate::Lost;
    return stored == sent ? Fate::Kept : Fate::Nearest;
}

Fate numberCharFate(const QString& character)
{
    const bool kept = character == u" "
        || (character.size() == 1 && character[0].unicode() < 0x80
            && std::find(kPhoneDigits.begin(), kPhoneDigits.end(), character[0].toLatin1()) != kPhoneDigits.end());
    return kept ? Fate::Kept : Fate::Lost;
}

// Checks one text: the characters within the kept length, and the cut.
template <typename FateOf>
void checkText(const QString& raw, int location, int limit, FateOf fateOf, HandsetFinding::Kind lostKind,
               HandsetFinding::Kind cutKind, std::vector<HandsetFinding>& findings)
{
    const QString text = trimmedLikeWrite(raw);
    // One Windows-1251 byte is written per UTF-16 unit, so the limit counts units.
    qsizetype cut = std::min<qsizetype>(text.size(), limit);
    if (cut < text.size() && text[cut].isLowSurrogate())
        --cut;  // report a character split by the cut as cut off
    QString lost;
    QString nearest;
    for (qsizetype i = 0; i < cut;) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        const Fate fate = fateOf(character);
        QString& list = fate == Fate::Lost ? lost : nearest;
        if (fate != Fate::Kept && !list.contains(character))
            list += character;
        i += length;
    }
    if (!lost.isEmpty())
        findings.push_back({location, lostKind, lost});
    if (!nearest.isEmpty())
        findings.push_back({location, HandsetFinding::Kind::NameLetters, nearest});
    if (cut < text.size())
        findings.push_back({location, cutKind, text.mid(cut)});
}

// "Ё → Е, ї → i" for letters the handset stores as their nearest.
QString nearestLetters(const QString& letters)
{
    QStringList pairs;
    for (QChar letter : letters) {
        const std::string sent = toWin1251(QString(letter));
        const char stored = static_cast<char>(storedLetter(static_cast<std::uint8_t>(sent.at(0))));
        pairs << QStringLiteral("%1 → %2").arg(letter, fromWin1251(std::string_view(&stored, 1)));
    }
    return pairs.join(QStringLiteral(", "));
}

// Control and other invisible characters are shown by their code.
QString visible(const QString& characters)
{
    QStringList shown;
    for (qsizetype i = 0; i < characters.size();) {
        if (shown.size() == kMaxQuotedChars / 2) {
            shown << QStringLiteral("…");
            break;
        }
        const qsizetype length = characters[i].isHighSurrogate() && i + 1 < characters.size() ? 2 : 1;
        const QString character = characters.mid(i, length);
        const char32_t code = character.toUcs4().value(0);
        const bool printable = QChar::isPrint(code) && !QChar::isSpace(code);
        shown << (printable ? character : QStringLiteral("U+%1").arg(code, 4, 16, QChar(u'0')).toUpper());
        i += length;
    }
    return shown.join(u' ');
}

QString describe(const HandsetFinding& finding)
{
    switch (finding.kind) {
    case HandsetFinding::Kind::NameCharacters:
        return QCoreApplication::translate("Phonebook", "characters the handset cannot store: %1")
            .arg(visible(finding.text));
    case HandsetFinding::Kind::NumberCharacters:
        return QCoreApplication::translate("Phonebook", "number characters that become blanks: %1")
            .arg(visible(finding.text));
    case HandsetFinding::Kind::NameLetters:
        return QCoreApplication::translate("Phonebook", "letters stored as the nearest the handset has: %1")
            .arg(nearestLetters(finding.text));
    case HandsetFinding::Kind::NameCut:
        return QCoreApplication::translate("Phonebook", "name cut after %1 characters, \"%2\" is lost")
            .arg(QString::number(kMaxNameChars), excerpt(finding.text));
    case HandsetFinding::Kind::NumberCut:
        return QCoreApplication::translate("Phonebook", "number cut after %1 digits, \"%2\" is lost")
            .arg(QString::number(kMaxNumberDigits), excerpt(finding.text));
    }
    return {};
}

} // namespace

std::vector<HandsetFinding> checkForHandset(const PhonebookRows& rows)
{
    std::vector<HandsetFinding> findings;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int location = static_cast<int>(i) + 1;
        checkText(rows[i].name, location, kMaxNameChars, nameCharFate, HandsetFinding::Kind::NameCharacters,
                  HandsetFinding::Kind::NameCut, findings);
        checkText(rows[i].number, location, kMaxNumberDigits, numberCharFate, HandsetFinding::Kind::NumberCharacters,
                  HandsetFinding::Kind::NumberCut, findings);
    }
    return findings;
}

QStringList describeHandsetFindings(const PhonebookRows& rows, const std::vector<HandsetFinding>& findings,
                                    int maxRecords)
{
    std::map<int, QStringList> byLocation;
    for (const HandsetFinding& finding : findings)
        byLocation[finding.location] << describe(finding);

    QStringList lines;
    for (const auto& [location, parts] : byLocation) {
        if (maxRecords >= 0 && lines.size() == maxRecords) {
            lines << QCoreApplication::translate("Phonebook", "… and %1 more records").arg(byLocation.size() - static_cast<std::size_t>(maxRecords));
            break;
        }
        const std::size_t index = static_cast<std::size_t>(location - 1);
        const PhonebookRow row = index < rows.size() ? rows[index] : PhonebookRow{};
        const QString label = excerpt(trimmedLikeWrite(row.name.trimmed().isEmpty() ? row.number : row.name));
        lines << QStringLiteral("%1 \"%2\": %3").arg(QString::number(location), label, parts.join(QStringLiteral("; ")));
    }
    return lines;
}
