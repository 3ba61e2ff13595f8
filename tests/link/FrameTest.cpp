#include <gtest/gtest.h>

#include "LinkFixture.h"

namespace {

TEST(Checksum, MatchesTheWorkedFrames)
{
    const Bytes version{0x00, 0xE9, 0x03, 0xE5, 0x00, 0x03, 0x00, 0x00};
    EXPECT_EQ(PhoneLink::checksum(version.data()), 0x0C);
    const Bytes pcAck{0x00, 0xE9, 0x7F, 0x00};
    EXPECT_EQ(PhoneLink::checksum(pcAck.data()), 0x96);
    const Bytes handsetAck{0xE9, 0x00, 0x7F, 0x00};
    EXPECT_EQ(PhoneLink::checksum(handsetAck.data()), 0x96);
    const Bytes handsetAck5{0xE9, 0x00, 0x7F, 0x05};
    EXPECT_EQ(PhoneLink::checksum(handsetAck5.data()), 0x93);
}

TEST(Checksum, CoversTheHeaderMessageAndSequenceOrFourAckBytesOnly)
{
    Bytes ack{0xE9, 0x00, 0x7F, 0x05, 0x11, 0x22};
    ack[4] = 0xFF; // whatever follows an acknowledgement's four bytes
    ack[5] = 0x01;
    EXPECT_EQ(PhoneLink::checksum(ack.data()), 0x93);

    Bytes f{0xE9, 0x00, 0x01, 0x00, 0xAA, 0x07, 0x00, 0x55};
    const std::uint8_t sum = PhoneLink::checksum(f.data());
    EXPECT_EQ(sum, 0xE9 ^ 0x01 ^ 0xAA ^ 0x07);
    f[6] = 0x12; // the checksum position itself and what follows are not covered
    f[7] = 0x34;
    EXPECT_EQ(PhoneLink::checksum(f.data()), sum);
    f[5] = 0x08;
    EXPECT_NE(PhoneLink::checksum(f.data()), sum);
}

class SendPacketTest : public LinkFixture {
protected:
    void SetUp() override
    {
        line.SetEcho(false);
        line.open();
    }
};

TEST_F(SendPacketTest, VersionQueryGoesOutAsTheWorkedFrameWithoutWaiting)
{
    const Bytes message{0x00, 0x03, 0x00};
    link.sendPacket(message.data(), 3);
    ASSERT_EQ(line.Writes().size(), 1u);
    EXPECT_EQ(line.Writes()[0].bytes, (Bytes{0x00, 0xE9, 0x03, 0xE5, 0x00, 0x03, 0x00, 0x00, 0x0C}));
    EXPECT_EQ(line.nowUs(), 0); // the exchange does the waiting, on the line's events
    EXPECT_FALSE(state().echoSeen);
}

TEST_F(SendPacketTest, LongestMessageMakesA104ByteFrame)
{
    Bytes message(98);
    for (int i = 0; i < 98; ++i)
        message[i] = static_cast<std::uint8_t>(i * 7);
    state().txSequence = 0x21;
    link.sendPacket(message.data(), 98);
    ASSERT_EQ(line.Writes().size(), 1u);
    const Bytes& f = line.Writes()[0].bytes;
    ASSERT_EQ(f.size(), 104u);
    EXPECT_EQ(Bytes(f.begin() + 4, f.begin() + 102), message);
    EXPECT_EQ(f[102], 0x21);
    EXPECT_EQ(f[103], PhoneLink::checksum(f.data()));
}

TEST_F(SendPacketTest, UnframeableLengthsNeverReachThePort)
{
    const Bytes message(256, 0x11);
    state().echoSeen = true;
    link.sendPacket(message.data(), 127);
    link.sendPacket(message.data(), 251);
    link.sendPacket(message.data(), 255);
    EXPECT_TRUE(line.Writes().empty());
    EXPECT_TRUE(state().echoSeen);

    link.sendPacket(message.data(), 250); // the largest frame fills the buffer exactly
    ASSERT_EQ(line.Writes().size(), 1u);
    EXPECT_EQ(line.Writes()[0].bytes.size(), 256u);
}

TEST_F(SendPacketTest, SequenceWrapsFrom255To0OnTheNextAcknowledgement)
{
    state().txSequence = 255;
    const Bytes message{0x00, 0x03, 0x00};
    link.sendPacket(message.data(), 3);
    Deliver(VirtualHandset::Ack(0xFF));
    EXPECT_EQ(state().txSequence, 0);
    link.sendPacket(message.data(), 3);
    ASSERT_EQ(line.Writes().size(), 2u);
    EXPECT_EQ(line.Writes()[0].bytes[7], 0xFF);
    EXPECT_EQ(line.Writes()[1].bytes, (Bytes{0x00, 0xE9, 0x03, 0xE5, 0x00, 0x03, 0x00, 0x00, 0x0C}));
}

TEST_F(SendPacketTest, ResendWithoutAcknowledgementKeepsTheSequenceByte)
{
    state().txSequence = 7;
    const Bytes message{0x43, 0x00, 0x00};
    link.sendPacket(message.data(), 3);
    Deliver(line.Writes()[0].bytes); // only our own echo comes back
    link.sendPacket(message.data(), 3);
    EXPECT_EQ(line.Writes()[0].bytes, line.Writes()[1].bytes);
    EXPECT_EQ(state().txSequence, 7);
}

} // namespace
