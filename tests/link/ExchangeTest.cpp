#include <gtest/gtest.h>

#include "LinkFixture.h"
#include "link/Messages.h"

namespace {

class ExchangeTest : public LinkFixture {
protected:
    void SetUp() override { line.SetFarEnd(&handset); }

    ExchangePlan Plan(const LinkMessage& m, int tries, int pauseMs, SendRule rule = SendRule::WhileUnacknowledged) {
        return {m.head.data(), m.length, tries, pauseMs, rule, false, m.longestReplyFrame};
    }

    static std::vector<std::int64_t> Gaps(const std::vector<VirtualLine::Write>& writes) {
        std::vector<std::int64_t> gaps;
        for (std::size_t i = 1; i < writes.size(); ++i)
            gaps.push_back(writes[i].atUs - writes[i - 1].atUs);
        return gaps;
    }

    // A phonebook record reply: 47 data bytes, 53 bytes on the line.
    static Bytes RecordReply(const Bytes&) {
        Bytes data(47, 0x00);
        data[14] = 3;
        data[30] = 'A';
        return data;
    }

    static constexpr std::uint8_t kLocation = 17;

    Bytes PhonebookReadMessage() {
        Bytes m(12);
        ComposeMessage(messages::PhonebookRead, kLocation, nullptr, m.data());
        return m;
    }

    VirtualHandset handset;
};

TEST_F(ExchangeTest, SilentLineSendsTPlusOneTimesOnePauseAndOneFrameApart) {
    handset.acknowledge = false;
    handset.reply = false;
    line.Open();
    EXPECT_FALSE(link.Exchange(Plan(messages::VersionQuery, 3, 100)));
    const auto writes = line.DataFrameWrites();
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(Gaps(writes), std::vector<std::int64_t>(3, 109000));  // 100 ms pause + 9 ms echo wait
    // The last send is followed by the failure at once.
    EXPECT_EQ(line.NowUs(), writes.back().atUs + 9000);
    EXPECT_TRUE(line.Messages().empty());  // the caller shows the message
}

TEST_F(ExchangeTest, SetupClearsFlagsAssemblerAndLedsInOrderBeforeSending) {
    handset.reply = false;
    line.Open();
    state().RxLength = 4;
    state().RxExpected = 30;
    state().ReplyReady = true;  // a stale flag must not count as this exchange's reply
    state().ReplyBuffer.fill(0x5A);
    line.SetAckLed(true);
    line.SetPackLed(true);
    EXPECT_FALSE(link.Exchange(Plan(messages::SoftwareReset, 0, 100)));
    EXPECT_FALSE(line.PackLed());
    EXPECT_EQ(Bytes(state().TxBuffer.begin(), state().TxBuffer.begin() + 3), (Bytes{0x43, 0x00, 0x00}));
    EXPECT_EQ(state().ReplyBuffer[0], 0x5A);  // not zeroed unless asked
    ASSERT_EQ(line.DataFrameWrites().size(), 1u);
}

TEST_F(ExchangeTest, HandsetAnsweringWithinThePauseGetsTheRequestTwiceWithOneSequence) {
    handset.replyData = [](const Bytes&) { return Bytes(34, 'v'); };
    line.Open();
    state().TxSequence = 0x30;
    ASSERT_TRUE(link.Exchange(Plan(messages::VersionQuery, 3, 100)));
    const auto requests = line.DataFrameWrites();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].bytes, requests[1].bytes);
    EXPECT_EQ(requests[0].bytes[7], 0x30);
    EXPECT_EQ(line.AckWrites().size(), 1u);
    EXPECT_EQ(state().ReplyBuffer[6], 'v');
    EXPECT_EQ(state().TxSequence, 0x31);
    EXPECT_EQ(handset.RepliesSent(), 1);
}

TEST_F(ExchangeTest, AcknowledgedRequestIsNotSentAgainWhileWaitingForItsReply) {
    handset.reply = false;
    line.Open();
    EXPECT_FALSE(link.Exchange(Plan(messages::SoftwareReset, 3, 100)));
    // Sent until the acknowledgement was taken in, after the second send; then only waiting.
    EXPECT_EQ(line.DataFrameWrites().size(), 2u);
    EXPECT_TRUE(state().AckReady);
    EXPECT_TRUE(line.AckLed());
}

TEST_F(ExchangeTest, EveryPassRuleKeepsSendingAfterTheAcknowledgement) {
    handset.reply = false;
    line.Open();
    EXPECT_FALSE(link.Exchange(Plan(messages::NetMonitorOn, 10, 10, SendRule::EveryPass)));
    EXPECT_EQ(line.DataFrameWrites().size(), 11u);
    EXPECT_TRUE(state().AckReady);
}

