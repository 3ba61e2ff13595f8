#include <gtest/gtest.h>

#include "LinkFixture.h"
#include "link/Messages.h"

namespace {

class ExchangeTest : public LinkFixture {
protected:
    void SetUp() override { line.SetFarEnd(&handset); }

    ExchangePlan Plan(const LinkMessage& m, int tries, int pauseMs)
    {
        return {m.head.data(), m.length, tries, pauseMs, false, m.longestReplyFrame};
    }

    static std::int64_t LineUs(int bytes) { return static_cast<std::int64_t>(bytes) * VirtualLine::kByteUs; }
    static constexpr std::int64_t kWindowUs = PhoneLink::kAnswerWindowMs * 1000;

    static std::vector<std::int64_t> Gaps(const std::vector<VirtualLine::Write>& writes)
    {
        std::vector<std::int64_t> gaps;
        for (std::size_t i = 1; i < writes.size(); ++i)
            gaps.push_back(writes[i].atUs - writes[i - 1].atUs);
        return gaps;
    }

    // A phonebook record reply: 47 data bytes, 53 bytes on the line.
    static Bytes RecordReply(const Bytes&)
    {
        Bytes data(47, 0x00);
        data[14] = 3;
        data[30] = 'A';
        return data;
    }

    static constexpr std::uint8_t kLocation = 17;

    Bytes PhonebookReadMessage()
    {
        Bytes m(12);
        composeMessage(messages::PhonebookRead, kLocation, nullptr, m.data());
        return m;
    }

    VirtualHandset handset;
};

// With nobody answering, each copy waits out the handset's answer window
// after it has left: T + 1 sends, one frame and one window apart.
TEST_F(ExchangeTest, SilentLineSendsTPlusOneTimesOneAnswerWindowApart)
{
    handset.acknowledge = false;
    handset.reply = false;
    line.open();
    EXPECT_FALSE(link.exchange(Plan(messages::VersionQuery, 3, 100)));
    const auto writes = line.DataFrameWrites();
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(Gaps(writes), std::vector<std::int64_t>(3, LineUs(9) + kWindowUs));
    EXPECT_EQ(line.nowUs(), writes.back().atUs + LineUs(9) + kWindowUs); // the last copy gets its window too
    EXPECT_TRUE(line.Messages().empty()); // the caller shows the message
}

TEST_F(ExchangeTest, SetupClearsFlagsAssemblerAndLedsInOrderBeforeSending)
{
    handset.reply = false;
    line.open();
    state().rxLength = 4;
    state().rxExpected = 30;
    state().replyReady = true; // a stale flag must not count as this exchange's reply
    state().replyBuffer.fill(0x5A);
    line.setAckLed(true);
    line.setPackLed(true);
    EXPECT_FALSE(link.exchange(Plan(messages::SoftwareReset, 0, 100)));
    EXPECT_FALSE(line.PackLed());
    EXPECT_EQ(Bytes(state().txBuffer.begin(), state().txBuffer.begin() + 3), (Bytes{0x43, 0x00, 0x00}));
    EXPECT_EQ(state().replyBuffer[0], 0x5A); // not zeroed unless asked
    ASSERT_EQ(line.DataFrameWrites().size(), 1u);
}

TEST_F(ExchangeTest, AnsweredRequestGoesOutOnceAndEndsWhenTheReplyIsAcknowledged)
{
    handset.replyData = [](const Bytes&) { return Bytes(34, 'v'); };
    line.open();
    state().txSequence = 0x30;
    ASSERT_TRUE(link.exchange(Plan(messages::VersionQuery, 3, 100)));
    const auto requests = line.DataFrameWrites();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].bytes[7], 0x30);
    ASSERT_EQ(line.AckWrites().size(), 1u);
    EXPECT_EQ(state().replyBuffer[6], 'v');
    EXPECT_EQ(state().txSequence, 0x31);
    // Request, turnaround, acknowledgement, turnaround, reply, the pause before our acknowledgement: nothing more.
    EXPECT_EQ(line.nowUs(), LineUs(9) + 20000 + LineUs(5) + 20000 + LineUs(40) + 1000);
}

TEST_F(ExchangeTest, AcknowledgedRequestIsNotSentAgainAndGivesUpAWindowAfterTheAcknowledgement)
{
    handset.reply = false;
    const Bytes message = PhonebookReadMessage();
    EXPECT_FALSE(link.transfer(message.data(), 12, 5, 10, messages::PhonebookRead.longestReplyFrame));
    EXPECT_EQ(line.DataFrameWrites().size(), 1u);
    EXPECT_TRUE(state().ackReady);
    EXPECT_EQ(line.Messages(), std::vector<std::string>{kNoAnswerMessage});
    EXPECT_EQ(line.nowUs(), LineUs(18) + 20000 + LineUs(5) + kWindowUs);
    EXPECT_FALSE(line.isOpen());
}

