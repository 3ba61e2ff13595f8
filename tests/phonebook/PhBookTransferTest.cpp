// One record read from or written to the handset: the exact request bytes,
// the exchange bounds, and what the caller gets back.
#include "FakeTransfer.h"
#include "phonebook/PhBookTransfer.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

std::vector<std::uint8_t> WriteHead(std::uint8_t location)
{
    return {0x10, 0x08, 0x03, 0x00, 0x07, 0x1F, 0x7F, 0xF0, 0x00, location, 0x00, 0x00, 0x00, 0x21};
}

} // namespace

TEST(PhBookRead, SendsTheReadRequestWithReadBounds)
{
    FakeTransfer link;
    std::string name, number;
    bool ok = false;
    PhBookRead(link, 42, name, number, ok);
    ASSERT_EQ(link.Calls.size(), 1u);
    EXPECT_THAT(link.Calls[0].Message,
                ElementsAre(0x0F, 0x2D, 0x03, 0x00, 0x07, 0x1F, 0x7F, 0xF0, 0x00, 42, 0x00, 0x00));
    EXPECT_EQ(link.Calls[0].Tries, 5);
    EXPECT_EQ(link.Calls[0].PauseMs, 10);
    EXPECT_EQ(link.Calls[0].LongestReply, 53);
}

TEST(PhBookRead, DecodesTheReplyIntoNameAndNumber)
{
    FakeTransfer link;
    link.SetData(14, 5);
    link.SetData(15, 0xF9);  // "+9"
    link.SetData(16, 0xAB);  // "0*"
    link.SetData(17, 0xC0);  // "#", then a nibble past the count
    link.SetData(30, 0x83);  // А
    link.SetData(31, 'b');
    link.SetData(32, 0xC3);  // Я
    std::string name = "old", number = "old";
    bool ok = false;
    PhBookRead(link, 0, name, number, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(number, "+90*#");
    EXPECT_EQ(name, "\xC0" "b\xDF");
}

TEST(PhBookRead, EmptyLocationGivesEmptyTexts)
{
    FakeTransfer link;
    std::string name = "stale", number = "123";
    bool ok = false;
    PhBookRead(link, 7, name, number, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(name, "");
    EXPECT_EQ(number, "");
}

TEST(PhBookRead, FailureLeavesTheCallersTexts)
{
    FakeTransfer link;
    link.Answers = false;
    link.SetData(14, 3);
    link.SetData(30, 'x');
    std::string name = "keep", number = "555";
    bool ok = true;
    PhBookRead(link, 3, name, number, ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(name, "keep");
    EXPECT_EQ(number, "555");
}

TEST(PhBookWrite, SendsTheWriteRequestWithWriteBounds)
{
    FakeTransfer link;
    std::string name = "Bob", number = "12";
    bool ok = false;
    PhBookWrite(link, 99, name, number, ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(link.Calls.size(), 1u);
    std::vector<std::uint8_t> expected = WriteHead(99);
    expected.resize(48, 0x00);
    expected[14] = 2;
    expected[15] = 0x12;
    expected[30] = 'B';
    expected[31] = 'o';
    expected[32] = 'b';
    expected[46] = 0x05;
    EXPECT_THAT(link.Calls[0].Message, ElementsAreArray(expected));
    EXPECT_EQ(link.Calls[0].Tries, 9);
    EXPECT_EQ(link.Calls[0].PauseMs, 100);
    EXPECT_EQ(link.Calls[0].LongestReply, 16);
}

TEST(PhBookWrite, TrimsTheCallersTextsInPlace)
{
    FakeTransfer link;
    std::string name = " \tAnna   ", number = "\r\n 0123 ";
    bool ok = false;
    PhBookWrite(link, 0, name, number, ok);
    EXPECT_EQ(name, "Anna");
    EXPECT_EQ(number, "0123");
    ASSERT_EQ(link.Calls.size(), 1u);
    EXPECT_EQ(link.Calls[0].Message[14], 4);
    EXPECT_EQ(link.Calls[0].Message[30], 'A');
    EXPECT_EQ(link.Calls[0].Message[34], 0x00);
}

TEST(PhBookWrite, NoAnswerGivesOkFalse)
{
    FakeTransfer link;
    link.Answers = false;
    std::string name = "A", number = "1";
    bool ok = true;
    PhBookWrite(link, 5, name, number, ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(link.Calls.size(), 1u);
}

TEST(PhBookWrite, LocationsOutsideThePhonebookAreNeverSent)
{
    for (int location : {-1, 100, 114, 256, 355}) {
        FakeTransfer link;
        std::string name = "Last dialled", number = "112";
        bool ok = true;
        PhBookWrite(link, location, name, number, ok);
        EXPECT_FALSE(ok) << location;
        EXPECT_TRUE(link.Calls.empty()) << location;
    }
}