// Copies sent on every pass after the acknowledgement carry new sequence
// bytes and are answered too; those answers are taken in before the exchange
// returns, so the next exchange is satisfied only by its own reply.
TEST_F(ExchangeTest, AnswersToEveryPassCopiesDoNotSpillIntoTheNextExchange) {
    handset.replyData = [](const Bytes& message) {
        if (message[0] == 0x10)
            return Bytes{0x0F, 0x00, 0x00};
        Bytes setting(11, 0x00);
        setting[10] = 0x03;  // frame offset 14: the net monitor is on
        return setting;
    };
    line.Open();
    ASSERT_TRUE(link.Exchange(Plan(messages::NetMonitorOn, 10, 10, SendRule::EveryPass)));
    ASSERT_GT(line.DataFrameWrites().size(), 2u);  // extra copies did go out
    EXPECT_GT(handset.RepliesSent(), 1);
    EXPECT_EQ(line.AckWrites().size(), static_cast<std::size_t>(handset.RepliesSent()));

    const std::size_t repliesBefore = static_cast<std::size_t>(handset.RepliesSent());
    ASSERT_TRUE(link.Exchange(Plan(messages::NetMonitorRead, 3, 100)));
    EXPECT_EQ(state().ReplyBuffer[14], 0x03);
    EXPECT_EQ(state().ReplyBuffer[4], 0x00);  // the read's own reply, not a late "0F 00 00"
    EXPECT_EQ(line.AckWrites().size(), repliesBefore + 1);
}

TEST_F(ExchangeTest, UnacknowledgedRecordReadKeepsItsSixSendsAndRhythm) {
    handset.acknowledge = false;
    handset.reply = false;
    const Bytes message = PhonebookReadMessage();
    EXPECT_FALSE(link.Transfer(message.data(), 12, 5, 10, messages::PhonebookRead.longestReplyFrame));
    const auto writes = line.DataFrameWrites();
    ASSERT_EQ(writes.size(), 6u);
    EXPECT_EQ(Gaps(writes), std::vector<std::int64_t>(5, 28000));  // 10 ms pause + 18 ms echo wait
    EXPECT_EQ(line.Messages(), std::vector<std::string>{kNoAnswerMessage});
    EXPECT_FALSE(line.IsOpen());
}

// At 9600 baud the 53-byte record reply needs 61 ms on the line: the passes of a
// record read alone run out before it can arrive.
TEST_F(ExchangeTest, AcknowledgedRecordReadGetsItsReplyLineTime) {
    handset.replyData = RecordReply;
    const Bytes message = PhonebookReadMessage();
    ASSERT_TRUE(link.Transfer(message.data(), 12, 5, 10, messages::PhonebookRead.longestReplyFrame));
    EXPECT_TRUE(line.Messages().empty());
    EXPECT_FALSE(line.IsOpen());
    EXPECT_FALSE(line.AckLed());
    EXPECT_FALSE(line.PackLed());
    EXPECT_EQ(state().ReplyBuffer[2], 47);
    EXPECT_EQ(state().ReplyBuffer[4 + 14], 3);
    EXPECT_EQ(state().ReplyBuffer[4 + 30], 'A');
    ASSERT_EQ(handset.RequestMessages().size(), line.DataFrameWrites().size());
    EXPECT_EQ(handset.RequestMessages()[0][9], kLocation);

    // Without the wait, the exchange would have given up at its last pass.
    const std::int64_t lastPassEndsUs = 5 * 10000 + static_cast<std::int64_t>(line.DataFrameWrites().size()) * 18000;
    const std::int64_t replyTakenInUs = line.AckWrites().at(0).atUs - 1000;
    EXPECT_GT(replyTakenInUs, lastPassEndsUs);
    EXPECT_LE(line.DataFrameWrites().size(), 6u);
}

TEST_F(ExchangeTest, AcknowledgedRequestWithoutReplyGivesUpAfterTheReplyTimeWithNoMoreCopies) {
    handset.reply = false;
    const Bytes message = PhonebookReadMessage();
    EXPECT_FALSE(link.Transfer(message.data(), 12, 5, 10, messages::PhonebookRead.longestReplyFrame));
    EXPECT_EQ(line.Messages(), std::vector<std::string>{kNoAnswerMessage});
    // Three sends went out before the acknowledgement was taken in at 74 ms; the wait
    // then ends 61 ms of reply line time plus the 100 ms margin later.
    EXPECT_EQ(line.DataFrameWrites().size(), 3u);
    EXPECT_GE(line.NowUs(), 235000);
    EXPECT_LT(line.NowUs(), 235000 + PhoneLink::kReplyPollMs * 1000);
    EXPECT_FALSE(line.IsOpen());
}

TEST_F(ExchangeTest, TransferClearsReplyBufferEvenWhenThePortIsMissing) {
    line.SetPortMissing(true);
    line.SetPortNum(3);
    state().ReplyBuffer.fill(0x77);
    const Bytes message = PhonebookReadMessage();
    EXPECT_FALSE(link.Transfer(message.data(), 12, 5, 10, 53));
    EXPECT_EQ(line.Messages(), std::vector<std::string>{"Invalid port number Com3"});
    EXPECT_TRUE(line.Writes().empty());
    EXPECT_EQ(state().ReplyBuffer[0], 0);
    EXPECT_EQ(state().ReplyBuffer[255], 0);
}

TEST_F(ExchangeTest, PortErrorDuringATransferClosesThePortAndPassesTheErrorOn) {
    class FailingWrites : public VirtualLine {
    public:
        int WriteBuf(const std::uint8_t*, int) override { throw std::runtime_error("Write error (5), Access is denied."); }
    } failing;
    PhoneLink other(failing, failing);
    const Bytes message = PhonebookReadMessage();
    EXPECT_THROW(other.Transfer(message.data(), 12, 5, 10, 53), std::runtime_error);
    EXPECT_FALSE(failing.IsOpen());
    EXPECT_TRUE(failing.Messages().empty());
}

}  // namespace
