#include "backup/HandsetFacts.h"

#include "backup/BackupError.h"
#include "link/ServiceCommands.h"
#include "text/WinText.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

// Stored names: handset.txt keeps them whatever the code calls things.
const QString kSerialKey = QStringLiteral("serial number");
const QString kVersionKey = QStringLiteral("version");
const QString kNetMonitorKey = QStringLiteral("net monitor");
const QString kMadeKey = QStringLiteral("made");
const QString kOwnNumberKey = QStringLiteral("own number");
// "dialled 1" is the latest.
const QString kDialledKey = QStringLiteral("dialled %1");
const QString kNotStored = QStringLiteral("not stored");

// One value per line: line breaks and backslashes are written as \n and \\.
QString escaped(const QString& value)
{
    QString out;
    for (const QChar c : value) {
        if (c == u'\\')
            out += QStringLiteral("\\\\");
        else if (c == u'\n')
            out += QStringLiteral("\\n");
        else if (c == u'\r')
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

QString unescaped(const QString& value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value[++i];
        out += next == u'n' ? QChar(u'\n') : next == u'r' ? QChar(u'\r') : next;
    }
    return out;
}

QString numberValue(const StoredNumber& number)
{
    return number ? fromWin1251(*number) : kNotStored;
}

StoredNumber storedNumber(const QString& value)
{
    const QString number = value.trimmed();
    if (number.isEmpty() || number == kNotStored)
        return std::nullopt;
    return toWin1251(number);
}

// Where a "dialled N" key's number goes.
std::optional<std::size_t> dialledAt(const QString& key)
{
    for (std::size_t i = 0; i < kDialledNumbers; ++i)
        if (key == kDialledKey.arg(i + 1))
            return i;
    return std::nullopt;
}

[[noreturn]] void refuse(const char* clause)
{
    throw BackupError(QCoreApplication::translate("Backup", clause));
}

} // namespace

std::optional<HandsetFacts> handsetFactsFromReadings(const HandsetReadings& readings)
{
    if (!readings.versionText || !readings.serialNumber || !readings.netMonitorOn)
        return std::nullopt;
    QStringList lines = fromWin1251(*readings.versionText).split(u'\n');
    for (QString& line : lines)
        line = line.trimmed();
    while (!lines.isEmpty()) {
        QString& last = lines.last();
        while (last.endsWith(u'.'))
            last.chop(1);
        if (!last.trimmed().isEmpty())
            break;
        lines.removeLast();
    }
    return HandsetFacts{lines.join(u'\n'), fromWin1251(*readings.serialNumber).trimmed(), *readings.netMonitorOn};
}

QByteArray formatHandsetFacts(const HandsetFacts& facts, const QDateTime& made)
{
    QString text = QStringLiteral("# The handset this backup was made of\n");
    text += kSerialKey + QStringLiteral(": ") + escaped(facts.serialNumber) + u'\n';
    text += kVersionKey + QStringLiteral(": ") + escaped(facts.version) + u'\n';
    text += kNetMonitorKey + QStringLiteral(": ") + (facts.netMonitor ? QStringLiteral("on") : QStringLiteral("off"))
        + u'\n';
    text += kOwnNumberKey + QStringLiteral(": ") + numberValue(facts.numbers.ownNumber) + u'\n';
    for (std::size_t i = 0; i < facts.numbers.dialled.size(); ++i)
        text += kDialledKey.arg(i + 1) + QStringLiteral(": ") + numberValue(facts.numbers.dialled[i]) + u'\n';
    text += kMadeKey + QStringLiteral(": ") + made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + u'\n';
    return text.toUtf8();
}

HandsetFacts parseHandsetFacts(const QByteArray& text)
{
    std::optional<QString> serial, version, netMonitor;
    HandsetNumbers numbers;
    for (QString line : QString::fromUtf8(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const qsizetype colon = line.indexOf(u':');
        if (line.startsWith(u'#') || colon < 0)
            continue;
        const QString key = line.left(colon).trimmed();
        QString value = line.mid(colon + 1);
        if (value.startsWith(u' '))
            value.remove(0, 1);
        if (key == kSerialKey)
            serial = unescaped(value);
        else if (key == kVersionKey)
            version = unescaped(value);
        else if (key == kNetMonitorKey)
            netMonitor = value.trimmed();
        else if (key == kOwnNumberKey)
            numbers.ownNumber = storedNumber(value);
        else if (const std::optional<std::size_t> at = dialledAt(key))
            numbers.dialled[*at] = storedNumber(value);
    }
    if (!serial)
        refuse(QT_TRANSLATE_NOOP("Backup", "handset.txt has no serial number"));
    if (!version)
        refuse(QT_TRANSLATE_NOOP("Backup", "handset.txt has no version"));
    if (netMonitor != QLatin1String("on") && netMonitor != QLatin1String("off"))
        refuse(QT_TRANSLATE_NOOP("Backup", "handset.txt does not say whether the net monitor is on or off"));
    return {*version, *serial, *netMonitor == QLatin1String("on"), numbers};
}
