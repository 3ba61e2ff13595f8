#include "sim/HandsetModel.h"
#include "SimTestFrames.h"

#include <gtest/gtest.h>

#include <string>

using namespace handset;

namespace {

class HandsetModelTest : public ::testing::Test {
protected:
    std::vector<OutFrame> Send(const Bytes& message, std::uint8_t sequence)
    {
        const Bytes frame = PcFrame(message, sequence);
        return model.fromPc(frame.data(), frame.size());
    }

    // The one data frame answering a request, after checking its acknowledgement.
    Bytes Ask(const Bytes& message, std::uint8_t sequence)
    {
        const auto out = Send(message, sequence);
        EXPECT_EQ(out.size(), 2u);
        if (out.size() != 2)
            return {};
        EXPECT_EQ(out[0].kind, OutKind::Ack);
        EXPECT_EQ(out[0].bytes, (Bytes{0xE9, 0x00, 0x7F, sequence, static_cast<std::uint8_t>(0xE9 ^ 0x7F ^ sequence)}));
        EXPECT_EQ(out[1].kind, OutKind::Reply);
        const Bytes& reply = out[1].bytes;
        EXPECT_EQ(reply[0], 0xE9);
        EXPECT_EQ(reply[1], 0x00);
        EXPECT_EQ(reply.size(), reply[2] + 6u);
        EXPECT_TRUE(ChecksumOk(reply));
        return reply;
    }

    HandsetModel model{defaultHandsetState()};
    std::uint8_t seq = 0;
};

TEST(HandsetFrames, WorkedExampleOfTheVersionQueryAndItsAcknowledgement)
{
    EXPECT_EQ(PcFrame(kVersionQuery, 0), (Bytes{0x00, 0xE9, 0x03, 0xE5, 0x00, 0x03, 0x00, 0x00, 0x0C}));
    HandsetModel model;
    const Bytes frame = PcFrame(kVersionQuery, 0);
    const auto out = model.fromPc(frame.data(), frame.size());
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out[0].bytes, (Bytes{0xE9, 0x00, 0x7F, 0x00, 0x96}));
}

TEST_F(HandsetModelTest, ServiceRepliesCarryTheirFieldsWhereTheProgramReadsThem)
{
    HandsetState state = defaultHandsetState();
    state.versionText = "V 9.99\n01-02-03\nTEST";
    state.serialNumber = "0123456789";
    model.setState(state);

    const Bytes version = Ask(kVersionQuery, seq++);
    ASSERT_GE(version.size(), 6u + state.versionText.size());
    EXPECT_EQ(std::string(version.begin() + 6, version.begin() + 6 + 20), state.versionText);

    const Bytes serial = Ask(kSerialRead, seq++);
    ASSERT_GE(serial.size(), 24u);
    EXPECT_EQ(serial[13], 10);
    EXPECT_EQ(std::string(serial.begin() + 14, serial.begin() + 24), "0123456789");

    const Bytes off = Ask(kNetMonitorRead, seq++);
    ASSERT_GE(off.size(), 15u);
    EXPECT_EQ(off[14], 0);
}

TEST_F(HandsetModelTest, NetMonitorSwitchChangesWhatTheSettingReadReturns)
{
    Ask(kNetMonitorOn, seq++);
    EXPECT_TRUE(model.state().netMonitor);
    EXPECT_NE(Ask(kNetMonitorRead, seq++).at(14), 0);
    const auto changes = model.changeCount();
    Ask(kNetMonitorOff, seq++);
    EXPECT_FALSE(model.state().netMonitor);
    EXPECT_EQ(model.changeCount(), changes + 1);
    EXPECT_EQ(Ask(kNetMonitorRead, seq++).at(14), 0);
}

TEST_F(HandsetModelTest, PhonebookReadCarriesTheRecordFromFrameOffset18)
{
    const Bytes reply = Ask(PhonebookRead(0), seq++);
    ASSERT_GE(reply.size(), 18u + 33u);
    const Record& stored = model.state().phonebook[0];
    EXPECT_EQ(Bytes(reply.begin() + 18, reply.begin() + 51), Bytes(stored.begin(), stored.end()));
    EXPECT_EQ(reply[17], 33); // payload length, like the write request's byte 13
}

