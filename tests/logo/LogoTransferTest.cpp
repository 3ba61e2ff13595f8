#include <gtest/gtest.h>

#include <vector>

#include "logo/LogoTransfer.h"

namespace {

// Records each exchange and answers with a prepared reply, or fails.
class RecordingTransfer : public MessageTransfer {
public:
    struct Call {
        std::vector<std::uint8_t> message;
        int tries;
        int pauseMs;
        int longestReplyFrame;
    };
    bool answer = true;
    ReplyFrame reply{};
    std::vector<Call> calls;

    LinkResult<ReplyFrame> transfer(const std::uint8_t* message, int n, int tries, int pauseMs,
                                    int longestReplyFrame) override
    {
        calls.push_back({std::vector<std::uint8_t>(message, message + n), tries, pauseMs, longestReplyFrame});
        if (!answer)
            return LinkFailure::noAnswer({});
        return reply;
    }
};

TEST(LogoTransfer, ReadRequestIsTheTwelveByteBlockQuery)
{
    RecordingTransfer link;
    readLogoBlock(link, 4);
    ASSERT_EQ(link.calls.size(), 1u);
    const std::vector<std::uint8_t> expected{0x0F, 0x60, 0x03, 0x00, 0x07, 0x3A, 0x7F, 0xF0, 0x00, 0x04, 0x00, 0x00};
    EXPECT_EQ(link.calls[0].message, expected);
    EXPECT_EQ(link.calls[0].tries, 10);
    EXPECT_EQ(link.calls[0].pauseMs, 100);
    EXPECT_EQ(link.calls[0].longestReplyFrame, 104);
}

TEST(LogoTransfer, ReadCopiesDataBytes14To97OfTheReply)
{
    RecordingTransfer link;
    for (int i = 0; i < 256; ++i)
        link.reply[i] = static_cast<std::uint8_t>(i);
    const LinkResult<LogoBlock> data = readLogoBlock(link, 0);
    ASSERT_TRUE(data);
    // Data byte k is at replyBuffer[4 + k]: the block starts at position 18.
    for (int i = 0; i < 84; ++i)
        EXPECT_EQ((*data)[i], 18 + i) << "byte " << i;
}

TEST(LogoTransfer, FailedReadGivesNoBlock)
{
    RecordingTransfer link;
    link.answer = false;
    link.reply.fill(0x55);
    const int block = 0x102; // sent as its low byte, unchecked
    EXPECT_FALSE(readLogoBlock(link, block));
    EXPECT_EQ(link.calls[0].message[9], 0x02);
}

TEST(LogoTransfer, WriteRequestCarriesThePayload)
{
    RecordingTransfer link;
    LogoBlock data{};
    for (int i = 0; i < 84; ++i)
        data[i] = static_cast<std::uint8_t>(200 - i);
    EXPECT_TRUE(writeLogoBlock(link, 5, data));
    ASSERT_EQ(link.calls.size(), 1u);
    const auto& message = link.calls[0].message;
    ASSERT_EQ(message.size(), 98u);
    const std::vector<std::uint8_t> head{0x10, 0x08, 0x03, 0x00, 0x07, 0x3A, 0x7F,
                                         0xF0, 0x00, 0x05, 0x00, 0x00, 0x00, 0x54};
    EXPECT_EQ(std::vector<std::uint8_t>(message.begin(), message.begin() + 14), head);
    EXPECT_EQ(std::vector<std::uint8_t>(message.begin() + 14, message.end()),
              std::vector<std::uint8_t>(data.begin(), data.end()));
    EXPECT_EQ(link.calls[0].tries, 10);
    EXPECT_EQ(link.calls[0].longestReplyFrame, 32);

    link.answer = false;
    EXPECT_FALSE(writeLogoBlock(link, 5, data));
}

} // namespace
