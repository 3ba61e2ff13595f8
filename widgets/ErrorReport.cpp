#include "widgets/ErrorReport.h"

#include "widgets/Prompts.h"

#include <QApplication>
#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace {

// What the lower layers report, in English and often pieced together from
// parts (a path, a reason, a size). They carry no translation themselves; the
// report finds the pattern a message was made from and fills the translated
// pattern with the same parts, each part translated in turn.
const char* const kReportedTexts[] = {
    QT_TRANSLATE_NOOP("ErrorReport", "Invalid data type for '%1'"),
    QT_TRANSLATE_NOOP("ErrorReport", "Unable to create %1"),
    QT_TRANSLATE_NOOP("ErrorReport", "Unable to write to %1: %2"),
    QT_TRANSLATE_NOOP("ErrorReport", "Unable to write to %1"),
    QT_TRANSLATE_NOOP("ErrorReport", "String list does not allow duplicates"),
    QT_TRANSLATE_NOOP("ErrorReport", "it cannot be read (%1)"),
    QT_TRANSLATE_NOOP("ErrorReport", "Read-only file system"),
    QT_TRANSLATE_NOOP("ErrorReport", "nothing reads this named pipe"),
    QT_TRANSLATE_NOOP("ErrorReport", "no temporary folder (%1)"),
    QT_TRANSLATE_NOOP("ErrorReport", "the temporary copy cannot be written (%1)"),
    QT_TRANSLATE_NOOP("ErrorReport", "the temporary copy cannot be written"),
    QT_TRANSLATE_NOOP("ErrorReport", "the temporary copy cannot be read back"),
    QT_TRANSLATE_NOOP("ErrorReport", "the temporary copy was cut short"),
    QT_TRANSLATE_NOOP("ErrorReport", "File not found"),
    QT_TRANSLATE_NOOP("ErrorReport", "File access denied"),
    QT_TRANSLATE_NOOP("ErrorReport", "Disk full"),
    QT_TRANSLATE_NOOP("ErrorReport", "Invalid filename"),
    QT_TRANSLATE_NOOP("ErrorReport", "Cannot open \"%1\": %2."),
    QT_TRANSLATE_NOOP("ErrorReport", "Cannot read \"%1\": a phonebook file ends in .npb, .csv or .vcf."),
    QT_TRANSLATE_NOOP("ErrorReport", "Cannot save \"%1\": a phonebook file ends in .npb, .csv or .vcf."),
    QT_TRANSLATE_NOOP("ErrorReport", "Unable to read %1: %2."),
    QT_TRANSLATE_NOOP("ErrorReport", "Unable to write to %1: %2."),
    QT_TRANSLATE_NOOP("ErrorReport", "Line breaks are not allowed in the profile file: [%1] %2"),
    QT_TRANSLATE_NOOP("ErrorReport", "Invalid section name in the profile file: \"%1\""),
    QT_TRANSLATE_NOOP("ErrorReport", "Invalid key name in the profile file: \"%1\""),
    QT_TRANSLATE_NOOP("ErrorReport", "Found error in codepage settings"),
    QT_TRANSLATE_NOOP("ErrorReport", "Invalid protocol"),
    QT_TRANSLATE_NOOP("ErrorReport", "Proxy authentication: %1"),
    QT_TRANSLATE_NOOP("ErrorReport", "Authentication: %1"),
    QT_TRANSLATE_NOOP("ErrorReport", "A request is already running."),
    QT_TRANSLATE_NOOP("ErrorReport", "The gateway did not answer within %1."),
    QT_TRANSLATE_NOOP("ErrorReport", "The gateway did not complete its reply within %1."),
    QT_TRANSLATE_NOOP("ErrorReport", "The gateway's reply was larger than %1."),
    QT_TRANSLATE_NOOP("ErrorReport", "The gateway's reply could not be read: one of its header lines is longer than %1."),
    QT_TRANSLATE_NOOP("ErrorReport", "The request was cancelled."),
    QT_TRANSLATE_NOOP("ErrorReport", "%1 second"),
    QT_TRANSLATE_NOOP("ErrorReport", "%1 seconds"),
    QT_TRANSLATE_NOOP("ErrorReport", "%1 MiB"),
    QT_TRANSLATE_NOOP("ErrorReport", "%1 KiB"),
    QT_TRANSLATE_NOOP("ErrorReport", "%1 byte"),
    QT_TRANSLATE_NOOP("ErrorReport", "%1 bytes"),
    QT_TRANSLATE_NOOP("ErrorReport", "Can't perform this operation when port is open"),
    QT_TRANSLATE_NOOP("ErrorReport", "Invalid port number (COM%1)"),
    QT_TRANSLATE_NOOP("ErrorReport", "Can't open device COM%1"),
    QT_TRANSLATE_NOOP("ErrorReport", " Error setting EventMask (%d), %s"),
    QT_TRANSLATE_NOOP("ErrorReport", "Error clearing buffers (%d), %s"),
    QT_TRANSLATE_NOOP("ErrorReport", "Error setting timeouts (%d), %s"),
    QT_TRANSLATE_NOOP("ErrorReport", "Error initializing buffers (%d), %s"),
    QT_TRANSLATE_NOOP("ErrorReport", "Error reading dcb (%d), %s"),
    QT_TRANSLATE_NOOP("ErrorReport", "Error writing dcb (%d), %s"),
    QT_TRANSLATE_NOOP("ErrorReport", "Write error (%d), %s"),
    QT_TRANSLATE_NOOP("ErrorReport", "Read error (%d), %s"),
    QT_TRANSLATE_NOOP("ErrorReport", "Error retrieving statistics (%d), %s"),
};

