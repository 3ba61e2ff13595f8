// Logs written by the frame log writer itself, on a clock the test sets,
// read back and decoded.
#include <algorithm>

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include "link/Frame.h"
#include "link/FrameAssembler.h"
#include "link/FrameLog.h"
#include "link/FrameLogDecoder.h"
#include "link/Messages.h"
#include "link/PhoneLink.h"

#include <optional>
#include <sstream>

namespace {

using ::testing::ElementsAre;
using Bytes = std::vector<std::uint8_t>;
using Kind = FrameEventKind;

Bytes Request(const LinkMessage& message, std::uint8_t index, std::uint8_t sequence)
{
    Bytes tail(static_cast<std::size_t>(message.length), 0);
    Bytes text(static_cast<std::size_t>(message.length));
    composeMessage(message, index, tail.data(), text.data());
    Bytes out(static_cast<std::size_t>(message.length + frame::kOverhead));
    frame::buildDataFrame(text.data(), message.length, sequence, out.data());
    return out;
}

Bytes HandsetAck(std::uint8_t sequence)
{
    Bytes out{frame::kHandsetAddress, frame::kPcAddress, frame::kAckMarker, sequence, 0};
    out.back() = frame::checksum(out.data());
    return out;
}

Bytes OurAck(std::uint8_t sequence)
{
    Bytes out(frame::kAckLength);
    frame::buildAck(frame::kHandsetAddress, sequence, out.data());
    return out;
}

// E9 00 N type data sequence checksum
Bytes Reply(const Bytes& data, std::uint8_t sequence)
{
    // Sized once: GCC 12 at -O3 warns falsely (-Warray-bounds) on an insert after a braced list.
    Bytes out(data.size() + 6);
    out[0] = frame::kHandsetAddress;
    out[1] = frame::kPcAddress;
    out[2] = static_cast<std::uint8_t>(data.size());
    out[3] = 0x10;
    std::copy(data.begin(), data.end(), out.begin() + 4);
    out[data.size() + 4] = sequence;
    out.back() = frame::checksum(out.data());
    return out;
}

const Bytes kVersionData{0x01, 0x00, 'V', ' ', '1', 0x0A, 'N', 'M', 'T', 0x00};

class FrameLogDecoderTest : public ::testing::Test {
protected:
    void At(int ms) { nowUs_ = kStartUs + static_cast<std::int64_t>(ms) * 1000; }
    void Send(const Bytes& bytes, bool complete = true) { log_->sent(bytes.data(), static_cast<int>(bytes.size()), complete); }
    void Receive(const Bytes& bytes) { log_->received(bytes.data(), static_cast<int>(bytes.size())); }

