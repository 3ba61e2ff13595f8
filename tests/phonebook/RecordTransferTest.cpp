// One record read from or written to the handset: the exact request bytes,
// the exchange bounds, and what the caller gets back.
#include "FakeTransfer.h"
#include "phonebook/PhonebookTransfer.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

std::vector<std::uint8_t> WriteHead(std::uint8_t location)
{
    return {0x10, 0x08, 0x03, 0x00, 0x07, 0x1F, 0x7F, 0xF0, 0x00, location, 0x00, 0x00, 0x00, 0x21};
}

} // namespace

TEST(RecordRead, SendsTheReadRequestWithReadBounds)
{
    FakeTransfer link;
    readRecord(link, 42);
    ASSERT_EQ(link.Calls.size(), 1u);
    EXPECT_THAT(link.Calls[0].Message,
                ElementsAre(0x0F, 0x2D, 0x03, 0x00, 0x07, 0x1F, 0x7F, 0xF0, 0x00, 42, 0x00, 0x00));
    EXPECT_EQ(link.Calls[0].Tries, 5);
    EXPECT_EQ(link.Calls[0].PauseMs, 10);
    EXPECT_EQ(link.Calls[0].LongestReply, 53);
}

TEST(RecordRead, DecodesTheReplyIntoNameAndNumber)
{
    FakeTransfer link;
    link.SetData(14, 5);
    link.SetData(15, 0xF9); // "+9"
    link.SetData(16, 0xAB); // "0*"
    link.SetData(17, 0xC0); // "#", then a nibble past the count
    link.SetData(30, 0x83); // А
    link.SetData(31, 'b');
    link.SetData(32, 0xC3); // Я
    const LinkResult<PhonebookEntry> record = readRecord(link, 0);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->number, "+90*#");
    EXPECT_EQ(record->name,
              "\xC0"
              "b\xDF");
}

TEST(RecordRead, EmptyLocationGivesEmptyTexts)
{
    FakeTransfer link;
    EXPECT_EQ(*readRecord(link, 7), (PhonebookEntry{"", ""}));
}

TEST(RecordRead, FailureGivesNoRecord)
{
    FakeTransfer link;
    link.Answers = false;
    link.SetData(14, 3);
    link.SetData(30, 'x');
    EXPECT_FALSE(readRecord(link, 3));
}

TEST(RecordWrite, SendsTheWriteRequestWithWriteBounds)
{
    FakeTransfer link;
    EXPECT_TRUE(writeRecord(link, 99, {"Bob", "12"}));
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
    EXPECT_EQ(link.Calls[0].LongestReply, 32);
}

TEST(RecordWrite, TrimsTheTextsBeforeSending)
{
    FakeTransfer link;
    writeRecord(link, 0, {" \tAnna   ", "\r\n 0123 "});
    ASSERT_EQ(link.Calls.size(), 1u);
    EXPECT_EQ(link.Calls[0].Message[14], 4);
    EXPECT_EQ(link.Calls[0].Message[30], 'A');
    EXPECT_EQ(link.Calls[0].Message[34], 0x00);
}

TEST(RecordWrite, NoAnswerGivesFalse)
{
    FakeTransfer link;
    link.Answers = false;
    EXPECT_FALSE(writeRecord(link, 5, {"A", "1"}));
    EXPECT_EQ(link.Calls.size(), 1u);
}

// Above 99 the handset keeps its last dialled numbers and its own number.
TEST(RecordWrite, LocationsOutsideThePhonebookAreNeverSent)
{
    for (int location : {-1, 100, 104, 115, 256, 355}) {
        FakeTransfer link;
        EXPECT_THROW(writeRecord(link, location, {"Last dialled", "112"}), std::out_of_range) << location;
        EXPECT_TRUE(link.Calls.empty()) << location;
    }
}
