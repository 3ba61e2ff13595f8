#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include "link/FrameLog.h"
#include "support/TrapFifo.h"

#include <QFile>
#include <QTemporaryDir>

#include <sstream>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;

class FrameLogTest : public ::testing::Test {
protected:
    // The lines without their time stamps ("YYYY-MM-DD HH:MM:SS.mmm ").
    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);)
            lines.push_back(line.substr(24));
        return lines;
    }
    void Receive(std::vector<std::uint8_t> bytes) { log.received(bytes.data(), static_cast<int>(bytes.size())); }

    std::ostringstream out;
    std::int64_t nowUs = 1'700'000'000'123'456;
    FrameLog log{out, [this] { return nowUs; }};
};

TEST_F(FrameLogTest, StampsEachLineToTheMillisecond) {
    const std::uint8_t frame[] = {0x00, 0xE9, 0x03, 0xE5, 0x00, 0x03, 0x00, 0x01, 0xEE};
    log.sent(frame, sizeof frame, true);
    const std::string line = out.str();
    ASSERT_GE(line.size(), 24u);
    EXPECT_EQ(line.substr(19, 5), ".123 ");
    EXPECT_THAT(Lines(), ElementsAre("TX 00 E9 03 E5 00 03 00 01 EE"));
}

TEST_F(FrameLogTest, CutsReceivedBytesIntoFramesWhereverTheyArriveSplit) {
    // Echo of our request in two pieces, then the handset's acknowledgement
    // with a stray byte before it, then a reply with a spoilt checksum.
    Receive({0x00, 0xE9, 0x03, 0xE5});
    Receive({0x00, 0x03, 0x00, 0x01, 0xEE, 0x55, 0xE9, 0x00, 0x7F, 0x01});
    Receive({0x97, 0xE9, 0x00, 0x01, 0xE5, 0x42, 0x02, 0x00});
    EXPECT_THAT(Lines(), ElementsAre("RX 00 E9 03 E5 00 03 00 01 EE (echo)", "RX 55 (garbage)",
                                     "RX E9 00 7F 01 97 (ack)", "RX E9 00 01 E5 42 02 00 (bad checksum)"));
}

TEST_F(FrameLogTest, LogsAFrameCutOffBySilenceAsPartial) {
    Receive({0xE9, 0x00, 0x10, 0xE5, 0x01});
    EXPECT_TRUE(Lines().empty());
    nowUs += FrameLog::kStallUs;
    Receive({0xE9, 0x00, 0x7F, 0x01, 0x97});
    log.flush();
    EXPECT_THAT(Lines(), ElementsAre("RX E9 00 10 E5 01 (partial)", "RX E9 00 7F 01 97 (ack)"));
}

TEST_F(FrameLogTest, MarksAWriteThePortDidNotTake) {
    const std::uint8_t ack[] = {0x00, 0xE9, 0x7F, 0x02, 0x94};
    log.sent(ack, sizeof ack, false);
    EXPECT_THAT(Lines(), ElementsAre("TX 00 E9 7F 02 94 (ack, write timed out)"));
}

// A file is appended to; a named pipe that nothing reads is refused at once
// instead of holding the program until a reader comes.
TEST(FrameLogFile, AppendsToAFileAndRefusesAPipeNothingReads) {
    QTemporaryDir dir;
    const QString path = dir.filePath("frames.log");
    {
        QFile before(path);
        ASSERT_TRUE(before.open(QIODevice::WriteOnly));
        before.write("earlier line\n");
    }
    {
        FrameLog file(std::filesystem::path(path.toStdString()), [] { return std::int64_t{0}; });
        const std::uint8_t ack[] = {0x00, 0xE9, 0x7F, 0x02, 0x94};
        file.sent(ack, sizeof ack, true);
    }
    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = after.readAll().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "earlier line");
    EXPECT_TRUE(lines[1].endsWith(" TX 00 E9 7F 02 94 (ack)")) << lines[1].toStdString();

    TrapFifo pipe(dir.filePath("frames.fifo"), std::chrono::seconds(2));
    ASSERT_TRUE(pipe.Made());
    try {
        FrameLog refused(std::filesystem::path(pipe.Path().toStdString()));
        ADD_FAILURE() << "a pipe nothing reads was opened";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), FrameLog::kNoReader);
    }
    EXPECT_FALSE(pipe.Released());
}

}  // namespace