TEST_F(HandsetModelTest, PhonebookWriteIsReadBackAndTouchesOnlyItsLocation)
{
    const auto before = model.state().phonebook;
    Ask(PhonebookWrite(57, SampleRecord()), seq++);
    const Bytes reply = Ask(PhonebookRead(57), seq++);
    EXPECT_EQ(Bytes(reply.begin() + 18, reply.begin() + 51), SampleRecord());
    for (std::size_t i = 0; i < kPhonebookSize; ++i) {
        if (i != 57) {
            EXPECT_EQ(model.state().phonebook[i], before[i]) << "location " << i;
        }
    }
}

// Past the phonebook are the dialled numbers and the own number: read as
// records, and a write there is answered but changes nothing.
TEST_F(HandsetModelTest, LocationsFrom100OnAreReadButNeverWritten)
{
    const Record& own = model.state().otherLocations.at(kOwnNumberLocation);
    const Bytes ownRead = Ask(PhonebookRead(kOwnNumberLocation), seq++);
    EXPECT_EQ(Bytes(ownRead.begin() + 18, ownRead.begin() + 51), Bytes(own.begin(), own.end()));
    const Bytes empty = Ask(PhonebookRead(150), seq++);
    EXPECT_EQ(Bytes(empty.begin() + 18, empty.begin() + 51), Bytes(33, 0x00));

    const HandsetState before = model.state();
    const std::uint64_t changes = model.changeCount();
    for (std::uint8_t location : {100, 104, 115, 150, 255}) {
        const Bytes answer = Ask(PhonebookWrite(location, SampleRecord()), seq++);
        EXPECT_FALSE(answer.empty()) << int(location);
    }
    EXPECT_EQ(model.state(), before);
    EXPECT_EQ(model.changeCount(), changes) << "nothing to save either, not even location 50 for 150";
}

TEST_F(HandsetModelTest, LogoBlocksAreReadFromDataByte14AndWrittenInPlace)
{
    Bytes dots(84);
    for (std::size_t i = 0; i < dots.size(); ++i)
        dots[i] = static_cast<std::uint8_t>(i * 3 + 1);
    const auto others = model.state().logo;
    Ask(LogoWrite(5, dots), seq++);
    const Bytes reply = Ask(LogoRead(5), seq++);
    ASSERT_EQ(reply.size(), 98u + 6u);
    EXPECT_EQ(Bytes(reply.begin() + 18, reply.begin() + 102), dots);
    for (std::size_t b = 0; b < 5; ++b)
        EXPECT_EQ(model.state().logo[b], others[b]);

    // A seventh band does not exist: answered, but nothing changes.
    const auto logo = model.state().logo;
    Ask(LogoWrite(6, Bytes(84, 0xAA)), seq++);
    EXPECT_EQ(model.state().logo, logo);
    const Bytes blank = Ask(LogoRead(6), seq++);
    EXPECT_EQ(Bytes(blank.begin() + 18, blank.begin() + 102), Bytes(84, 0x00));
}

TEST_F(HandsetModelTest, ResetIsAnsweredWithADataFrameAndCounted)
{
    Ask(kSoftwareReset, seq++);
    EXPECT_EQ(model.resetCount(), 1u);
}

TEST_F(HandsetModelTest, ReplySequenceAdvancesPerDataFrameAndWraps)
{
    const std::uint8_t first = Ask(kVersionQuery, seq++).end()[-2];
    const std::uint8_t second = Ask(kSerialRead, seq++).end()[-2];
    EXPECT_EQ(static_cast<std::uint8_t>(first + 1), second);
    for (int i = 0; i < 254; ++i)
        Ask(i % 2 ? kVersionQuery : kSerialRead, seq++);
    EXPECT_EQ(Ask(kNetMonitorRead, seq++).end()[-2], first); // 256 frames later
}

TEST_F(HandsetModelTest, RepeatedRequestIsAcknowledgedButNotCarriedOutAgain)
{
    Ask(kNetMonitorOn, 7);
    model.setState([&] {
        auto s = model.state();
        s.netMonitor = false;
        return s;
    }());
    const auto again = Send(kNetMonitorOn, 7);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].kind, OutKind::Ack);
    EXPECT_FALSE(model.state().netMonitor);

    // Same sequence byte, different message: a new request.
    Ask(kNetMonitorRead, 7);
    // The earlier request with a new sequence byte is carried out again.
    Ask(kNetMonitorOn, 8);
    EXPECT_TRUE(model.state().netMonitor);
}