struct ReportedPattern {
    QString source;
    QRegularExpression match;
    QStringList placeholders; // in the order they appear in source
};

const std::vector<ReportedPattern>& ReportedPatterns()
{
    static const std::vector<ReportedPattern> patterns = [] {
        static const QRegularExpression placeholder(QStringLiteral("%[1-9]|%d|%s"));
        std::vector<ReportedPattern> out;
        for (const char* text : kReportedTexts) {
            ReportedPattern p;
            p.source = QString::fromUtf8(text);
            QString expression = QStringLiteral("^");
            qsizetype at = 0;
            for (auto it = placeholder.globalMatch(p.source); it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                expression += QRegularExpression::escape(p.source.mid(at, m.capturedStart() - at));
                expression += m.captured() == QLatin1String("%d") ? QStringLiteral("(-?\\d+)") : QStringLiteral("(.*?)");
                p.placeholders << m.captured();
                at = m.capturedEnd();
            }
            expression += QRegularExpression::escape(p.source.mid(at)) + QStringLiteral("$");
            p.match = QRegularExpression(expression, QRegularExpression::DotMatchesEverythingOption);
            out.push_back(std::move(p));
        }
        // The most specific pattern wins: "Unable to write to %1: %2." before "Unable to write to %1".
        std::stable_sort(out.begin(), out.end(), [](const ReportedPattern& a, const ReportedPattern& b) {
            return a.source.size() - a.placeholders.size() * 2 > b.source.size() - b.placeholders.size() * 2;
        });
        return out;
    }();
    return patterns;
}

} // namespace

QString translateReportedText(const QString& english, int depth)
{
    if (depth > 3)
        return english;
    for (const ReportedPattern& p : ReportedPatterns()) {
        const QRegularExpressionMatch m = p.match.match(english);
        if (!m.hasMatch())
            continue;
        QString translated = QCoreApplication::translate("ErrorReport", p.source.toUtf8().constData());
        if (translated == p.source)
            return english;
        // Numbered placeholders keep their numbers; %d and %s go in order.
        int sequential = 0;
        QString out;
        static const QRegularExpression placeholder(QStringLiteral("%[1-9]|%d|%s"));
        qsizetype at = 0;
        for (auto it = placeholder.globalMatch(translated); it.hasNext();) {
            const QRegularExpressionMatch t = it.next();
            out += translated.mid(at, t.capturedStart() - at);
            qsizetype index = -1;
            if (t.captured() == QLatin1String("%d") || t.captured() == QLatin1String("%s")) {
                for (qsizetype i = 0, seen = 0; i < p.placeholders.size(); ++i)
                    if ((p.placeholders[i] == QLatin1String("%d") || p.placeholders[i] == QLatin1String("%s"))
                        && seen++ == sequential) {
                        index = i;
                        break;
                    }
                ++sequential;
            } else {
                index = p.placeholders.indexOf(t.captured());
            }
            out += index >= 0 ? translateReportedText(m.captured(static_cast<int>(index) + 1), depth + 1) : t.captured();
            at = t.capturedEnd();
        }
        return out + translated.mid(at);
    }
    return english;
}

void reportError(const std::exception& error)
{
    prompts().notice(QApplication::activeWindow(), translateReportedText(QString::fromUtf8(error.what())));
}
