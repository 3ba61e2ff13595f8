// Frame logs that m2bus-cli --log wrote against m2bus-sim with one fault on,
// decoded: each fault leaves the marks it must.
#include <gtest/gtest.h>

#include "link/FrameLogDecoder.h"
#include "support/SimProcess.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <fstream>

namespace {

using Kind = FrameEventKind;
using Problem = FrameProblemKind;

struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

// A request and what the log holds after it, up to the next one.
struct SendSpan {
    const FrameEvent* request;
    std::vector<const FrameEvent*> after;

    bool holds(Kind kind) const
    {
        return std::any_of(after.begin(), after.end(), [kind](const FrameEvent* e) { return e->kind == kind; });
    }
    // A data frame of the handset came, whole or spoilt.
    bool handsetDataFrameCame() const
    {
        return std::any_of(after.begin(), after.end(), [](const FrameEvent* e) {
            return e->kind == Kind::Reply
                || ((e->kind == Kind::BadChecksum || e->kind == Kind::CutFrame) && e->bytes[0] == 0xE9 && e->bytes.size() > 5);
        });
    }
};

class DecodeTest : public ::testing::Test {
protected:
    CliRun Cli(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        process.setProcessEnvironment(env);
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(QStringLiteral(M2BUS_CLI_PATH), arguments);
        EXPECT_TRUE(process.waitForFinished(120000)) << arguments.join(' ').toStdString();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }
    // Runs the job with --log against a simulator with these options.
    int Job(const std::vector<std::string>& simOptions, const QStringList& job)
    {
        SimProcess sim(simOptions);
        return Cli(QStringList{"--port", QString::fromStdString(sim.DevicePath()), "--log", LogPath()} + job).code;
    }
    QString LogPath() { return dir.filePath("frames.log"); }
    const FrameLogDecoding& Decoded()
    {
        std::ifstream in(LogPath().toStdString());
        decoding = decodeFrameLog(readFrameLog(in));
        return decoding;
    }
    std::vector<SendSpan> Sends() const
    {
        std::vector<SendSpan> sends;
        for (const FrameEvent& e : decoding.events) {
            if (e.kind == Kind::Request)
                sends.push_back({&e, {}});
            else if (!sends.empty())
                sends.back().after.push_back(&e);
        }
        return sends;
    }
    int Count(Kind kind) const
    {
        return static_cast<int>(std::count_if(decoding.events.begin(), decoding.events.end(),
                                              [kind](const FrameEvent& e) { return e.kind == kind; }));
    }

