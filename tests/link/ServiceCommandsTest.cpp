#include <gtest/gtest.h>

#include <map>

#include "LinkFixture.h"
#include "link/Messages.h"
#include "link/ReplyText.h"
#include "link/ServiceCommands.h"

namespace {

// The buttons, and the captions as the window shows a command's readings.
class RecordingUi : public CommandButtons {
public:
    void setButtonEnabled(CommandButton button, bool enabled) override
    {
        enabled_[button] = enabled;
        history.push_back({button, enabled});
    }
    void Show(const HandsetReadings& readings)
    {
        info = readings.versionText.value_or(info);
        serNum = readings.serialNumber.value_or(serNum);
        netMonitor = readings.netMonitorOn.value_or(netMonitor);
    }

    bool Enabled(CommandButton b) const { return enabled_.count(b) ? enabled_.at(b) : true; }

    std::vector<std::pair<CommandButton, bool>> history;
    std::string info = "unchanged";
    std::string serNum = "unchanged";
    bool netMonitor = false;

private:
    std::map<CommandButton, bool> enabled_;
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
        return {0x01};
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
    VirtualHandset handset;
    RecordingUi ui;
    ServiceCommands commands{link, ui};
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
    EXPECT_TRUE(line.Messages().empty());
    EXPECT_FALSE(line.isOpen());
    EXPECT_FALSE(line.AckLed());
    EXPECT_FALSE(line.PackLed());
    EXPECT_TRUE(ui.Enabled(CommandButton::Connect));
    EXPECT_EQ(ui.history.front(), std::make_pair(CommandButton::Connect, false));
    EXPECT_GE(line.InfoButtonEnables(), 3); // the receiver frees the button on each reply

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
    line.open();
    state().replyBuffer.fill(0x01);
    line.close();
    ui.Show(commands.connectToPhone());
    EXPECT_FALSE(ui.netMonitor); // zeroed before the third exchange

    // Switching reads the setting back without zeroing: an older byte 14 shows through.
    state().replyBuffer[14] = 0x01;
    ui.Show(commands.switchNetMonitorOff());
    EXPECT_TRUE(line.Messages().empty());
    EXPECT_TRUE(ui.netMonitor);
}

TEST_F(ServiceCommandsTest, ShortVersionReplyTakesTheRestFromTheOldBuffer)
{
    versionData = {0x00, 0x00, 'A', 'B'}; // frame of 10 bytes: positions 6, 7 text, 8, 9 sequence/checksum
    serialData = Bytes(20, '1');
    netMonitorData = Bytes(11, 0x00);
    line.open();
    state().replyBuffer.fill('z');
    line.close();
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
        EXPECT_EQ(writes[i].atUs - writes[i - 1].atUs, 9 * VirtualLine::kByteUs + PhoneLink::kAnswerWindowMs * 1000);
    EXPECT_EQ(line.Messages(), std::vector<std::string>{kNoAnswerMessage});
    EXPECT_EQ(ui.info, "unchanged");
    EXPECT_FALSE(line.isOpen());
    EXPECT_TRUE(ui.Enabled(CommandButton::Connect));
}

TEST_F(ServiceCommandsTest, NoHandsetNetMonitorOnGoesOutElevenTimesOneAnswerWindowApart)
{
    handset.acknowledge = false;
    handset.reply = false;
    ui.Show(commands.switchNetMonitorOn());
    const auto writes = line.DataFrameWrites();
    ASSERT_EQ(writes.size(), 11u);
    for (std::size_t i = 1; i < writes.size(); ++i)
        EXPECT_EQ(writes[i].atUs - writes[i - 1].atUs, 18 * VirtualLine::kByteUs + PhoneLink::kAnswerWindowMs * 1000);
    EXPECT_EQ(Sent()[0], (Bytes{0x10, 0x08, 0x03, 0x00, 0x06, 0x03, 0x00, 0x00, 0x00, 0x01, 0x03, 0x00}));
    EXPECT_EQ(line.Messages(), std::vector<std::string>{kNoAnswerMessage});
    EXPECT_TRUE(ui.Enabled(CommandButton::NetMonitorOn));
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
                  23 * VirtualLine::kByteUs + 20000 + PhoneLink::kAnswerWindowMs * 1000);
        EXPECT_EQ(writes[i].bytes[16], static_cast<std::uint8_t>(writes[i - 1].bytes[16] + 1));
    }
    EXPECT_EQ(Sent().back(), (Bytes{0x10, 0x08, 0x03, 0x00, 0x06, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00}));
    EXPECT_EQ(line.Messages(), std::vector<std::string>{kNoAnswerMessage});
}

