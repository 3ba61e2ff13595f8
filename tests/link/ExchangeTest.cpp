#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

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
        composeMessage(messages::kPhonebookRead, kLocation, nullptr, m.data());
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
    EXPECT_FALSE(link.exchange(Plan(messages::kVersionQuery, 3, 100)));
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
    EXPECT_FALSE(link.exchange(Plan(messages::kSoftwareReset, 0, 100)));
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
    ASSERT_TRUE(link.exchange(Plan(messages::kVersionQuery, 3, 100)));
    const auto requests = line.DataFrameWrites();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].bytes[7], 0x30);
    ASSERT_EQ(line.AckWrites().size(), 1u);
    EXPECT_EQ(state().replyBuffer[6], 'v');
    EXPECT_EQ(state().txSequence, 0x31);
    // Request, turnaround, acknowledgement, turnaround, reply, the pause before our acknowledgement: nothing more.
    EXPECT_EQ(line.nowUs(), LineUs(9) + 20000 + LineUs(5) + 20000 + LineUs(40) + 1000);
}

// Acknowledged but never answered: the request goes out again once the
// handset has been silent for its answer window, as a new frame (the
// acknowledgement moved the sequence byte on), until the tries run out.
TEST_F(ExchangeTest, AcknowledgedRequestWithoutReplyGoesOutAgainAsANewFrame)
{
    handset.reply = false;
    state().txSequence = 0x20;
    const Bytes message = PhonebookReadMessage();
    EXPECT_FALSE(link.transfer(message.data(), 12, 5, 10, messages::kPhonebookRead.longestReplyFrame));
    const auto writes = line.DataFrameWrites();
    ASSERT_EQ(writes.size(), 6u);
    for (std::size_t i = 0; i < writes.size(); ++i)
        EXPECT_EQ(writes[i].bytes[16], 0x20 + i);
    // Request, turnaround, acknowledgement, then the window of silence.
    EXPECT_EQ(Gaps(writes), std::vector<std::int64_t>(5, LineUs(18) + 20000 + LineUs(5) + kWindowUs));
    EXPECT_EQ(line.Messages(), std::vector<std::string>{kNoAnswerMessage});
    EXPECT_EQ(link.lastFailure().reason, ExchangeFailure::Reason::SilentAfterAcknowledging);
    EXPECT_EQ(link.lastFailure().request, "phonebook read of location 17");
    EXPECT_EQ(link.lastFailure().reasonText(), "handset silent after acknowledging");
    EXPECT_FALSE(line.isOpen());
}

// A reply spoilt on the line is asked for again with a new frame, which even
// a handset that ignores a repeated sequence byte answers; one that is
// spoilt every time ends the transfer, saying so.
TEST_F(ExchangeTest, DamagedReplyIsAskedForAgain)
{
    handset.replyData = RecordReply;
    handset.damageReplies = 2;
    const Bytes message = PhonebookReadMessage();
    ASSERT_TRUE(link.transfer(message.data(), 12, 5, 10, messages::kPhonebookRead.longestReplyFrame));
    EXPECT_EQ(line.DataFrameWrites().size(), 3u);
    EXPECT_EQ(line.AckWrites().size(), 1u);
    EXPECT_EQ(state().replyBuffer[4 + 30], 'A');
    EXPECT_TRUE(line.Messages().empty());

    handset.damageReplies = 1000;
    EXPECT_FALSE(link.transfer(message.data(), 12, 5, 10, messages::kPhonebookRead.longestReplyFrame));
    EXPECT_EQ(link.lastFailure().reason, ExchangeFailure::Reason::DamagedReply);
    EXPECT_EQ(link.lastFailure().reasonText(), "reply damaged 6 times");
}

// The last byte of an earlier echo, cut off when the port was closed, meets
// the echo of the request: "E9 00" looks like the start of a handset frame
// longer than any reply to the request. The echo, the acknowledgement and
// the reply behind it are found at once, and the request goes out once.
TEST_F(ExchangeTest, StrayByteBeforeTheEchoCostsNeitherTimeNorARequest)
{
    handset.replyData = RecordReply;
    line.open();
    line.ScheduleAt(500, {0xE9}); // just after the request went out

    ASSERT_TRUE(link.exchange(Plan(messages::kPhonebookRead, 5, 10)));
    EXPECT_EQ(line.DataFrameWrites().size(), 1u);
    EXPECT_EQ(state().replyBuffer[4 + 30], 'A');
    EXPECT_LT(line.nowUs(), LineUs(18) + 20000 + LineUs(5) + 20000 + LineUs(53) + 5000);
}