    QTemporaryDir dir;
    FrameLogDecoding decoding;
};

TEST_F(DecodeTest, SilentHandsetLeavesEverySendUnansweredUnderOneSequenceByte)
{
    EXPECT_EQ(Job({"--silent"}, {"info"}), 1);
    Decoded();
    const std::vector<SendSpan> sends = Sends();
    ASSERT_EQ(sends.size(), 4u);
    for (std::size_t i = 0; i < sends.size(); ++i) {
        EXPECT_EQ(sends[i].request->bytes, sends[0].request->bytes);
        EXPECT_EQ(sends[i].request->has(Problem::SentAgain), i > 0);
        EXPECT_TRUE(sends[i].holds(Kind::NoAnswer));
    }
    EXPECT_EQ(Count(Kind::ExchangeFailed), 1);
    EXPECT_EQ(decoding.summary.unansweredSends, 4);
    EXPECT_EQ(decoding.summary.sentAgain, 3);
}

TEST_F(DecodeTest, RepliesWithoutAcknowledgementAreMarkedSo)
{
    EXPECT_EQ(Job({"--drop-acks"}, {"info"}), 0);
    Decoded();
    EXPECT_EQ(Count(Kind::HandsetAck), 0);
    EXPECT_EQ(Count(Kind::Reply), 4); // the version, serial number, net monitor and own number
    for (const FrameEvent& e : decoding.events) {
        if (e.kind == Kind::Reply) {
            EXPECT_TRUE(e.has(Problem::ReplyWithoutAck)) << e.meaning;
        }
    }
    EXPECT_EQ(decoding.summary.answered, 4);
    EXPECT_EQ(decoding.summary.retries(), 0);
}

// The failed job of a handset that acknowledges and then stays silent,
// decoded by the command as a user runs it.
TEST_F(DecodeTest, LostRepliesAreAskedForAgainUntilTheJobFails)
{
    EXPECT_EQ(Job({"--drop-replies"}, {"info"}), 1);
    Decoded();
    const std::vector<SendSpan> sends = Sends();
    ASSERT_EQ(sends.size(), 4u);
    for (std::size_t i = 0; i < sends.size(); ++i) {
        EXPECT_EQ(sends[i].request->has(Problem::AskedAgain), i > 0);
        EXPECT_EQ(sends[i].request->bytes.rbegin()[1], static_cast<std::uint8_t>(i)) << "the sequence byte moves on";
        EXPECT_TRUE(sends[i].holds(Kind::HandsetAck));
        EXPECT_TRUE(sends[i].holds(Kind::NoReply));
    }
    EXPECT_EQ(Count(Kind::Reply), 0);

    const CliRun frames = Cli({"decode", LogPath()});
    EXPECT_EQ(frames.code, 0) << frames.err.toStdString();
    const QStringList lines = frames.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 4 * 3 + 4 + 1) << frames.out.toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral("  TX  request 00: version query"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[4].endsWith(QStringLiteral("! no reply to request 00 (version query) after its acknowledgement")))
        << lines[4].toStdString();
    EXPECT_TRUE(lines[5].endsWith(QStringLiteral("  ! asked again: request 00 was acknowledged without a reply")))
        << lines[5].toStdString();
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("! version query failed: no reply after 4 sends")));

    const CliRun counts = Cli({"decode", "--summary", LogPath()});
    EXPECT_EQ(counts.code, 0);
    EXPECT_TRUE(counts.out.startsWith(QStringLiteral("Exchanges: 1 (0 answered, 1 failed)\n"
                                                     "Sends: 4 (3 retries: 0 sent again with the same sequence byte, 3 "
                                                     "asked again after an acknowledgement without reply)\n"
                                                     "Lost replies (acknowledged, no whole reply): 4\n")))
        << counts.out.toStdString();
}

// Every third frame of the handset goes out with its checksum spoilt:
// exactly those are marked, and each is whole again with it mended.
TEST_F(DecodeTest, BadChecksumsAreMarkedOnExactlyTheSpoiltFrames)
{
    EXPECT_EQ(Job({"--bad-checksum-every", "3"}, {"info"}), 0);
    Decoded();
    int handsetFrames = 0;
    for (const FrameEvent& e : decoding.events) {
        const bool fromHandset = !e.bytes.empty() && e.bytes[0] == 0xE9;
        handsetFrames += fromHandset && (e.kind == Kind::HandsetAck || e.kind == Kind::Reply || e.kind == Kind::BadChecksum);
        if (e.kind != Kind::BadChecksum)
            continue;
        EXPECT_TRUE(fromHandset);
        FrameLogLine mended;
        mended.readable = true;
        mended.bytes = e.bytes;
        mended.bytes.back() ^= 0xFF;
        const FrameLogDecoding alone = decodeFrameLog({mended});
        ASSERT_EQ(alone.events.size(), 1u);
        EXPECT_TRUE(alone.events[0].kind == Kind::HandsetAck || alone.events[0].kind == Kind::Reply);
    }
    EXPECT_GT(handsetFrames, 6);
    EXPECT_EQ(decoding.summary.badChecksumFrames, handsetFrames / 3);
    EXPECT_EQ(decoding.summary.answered, 4);
}

TEST_F(DecodeTest, LineNoiseBeforeEveryHandsetFrameIsNoFrame)
{
    EXPECT_EQ(Job({"--noise", "3"}, {"info"}), 0);
    Decoded();
    int handsetFrames = 0;
    for (const FrameEvent& e : decoding.events) {
        handsetFrames += e.kind == Kind::HandsetAck || e.kind == Kind::Reply;
        if (e.kind == Kind::NoFrame) {
            EXPECT_EQ(e.bytes.size(), 3u);
        }
    }
    EXPECT_EQ(Count(Kind::NoFrame), handsetFrames);
    EXPECT_EQ(decoding.summary.noFrameBytes, 3 * handsetFrames);
    EXPECT_EQ(decoding.summary.retries(), 0);
}