TEST_F(ServiceCommandsTest, MissingPortShowsItsNumberForEveryCommandAndSendsNothing)
{
    line.SetPortMissing(true);
    line.SetPortNum(3);
    ui.Show(commands.connectToPhone());
    ui.Show(commands.switchNetMonitorOn());
    ui.Show(commands.switchNetMonitorOff());
    commands.resetHandset();
    EXPECT_EQ(line.Messages(), std::vector<std::string>(4, "Invalid port number Com3"));
    EXPECT_TRUE(line.Writes().empty());
    for (CommandButton b :
         {CommandButton::Connect, CommandButton::NetMonitorOn, CommandButton::NetMonitorOff, CommandButton::Reset})
        EXPECT_TRUE(ui.Enabled(b));
    EXPECT_EQ(ui.history.size(), 8u);
}

TEST_F(ServiceCommandsTest, ResetSucceedsOnAnyDataFrame)
{
    commands.resetHandset();
    EXPECT_EQ(Sent().front(), (Bytes{0x43, 0x00, 0x00}));
    EXPECT_TRUE(line.Messages().empty());
    EXPECT_TRUE(ui.Enabled(CommandButton::Reset));
    EXPECT_FALSE(line.isOpen());
}

TEST_F(ServiceCommandsTest, SecondCommandWhileOneRunsFindsThePortBusyAndLeavesItOpen)
{
    versionData = Bytes(34, 'v');
    serialData = Bytes(20, '1');
    netMonitorData = Bytes(11, 0x00);
    bool portOpenAfterNested = false;
    line.atNextProcessMessages = [&] {
        ui.Show(commands.switchNetMonitorOff());
        portOpenAfterNested = line.isOpen();
    };
    line.SetPortNum(2);
    ui.Show(commands.connectToPhone());
    EXPECT_EQ(line.Messages(), std::vector<std::string>{"Invalid port number Com2"});
    EXPECT_TRUE(portOpenAfterNested);
    EXPECT_TRUE(ui.Enabled(CommandButton::NetMonitorOff));
    EXPECT_EQ(ui.serNum, std::string(10, '1')); // the running command went on
}

TEST_F(ServiceCommandsTest, PortErrorMidCommandFreesButtonAndPort)
{
    class FailingWrites : public VirtualLine {
    public:
        int write(const std::uint8_t*, int) override { throw std::runtime_error("Write error (5), Access is denied."); }
    } failing;
    PhoneLink other(failing, failing);
    ServiceCommands otherCommands(other, ui);
    EXPECT_THROW(otherCommands.resetHandset(), std::runtime_error);
    EXPECT_TRUE(ui.Enabled(CommandButton::Reset));
    EXPECT_FALSE(failing.isOpen());
}

TEST(ReplyText, KeepsPrintableAndLineFeedsAndDotsTheRest)
{
    std::array<std::uint8_t, 256> reply{};
    const Bytes bytes{0x1F, 0x20, 0x0A, 0x0D, 0x00, 0x7F, 0x80, 0xFF, 'a'};
    std::copy(bytes.begin(), bytes.end(), reply.begin() + 10);
    EXPECT_EQ(decodeReplyText(reply, 10, 18),
              std::string(". \n..\x7F\x80\xFF"
                          "a"));
    EXPECT_EQ(decodeReplyText(reply, 250, 255), "......");
}

} // namespace

TEST_F(ServiceCommandsTest, SerialNumberReadIsOneExchangeAndTellsItsFailure)
{
    serialData = Bytes(10, 0x00);
    const std::string digits = "4711082015";
    serialData.insert(serialData.end(), digits.begin(), digits.end());
    const HandsetReadings readings = commands.readSerialNumber();
    EXPECT_EQ(readings.serialNumber, digits);
    EXPECT_FALSE(readings.versionText);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{{0x0F, 0x19, 0x03, 0x00, 0x01, 0x0B, 0x00, 0x00}}));
    EXPECT_FALSE(line.isOpen());

    handset.reply = false;
    EXPECT_FALSE(commands.readSerialNumber().serialNumber);
    EXPECT_EQ(line.Messages(), std::vector<std::string>{kNoAnswerMessage});
    EXPECT_FALSE(line.isOpen());
}