    FrameLogDecoding decode()
    {
        log_.reset(); // writes what it still holds
        std::istringstream in(out_.str());
        return decodeFrameLog(readFrameLog(in));
    }
    static std::vector<Kind> Kinds(const FrameLogDecoding& decoding)
    {
        std::vector<Kind> kinds;
        for (const FrameEvent& event : decoding.events)
            kinds.push_back(event.kind);
        return kinds;
    }

private:
    static constexpr std::int64_t kStartUs = 1'800'000'000'000'000;
    std::ostringstream out_;
    std::int64_t nowUs_ = kStartUs;
    std::optional<FrameLog> log_{std::in_place, out_, [this] { return nowUs_; }};
};

// The writer cuts the received bytes by its own rules (a pause of 40 ms, a
// start it cannot rule out); the frames are where the link finds them.
TEST_F(FrameLogDecoderTest, FindsTheFramesWhereverTheWriterCutTheBytes)
{
    const Bytes request = Request(messages::kPhonebookRead, 5, 0x05);
    Bytes reply(47, 0x20);
    reply[0] = 0x10;
    Send(request);
    Receive(request);
    // A slow acknowledgement: the writer logs its first byte as partial.
    At(20);
    Receive({0xE9});
    At(70);
    Receive({0x00, 0x7F});
    Receive({0x05, HandsetAck(0x05).back()});
    // Noise that opens like a frame of 13 bytes, then the reply.
    At(100);
    Bytes noisy{0xE9, 0x00, 0x07};
    const Bytes whole = Reply(reply, 0x00);
    noisy.insert(noisy.end(), whole.begin(), whole.end());
    Receive(noisy);
    Send(OurAck(0x00));
    // The start of a frame that stops; the next request is sent after it.
    At(120);
    Receive({0xE9, 0x00, 0x2F, 0x10});
    At(400);
    Send(Request(messages::kPhonebookRead, 6, 0x06));

    const FrameLogDecoding decoding = decode();
    EXPECT_THAT(Kinds(decoding), ElementsAre(Kind::Request, Kind::Echo, Kind::HandsetAck, Kind::NoFrame, Kind::Reply,
                                             Kind::OurAck, Kind::CutFrame, Kind::Request, Kind::NoAnswer,
                                             Kind::ExchangeFailed));
    EXPECT_EQ(decoding.events[2].bytes, HandsetAck(0x05));
    EXPECT_EQ(decoding.events[3].bytes, Bytes({0xE9, 0x00, 0x07}));
    EXPECT_EQ(decoding.events[4].bytes, whole);
    EXPECT_EQ(decoding.events[4].meaning.rfind("reply 00 to phonebook read of location 5: ", 0), 0u) << decoding.events[4].meaning;
    EXPECT_TRUE(decoding.events[4].problems.empty());
    EXPECT_EQ(decoding.events[6].meaning, "handset frame cut off after 4 of its 53 bytes");
    EXPECT_EQ(decoding.summary.noFrameBytes, 3);
}

// The link's side: the whole frames an assembler takes from the bytes while
// the request waits, the line falling quiet after them.
std::vector<Bytes> LinkFrames(const std::vector<Bytes>& chunks, const LinkMessage& request)
{
    struct Frames : FrameAssembler::Sink {
        void frame(const std::uint8_t* bytes, int length, std::uint64_t) override
        {
            taken.emplace_back(bytes, bytes + length);
        }
        std::vector<Bytes> taken;
    } frames;
    FrameAssembler assembler;
    assembler.limitHandsetFrames(request.longestReplyFrame);
    for (const Bytes& chunk : chunks)
        assembler.push(chunk.data(), chunk.size(), frames);
    while (assembler.partialLength() > 0)
        assembler.abandonFrame(frames);
    return frames.taken;
}

// Noise, false starts, a spoilt reply, a frame longer than the awaited reply
// can be and one cut off (each hiding a frame): the decoder finds exactly the
// frames the link takes.
TEST_F(FrameLogDecoderTest, TakesTheFramesTheLinkTakes)
{
    const Bytes request = Request(messages::kNetMonitorRead, 0, 0x03);
    const Bytes reply = Reply({0x10, 0x19, 0x03, 0x00, 0x06, 0x03, 0x00, 0x00, 0x00, 0x01, 0x03}, 0x07);
    Bytes spoilt = reply;
    spoilt[8] ^= 0x10;
    Bytes hiding = HandsetAck(0x04);
    hiding.resize(30, 0x20);
    const std::vector<Bytes> chunks{
        request, // its echo
        {0x55, 0xE9, 0x00, 0x07}, // noise, then a start announcing 13 bytes
        HandsetAck(0x03),
        spoilt,
        Reply(hiding, 0x05), // 36 bytes, more than a net monitor reply can be
        {0x00}, // a stray start byte
        {0xE9, 0x00, 0x0F}, // the start of 21 bytes that never all come
        reply,
    };
    Send(request);
    for (const Bytes& chunk : chunks)
        Receive(chunk);
    std::vector<Bytes> decoded;
    for (const FrameEvent& e : decode().events) {
        if (e.kind == Kind::Echo || e.kind == Kind::HandsetAck || e.kind == Kind::Reply)
            decoded.push_back(e.bytes);
    }
    const std::vector<Bytes> taken = LinkFrames(chunks, messages::kNetMonitorRead);
    EXPECT_EQ(decoded, taken);
    EXPECT_EQ(taken, (std::vector<Bytes>{request, HandsetAck(0x03), HandsetAck(0x04), reply}));
}

// A reply whose acknowledgement the port did not take, the handset sending
// it again into the next request, a late acknowledgement of an earlier
// frame, a damaged reply and a repeated request.
TEST_F(FrameLogDecoderTest, MarksWhatWentWrongOnEachFrame)
{
    const Bytes version = Request(messages::kVersionQuery, 0, 0x00);
    const Bytes first = Reply(kVersionData, 0x00);
    Send(version);
    Receive(HandsetAck(0x00));
    Receive(first);
    Send(OurAck(0x00), false);

    At(100);
    const Bytes serial = Request(messages::kSerialNumberRead, 0, 0x01);
    Send(serial);
    Receive(first);
    Send(OurAck(0x00));
    Receive(HandsetAck(0x00));
    Receive(HandsetAck(0x01));
    Bytes damaged = Reply({0x10, 0x19, 0x03, 0x00, 0x01, 0x0B, 0x00, 0x00, 0x00, 0x02, '4', '7'}, 0x01);
    damaged.back() ^= 0xFF;
    Receive(damaged);

    At(400);
    Send(Request(messages::kSerialNumberRead, 0, 0x02));
    At(600);
    Send(Request(messages::kSerialNumberRead, 0, 0x02));
    At(650);
    Receive(HandsetAck(0x02));
    damaged.back() ^= 0xFF;
    damaged[damaged.size() - 2] = 0x02;
    damaged.back() = frame::checksum(damaged.data());
    Receive(damaged);
    Send(OurAck(0x02));

    const FrameLogDecoding d = decode();
    ASSERT_THAT(Kinds(d), ElementsAre(Kind::Request, Kind::HandsetAck, Kind::Reply, Kind::OurAck, //
                                      Kind::Request, Kind::Reply, Kind::OurAck, Kind::HandsetAck, Kind::HandsetAck,
                                      Kind::BadChecksum, Kind::NoReply, //
                                      Kind::Request, Kind::NoAnswer, //
                                      Kind::Request, Kind::HandsetAck, Kind::Reply, Kind::OurAck));
    EXPECT_EQ(d.events[2].meaning, "reply 00 to version query: version text \"V 1 / NMT\"");
    EXPECT_TRUE(d.events[2].has(FrameProblemKind::NeverAcknowledged));
    EXPECT_TRUE(d.events[3].has(FrameProblemKind::WriteTimedOut));
    EXPECT_TRUE(d.events[5].has(FrameProblemKind::RepeatedReply));
    EXPECT_FALSE(d.events[5].has(FrameProblemKind::NeverAcknowledged));
    EXPECT_EQ(d.events[6].meaning, "acknowledgement of reply 00");
    EXPECT_TRUE(d.events[7].has(FrameProblemKind::LateAck));
    EXPECT_FALSE(d.events[8].has(FrameProblemKind::LateAck));
    EXPECT_EQ(d.events[10].meaning, "no reply to request 01 (serial number read) after its acknowledgement; only a damaged frame came");
    EXPECT_TRUE(d.events[11].has(FrameProblemKind::AskedAgain));
    EXPECT_TRUE(d.events[13].has(FrameProblemKind::SentAgain));
    EXPECT_EQ(d.events[15].meaning, "reply 02 to serial number read: serial number \"47\"");
    EXPECT_TRUE(d.events[15].problems.empty());
}

// Time on the line runs from an exchange's first send to its last frame
// through; the least line time counts the frames a clean exchange needs.
// A request sent long after the last frame starts an exchange of its own.
TEST_F(FrameLogDecoderTest, SummaryCountsExchangesRetriesAndLineTime)
{
    const Bytes version = Request(messages::kVersionQuery, 0, 0x00);
    const Bytes reply = Reply(kVersionData, 0x00);
    Send(version);
    At(10);
    Receive(version);
    At(20);
    Receive(HandsetAck(0x00));
    At(60);
    Receive(reply);
    At(62);
    Send(OurAck(0x00));
    // The program's own pause between the exchanges does not count.
    At(1000);
    const Bytes serial = Request(messages::kSerialNumberRead, 0, 0x01);
    Send(serial);
    At(1200);
    Send(serial);
    // The same request from the next run, appended to the same log.
    At(20000);
    Send(serial);

    const FrameLogSummary s = decode().summary;
    EXPECT_EQ(s.exchanges, 3);
    EXPECT_EQ(s.answered, 1);
    EXPECT_EQ(s.sends, 4);
    EXPECT_EQ(s.retries(), 1);
    EXPECT_EQ(s.sentAgain, 1);
    EXPECT_EQ(s.unansweredSends, 3);
    EXPECT_EQ(s.lostReplies, 0);
    const auto through = [](std::size_t bytes) { return static_cast<std::int64_t>(bytes * Exchange::kByteTimeUs / 1000.0 + 0.5); };
    EXPECT_EQ(s.lineTimeMs, 62 + through(frame::kAckLength) + 200 + through(serial.size()) + through(serial.size()));
    const std::size_t least = version.size() + frame::kAckLength + reply.size() + frame::kAckLength
        + 2 * (serial.size() + frame::kAckLength);
    EXPECT_DOUBLE_EQ(s.leastLineTimeMs, static_cast<double>(least) * Exchange::kByteTimeUs / 1000.0);
}

} // namespace
