#include <gtest/gtest.h>

#include "LinkFixture.h"

namespace {

TEST(Checksum, MatchesTheWorkedFrames)
{
    const Bytes version{0x00, 0xE9, 0x03, 0xE5, 0x00, 0x03, 0x00, 0x00};
    EXPECT_EQ(frame::checksum(version.data()), 0x0C);
    const Bytes pcAck{0x00, 0xE9, 0x7F, 0x00};
    EXPECT_EQ(frame::checksum(pcAck.data()), 0x96);
    const Bytes handsetAck{0xE9, 0x00, 0x7F, 0x00};
    EXPECT_EQ(frame::checksum(handsetAck.data()), 0x96);
    const Bytes handsetAck5{0xE9, 0x00, 0x7F, 0x05};
    EXPECT_EQ(frame::checksum(handsetAck5.data()), 0x93);
}

TEST(Checksum, CoversTheHeaderMessageAndSequenceOrFourAckBytesOnly)
{
    Bytes ack{0xE9, 0x00, 0x7F, 0x05, 0x11, 0x22};
    ack[4] = 0xFF; // whatever follows an acknowledgement's four bytes
    ack[5] = 0x01;
    EXPECT_EQ(frame::checksum(ack.data()), 0x93);

    Bytes f{0xE9, 0x00, 0x01, 0x00, 0xAA, 0x07, 0x00, 0x55};
    const std::uint8_t sum = frame::checksum(f.data());
    EXPECT_EQ(sum, 0xE9 ^ 0x01 ^ 0xAA ^ 0x07);
    f[6] = 0x12; // the checksum position itself and what follows are not covered
    f[7] = 0x34;
    EXPECT_EQ(frame::checksum(f.data()), sum);
    f[5] = 0x08;
    EXPECT_NE(frame::checksum(f.data()), sum);
}

class SendTest : public LinkFixture {
protected:
    void SetUp() override
    {
        line.SetEcho(false);
        line.open();
    }
    static ExchangePlan Plan(const Bytes& message, int tries)
    {
        return {message.data(), static_cast<int>(message.size()), tries, 100, false, 32};
    }
};

TEST_F(SendTest, VersionQueryGoesOutAsTheWorkedFrame)
{
    const Bytes message{0x00, 0x03, 0x00};
    EXPECT_FALSE(link.exchange(Plan(message, 0)));
    ASSERT_EQ(line.Writes().size(), 1u);
    EXPECT_EQ(line.Writes()[0].bytes, (Bytes{0x00, 0xE9, 0x03, 0xE5, 0x00, 0x03, 0x00, 0x00, 0x0C}));
    EXPECT_EQ(line.Writes()[0].atUs, 0); // a quiet line is not waited for
}

TEST(FrameBuilding, LongestMessageMakesA104ByteFrame)
{
    Bytes message(98);
    for (int i = 0; i < 98; ++i)
        message[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7);
    Bytes f(frame::kBufferSize);
    ASSERT_EQ(frame::buildDataFrame(message.data(), 98, 0x21, f.data()), 104);
    EXPECT_EQ(Bytes(f.begin() + 4, f.begin() + 102), message);
    EXPECT_EQ(f[102], 0x21);
    EXPECT_EQ(f[103], frame::checksum(f.data()));
}

TEST_F(SendTest, UnframeableLengthsNeverReachThePort)
{
    const Bytes message(256, 0x11);
    for (int n : {127, 251, 255})
        EXPECT_FALSE(link.exchange({message.data(), n, 1, 100, false, 32})) << n;
    EXPECT_TRUE(line.Writes().empty());

    EXPECT_FALSE(link.exchange({message.data(), 250, 0, 100, false, 32})); // the largest frame fills the buffer exactly
    ASSERT_EQ(line.Writes().size(), 1u);
    EXPECT_EQ(line.Writes()[0].bytes.size(), 256u);
}

// Each acknowledgement moves the sequence byte on, from 255 to 0; a frame
// sent again without one keeps its sequence byte.
TEST_F(SendTest, SequenceMovesOnlyWithAnAcknowledgementAndWrapsFrom255To0)
{
    VirtualHandset handset;
    handset.acknowledge = false;
    handset.reply = false;
    line.SetFarEnd(&handset);
    PhoneLink atSequence(line, line, &line, 255);
    const Bytes message{0x00, 0x03, 0x00};
    EXPECT_FALSE(atSequence.exchange(Plan(message, 1)));
    ASSERT_EQ(line.Writes().size(), 2u);
    EXPECT_EQ(line.Writes()[0].bytes, line.Writes()[1].bytes);
    EXPECT_EQ(atSequence.sequence(), 255);

    VirtualHandset answering; // one that has not heard the frame before
    line.SetFarEnd(&answering);
    ASSERT_TRUE(atSequence.exchange(Plan(message, 1)));
    EXPECT_EQ(line.DataFrameWrites().back().bytes[7], 0xFF);
    EXPECT_EQ(atSequence.sequence(), 0);
}

} // namespace
