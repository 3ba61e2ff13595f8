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
    static constexpr std::int64_t kWindowUs = Exchange::kAnswerWindowMs * 1000;

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
    const LinkResult<ReplyFrame> result = link.exchange(Plan(messages::kVersionQuery, 3, 100));
    ASSERT_FALSE(result);
    EXPECT_EQ(result.failure().kind, LinkFailure::Kind::NoAnswer);
    EXPECT_EQ(result.failure().exchange.reason, ExchangeFailure::Reason::NoAnswer);
    EXPECT_EQ(result.failure().exchange.request, "version query");
    const auto writes = line.DataFrameWrites();
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(Gaps(writes), std::vector<std::int64_t>(3, LineUs(9) + kWindowUs));
    EXPECT_EQ(line.nowUs(), writes.back().atUs + LineUs(9) + kWindowUs); // the last copy gets its window too
}

TEST_F(ExchangeTest, AnsweredRequestGoesOutOnceAndEndsWhenTheReplyIsAcknowledged)
{
    handset.replyData = [](const Bytes&) { return Bytes(34, 'v'); };
    line.open();
    line.lightChanged(LinkLight::Pack, true);
    PhoneLink atSequence(line, line, &line, 0x30);
    const LinkResult<ReplyFrame> reply = atSequence.exchange(Plan(messages::kVersionQuery, 3, 100));
    ASSERT_TRUE(reply);
    const auto requests = line.DataFrameWrites();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].bytes[7], 0x30);
    EXPECT_EQ((*reply)[6], 'v');
    EXPECT_EQ(atSequence.sequence(), 0x31);
    // Our acknowledgement carries the reply's sequence byte, after a pause of a millisecond.
    ASSERT_EQ(line.AckWrites().size(), 1u);
    const std::uint8_t replySequence = (*reply)[38];
    EXPECT_EQ(line.AckWrites()[0].bytes,
              (Bytes{0x00, 0xE9, 0x7F, replySequence, static_cast<std::uint8_t>(0x00 ^ 0xE9 ^ 0x7F ^ replySequence)}));
    EXPECT_EQ(line.Sleeps(), std::vector<int>{1});
    EXPECT_EQ(line.AckLedOns(), 1);
    EXPECT_EQ(line.PackLedOns(), 2); // darkened when the exchange began, lit by the reply
    // Request, turnaround, acknowledgement, turnaround, reply, the pause before our acknowledgement: nothing more.
    EXPECT_EQ(line.nowUs(), LineUs(9) + 20000 + LineUs(5) + 20000 + LineUs(40) + 1000);
}

// A reply overwrites the last one only as far as it goes; a reply whose
// acknowledgement could not be written is no reply.
TEST_F(ExchangeTest, ReplyFrameKeepsTheLastRepliesBytesPastItsEnd)
{
    line.open();
    handset.replyData = [](const Bytes&) { return Bytes(34, 'v'); };
    ASSERT_TRUE(link.exchange(Plan(messages::kVersionQuery, 3, 100)));
    handset.replyData = [](const Bytes&) { return Bytes{'s'}; };
    const LinkResult<ReplyFrame> shorter = link.exchange(Plan(messages::kSoftwareReset, 3, 100));
    ASSERT_TRUE(shorter);
    EXPECT_EQ((*shorter)[4], 's');
    EXPECT_EQ((*shorter)[7], 'v');
    EXPECT_EQ((*shorter)[37], 'v');
    const LinkResult<ReplyFrame> zeroed = link.exchange({messages::kSoftwareReset.head.data(), 3, 3, 100, true, 32});
    ASSERT_TRUE(zeroed);
    EXPECT_EQ((*zeroed)[7], 0);

    line.SetAckWriteTimesOut(true);
    EXPECT_FALSE(link.exchange(Plan(messages::kSoftwareReset, 1, 100)));
    EXPECT_FALSE(line.PackLed());
}

