#include "sim/HandsetLine.h"
#include "SimTestFrames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace handset;

namespace {

struct Timed {
    double atMs;
    std::uint8_t byte;
};

// Drains the line the way a virtual-clock harness does: jump to the next due
// time, take what is due.
std::vector<Timed> Drain(HandsetLine& line)
{
    std::vector<Timed> out;
    while (!std::isinf(line.nextDueMs())) {
        const double at = line.nextDueMs();
        for (std::uint8_t byte : line.dueBy(at))
            out.push_back({at, byte});
    }
    return out;
}

Bytes BytesOf(const std::vector<Timed>& timed)
{
    Bytes bytes;
    for (const Timed& t : timed)
        bytes.push_back(t.byte);
    return bytes;
}

LineSettings Unpaced(double turnaroundMs = 0.0)
{
    LineSettings s;
    s.pace = false;
    s.turnaroundMs = turnaroundMs;
    return s;
}

LineSettings Bus(double turnaroundMs)
{
    LineSettings s;
    s.bus = true;
    s.turnaroundMs = turnaroundMs;
    return s;
}

// What the handset puts on the wire for these frames, worked out by a model of its own.
Bytes AnswerTo(const Bytes& frame)
{
    HandsetModel fresh;
    Bytes answer;
    for (const OutFrame& f : fresh.fromPc(frame.data(), frame.size()))
        answer.insert(answer.end(), f.bytes.begin(), f.bytes.end());
    return answer;
}

class HandsetLineTest : public ::testing::Test {
protected:
    void SendAt(HandsetLine& line, const Bytes& message, std::uint8_t sequence, double tMs)
    {
        const Bytes frame = PcFrame(message, sequence);
        line.fromPc(frame.data(), frame.size(), tMs);
    }
    HandsetModel model;
};

TEST_F(HandsetLineTest, EchoComesFirstThenAckThenReply)
{
    HandsetLine line(model, Unpaced());
    SendAt(line, kVersionQuery, 0, 10.0);
    const Bytes out = BytesOf(Drain(line));
    const Bytes frame = PcFrame(kVersionQuery, 0);
    ASSERT_GT(out.size(), frame.size() + 5);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 9), frame);
    EXPECT_EQ(Bytes(out.begin() + 9, out.begin() + 14), (Bytes{0xE9, 0x00, 0x7F, 0x00, 0x96}));
    const auto frames = SplitHandsetFrames(Bytes(out.begin() + 9, out.end()));
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_TRUE(ChecksumOk(frames[1]));
}

TEST_F(HandsetLineTest, WithoutEchoOnlyTheHandsetFramesComeBack)
{
    LineSettings s = Unpaced();
    s.echo = false;
    HandsetLine line(model, s);
    SendAt(line, kVersionQuery, 0, 0.0);
    const Bytes out = BytesOf(Drain(line));
    ASSERT_GE(out.size(), 5u);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 5), (Bytes{0xE9, 0x00, 0x7F, 0x00, 0x96}));
    EXPECT_EQ(SplitHandsetFrames(out).size(), 2u);
}

TEST_F(HandsetLineTest, NothingIsDueBeforeItsTime)
{
    HandsetLine line(model, Unpaced(20.0));
    EXPECT_TRUE(std::isinf(line.nextDueMs()));
    SendAt(line, kVersionQuery, 0, 100.0);
    EXPECT_TRUE(line.dueBy(99.9).empty());
    EXPECT_EQ(line.dueBy(100.0).size(), 9u); // the echo, at once
    EXPECT_DOUBLE_EQ(line.nextDueMs(), 120.0);
    EXPECT_TRUE(line.dueBy(119.9).empty());
    EXPECT_FALSE(line.dueBy(120.0).empty());
}

TEST_F(HandsetLineTest, PacedBytesAreOneCharacterTimeApart)
{
    LineSettings s;
    s.pace = true;
    s.turnaroundMs = 0.0;
    HandsetLine line(model, s);
    SendAt(line, PhonebookRead(3), 0, 0.0);
    const auto out = Drain(line);
    ASSERT_GT(out.size(), 18u + 5u + 50u);
    EXPECT_NEAR(kByteMs, 1.1458, 0.0001);
    for (std::size_t i = 1; i < out.size(); ++i)
        EXPECT_GE(out[i].atMs - out[i - 1].atMs, kByteMs - 1e-9) << "byte " << i;
    // A backlog goes out back to back: the whole answer takes one character time a byte.
    EXPECT_NEAR(out.back().atMs - out.front().atMs, (out.size() - 1) * kByteMs, 1e-6);
}

TEST_F(HandsetLineTest, TurnaroundIsCountedFromTheLastByteOfTheRequest)
{
    LineSettings s;
    s.pace = true;
    s.echo = false;
    s.turnaroundMs = 30.0;
    HandsetLine line(model, s);
    SendAt(line, kVersionQuery, 0, 0.0);
    const auto out = Drain(line);
    ASSERT_FALSE(out.empty());
    // 9 request bytes: the last arrives 8 character times after the first.
    EXPECT_NEAR(out.front().atMs, 8 * kByteMs + 30.0, 1e-6);
}

