#include <gtest/gtest.h>

#include "LinkFixture.h"

namespace {

class ReceiverTest : public LinkFixture {
protected:
    void SetUp() override
    {
        line.SetEcho(false);
        line.open();
        state().replyBuffer.fill(0xAB);
    }

    // Everything a frame can touch, to show a frame left no trace.
    void ExpectUntouched()
    {
        EXPECT_FALSE(state().ackReady);
        EXPECT_FALSE(state().replyReady);
        EXPECT_FALSE(state().echoSeen);
        EXPECT_EQ(state().txSequence, 0);
        EXPECT_EQ(line.AckLedOns(), 0);
        EXPECT_EQ(line.PackLedOns(), 0);
        EXPECT_EQ(line.InfoButtonEnables(), 0);
        EXPECT_TRUE(line.Writes().empty());
        for (std::uint8_t b : state().replyBuffer)
            ASSERT_EQ(b, 0xAB);
    }

    const Bytes data = VirtualHandset::DataFrame({0x10, 0x20, 0x30}, 0x42, 0x77);
};

TEST_F(ReceiverTest, HandsetAcknowledgementSetsAckAdvancesSequenceAndLightsAck)
{
    Deliver({0xE9, 0x00, 0x7F, 0x04, 0x92}); // a late acknowledgement of the frame before
    ExpectUntouched();
    state().txSequence = 5;
    Deliver({0xE9, 0x00, 0x7F, 0x05, 0x93});
    EXPECT_TRUE(state().ackReady);
    EXPECT_EQ(state().txSequence, 6);
    EXPECT_TRUE(line.AckLed());
    EXPECT_FALSE(state().replyReady);
    EXPECT_FALSE(state().echoSeen);
    EXPECT_FALSE(line.PackLed());
    EXPECT_TRUE(line.Writes().empty());
    EXPECT_EQ(state().replyBuffer[0], 0xAB);
    EXPECT_EQ(state().rxLength, 0);
    EXPECT_EQ(state().rxExpected, 5);
}

TEST_F(ReceiverTest, DataFrameIsCopiedWholeAndAcknowledged)
{
    Deliver(data);
    ASSERT_EQ(data.size(), 9u);
    EXPECT_EQ(Bytes(state().replyBuffer.begin(), state().replyBuffer.begin() + 9), data);
    EXPECT_EQ(state().replyBuffer[9], 0xAB); // nothing past the frame is written
    ASSERT_EQ(line.Writes().size(), 1u);
    const std::uint8_t ackSum = 0x00 ^ 0xE9 ^ 0x7F ^ 0x42;
    EXPECT_EQ(line.Writes()[0].bytes, (Bytes{0x00, 0xE9, 0x7F, 0x42, ackSum}));
    EXPECT_EQ(line.Sleeps(), std::vector<int>{1}); // the pause before the acknowledgement
    EXPECT_TRUE(state().replyReady);
    EXPECT_TRUE(line.PackLed());
    EXPECT_EQ(line.InfoButtonEnables(), 1);
    EXPECT_FALSE(state().ackReady);
    EXPECT_EQ(state().txSequence, 0);
}

TEST_F(ReceiverTest, AcknowledgementOfSequenceZeroIsTheWorkedFrame)
{
    Deliver(VirtualHandset::DataFrame({0x01}, 0x00));
    ASSERT_EQ(line.Writes().size(), 1u);
    EXPECT_EQ(line.Writes()[0].bytes, (Bytes{0x00, 0xE9, 0x7F, 0x00, 0x96}));
}

TEST_F(ReceiverTest, AcknowledgementWriteThatTimesOutLeavesReplyNotReady)
{
    line.SetAckWriteTimesOut(true);
    Deliver(data);
    EXPECT_EQ(state().replyBuffer[4], 0x10); // copied all the same
    EXPECT_FALSE(state().replyReady);
    EXPECT_FALSE(line.PackLed());
    EXPECT_EQ(line.InfoButtonEnables(), 0);
}

TEST_F(ReceiverTest, BadChecksumLeavesEverythingAndTheNextByteStartsAFrame)
{
    Bytes bad = data;
    bad.back() ^= 0x01;
    Bytes badAck{0xE9, 0x00, 0x7F, 0x05, 0x94};
    Deliver(Concat({bad, badAck}));
    ExpectUntouched();
    EXPECT_EQ(state().rxLength, 0);
    Deliver(data);
    EXPECT_TRUE(state().replyReady);
}

TEST_F(ReceiverTest, OwnFramesAndOwnAcknowledgementsCountOnlyAsEcho)
{
    Deliver({0x00, 0xE9, 0x03, 0xE5, 0x00, 0x03, 0x00, 0x00, 0x0C});
    EXPECT_TRUE(state().echoSeen);
    state().echoSeen = false;
    Deliver({0x00, 0xE9, 0x7F, 0x00, 0x96});
    EXPECT_TRUE(state().echoSeen);
    state().echoSeen = false;
    ExpectUntouched();
}

// Bytes that only look like the start of our echo (its checksum is wrong)
// are searched again from their second byte: the handset's acknowledgement
// that they seemed to swallow is found, as when the last byte of an echo cut
// off by the port's closing meets the next frame.
TEST_F(ReceiverTest, FalseFrameStartIsSearchedAgainForTheFramesInside)
{
    state().txSequence = 0x05;
    Deliver({0x00, 0xE9, 0x02, 0xE9, 0x00, 0x7F, 0x05, 0x93});
    EXPECT_FALSE(state().echoSeen);
    EXPECT_TRUE(state().ackReady);
    EXPECT_EQ(state().txSequence, 0x06);
}

// A start byte must be followed by its partner (00 E9 or E9 00); otherwise it
// was a stray byte, and hunting goes on from the byte after it.
TEST_F(ReceiverTest, StartWithoutItsPartnerIsDroppedAndHuntingResumes)
{
    Deliver({0xE9, 0x01, 0x7F, 0x05, 0x92});
    EXPECT_EQ(state().rxLength, 0);
    ExpectUntouched();
    // The tail of a frame cut off by an exchange's reset: without the pairing
    // rule 00 00 0A would announce a frame that swallows the acknowledgement
    // and most of the reply behind it.
    Deliver(Concat({{0x00, 0x00, 0x0A, 0xE9, 0xE9}, VirtualHandset::Ack(0x00), data}));
    EXPECT_TRUE(state().ackReady);
    EXPECT_TRUE(state().replyReady);
    EXPECT_EQ(Bytes(state().replyBuffer.begin(), state().replyBuffer.begin() + 9), data);
    // The tail of a request echo cut short when the port opened.
    state().ackReady = state().replyReady = false;
    Deliver(Concat(
        {{0x03, 0x00, 0x07, 0x1F, 0x7F, 0xF0, 0x00, 0x07, 0x00, 0x00, 0x0F, 0xBE}, VirtualHandset::Ack(0x01), data}));
    EXPECT_TRUE(state().ackReady);
    EXPECT_TRUE(state().replyReady);
    // A doubled start byte: the second one begins the frame.
    state().replyReady = false;
    Deliver(Concat({{0xE9}, data}));
    EXPECT_TRUE(state().replyReady);
}

TEST_F(ReceiverTest, NoiseBeforeAFrameIsDropped)
{
    Deliver(Concat({{0x55, 0xFF, 0x7F, 0x01}, {0x00, 0xE9, 0x03, 0xE5, 0x00, 0x03, 0x00, 0x00, 0x0C}}));
    EXPECT_TRUE(state().echoSeen);
    EXPECT_EQ(state().rxLength, 0);
    Deliver(Concat({{0x12, 0x34}, data}));
    EXPECT_TRUE(state().replyReady);
    EXPECT_EQ(state().replyBuffer[4], 0x10);
}

TEST_F(ReceiverTest, FrameSplitOverNotificationsAssemblesAsOne)
{
    for (std::size_t cut : {1u, 2u, 3u, 8u}) {
        SCOPED_TRACE(cut);
        state().replyReady = false;
        Deliver(Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(cut)));
        EXPECT_FALSE(state().replyReady);
        EXPECT_EQ(state().rxLength, static_cast<int>(cut));
        Deliver(Bytes(data.begin() + static_cast<std::ptrdiff_t>(cut), data.end()));
        EXPECT_TRUE(state().replyReady);
    }
    EXPECT_EQ(line.Writes().size(), 4u);
}

