#include <gtest/gtest.h>

#include <sstream>

#include "LinkFixture.h"
#include "link/Messages.h"

namespace {

// The message bytes as the handset's service notes list them, r written as 00.
Bytes Hex(const std::string& text)
{
    std::istringstream in(text);
    Bytes out;
    std::string byte;
    while (in >> byte)
        out.push_back(static_cast<std::uint8_t>(std::stoi(byte, nullptr, 16)));
    return out;
}

Bytes Head(const LinkMessage& m)
{
    return Bytes(m.head.begin(), m.head.begin() + m.headLength);
}

TEST(MessageTable, BytesAndLengthsMatchTheListedMessages)
{
    struct Row {
        const LinkMessage& message;
        int length;
        const char* bytes;
    };
    const Row rows[] = {
        {messages::kVersionQuery, 3, "00 03 00"},
        {messages::kSerialNumberRead, 8, "0F 19 03 00 01 0B 00 00"},
        {messages::kNetMonitorRead, 8, "0F 19 03 00 06 03 00 00"},
        {messages::kNetMonitorOn, 12, "10 08 03 00 06 03 00 00 00 01 03 00"},
        {messages::kNetMonitorOff, 12, "10 08 03 00 06 03 00 00 00 01 00 00"},
        {messages::kSoftwareReset, 3, "43 00 00"},
        {messages::kPhonebookRead, 12, "0F 2D 03 00 07 1F 7F F0 00 00 00 00"},
        {messages::kPhonebookWrite, 48, "10 08 03 00 07 1F 7F F0 00 00 00 00 00 21"},
        {messages::kLogoRead, 12, "0F 60 03 00 07 3A 7F F0 00 00 00 00"},
        {messages::kLogoWrite, 98, "10 08 03 00 07 3A 7F F0 00 00 00 00 00 54"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(Head(row.message), Hex(row.bytes));
        EXPECT_EQ(row.message.length, row.length);
        // Every reply must fit the receive buffer and leave room for the data it carries.
        EXPECT_GE(row.message.longestReplyFrame, 7);
        EXPECT_LE(row.message.longestReplyFrame, 256);
    }
    // Reads and writes of one item share bytes 4 to 7.
    EXPECT_EQ(Bytes(messages::kPhonebookRead.head.begin() + 4, messages::kPhonebookRead.head.begin() + 8),
              Bytes(messages::kPhonebookWrite.head.begin() + 4, messages::kPhonebookWrite.head.begin() + 8));
    EXPECT_EQ(messages::kPhonebookRead.longestReplyFrame, 53);
    EXPECT_EQ(messages::kLogoRead.longestReplyFrame, 104);
    // Replies read up to position 37, 23 and 14.
    EXPECT_GE(messages::kVersionQuery.longestReplyFrame, 40);
    EXPECT_GE(messages::kSerialNumberRead.longestReplyFrame, 26);
    EXPECT_GE(messages::kNetMonitorRead.longestReplyFrame, 17);
}

TEST(MessageTable, ComposePlacesIndexAndTail)
{
    Bytes tail(84);
    for (int i = 0; i < 84; ++i)
        tail[i] = static_cast<std::uint8_t>(0x80 + i);
    Bytes out(98, 0xEE);
    EXPECT_EQ(composeMessage(messages::kLogoWrite, 5, tail.data(), out.data()), 98);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 14), Hex("10 08 03 00 07 3A 7F F0 00 05 00 00 00 54"));
    EXPECT_EQ(Bytes(out.begin() + 14, out.end()), tail);

    Bytes version(4, 0xEE);
    EXPECT_EQ(composeMessage(messages::kVersionQuery, 9, nullptr, version.data()), 3);
    EXPECT_EQ(version, (Bytes{0x00, 0x03, 0x00, 0xEE})); // no index byte, nothing past N
}

} // namespace
