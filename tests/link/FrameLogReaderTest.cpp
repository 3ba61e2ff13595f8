#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include "link/FrameLogReader.h"

#include <sstream>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::vector<FrameLogLine> Read(const std::string& text)
{
    std::istringstream in(text);
    return readFrameLog(in);
}

TEST(FrameLogReaderTest, ReadsStampDirectionBytesAndMarks)
{
    const auto lines = Read("2026-12-08 14:03:07.412 TX 00 E9 03 E5 00 03 00 01 EE\r\n"
                            "\n"
                            "2026-12-09 00:00:00.005 RX E9 00 7F 01 97 (ack, write timed out)\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].readable);
    EXPECT_EQ(lines[0].number, 1);
    EXPECT_EQ(lines[0].direction, LogDirection::Sent);
    EXPECT_THAT(lines[0].bytes, ElementsAre(0x00, 0xE9, 0x03, 0xE5, 0x00, 0x03, 0x00, 0x01, 0xEE));
    EXPECT_THAT(lines[0].marks, IsEmpty());
    EXPECT_FALSE(lines[0].cut);
    EXPECT_EQ(lines[1].number, 3);
    EXPECT_EQ(lines[1].direction, LogDirection::Received);
    EXPECT_THAT(lines[1].marks, ElementsAre("ack", "write timed out"));
    // Across midnight: 9 h 56 min 52.593 s later.
    EXPECT_EQ(lines[1].timeMs - lines[0].timeMs, ((9 * 60 + 56) * 60 + 52) * 1000 + 593);
}

// A log cut short (the program killed mid-line, the disk full) or with a
// later run appended behind a cut line, marks the writer may add one day,
// and text that is no log line at all.
TEST(FrameLogReaderTest, KeepsWhatReadsOfCutLinesUnknownMarksAndGarbage)
{
    const auto lines = Read("2026-12-08 14:03:07.412 RX E9 00 7F 01 97 (resent by the adapter)\n"
                            "2026-12-08 14:03:07.500 RX E9 00 7\n"
                            "2026-12-08 14:03:07.600 TX 00 E9 7F2026-12-08 14:03:08.000 TX 00 E9 03 E5 00 03 00 02 ED\n"
                            "2026-12-08 14:03:09.000 RX E9 00 (bad chec\n"
                            "frames of Tuesday\n"
                            "2026-13-08 14:03:09.000 RX E9 00\n"
                            "2026-12-08 14:03:09.000 XX E9 00\n"
                            "2026-12-08 14:03:09.000 RX E9 0G 7F\n"
                            "2026-12-08 14:03:09.000 RX (ack)\n"
                            "2026-12-08 14:03:09.000 RX E9 00 (ack) 7F\n"
                            "\x89PNG\x1A\xFF");
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_THAT(lines[0].marks, ElementsAre("resent by the adapter"));
    EXPECT_THAT(lines[0].bytes, ElementsAre(0xE9, 0x00, 0x7F, 0x01, 0x97));

    EXPECT_TRUE(lines[1].readable);
    EXPECT_TRUE(lines[1].cut);
    EXPECT_THAT(lines[1].bytes, ElementsAre(0xE9, 0x00));

    // Two runs on one line: the first stops short, the second is whole.
    EXPECT_TRUE(lines[2].cut);
    EXPECT_THAT(lines[2].bytes, ElementsAre(0x00, 0xE9, 0x7F));
    EXPECT_EQ(lines[3].number, 3);
    EXPECT_FALSE(lines[3].cut);
    EXPECT_EQ(lines[3].bytes.size(), 9u);

    EXPECT_TRUE(lines[4].cut);
    EXPECT_THAT(lines[4].bytes, ElementsAre(0xE9, 0x00));
    EXPECT_THAT(lines[4].marks, IsEmpty());

    for (std::size_t i = 5; i < lines.size(); ++i) {
        EXPECT_FALSE(lines[i].readable) << lines[i].text;
        EXPECT_FALSE(lines[i].text.empty());
    }
    EXPECT_EQ(lines[5].text, "frames of Tuesday");
}

} // namespace