TEST_F(ReceiverTest, MergedFramesInOneNotificationAreAllProcessedInOrder)
{
    const Bytes second = VirtualHandset::DataFrame({0x99}, 0x43);
    Deliver(Concat({VirtualHandset::Ack(0x00), data, second}));
    EXPECT_EQ(line.NotificationCounts().size(), 1u);
    EXPECT_TRUE(state().ackReady);
    EXPECT_EQ(state().txSequence, 1);
    ASSERT_EQ(line.Writes().size(), 2u);
    EXPECT_EQ(line.Writes()[0].bytes[3], 0x42);
    EXPECT_EQ(line.Writes()[1].bytes[3], 0x43);
    // The later, shorter frame overwrote only its own length.
    EXPECT_EQ(Bytes(state().replyBuffer.begin(), state().replyBuffer.begin() + 7), second);
    EXPECT_EQ(state().replyBuffer[7], data[7]);
}

TEST_F(ReceiverTest, OversizeAnnouncedLengthIsDroppedAndHuntingResumes)
{
    for (std::uint8_t length : {251, 255}) {
        SCOPED_TRACE(length);
        Bytes stream(3 + 300, 0x00); // the zeros would overrun the buffers if taken in
        stream[0] = 0xE9;
        stream[2] = length;
        Deliver(stream);
        // The zeros after the bad header are taken as echo starts, never as a reply.
        EXPECT_FALSE(state().replyReady);
        state().rxLength = 0;
        state().rxExpected = 5;
    }
    EXPECT_TRUE(line.Writes().empty());
    Deliver({0xE9, 0x00, 0xFB});
    EXPECT_EQ(state().rxLength, 0);
    EXPECT_EQ(state().rxExpected, 5);
    Deliver(data);
    EXPECT_TRUE(state().replyReady);
}

TEST_F(ReceiverTest, LargestFrameFillsTheReplyBuffer)
{
    Bytes payload(250);
    for (int i = 0; i < 250; ++i)
        payload[i] = static_cast<std::uint8_t>(i);
    const Bytes big = VirtualHandset::DataFrame(payload, 0x09);
    ASSERT_EQ(big.size(), 256u);
    Deliver(big);
    EXPECT_TRUE(state().replyReady);
    EXPECT_EQ(Bytes(state().replyBuffer.begin(), state().replyBuffer.end()), big);
}

TEST_F(ReceiverTest, NotificationOfMoreThan256BytesIsReadInChunks)
{
    // Noise, then a frame straddling the 256-byte chunk edge at 250, then noise.
    Bytes stream(300 + data.size(), 0x55);
    std::copy(data.begin(), data.end(), stream.begin() + 250);
    ASSERT_EQ(stream[250], 0xE9);
    Deliver(stream);
    EXPECT_EQ(line.NotificationCounts(), std::vector<int>{309});
    EXPECT_TRUE(state().replyReady);
    EXPECT_EQ(state().replyBuffer[4], 0x10);
}

} // namespace