// A slow handset's logo block, 104 bytes at 8 ms a byte, takes 0.83 s: it is
// waited for while it keeps coming, and taken whole, for as long as the
// request's own budget.
TEST_F(ExchangeTest, SlowReplyIsWaitedForWhileItKeepsComing)
{
    handset.replyByteUs = 8000;
    handset.replyData = [](const Bytes&) { return Bytes(98, 0x5A); };
    Bytes request(12);
    composeMessage(messages::kLogoRead, 3, nullptr, request.data());
    ASSERT_TRUE(link.transfer(request.data(), 12, 10, 100, messages::kLogoRead.longestReplyFrame));
    EXPECT_EQ(line.DataFrameWrites().size(), 1u);
    EXPECT_EQ(state().replyBuffer[4 + 97], 0x5A);

    // A request whose budget is 3 s (10 tries, 300 ms apart) waits as long
    // for a reply that takes 2.1 s, longer than any wait for a quiet line.
    handset.replyByteUs = 20000;
    ASSERT_TRUE(link.transfer(request.data(), 12, 10, 300, messages::kLogoRead.longestReplyFrame));
    EXPECT_EQ(line.DataFrameWrites().size(), 2u);
}

// The program stops twice for 300 ms while a slow reply comes in: the bytes
// that came meanwhile wait in the port and are the rest of the frame, not a
// silence. The reply is taken whole from the one request.
TEST_F(ExchangeTest, PausesWhileAReplyComesInLoseNothing)
{
    handset.replyByteUs = 8000;
    handset.replyData = [](const Bytes&) { return Bytes(98, 0x5A); };
    Bytes request(12);
    composeMessage(messages::kLogoRead, 3, nullptr, request.data());
    line.PauseAt(150'000, 300'000);
    line.PauseAt(500'000, 300'000);
    ASSERT_TRUE(link.transfer(request.data(), 12, 10, 100, messages::kLogoRead.longestReplyFrame));
    EXPECT_EQ(line.PausesTaken(), 2);
    EXPECT_EQ(line.DataFrameWrites().size(), 1u);
    EXPECT_EQ(line.AckWrites().size(), 1u);
    EXPECT_EQ(state().replyBuffer[4 + 97], 0x5A);
}

// A line that never stops talking (a stray byte every 50 ms after each
// acknowledgement) still ends the transfer, in bounded time.
TEST_F(ExchangeTest, ALineThatNeverStopsTalkingStillEnds)
{
    class Babbler : public FarEnd {
    public:
        void OnWrite(VirtualLine& line, const Bytes& bytes, std::int64_t atUs) override
        {
            if (bytes.size() < 6 || bytes[2] == 0x7F)
                return;
            const std::int64_t end = line.Transmit(atUs + static_cast<std::int64_t>(bytes.size()) * VirtualLine::kByteUs,
                                                   VirtualHandset::Ack(bytes[bytes.size() - 2]));
            nextUs_ = std::min(nextUs_, end + 50000);
        }
        std::vector<TimedByte> TakeArrived(std::int64_t nowUs) override
        {
            std::vector<TimedByte> out;
            for (; nextUs_ <= nowUs; nextUs_ += 50000)
                out.push_back({nextUs_, 0x55});
            return out;
        }
        std::int64_t NextDueUs() const override { return nextUs_; }

    private:
        std::int64_t nextUs_ = INT64_MAX;
    } babbler;
    line.SetFarEnd(&babbler);
    const Bytes message = PhonebookReadMessage();
    EXPECT_FALSE(link.transfer(message.data(), 12, 5, 10, messages::kPhonebookRead.longestReplyFrame));
    EXPECT_EQ(line.DataFrameWrites().size(), 6u);
    EXPECT_LT(line.nowUs(), 5'000'000);
    EXPECT_EQ(line.Messages(), std::vector<std::string>{kNoAnswerMessage});
}

// An acknowledgement carrying another frame's sequence byte is a late answer
// to something else: it neither stops the copies nor moves the sequence on.
TEST_F(ExchangeTest, AcknowledgementOfAnotherSequenceDoesNotCount)
{
    handset.reply = false;
    handset.ackSequenceShift = 1;
    line.open();
    state().txSequence = 0x10;
    EXPECT_FALSE(link.exchange(Plan(messages::kSoftwareReset, 3, 100)));
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
    ASSERT_TRUE(link.exchange(Plan(messages::kSoftwareReset, 3, 100)));
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
    EXPECT_FALSE(link.transfer(message.data(), 12, 5, 10, messages::kPhonebookRead.longestReplyFrame));
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
    ASSERT_TRUE(link.transfer(message.data(), 12, 5, 10, messages::kPhonebookRead.longestReplyFrame));
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
