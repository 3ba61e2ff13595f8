#include <gtest/gtest.h>

#include <map>

#include "LinkFixture.h"
#include "link/Messages.h"
#include "link/ReplyText.h"
#include "link/ServiceCommands.h"

namespace {

// The captions as the window shows a command's readings, and the failures it tells.
class RecordingUi {
public:
    void Show(const CommandResult& result)
    {
        info = result.readings.versionText.value_or(info);
        serNum = result.readings.serialNumber.value_or(serNum);
        netMonitor = result.readings.netMonitorOn.value_or(netMonitor);
        if (result.failure)
            failures.push_back(*result.failure);
    }

    std::string info = "unchanged";
    std::string serNum = "unchanged";
    bool netMonitor = false;
    std::vector<LinkFailure> failures;
};

class ServiceCommandsTest : public LinkFixture {
protected:
    void SetUp() override
    {
        line.SetFarEnd(&handset);
        handset.replyData = [this](const Bytes& m) { return Reply(m); };
    }

    // A handset that answers each request after a 20 ms turnaround.
    Bytes Reply(const Bytes& m)
    {
        if (m == Bytes{0x00, 0x03, 0x00})
            return versionData;
        if (m.size() == 8 && m[4] == 0x01) // serial number item
            return serialData;
        if (m.size() == 8 && m[4] == 0x06)
            return netMonitorData;
        return switchData;
    }

    std::vector<Bytes> Sent() const
    {
        std::vector<Bytes> out;
        for (const auto& w : line.DataFrameWrites())
            out.emplace_back(w.bytes.begin() + 4, w.bytes.end() - 2);
        return out;
    }

