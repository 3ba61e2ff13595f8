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
    void processMessages() override { QCoreApplication::processEvents(); }
    void sleep(int ms) override { QThread::msleep(static_cast<unsigned long>(ms)); }
    void setAckLed(bool on) override { ackLed = on; }
    void setPackLed(bool on) override { packLed = on; }
    void enableConnectButton() override { }
    void showMessage(const std::string& text) override { messages.push_back(text); }

    bool ackLed = false;
    bool packLed = false;
    std::vector<std::string> messages;
};

} // namespace

TEST(LinkOverSim, VersionQueryIsAcknowledgedAnsweredAndAcknowledgedBack)
{
    SimProcess sim({"--verbose"});
    SerialPort::setDeviceResolver([&sim](int) { return QString::fromStdString(sim.DevicePath()); });
    SerialPort port(handsetLineSettings());
    SerialLinkPort linkPort(port);
    PlainHost host;
    PhoneLink link(linkPort, host);
    port.bytesArrived = [&link](int count) { link.onBytesReceived(count); };
    LinkState& s = link.state();
    s.txSequence = 0x07;

    port.open();
    const std::uint8_t versionQuery[] = {0x00, 0x03, 0x00};
    link.sendPacket(versionQuery, 3);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!s.replyReady && std::chrono::steady_clock::now() < deadline) {
        host.processMessages();
        host.sleep(5);
    }
    port.close();
    SerialPort::setDeviceResolver(nullptr);

    EXPECT_TRUE(s.echoSeen);
    EXPECT_TRUE(s.ackReady);
    EXPECT_EQ(s.txSequence, 0x08);
    EXPECT_TRUE(host.ackLed);
    ASSERT_TRUE(s.replyReady);
    EXPECT_TRUE(host.packLed);
    EXPECT_EQ(s.replyBuffer[0], 0xE9);
    EXPECT_EQ(s.replyBuffer[1], 0x00);
    const int frameLength = s.replyBuffer[2] + 6;
    EXPECT_EQ(PhoneLink::checksum(s.replyBuffer.data()), s.replyBuffer[static_cast<std::size_t>(frameLength - 1)]);

    // The handset heard our frame and then our acknowledgement of its reply.
    sim.Stop();
    const std::vector<std::uint8_t> heard = BytesHeardBySim(sim.ErrorOutput());
    const std::uint8_t replySequence = s.replyBuffer[static_cast<std::size_t>(frameLength - 2)];
    std::uint8_t ack[] = {0x00, 0xE9, 0x7F, replySequence, 0x00};
    ack[4] = PhoneLink::checksum(ack);
    EXPECT_EQ(TimesHeard(heard, {0x00, 0xE9, 0x03, 0xE5, 0x00, 0x03, 0x00, 0x07}), 1);
    EXPECT_EQ(TimesHeard(heard, std::vector<std::uint8_t>(ack, ack + 5)), 1);
}
