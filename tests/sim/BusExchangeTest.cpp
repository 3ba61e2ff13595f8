// Whole exchanges on the bus model through the in-process line: a PC that
// waits its turn never collides, and one that repeats a request too soon does.
#include "sim/HandsetLine.h"
#include "SimTestFrames.h"
#include "link/Messages.h"
#include "support/ModelledHandset.h"
#include "support/VirtualLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace {

// Sends a request, takes in everything until the whole answer is in,
// acknowledges the reply and only then sends the next request.
class CarefulPc {
public:
    explicit CarefulPc(double turnaroundMs)
        : handset(turnaroundMs, true)
    {
        line.SetEcho(false);
        line.SetFarEnd(&handset);
        line.open();
    }

    Bytes ReadRecord(std::uint8_t location, std::uint8_t sequence)
    {
        const Bytes request = PcFrame(PhonebookRead(location), sequence);
        Write(request);
        EXPECT_EQ(Take(request.size()), request) << "echo";
        EXPECT_EQ(Take(5), (Bytes{0xE9, 0x00, 0x7F, sequence, static_cast<std::uint8_t>(0xE9 ^ 0x7F ^ sequence)}));
        const Bytes reply = Take(53);
        if (reply.size() == 53) {
            Write(PcAck(reply[51]));
            Take(5); // its echo
        }
        return reply;
    }

    VirtualLine line;
    ModelledHandset handset;

private:
    void Write(const Bytes& bytes) { line.write(bytes.data(), static_cast<int>(bytes.size())); }

    // Waits 1 ms at a time, up to a second, for `count` bytes.
    Bytes Take(std::size_t count)
    {
        for (int ms = 0; received.size() < count && ms < 1000; ++ms) {
            line.sleep(1);
            std::uint8_t bytes[256];
            for (int got; (got = line.read(bytes, 256)) > 0;)
                received.insert(received.end(), bytes, bytes + got);
        }
        const std::size_t n = std::min(count, received.size());
        Bytes taken(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(n));
        received.erase(received.begin(), received.begin() + static_cast<std::ptrdiff_t>(n));
        return taken;
    }

    Bytes received;
};

TEST(BusExchange, APcThatWaitsForTheWholeAnswerNeverCollides)
{
    const handset::HandsetState state = handset::defaultHandsetState();
    for (double turnaroundMs : {5.0, 20.0, 60.0, 150.0}) {
        CarefulPc pc(turnaroundMs);
        int wrong = 0;
        for (int location = 0; location < 100; ++location) {
            const Bytes reply = pc.ReadRecord(static_cast<std::uint8_t>(location), static_cast<std::uint8_t>(location));
            const auto& record = state.phonebook[static_cast<std::size_t>(location)];
            if (reply.size() != 53 || !ChecksumOk(reply)
                || !std::equal(record.begin(), record.end(), reply.begin() + 18))
                ++wrong;
        }
        EXPECT_EQ(wrong, 0) << turnaroundMs << " ms";
        EXPECT_EQ(pc.handset.Line().collisionCount(), 0u) << turnaroundMs << " ms";
    }
}

// The timing measured in the first round: the same phonebook read request
// again 28 ms after the first, at a 20 ms turnaround.
TEST(BusExchange, ARequestRepeatedAfter28MsGarblesTheHandsetsAnswer)
{
    handset::HandsetModel model;
    handset::LineSettings settings;
    settings.bus = true;
    settings.turnaroundMs = 20.0;
    handset::HandsetLine line(model, settings);
    const Bytes request = PcFrame(PhonebookRead(7), 0);
    handset::HandsetModel reference;
    const Bytes reply = reference.fromPc(request.data(), request.size()).at(1).bytes;
    ASSERT_EQ(reply.size(), 53u);

    line.fromPc(request.data(), request.size(), 0.0);
    line.fromPc(request.data(), request.size(), 28.0);
    const Bytes heard = line.dueBy(1000.0);
    EXPECT_EQ(line.collisionCount(), 1u);
    EXPECT_EQ(heard.size(), 2 * request.size() + 5 + reply.size());
    const auto frames = SplitHandsetFrames(heard);
    EXPECT_EQ(std::find(frames.begin(), frames.end(), reply), frames.end()) << "the reply came through whole";
}

} // namespace
