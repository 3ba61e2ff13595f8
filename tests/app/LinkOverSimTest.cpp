// The serial port and the frame link together against the simulator on a
// real pseudo-terminal, without any window in between.
#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "PhonebookSimLog.h"
#include "link/PhoneLink.h"
#include "serial/SerialPort.h"
#include "app/SerialLinkPort.h"
#include "support/SimProcess.h"

namespace {

class PlainHost final : public LinkHost {
public:
    void ProcessMessages() override { QCoreApplication::processEvents(); }
    void Sleep(int ms) override { QThread::msleep(static_cast<unsigned long>(ms)); }
    void SetAckLed(bool on) override { ackLed = on; }
    void SetPackLed(bool on) override { packLed = on; }
    void EnableInfoButton() override { }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }

    bool ackLed = false;
    bool packLed = false;
    std::vector<std::string> messages;
};

} // namespace

TEST(LinkOverSim, VersionQueryIsAcknowledgedAnsweredAndAcknowledgedBack)
{
    SimProcess sim({"--verbose"});
    SerialPort::SetDeviceResolver([&sim](int) { return QString::fromStdString(sim.DevicePath()); });
    SerialPort port(handsetLineSettings());
    SerialLinkPort linkPort(port);
    PlainHost host;
    PhoneLink link(linkPort, host);
    port.OnRxChar = [&link](QObject*, int count) { link.VaComm1RxChar(count); };
    LinkState& s = link.State();
    s.TxSequence = 0x07;

    port.Open();
    const std::uint8_t versionQuery[] = {0x00, 0x03, 0x00};
    link.SendPacket(versionQuery, 3);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!s.ReplyReady && std::chrono::steady_clock::now() < deadline) {
        host.ProcessMessages();
        host.Sleep(5);
    }
    port.Close();
    SerialPort::SetDeviceResolver(nullptr);

    EXPECT_TRUE(s.EchoSeen);
    EXPECT_TRUE(s.AckReady);
    EXPECT_EQ(s.TxSequence, 0x08);
    EXPECT_TRUE(host.ackLed);
    ASSERT_TRUE(s.ReplyReady);
    EXPECT_TRUE(host.packLed);
    EXPECT_EQ(s.ReplyBuffer[0], 0xE9);
    EXPECT_EQ(s.ReplyBuffer[1], 0x00);
    const int frameLength = s.ReplyBuffer[2] + 6;
    EXPECT_EQ(PhoneLink::Checksum(s.ReplyBuffer.data()), s.ReplyBuffer[static_cast<std::size_t>(frameLength - 1)]);

    // The handset heard our frame and then our acknowledgement of its reply.
    sim.Stop();
    const std::vector<std::uint8_t> heard = BytesHeardBySim(sim.ErrorOutput());
    const std::uint8_t replySequence = s.ReplyBuffer[static_cast<std::size_t>(frameLength - 2)];
    std::uint8_t ack[] = {0x00, 0xE9, 0x7F, replySequence, 0x00};
    ack[4] = PhoneLink::Checksum(ack);
    EXPECT_EQ(TimesHeard(heard, {0x00, 0xE9, 0x03, 0xE5, 0x00, 0x03, 0x00, 0x07}), 1);
    EXPECT_EQ(TimesHeard(heard, std::vector<std::uint8_t>(ack, ack + 5)), 1);
}