// An acknowledgement carrying another frame's sequence byte is a late answer
// to something else: it neither stops the copies nor moves the sequence on.
TEST_F(ExchangeTest, AcknowledgementOfAnotherSequenceDoesNotCount)
{
    handset.reply = false;
    handset.ackSequenceShift = 1;
    line.open();
    state().txSequence = 0x10;
    EXPECT_FALSE(link.exchange(Plan(messages::SoftwareReset, 3, 100)));
    EXPECT_EQ(line.DataFrameWrites().size(), 4u);
    EXPECT_FALSE(state().ackReady);
    EXPECT_FALSE(line.AckLed());
    EXPECT_EQ(state().txSequence, 0x10);
}

// The rest of a frame the handset is still sending when the exchange starts
// is let through before the request goes out.
TEST_F(ExchangeTest, RequestWaitsUntilTheLineIsQuiet)
{
    line.open();
    const std::int64_t unsolicitedEndsUs = line.Transmit(0, VirtualHandset::DataFrame(Bytes(20, 0x11), 0x05));
    line.sleep(3); // a few bytes of it are in
    line.processMessages();
    ASSERT_TRUE(link.exchange(Plan(messages::SoftwareReset, 3, 100)));
    const auto writes = line.DataFrameWrites();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_GE(writes[0].atUs, unsolicitedEndsUs);
    EXPECT_EQ(line.AckWrites().size(), 1u); // only the reply to the request was acknowledged
}

TEST_F(ExchangeTest, UnacknowledgedRecordReadKeepsItsSixSends)
{
    handset.acknowledge = false;
    handset.reply = false;
    const Bytes message = PhonebookReadMessage();
    EXPECT_FALSE(link.transfer(message.data(), 12, 5, 10, messages::PhonebookRead.longestReplyFrame));
    const auto writes = line.DataFrameWrites();
    ASSERT_EQ(writes.size(), 6u);
    EXPECT_EQ(Gaps(writes), std::vector<std::int64_t>(5, LineUs(18) + kWindowUs));
    EXPECT_EQ(line.Messages(), std::vector<std::string>{kNoAnswerMessage});
    EXPECT_FALSE(line.isOpen());
}

TEST_F(ExchangeTest, RecordReadGetsItsWholeReply)
{
    handset.replyData = RecordReply;
    const Bytes message = PhonebookReadMessage();
    ASSERT_TRUE(link.transfer(message.data(), 12, 5, 10, messages::PhonebookRead.longestReplyFrame));
    EXPECT_TRUE(line.Messages().empty());
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(line.AckLed());
    EXPECT_FALSE(line.PackLed());
    EXPECT_EQ(state().replyBuffer[2], 47);
    EXPECT_EQ(state().replyBuffer[4 + 14], 3);
    EXPECT_EQ(state().replyBuffer[4 + 30], 'A');
    ASSERT_EQ(line.DataFrameWrites().size(), 1u);
    EXPECT_EQ(handset.RequestMessages().at(0)[9], kLocation);
}

TEST_F(ExchangeTest, TransferClearsReplyBufferEvenWhenThePortIsMissing)
{
    line.SetPortMissing(true);
    line.SetPortNum(3);
    state().replyBuffer.fill(0x77);
    const Bytes message = PhonebookReadMessage();
    EXPECT_FALSE(link.transfer(message.data(), 12, 5, 10, 53));
    EXPECT_EQ(line.Messages(), std::vector<std::string>{"Invalid port number Com3"});
    EXPECT_TRUE(line.Writes().empty());
    EXPECT_EQ(state().replyBuffer[0], 0);
    EXPECT_EQ(state().replyBuffer[255], 0);
}

TEST_F(ExchangeTest, PortErrorDuringATransferClosesThePortAndPassesTheErrorOn)
{
    class FailingWrites : public VirtualLine {
    public:
        int write(const std::uint8_t*, int) override { throw std::runtime_error("Write error (5), Access is denied."); }
    } failing;
    PhoneLink other(failing, failing);
    const Bytes message = PhonebookReadMessage();
    EXPECT_THROW(other.transfer(message.data(), 12, 5, 10, 53), std::runtime_error);
    EXPECT_FALSE(failing.isOpen());
    EXPECT_TRUE(failing.Messages().empty());
}

} // namespace
