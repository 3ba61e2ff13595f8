#include "cli/DecodeCommand.h"

#include "files/SafeFile.h"
#include "phonebook/PhoneRecord.h"

#include <QDateTime>

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {

// A log of many runs appended is still far below this.
constexpr qint64 kLargestLog = 64LL * 1024 * 1024;
// Bytes shown of a piece that is no frame; the log has all of them.
constexpr std::size_t kBytesShown = 12;

std::string recordInWords(const std::vector<std::uint8_t>& frame)
{
    ReplyFrame whole{};
    std::copy_n(frame.begin(), std::min(frame.size(), whole.size()), whole.begin());
    const std::string name = DecodeReplyName(whole);
    const std::string number = DecodeReplyNumber(whole);
    if (name.empty() && number.empty())
        return "empty";
    return "\"" + name + "\" " + (number.empty() ? std::string("no number") : number);
}

bool isSent(FrameEventKind kind)
{
    return kind == FrameEventKind::Request || kind == FrameEventKind::OurAck || kind == FrameEventKind::SentBytes;
}

bool isReceived(FrameEventKind kind)
{
    switch (kind) {
    case FrameEventKind::Echo:
    case FrameEventKind::HandsetAck:
    case FrameEventKind::Reply:
    case FrameEventKind::BadChecksum:
    case FrameEventKind::CutFrame:
    case FrameEventKind::NoFrame:
        return true;
    default:
        return false;
    }
}

// The event is itself what went wrong.
bool isTrouble(FrameEventKind kind)
{
    switch (kind) {
    case FrameEventKind::BadChecksum:
    case FrameEventKind::CutFrame:
    case FrameEventKind::NoFrame:
    case FrameEventKind::SentBytes:
    case FrameEventKind::NoAnswer:
    case FrameEventKind::NoReply:
    case FrameEventKind::ExchangeFailed:
    case FrameEventKind::UnreadableLine:
    case FrameEventKind::CutLine:
        return true;
    default:
        return false;
    }
}

bool showsBytes(FrameEventKind kind)
{
    return kind == FrameEventKind::BadChecksum || kind == FrameEventKind::CutFrame || kind == FrameEventKind::NoFrame
        || kind == FrameEventKind::SentBytes;
}

QString hexBytes(const std::vector<std::uint8_t>& bytes)
{
    QString text;
    const std::size_t shown = std::min(bytes.size(), kBytesShown);
    for (std::size_t i = 0; i < shown; ++i)
        text += QStringLiteral(" %1").arg(bytes[i], 2, 16, QLatin1Char('0')).toUpper();
    if (shown < bytes.size())
        text += QStringLiteral(" ...");
    return text;
}

QString seconds(double ms)
{
    return QString::number(ms / 1000.0, 'f', 3) + QStringLiteral(" s");
}

} // namespace

FrameLogDecoding decodeFrameLogFile(const QString& path)
{
    const FileContents contents = readRegularFile(path, kLargestLog + 1);
    if (!contents.outcome.ok())
        throw CliError(ExitCode::File, QStringLiteral("Cannot read the frame log \"%1\": %2.").arg(path, contents.outcome.reason));
    if (contents.bytes.size() > kLargestLog)
        throw CliError(ExitCode::File,
                       QStringLiteral("Cannot read the frame log \"%1\": it is larger than %2 MB.").arg(path).arg(kLargestLog >> 20));
    std::istringstream in(contents.bytes.toStdString());
    const std::vector<FrameLogLine> lines = readFrameLog(in);
    if (!lines.empty() && std::none_of(lines.begin(), lines.end(), [](const FrameLogLine& line) { return line.readable; }))
        throw CliError(ExitCode::File,
                       QStringLiteral("Cannot read the frame log \"%1\": none of its lines is a frame log line.").arg(path));
    return decodeFrameLog(lines, recordInWords);
}

QStringList decodedLogLines(const FrameLogDecoding& decoding)
{
    QStringList out;
    QString day;
    for (const FrameEvent& event : decoding.events) {
        const QDateTime stamp = QDateTime::fromMSecsSinceEpoch(event.timeMs, Qt::UTC);
        const QString date = stamp.toString(QStringLiteral("yyyy-MM-dd"));
        if (date != day && event.timeMs != 0) {
            out << QStringLiteral("-- %1").arg(date);
            day = date;
        }
        const QString direction = isSent(event.kind) ? QStringLiteral("TX") : isReceived(event.kind) ? QStringLiteral("RX") : QStringLiteral("  ");
        QString meaning = FromHandsetText(event.meaning);
        if (showsBytes(event.kind))
            meaning += QLatin1Char(':') + hexBytes(event.bytes);
        if (isTrouble(event.kind))
            meaning.prepend(QStringLiteral("! "));
        QString line = QStringLiteral("%1  %2  %3  %4")
                           .arg(event.line > 0 ? QString::number(event.line) : QString(), 6)
                           .arg(event.timeMs != 0 ? stamp.toString(QStringLiteral("HH:mm:ss.zzz")) : QString(12, QLatin1Char(' ')))
                           .arg(direction, meaning);
        QStringList problems;
        for (const FrameProblem& problem : event.problems)
            problems << FromHandsetText(problem.text);
        if (!problems.isEmpty())
            line += QStringLiteral("  ! ") + problems.join(QStringLiteral("; "));
        out << line;
    }
    return out;
}

QStringList logSummaryLines(const FrameLogSummary& s)
{
    QStringList out;
    out << QStringLiteral("Exchanges: %1 (%2 answered, %3 failed)").arg(s.exchanges).arg(s.answered).arg(s.exchanges - s.answered);
    out << QStringLiteral("Sends: %1 (%2 retries: %3 sent again with the same sequence byte, %4 asked again after an "
                          "acknowledgement without reply)")
               .arg(s.sends).arg(s.retries()).arg(s.sentAgain).arg(s.askedAgain);
    out << QStringLiteral("Lost replies (acknowledged, no whole reply): %1").arg(s.lostReplies);
    out << QStringLiteral("Sends neither acknowledged nor answered: %1").arg(s.unansweredSends);
    out << QStringLiteral("Replies never acknowledged: %1").arg(s.unacknowledgedReplies);
    out << QStringLiteral("Frames with a bad checksum: %1").arg(s.badChecksumFrames);
    out << QStringLiteral("Frames cut off: %1").arg(s.cutFrames);
    out << QStringLiteral("Bytes that were no frame: %1").arg(s.noFrameBytes);
    out << QStringLiteral("Lines unreadable or cut short: %1").arg(s.unreadableLines);
    QString least = QStringLiteral("Least line time: %1").arg(seconds(s.leastLineTimeMs));
    if (s.leastLineTimeMs > 0)
        least += QStringLiteral(" (the time on the line is %1 times that)")
                     .arg(QString::number(static_cast<double>(s.lineTimeMs) / s.leastLineTimeMs, 'f', 2));
    out << QStringLiteral("Time on the line: %1").arg(seconds(static_cast<double>(s.lineTimeMs))) << least;
    return out;
}

void runDecode(const QString& path, bool summaryOnly)
{
    const FrameLogDecoding decoding = decodeFrameLogFile(path);
    const QStringList lines = summaryOnly ? logSummaryLines(decoding.summary) : decodedLogLines(decoding);
    if (lines.isEmpty())
        std::fprintf(stderr, "m2bus-cli: \"%s\" holds no frames\n", path.toUtf8().constData());
    for (const QString& line : lines) {
        const QByteArray text = (line + QLatin1Char('\n')).toUtf8();
        std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    }
    std::fflush(stdout);
}
