// The serial port and the frame link together against the simulator on a
// real pseudo-terminal, without any window in between.
#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "PhonebookSimLog.h"
#include "jobs/SerialLine.h"
#include "link/PhoneLink.h"
#include "serial/SerialPort.h"
#include "support/SimProcess.h"

namespace {

class Lights final : public LinkEvents {
public:
    void lightChanged(LinkLight light, bool lit) override { (light == LinkLight::Ack ? ackLit : packLit) += lit ? 1 : 0; }
    int ackLit = 0;
    int packLit = 0;
};

} // namespace

TEST(LinkOverSim, VersionQueryIsAcknowledgedAnsweredAndAcknowledgedBack)
{
    SimProcess sim({"--verbose"});
    SerialPort port(SerialSettings{}, [&sim](int) { return QString::fromStdString(sim.DevicePath()); });
    SerialLine line(port);
    Lights lights;
    PhoneLink link(line, line, &lights, 0x07);

    port.open();
    const std::uint8_t versionQuery[] = {0x00, 0x03, 0x00};
    const LinkResult<ReplyFrame> reply = link.exchange({versionQuery, 3, 3, 100, false, 256});
    port.close();

    ASSERT_TRUE(reply);
    EXPECT_EQ(link.sequence(), 0x08);
    EXPECT_EQ(lights.ackLit, 1);
    EXPECT_EQ(lights.packLit, 1);
    const ReplyFrame& r = *reply;
    EXPECT_EQ(r[0], 0xE9);
    EXPECT_EQ(r[1], 0x00);
    const int frameLength = r[2] + 6;
    EXPECT_EQ(frame::checksum(r.data()), r[static_cast<std::size_t>(frameLength - 1)]);

    // The handset heard our frame once and then our acknowledgement of its reply.
    sim.Stop();
    const std::vector<std::uint8_t> heard = BytesHeardBySim(sim.ErrorOutput());
    const std::uint8_t replySequence = r[static_cast<std::size_t>(frameLength - 2)];
    std::uint8_t ack[] = {0x00, 0xE9, 0x7F, replySequence, 0x00};
    ack[4] = frame::checksum(ack);
    EXPECT_EQ(TimesHeard(heard, {0x00, 0xE9, 0x03, 0xE5, 0x00, 0x03, 0x00, 0x07}), 1);
    EXPECT_EQ(TimesHeard(heard, std::vector<std::uint8_t>(ack, ack + 5)), 1);
}