TEST_F(HandsetModelTest, AnswerDuplicatesCarriesTheRepeatOutToo)
{
    model.setAnswerDuplicates(true);
    const Bytes first = Ask(kVersionQuery, 3);
    const Bytes again = Ask(kVersionQuery, 3);
    EXPECT_NE(first.end()[-2], again.end()[-2]); // a new data frame, not a copy
}

TEST_F(HandsetModelTest, FramesThatAreNotForItAreIgnored)
{
    Bytes bad = PcFrame(kNetMonitorOn, 1);
    bad.back() ^= 0x01;
    EXPECT_TRUE(model.fromPc(bad.data(), bad.size()).empty());
    EXPECT_FALSE(model.state().netMonitor);
    EXPECT_EQ(model.badFramesSeen(), 1u);

    // A byte garbled on the bus spoils its frame even where the checksum still holds.
    const Bytes good = PcFrame(kNetMonitorOn, 1);
    EXPECT_TRUE(model.fromPc(good.data(), 10).empty());
    EXPECT_TRUE(model.fromPc(good.data() + 10, 1, true).empty());
    EXPECT_TRUE(model.fromPc(good.data() + 11, good.size() - 11).empty());
    EXPECT_EQ(model.badFramesSeen(), 2u);

    const Bytes ack = PcAck(0);
    EXPECT_TRUE(model.fromPc(ack.data(), ack.size()).empty());
    EXPECT_EQ(model.pcAcksSeen(), 1u);

    // An unknown message is acknowledged, never answered.
    const auto unknown = Send({0x7E, 0x01, 0x02}, 2);
    ASSERT_EQ(unknown.size(), 1u);
    EXPECT_EQ(unknown[0].kind, OutKind::Ack);

    // And the next good frame still gets through.
    Ask(kNetMonitorOn, 1);
    EXPECT_TRUE(model.state().netMonitor);
}

TEST_F(HandsetModelTest, FramesAreFoundInNoiseAndAcrossAnyChunking)
{
    // Noise, a 00 not followed by E9, the handset's own acknowledgement heard
    // on the line, and a stray E9 right before the PC's frame.
    Bytes stream{0x55, 0x00, 0x55, 0xE9, 0x00, 0x7F, 0x05, 0x93, 0x55, 0xE9};
    const Bytes frame = PcFrame(kSerialRead, 9);
    stream.insert(stream.end(), frame.begin(), frame.end());
    std::vector<OutFrame> out;
    for (std::uint8_t byte : stream)
        for (auto& f : model.fromPc(&byte, 1))
            out.push_back(f);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1].bytes.at(13), 10);
    EXPECT_EQ(model.pcAcksSeen(), 0u);
}

TEST(HandsetRecords, MakeRecordPacksDigitsAndCodesCyrillicNames)
{
    // "+49" -> codes 15 4 9; "0" is code 10; "Иван" in Windows-1251 -> 8B A5 A3 B0
    const Record r = makeRecord("+490", "\xC8\xE2\xE0\xED$@");
    EXPECT_EQ(r[0], 4);
    EXPECT_EQ(r[1], 0xF4);
    EXPECT_EQ(r[2], 0x9A);
    EXPECT_EQ(r[3], 0x00);
    EXPECT_EQ((Bytes{r[16], r[17], r[18], r[19], r[20], r[21], r[22]}),
              (Bytes{0x8B, 0xA5, 0xA3, 0xB0, 0xFC, 0xFB, 0x00}));
    EXPECT_EQ(r[32], 0x05);
    // Э Ю Я and э ю я sit apart from the rest of the alphabet.
    const Record e = makeRecord("", "\xDD\xDF\xFD\xFF");
    EXPECT_EQ((Bytes{e[16], e[17], e[18], e[19]}), (Bytes{0xC1, 0xC3, 0xC5, 0xC7}));
    EXPECT_EQ(makeRecord("", std::string(20, 'x'))[31], 'x'); // 16 name bytes at most
    EXPECT_EQ(makeRecord("", std::string(20, 'x'))[32], 0x05);
}

} // namespace