    Bytes versionData;
    Bytes serialData;
    Bytes netMonitorData;
    Bytes switchData{0x01}; // the reply to the switches and the reset
    VirtualHandset handset;
    RecordingUi ui;
    ServiceCommands commands{link};
};

TEST_F(ServiceCommandsTest, ConnectReadsVersionSerialNumberAndNetMonitor)
{
    // Version text from frame position 6: a CR shows as ".", LF breaks the line,
    // high bytes stay as they are.
    versionData = {0x00, 0x00, 'V', ' ', '5', '.', '0', '1', 0x0A, '1', '2', '-', '0', '3', 0x0D, 0xC0};
    versionData.resize(34, 'x');
    serialData = Bytes(10, 0x00);
    const std::string digits = "0123456789";
    serialData.insert(serialData.end(), digits.begin(), digits.end());
    netMonitorData = Bytes(11, 0x00);
    netMonitorData[10] = 0x03;

    ui.Show(commands.connectToPhone());
    EXPECT_EQ(ui.info, std::string("V 5.01\n12-03.\xC0") + std::string(18, 'x'));
    EXPECT_EQ(ui.info.size(), 32u);
    EXPECT_EQ(ui.serNum, "0123456789");
    EXPECT_TRUE(ui.netMonitor);
    EXPECT_TRUE(ui.failures.empty());
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(line.AckLed());
    EXPECT_FALSE(line.PackLed());

    std::vector<Bytes> kinds;
    for (const Bytes& m : Sent())
        if (kinds.empty() || kinds.back() != m)
            kinds.push_back(m);
    EXPECT_EQ(kinds,
              (std::vector<Bytes>{{0x00, 0x03, 0x00},
                                  {0x0F, 0x19, 0x03, 0x00, 0x01, 0x0B, 0x00, 0x00},
                                  {0x0F, 0x19, 0x03, 0x00, 0x06, 0x03, 0x00, 0x00}}));
}

TEST_F(ServiceCommandsTest, ShortNetMonitorReplyReadsOffInConnectButNotInNetMonitorOff)
{
    versionData = Bytes(34, 'v');
    serialData = Bytes(20, '1');
    netMonitorData = {0x01}; // ends before position 14
    switchData = Bytes(20, 0x01);
    ui.Show(commands.switchNetMonitorOn()); // leaves 0x01 at position 14
    EXPECT_TRUE(ui.netMonitor);
    ui.netMonitor = false;
    ui.Show(commands.connectToPhone());
    EXPECT_FALSE(ui.netMonitor); // zeroed before the third exchange

    // Switching reads the setting back without zeroing: the switch's longer
    // reply shows through.
    ui.Show(commands.switchNetMonitorOff());
    EXPECT_TRUE(ui.failures.empty());
    EXPECT_TRUE(ui.netMonitor);
}

TEST_F(ServiceCommandsTest, ShortVersionReplyTakesTheRestFromTheOldBuffer)
{
    versionData = {0x00, 0x00, 'A', 'B'}; // frame of 10 bytes: positions 6, 7 text, 8, 9 sequence/checksum
    serialData = Bytes(20, '1');
    netMonitorData = {0x01};
    serialData = Bytes(40, 'z');
    ui.Show(commands.readSerialNumber()); // leaves 'z' from position 4 to 43
    serialData = Bytes(20, '1');
    ui.Show(commands.connectToPhone());
    ASSERT_EQ(ui.info.size(), 32u);
    EXPECT_EQ(ui.info.substr(0, 2), "AB");
    EXPECT_EQ(ui.info.substr(4), std::string(28, 'z'));
    EXPECT_FALSE(ui.netMonitor);
}

TEST_F(ServiceCommandsTest, NoHandsetVersionQueryGoesOutFourTimesAndFailsOnce)
{
    handset.acknowledge = false;
    handset.reply = false;
    ui.Show(commands.connectToPhone());
    const auto writes = line.DataFrameWrites();
    ASSERT_EQ(writes.size(), 4u);
    for (std::size_t i = 1; i < writes.size(); ++i)
        EXPECT_EQ(writes[i].atUs - writes[i - 1].atUs, 9 * VirtualLine::kByteUs + Exchange::kAnswerWindowMs * 1000);
    ASSERT_EQ(ui.failures.size(), 1u);
    EXPECT_EQ(ui.failures[0].kind, LinkFailure::Kind::NoAnswer);
    EXPECT_EQ(ui.failures[0].exchange.request, "version query");
    EXPECT_EQ(ui.info, "unchanged");
    EXPECT_FALSE(line.isOpen());
}

TEST_F(ServiceCommandsTest, NoHandsetNetMonitorOnGoesOutElevenTimesOneAnswerWindowApart)
{
    handset.acknowledge = false;
    handset.reply = false;
    ui.Show(commands.switchNetMonitorOn());
    const auto writes = line.DataFrameWrites();
    ASSERT_EQ(writes.size(), 11u);
    for (std::size_t i = 1; i < writes.size(); ++i)
        EXPECT_EQ(writes[i].atUs - writes[i - 1].atUs, 18 * VirtualLine::kByteUs + Exchange::kAnswerWindowMs * 1000);
    EXPECT_EQ(Sent()[0], (Bytes{0x10, 0x08, 0x03, 0x00, 0x06, 0x03, 0x00, 0x00, 0x00, 0x01, 0x03, 0x00}));
    ASSERT_EQ(ui.failures.size(), 1u);
    EXPECT_EQ(ui.failures[0].exchange.request, "net monitor on");
}

// Acknowledged but never answered: the switch goes out again only after the
// handset has been silent for its answer window, each time as a new frame,
// and the command fails once its eleven sends are used.
TEST_F(ServiceCommandsTest, NetMonitorSwitchAcknowledgedWithoutReplyIsAskedAgainAWindowLater)
{
    handset.reply = false;
    ui.Show(commands.switchNetMonitorOff());
    const auto writes = line.DataFrameWrites();
    ASSERT_EQ(writes.size(), 11u);
    for (std::size_t i = 1; i < writes.size(); ++i) {
        EXPECT_EQ(writes[i].atUs - writes[i - 1].atUs,
                  23 * VirtualLine::kByteUs + 20000 + Exchange::kAnswerWindowMs * 1000);
        EXPECT_EQ(writes[i].bytes[16], static_cast<std::uint8_t>(writes[i - 1].bytes[16] + 1));
    }
    EXPECT_EQ(Sent().back(), (Bytes{0x10, 0x08, 0x03, 0x00, 0x06, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00}));
    ASSERT_EQ(ui.failures.size(), 1u);
    EXPECT_EQ(ui.failures[0].exchange.reason, ExchangeFailure::Reason::SilentAfterAcknowledging);
}

TEST_F(ServiceCommandsTest, MissingPortShowsItsNumberForEveryCommandAndSendsNothing)
{
    line.SetPortMissing(true);
    line.SetPortNum(3);
    ui.Show(commands.connectToPhone());
    ui.Show(commands.switchNetMonitorOn());
    ui.Show(commands.switchNetMonitorOff());
    ui.Show(commands.resetHandset());
    ASSERT_EQ(ui.failures.size(), 4u);
    for (const LinkFailure& failure : ui.failures) {
        EXPECT_EQ(failure.kind, LinkFailure::Kind::PortUnavailable);
        EXPECT_EQ(failure.portNumber, 3);
    }
    EXPECT_TRUE(line.Writes().empty());
}

TEST_F(ServiceCommandsTest, ResetSucceedsOnAnyDataFrame)
{
    EXPECT_FALSE(commands.resetHandset().failure);
    EXPECT_EQ(Sent().front(), (Bytes{0x43, 0x00, 0x00}));
    EXPECT_FALSE(line.isOpen());
}

TEST_F(ServiceCommandsTest, PortErrorMidCommandFreesThePort)
{
    class FailingWrites : public VirtualLine {
    public:
        int write(const std::uint8_t*, int) override { throw std::runtime_error("Write error (5), Access is denied."); }
    } failing;
    PhoneLink other(failing, failing);
    ServiceCommands otherCommands(other);
    EXPECT_THROW(otherCommands.resetHandset(), std::runtime_error);
    EXPECT_FALSE(failing.isOpen());
}

TEST(ReplyText, KeepsPrintableAndLineFeedsDotsTheRestAndEndsAtAZeroByte)
{
    std::array<std::uint8_t, 256> reply{};
    reply.fill(0x01);
    const Bytes bytes{0x1F, 0x20, 0x0A, 0x0D, 0x7F, 0x80, 0xFF, 'a', 0x00, 'b'};
    std::copy(bytes.begin(), bytes.end(), reply.begin() + 10);
    EXPECT_EQ(decodeReplyText(reply, 10, 19),
              std::string(". \n.\x7F\x80\xFF"
                          "a"));
    EXPECT_EQ(decodeReplyText(reply, 18, 19), "");
    EXPECT_EQ(decodeReplyText(reply, 250, 255), "......");
}

} // namespace

TEST_F(ServiceCommandsTest, SerialNumberReadIsOneExchangeAndTellsItsFailure)
{
    serialData = Bytes(10, 0x00);
    const std::string digits = "4711082015";
    serialData.insert(serialData.end(), digits.begin(), digits.end());
    const HandsetReadings readings = commands.readSerialNumber().readings;
    EXPECT_EQ(readings.serialNumber, digits);
    EXPECT_FALSE(readings.versionText);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{{0x0F, 0x19, 0x03, 0x00, 0x01, 0x0B, 0x00, 0x00}}));
    EXPECT_FALSE(line.isOpen());

    handset.reply = false;
    const CommandResult failed = commands.readSerialNumber();
    EXPECT_FALSE(failed.readings.serialNumber);
    ASSERT_TRUE(failed.failure);
    EXPECT_EQ(failed.failure->exchange.request, "serial number read");
    EXPECT_FALSE(line.isOpen());
}
