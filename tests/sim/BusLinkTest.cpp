// The program's link on the bus model at line rate, on a virtual clock: every
// service command and transfer gets its data through without a collision,
// whatever the handset's turnaround and with or without echo. The exchange
// rules of the first round, run on the same wire, collide.
#include "link/PhoneLink.h"
#include "link/ServiceCommands.h"
#include "logo/LogoTransfer.h"
#include "phonebook/PhonebookTransfer.h"
#include "support/ModelledHandset.h"
#include "support/VirtualLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

struct RecordingUi {
    void Show(const CommandResult& result)
    {
        info = result.readings.versionText.value_or(info);
        serNum = result.readings.serialNumber.value_or(serNum);
        netMonitor = result.readings.netMonitorOn.value_or(netMonitor);
        failures += result.failure ? 1 : 0;
    }
    std::string info, serNum;
    bool netMonitor = false;
    int failures = 0;
};

handset::LineSettings BusSettings(double turnaroundMs, bool echo)
{
    handset::LineSettings settings;
    settings.bus = settings.pace = true;
    settings.echo = echo;
    settings.turnaroundMs = turnaroundMs;
    return settings;
}

struct BusBench {
    BusBench(double turnaroundMs, bool echo)
        : BusBench(BusSettings(turnaroundMs, echo))
    { }
    explicit BusBench(const handset::LineSettings& settings)
        : handset(settings)
    {
        line.SetEcho(false); // the wire model echoes, when the cable does
        line.SetFarEnd(&handset);
    }
    std::uint64_t Collisions() { return handset.Line().collisionCount(); }

    VirtualLine line;
    ModelledHandset handset;
    PhoneLink link{line, line};
    RecordingUi ui;
    ServiceCommands commands{link};
};

std::string Name(int location)
{
    return "Bus " + std::to_string(location);
}
std::string Number(int location)
{
    return std::to_string(5550000 + location * 7);
}
bool Holds(const LinkResult<PhonebookEntry>& read, int location)
{
    return read && *read == PhonebookEntry{Name(location), Number(location)};
}
LogoBlock Block(int block)
{
    LogoBlock bytes;
    for (int i = 0; i < 84; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(block * 37 + i * 11);
    return bytes;
}

TEST(BusLink, EveryJobGetsThroughWithoutACollisionAtAnyTurnaround)
{
    for (bool echo : {true, false}) {
        for (double turnaroundMs : {5.0, 20.0, 60.0, 150.0}) {
            SCOPED_TRACE(testing::Message() << turnaroundMs << " ms, echo " << echo);
            BusBench bus(turnaroundMs, echo);
            const handset::HandsetState& phone = bus.handset.Model().state();

            bus.ui.Show(bus.commands.connectToPhone());
            EXPECT_EQ(bus.ui.serNum, phone.serialNumber);
            EXPECT_EQ(bus.ui.info.substr(0, 7), phone.versionText.substr(0, 7));
            bus.ui.Show(bus.commands.switchNetMonitorOn());
            EXPECT_TRUE(bus.ui.netMonitor);
            EXPECT_TRUE(phone.netMonitor);
            bus.ui.Show(bus.commands.switchNetMonitorOff());
            EXPECT_FALSE(bus.ui.netMonitor);
            EXPECT_FALSE(phone.netMonitor);

            int wrong = 0;
            for (int location = 0; location < 100; ++location) {
                wrong += writeRecord(bus.link, location, {Name(location), Number(location)}) ? 0 : 1;
            }
            for (int location = 0; location < 100; ++location) {
                wrong += Holds(readRecord(bus.link, location), location) ? 0 : 1;
            }
            EXPECT_EQ(wrong, 0);

            for (int block = 0; block < 6; ++block)
                EXPECT_TRUE(writeLogoBlock(bus.link, block, Block(block)));
            for (int block = 0; block < 6; ++block) {
                const LogoBlock expected = Block(block);
                const LinkResult<LogoBlock> read = readLogoBlock(bus.link, block);
                EXPECT_TRUE(read && *read == expected) << "block " << block;
                EXPECT_TRUE(
                    std::equal(expected.begin(), expected.end(), phone.logo[static_cast<std::size_t>(block)].begin()));
            }

            const std::uint64_t resetsBefore = bus.handset.Model().resetCount();
            bus.ui.Show(bus.commands.resetHandset());
            EXPECT_EQ(bus.handset.Model().resetCount(), resetsBefore + 1);
            EXPECT_EQ(bus.ui.failures, 0);
            EXPECT_EQ(bus.Collisions(), 0u);
        }
    }
}

// Every job once, as the windows run them, with its data checked on both sides.
void ExpectEveryJobGetsThrough(BusBench& bus)
{
    const handset::HandsetState& phone = bus.handset.Model().state();
    bus.ui.Show(bus.commands.connectToPhone());
    EXPECT_EQ(bus.ui.serNum, phone.serialNumber);
    bus.ui.Show(bus.commands.switchNetMonitorOn());
    EXPECT_TRUE(bus.ui.netMonitor && phone.netMonitor);
    bus.ui.Show(bus.commands.switchNetMonitorOff());
    EXPECT_FALSE(bus.ui.netMonitor || phone.netMonitor);
    int wrong = 0;
    for (int location = 0; location < 100; ++location)
        wrong += writeRecord(bus.link, location, {Name(location), Number(location)}) ? 0 : 1;
    for (int location = 0; location < 100; ++location)
        wrong += Holds(readRecord(bus.link, location), location) ? 0 : 1;
    for (int block = 0; block < 6; ++block)
        wrong += writeLogoBlock(bus.link, block, Block(block)) ? 0 : 1;
    for (int block = 0; block < 6; ++block) {
        const LinkResult<LogoBlock> read = readLogoBlock(bus.link, block);
        wrong += read && *read == Block(block) ? 0 : 1;
    }
    EXPECT_EQ(wrong, 0);
    for (int block = 0; block < 6; ++block) {
        const LogoBlock expected = Block(block);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), phone.logo[static_cast<std::size_t>(block)].begin()))
            << "block " << block;
    }
    const std::uint64_t resetsBefore = bus.handset.Model().resetCount();
    bus.ui.Show(bus.commands.resetHandset());
    EXPECT_GE(bus.handset.Model().resetCount(), resetsBefore + 1);
    EXPECT_EQ(bus.ui.failures, 0);
    EXPECT_EQ(bus.Collisions(), 0u);
}