TEST_F(HandsetLineTest, SilentLineAnswersNothingAndTheHandsetHearsNothing)
{
    LineSettings s = Unpaced();
    s.faults.silent = true;
    HandsetLine line(model, s);
    SendAt(line, kNetMonitorOn, 0, 0.0);
    EXPECT_TRUE(Drain(line).empty());
    EXPECT_FALSE(model.state().netMonitor);
}

TEST_F(HandsetLineTest, DroppedAcksAndDroppedRepliesEachLeaveTheOtherKind)
{
    LineSettings noAcks = Unpaced();
    noAcks.echo = false;
    noAcks.faults.dropAcks = true;
    HandsetLine a(model, noAcks);
    SendAt(a, kSerialRead, 0, 0.0);
    auto frames = SplitHandsetFrames(BytesOf(Drain(a)));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_NE(frames[0][2], 0x7F);

    HandsetModel other;
    LineSettings noReplies = noAcks;
    noReplies.faults = {};
    noReplies.faults.dropReplies = true;
    HandsetLine r(other, noReplies);
    SendAt(r, kNetMonitorOn, 0, 0.0);
    frames = SplitHandsetFrames(BytesOf(Drain(r)));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0][2], 0x7F);
    EXPECT_TRUE(other.state().netMonitor); // carried out, only the answer is lost
}

TEST_F(HandsetLineTest, BadChecksumSpoilsEveryNthFrameSent)
{
    LineSettings s = Unpaced();
    s.echo = false;
    s.faults.badChecksumEvery = 3;
    HandsetLine line(model, s);
    for (std::uint8_t i = 0; i < 3; ++i)
        SendAt(line, kVersionQuery, i, i * 100.0);
    const auto frames = SplitHandsetFrames(BytesOf(Drain(line)));
    ASSERT_EQ(frames.size(), 6u);
    for (std::size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(ChecksumOk(frames[i]), (i + 1) % 3 != 0) << "frame " << i;
}

TEST_F(HandsetLineTest, AnswerDuplicatesSendsASecondReply)
{
    LineSettings s = Unpaced();
    s.echo = false;
    s.faults.answerDuplicates = true;
    HandsetLine line(model, s);
    SendAt(line, kVersionQuery, 4, 0.0);
    SendAt(line, kVersionQuery, 4, 100.0);
    EXPECT_EQ(SplitHandsetFrames(BytesOf(Drain(line))).size(), 4u);

    HandsetModel plain;
    s.faults.answerDuplicates = false;
    HandsetLine once(plain, s);
    SendAt(once, kVersionQuery, 4, 0.0);
    SendAt(once, kVersionQuery, 4, 100.0);
    EXPECT_EQ(SplitHandsetFrames(BytesOf(Drain(once))).size(), 3u); // ack, reply, ack
}

TEST_F(HandsetLineTest, NoiseComesBetweenFramesAndCannotStartOne)
{
    LineSettings s = Unpaced();
    s.echo = false;
    s.faults.noiseBytes = 4;
    HandsetLine line(model, s);
    SendAt(line, kVersionQuery, 0, 0.0);
    const Bytes out = BytesOf(Drain(line));
    const auto frames = SplitHandsetFrames(out);
    ASSERT_EQ(frames.size(), 2u);
    std::size_t framed = 0;
    for (const Bytes& f : frames)
        framed += f.size();
    EXPECT_EQ(out.size(), framed + 8);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NE(out[i], 0x00);
        EXPECT_NE(out[i], 0xE9);
    }
    for (const Bytes& f : frames)
        EXPECT_TRUE(ChecksumOk(f));
}

TEST_F(HandsetLineTest, AfterAResetTheHandsetHearsNothingForItsQuietTime)
{
    LineSettings s = Unpaced();
    s.echo = false;
    s.resetQuietMs = 250.0;
    HandsetLine line(model, s);
    SendAt(line, kSoftwareReset, 0, 0.0);
    EXPECT_EQ(SplitHandsetFrames(BytesOf(Drain(line))).size(), 2u);
    SendAt(line, kNetMonitorOn, 1, 249.0);
    EXPECT_TRUE(Drain(line).empty());
    EXPECT_FALSE(model.state().netMonitor);
    SendAt(line, kNetMonitorOn, 1, 251.0);
    EXPECT_EQ(SplitHandsetFrames(BytesOf(Drain(line))).size(), 2u);
    EXPECT_TRUE(model.state().netMonitor);
}