// Noise on every other reply and a spoilt checksum on every third frame:
// a request whose acknowledgement and reply were both lost goes out again
// with the same sequence byte. A handset that takes that for a duplicate
// only acknowledges it; one that answers duplicates replies again. (Not
// with info: its own number is asked for only twice and may go unanswered.)
TEST_F(DecodeTest, NoisyRepliesAreAskedAgainUnderBothDuplicateRules)
{
    for (const std::string rule : {"ack", "answer"}) {
        SCOPED_TRACE(rule);
        QFile::remove(LogPath());
        EXPECT_EQ(Job({"--bad-checksum-every", "3", "--noise-every", "2", "--duplicates", rule},
                      {"logo", "get", dir.filePath("logo.png")}),
                  0);
        Decoded();
        int acknowledgedRepeats = 0;
        const std::vector<SendSpan> sends = Sends();
        for (std::size_t i = 0; i < sends.size(); ++i) {
            if (sends[i].holds(Kind::NoReply)) {
                ASSERT_LT(i + 1, sends.size());
                EXPECT_TRUE(sends[i + 1].request->has(Problem::AskedAgain));
            }
            if (!sends[i].request->has(Problem::SentAgain) || !sends[i].holds(Kind::HandsetAck))
                continue;
            ++acknowledgedRepeats;
            EXPECT_EQ(sends[i].handsetDataFrameCame(), rule == "answer");
        }
        EXPECT_GT(acknowledgedRepeats, 0);
        EXPECT_GT(decoding.summary.lostReplies, 0);
        EXPECT_EQ(decoding.summary.answered, decoding.summary.exchanges);
    }
}

// A slow handset's bytes come 45 ms apart: the writer logs them as partial
// and garbage, the link takes them as the frames they are.
TEST_F(DecodeTest, SlowHandsetFramesAreWholeWhereverTheWriterCutThem)
{
    QImage blank(84, 48, QImage::Format_RGB32);
    blank.fill(Qt::white);
    ASSERT_TRUE(blank.save(dir.filePath("blank.png")));
    EXPECT_EQ(Job({"--handset-byte-ms", "45"}, {"logo", "put", dir.filePath("blank.png")}), 0);
    QFile log(LogPath());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    ASSERT_TRUE(log.readAll().contains("(partial)"));
    Decoded();
    for (const FrameEvent& e : decoding.events) {
        EXPECT_TRUE(e.kind == Kind::Request || e.kind == Kind::Echo || e.kind == Kind::HandsetAck || e.kind == Kind::Reply
                    || e.kind == Kind::OurAck) << e.meaning;
        EXPECT_TRUE(e.problems.empty()) << e.meaning;
    }
    EXPECT_EQ(Count(Kind::Request), 6);
    EXPECT_EQ(Count(Kind::HandsetAck), 6);
    EXPECT_EQ(Count(Kind::Reply), 6);
}

TEST_F(DecodeTest, RefusesWhatItCannotReadAsAFrameLog)
{
    const CliRun missing = Cli({"decode", dir.filePath("none.log")});
    EXPECT_EQ(missing.code, 4);
    EXPECT_TRUE(missing.err.startsWith(QStringLiteral("m2bus-cli: Cannot read the frame log \"%1\": ").arg(dir.filePath("none.log"))))
        << missing.err.toStdString();
    EXPECT_EQ(Cli({"decode", dir.path()}).code, 4);
    QFile picture(dir.filePath("logo.png"));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.write(QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16));
    picture.close();
    const CliRun notALog = Cli({"decode", picture.fileName()});
    EXPECT_EQ(notALog.code, 4);
    EXPECT_TRUE(notALog.err.contains(QStringLiteral("none of its lines is a frame log line"))) << notALog.err.toStdString();
    EXPECT_EQ(Cli({"decode"}).code, 2);
    EXPECT_EQ(Cli({"--summary", "info"}).code, 2);
}

} // namespace