// Line noise changes one byte of every Kth reply, anywhere in the frame; the
// handset never knows. Whether it answers a repeated sequence byte again or
// only acknowledges it, every job gets its data through.
TEST(BusLink, EveryJobGetsThroughNoiseOnTheRepliesWithEitherDuplicateRule)
{
    for (unsigned every : {3u, 10u}) {
        for (bool answerDuplicates : {false, true}) {
            SCOPED_TRACE(testing::Message() << "noise 1 in " << every << ", answer duplicates " << answerDuplicates);
            handset::LineSettings settings = BusSettings(20.0, true);
            settings.faults.noiseEvery = every;
            settings.faults.answerDuplicates = answerDuplicates;
            BusBench bus(settings);
            ExpectEveryJobGetsThrough(bus);
        }
    }
}

// The program stops for 60 to 500 ms at random moments of every job (a busy
// desktop, a stopped process); what came meanwhile is handed over at once.
TEST(BusLink, PausesOfTheProgramChangeNeitherResultNorData)
{
    for (std::uint32_t seed : {1u, 77u}) {
        for (bool answerDuplicates : {false, true}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", answer duplicates " << answerDuplicates);
            handset::LineSettings settings = BusSettings(20.0, true);
            settings.faults.answerDuplicates = answerDuplicates;
            BusBench bus(settings);
            bus.line.SetProgramPauses(seed, 60'000, 500'000, 1'000'000);
            ExpectEveryJobGetsThrough(bus);
            EXPECT_GT(bus.line.PausesTaken(), 20);
            // Nothing was lost to a pause, so nothing had to be asked for again.
            EXPECT_EQ(bus.line.DataFrameWrites().size(), 3u + 2 + 2 + 100 + 100 + 6 + 6 + 1);
        }
    }
}

// The first round's exchange: send (sleeping one frame time, deaf to the
// line), take in what came, pause, and send again while no acknowledgement
// has been taken in.
class FirstRoundExchange : public MessageTransfer, private FrameAssembler::Sink {
public:
    explicit FirstRoundExchange(BusBench& bus)
        : bus_(bus)
    { }
    LinkResult<ReplyFrame> transfer(const std::uint8_t* message, int n, int tries, int pauseMs, int) override
    {
        std::array<std::uint8_t, frame::kBufferSize> out{};
        const int length = frame::buildDataFrame(message, n, sequence_, out.data());
        acknowledged_ = answered_ = false;
        bus_.line.open();
        for (int k = tries; !answered_; --k) {
            if (!acknowledged_) {
                bus_.line.write(out.data(), length);
                for (int i = 0; i < n + 6; ++i)
                    bus_.line.sleep(1);
            }
            if (k <= 0)
                break;
            std::array<std::uint8_t, 256> in;
            for (int got; (got = bus_.line.read(in.data(), 256)) > 0;)
                assembler_.push(in.data(), static_cast<std::size_t>(got), *this);
            bus_.line.sleep(pauseMs);
        }
        bus_.line.close();
        if (!answered_)
            return LinkFailure::noAnswer({});
        return reply_;
    }

private:
    void frame(const std::uint8_t* bytes, int length, std::uint64_t) override
    {
        if (bytes[0] != frame::kHandsetAddress)
            return;
        if (bytes[2] == frame::kAckMarker) {
            acknowledged_ = true;
            ++sequence_;
            return;
        }
        std::copy_n(bytes, length, reply_.begin());
        std::array<std::uint8_t, frame::kAckLength> ack;
        frame::buildAck(bytes[0], bytes[length - 2], ack.data());
        bus_.line.write(ack.data(), frame::kAckLength);
        answered_ = true;
    }

    BusBench& bus_;
    FrameAssembler assembler_;
    ReplyFrame reply_{};
    std::uint8_t sequence_ = 0;
    bool acknowledged_ = false;
    bool answered_ = false;
};

TEST(BusLink, TheFirstRoundsExchangeRulesCollideAtEveryTurnaround)
{
    for (double turnaroundMs : {5.0, 20.0, 60.0, 150.0}) {
        BusBench bus(turnaroundMs, true);
        FirstRoundExchange firstRound(bus);
        for (int location = 0; location < 10; ++location) {
            writeRecord(firstRound, location, {Name(location), Number(location)});
            (void)readRecord(firstRound, location);
        }
        EXPECT_GT(bus.Collisions(), 0u) << turnaroundMs << " ms";
    }
}

} // namespace