// Acknowledged but never answered: the request goes out again once the
// handset has been silent for its answer window, as a new frame (the
// acknowledgement moved the sequence byte on), until the tries run out.
TEST_F(ExchangeTest, AcknowledgedRequestWithoutReplyGoesOutAgainAsANewFrame)
{
    handset.reply = false;
    PhoneLink atSequence(line, line, &line, 0x20);
    const Bytes message = PhonebookReadMessage();
    const LinkResult<ReplyFrame> result =
        atSequence.transfer(message.data(), 12, 5, 10, messages::kPhonebookRead.longestReplyFrame);
    ASSERT_FALSE(result);
    const auto writes = line.DataFrameWrites();
    ASSERT_EQ(writes.size(), 6u);
    for (std::size_t i = 0; i < writes.size(); ++i)
        EXPECT_EQ(writes[i].bytes[16], 0x20 + i);
    // Request, turnaround, acknowledgement, then the window of silence.
    EXPECT_EQ(Gaps(writes), std::vector<std::int64_t>(5, LineUs(18) + 20000 + LineUs(5) + kWindowUs));
    const ExchangeFailure& failure = result.failure().exchange;
    EXPECT_EQ(failure.reason, ExchangeFailure::Reason::SilentAfterAcknowledging);
    EXPECT_EQ(failure.request, "phonebook read of location 17");
    EXPECT_EQ(failure.reasonText(), "handset silent after acknowledging");
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
    const LinkResult<ReplyFrame> reply =
        link.transfer(message.data(), 12, 5, 10, messages::kPhonebookRead.longestReplyFrame);
    ASSERT_TRUE(reply);
    EXPECT_EQ(line.DataFrameWrites().size(), 3u);
    EXPECT_EQ(line.AckWrites().size(), 1u);
    EXPECT_EQ((*reply)[4 + 30], 'A');

    handset.damageReplies = 1000;
    const LinkResult<ReplyFrame> failed =
        link.transfer(message.data(), 12, 5, 10, messages::kPhonebookRead.longestReplyFrame);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.failure().exchange.reason, ExchangeFailure::Reason::DamagedReply);
    EXPECT_EQ(failed.failure().exchange.reasonText(), "reply damaged 6 times");
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

    const LinkResult<ReplyFrame> reply = link.exchange(Plan(messages::kPhonebookRead, 5, 10));
    ASSERT_TRUE(reply);
    EXPECT_EQ(line.DataFrameWrites().size(), 1u);
    EXPECT_EQ((*reply)[4 + 30], 'A');
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
    const LinkResult<ReplyFrame> reply =
        link.transfer(request.data(), 12, 10, 100, messages::kLogoRead.longestReplyFrame);
    ASSERT_TRUE(reply);
    EXPECT_EQ(line.DataFrameWrites().size(), 1u);
    EXPECT_EQ((*reply)[4 + 97], 0x5A);

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
    const LinkResult<ReplyFrame> reply =
        link.transfer(request.data(), 12, 10, 100, messages::kLogoRead.longestReplyFrame);
    ASSERT_TRUE(reply);
    EXPECT_EQ(line.PausesTaken(), 2);
    EXPECT_EQ(line.DataFrameWrites().size(), 1u);
    EXPECT_EQ(line.AckWrites().size(), 1u);
    EXPECT_EQ((*reply)[4 + 97], 0x5A);
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
}

// An acknowledgement carrying another frame's sequence byte is a late answer
// to something else: it neither stops the copies nor moves the sequence on.
TEST_F(ExchangeTest, AcknowledgementOfAnotherSequenceDoesNotCount)
{
    handset.reply = false;
    handset.ackSequenceShift = 1;
    line.open();
    PhoneLink atSequence(line, line, &line, 0x10);
    EXPECT_FALSE(atSequence.exchange(Plan(messages::kSoftwareReset, 3, 100)));
    EXPECT_EQ(line.DataFrameWrites().size(), 4u);
    EXPECT_EQ(line.AckLedOns(), 0);
    EXPECT_EQ(atSequence.sequence(), 0x10);
}

// A frame the handset is still sending when the exchange starts is let
// through before the request goes out. It is acknowledged, but it is no
// reply to a request not yet sent.
TEST_F(ExchangeTest, RequestWaitsUntilTheLineIsQuietAndAFrameBeforeItIsNoReply)
{
    line.open();
    const std::int64_t unsolicitedEndsUs = line.Transmit(0, VirtualHandset::DataFrame(Bytes(20, 0x11), 0x05));
    line.sleep(3); // a few bytes of it are in
    handset.replyData = [](const Bytes&) { return Bytes{0x22}; };
    const LinkResult<ReplyFrame> reply = link.exchange(Plan(messages::kSoftwareReset, 3, 100));
    ASSERT_TRUE(reply);
    EXPECT_EQ((*reply)[4], 0x22);
    const auto writes = line.DataFrameWrites();
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_GE(writes[0].atUs, unsolicitedEndsUs);
    ASSERT_EQ(line.AckWrites().size(), 2u);
    EXPECT_EQ(line.AckWrites()[0].bytes[3], 0x05);
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
    EXPECT_FALSE(line.isOpen());
}

TEST_F(ExchangeTest, RecordReadGetsItsWholeReply)
{
    handset.replyData = RecordReply;
    const Bytes message = PhonebookReadMessage();
    const LinkResult<ReplyFrame> reply =
        link.transfer(message.data(), 12, 5, 10, messages::kPhonebookRead.longestReplyFrame);
    ASSERT_TRUE(reply);
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(line.AckLed());
    EXPECT_FALSE(line.PackLed());
    EXPECT_EQ((*reply)[2], 47);
    EXPECT_EQ((*reply)[4 + 14], 3);
    EXPECT_EQ((*reply)[4 + 30], 'A');
    ASSERT_EQ(line.DataFrameWrites().size(), 1u);
    EXPECT_EQ(handset.RequestMessages().at(0)[9], kLocation);
}

TEST_F(ExchangeTest, MissingPortIsTheFailureAndNothingIsSent)
{
    line.SetPortMissing(true);
    line.SetPortNum(3);
    const Bytes message = PhonebookReadMessage();
    const LinkResult<ReplyFrame> result = link.transfer(message.data(), 12, 5, 10, 53);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.failure().kind, LinkFailure::Kind::PortUnavailable);
    EXPECT_EQ(result.failure().portNumber, 3);
    EXPECT_EQ(result.failure().portError, "Unable to open com port");
    EXPECT_TRUE(line.Writes().empty());
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
}

} // namespace