TEST(BusDamage, AlignedBytesGiveTheirAndAndNoDamagedByteIsOneThatWasSent)
{
    EXPECT_EQ(damagedByte({0.0, 0x5A}, {{0.0, 0x3C}}), 0x18);
    EXPECT_EQ(damagedByte({5.0, 0xF0}, {{5.0, 0x3F}}), 0x30);
    for (unsigned a = 0; a < 256; ++a) {
        for (unsigned b = 0; b < 256; ++b) {
            const auto own = static_cast<std::uint8_t>(a), other = static_cast<std::uint8_t>(b);
            for (double offset : {0.0, 0.4, -0.7}) {
                const std::uint8_t heard = damagedByte({10.0, own}, {{10.0 + offset * kByteMs, other}});
                ASSERT_NE(heard, own) << a << " " << b << " " << offset;
                ASSERT_NE(heard, other) << a << " " << b << " " << offset;
            }
            const std::uint8_t third = static_cast<std::uint8_t>(a ^ 0x81);
            const std::uint8_t heard = damagedByte({10.0, own}, {{9.5, other}, {9.5 + kByteMs, third}});
            ASSERT_TRUE(heard != own && heard != other && heard != third) << a << " " << b;
        }
    }
}

// A second frame written exactly when the handset starts to answer the first:
// every slot of it carries one byte of each side, aligned.
TEST_F(HandsetLineTest, OnTheBusOverlappingBytesAreGarbledForBothSidesAndTheRestIsIntact)
{
    HandsetLine line(model, Bus(20.0));
    const Bytes request = PcFrame(kVersionQuery, 0);
    const Bytes intruder = PcFrame(kSerialRead, 1);
    const Bytes answer = AnswerTo(request);
    // The handset hears the request at the end of its last slot, then waits its turnaround.
    const double answerAt = request.size() * kByteMs + 20.0;
    line.fromPc(request.data(), request.size(), 0.0);
    line.fromPc(intruder.data(), intruder.size(), answerAt);
    const auto heard = Drain(line);
    ASSERT_EQ(heard.size(), request.size() + intruder.size() + answer.size());

    const Bytes all = BytesOf(heard);
    EXPECT_EQ(Bytes(all.begin(), all.begin() + 9), request); // its echo, clean
    for (std::size_t k = 0; k < intruder.size(); ++k) {
        // Both sides hear the same wire; an aligned AND that is neither byte sent is what they get.
        const Timed& a = heard[9 + 2 * k];
        const Timed& b = heard[10 + 2 * k];
        EXPECT_NEAR(a.atMs, answerAt + (k + 1) * kByteMs, 1e-9);
        EXPECT_NEAR(a.atMs, b.atMs, 1e-9);
        EXPECT_EQ(a.byte, b.byte) << k;
        EXPECT_NE(a.byte, intruder[k]) << k;
        EXPECT_NE(a.byte, answer[k]) << k;
        const std::uint8_t both = intruder[k] & answer[k];
        if (both != intruder[k] && both != answer[k]) {
            EXPECT_EQ(a.byte, both) << k;
        }
    }
    const Bytes after(all.begin() + 9 + 2 * static_cast<std::ptrdiff_t>(intruder.size()), all.end());
    EXPECT_EQ(after, Bytes(answer.begin() + static_cast<std::ptrdiff_t>(intruder.size()), answer.end()));

    EXPECT_EQ(line.collisionCount(), 1u);
    const auto collisions = line.takeCollisionsEndedBy(1000.0);
    ASSERT_EQ(collisions.size(), 1u);
    EXPECT_NEAR(collisions[0].startMs, answerAt, 1e-9);
    EXPECT_NEAR(collisions[0].endMs, answerAt + intruder.size() * kByteMs, 1e-9);
    EXPECT_EQ(collisions[0].pcBytes, intruder);
    EXPECT_EQ(collisions[0].handsetBytes,
              Bytes(answer.begin(), answer.begin() + static_cast<std::ptrdiff_t>(intruder.size())));
}

TEST_F(HandsetLineTest, OnTheBusAFrameHitByACollisionIsNotCarriedOutAndEveryCollisionCounts)
{
    HandsetLine line(model, Bus(20.0));
    const Bytes switchOn = PcFrame(kNetMonitorOn, 1);
    double now = 0.0;
    // Twice: the switch goes out while the handset is still answering a query.
    for (int round = 0; round < 2; ++round, now += 500.0) {
        const Bytes query = PcFrame(kVersionQuery, static_cast<std::uint8_t>(2 * round));
        const double answerAt = query.size() * kByteMs + 20.0;
        line.fromPc(query.data(), query.size(), now);
        line.fromPc(switchOn.data(), switchOn.size(), now + answerAt + 3.3 * kByteMs);
        // Two echoes and the answer to the query: nothing acknowledges or answers the switch.
        EXPECT_EQ(Drain(line).size(), query.size() + AnswerTo(query).size() + switchOn.size());
        EXPECT_FALSE(model.state().netMonitor);
        EXPECT_EQ(line.collisionCount(), round + 1u);
    }
    // The handset is not left deaf: on a quiet line the same frame is carried out.
    line.fromPc(switchOn.data(), switchOn.size(), now);
    EXPECT_EQ(SplitHandsetFrames(BytesOf(Drain(line))).size(), 2u);
    EXPECT_TRUE(model.state().netMonitor);
    EXPECT_EQ(line.collisionCount(), 2u);
}

} // namespace
