// Drives the real m2bus-sim over its pseudo-terminal, as a serial port would.
// The program exists only where pseudo-terminals do.
#ifdef M2BUS_SIM_PATH
#include "sim/HandsetModel.h"
#include "SimTestFrames.h"
#include "support/SimProcess.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

class Port {
public:
    explicit Port(const std::string& path)
    {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        if (fd_ < 0)
            return;
        termios tio{};
        ::tcgetattr(fd_, &tio);
        ::cfmakeraw(&tio);
        tio.c_cflag |= PARENB | PARODD;
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        ::tcsetattr(fd_, TCSANOW, &tio);
    }
    ~Port()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool IsOpen() const { return fd_ >= 0; }

    void Write(const Bytes& bytes)
    {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }

    // Reads until `count` bytes have come or 3 s have passed.
    Bytes Read(std::size_t count)
    {
        Bytes got;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd pfd{fd_, POLLIN, 0};
            if (::poll(&pfd, 1, 50) <= 0)
                continue;
            std::uint8_t buffer[512];
            const ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, count - got.size()));
            if (n > 0)
                got.insert(got.end(), buffer, buffer + n);
        }
        return got;
    }

    // Sends a request and returns the handset's data frame, after checking
    // the echo and the acknowledgement that come before it.
    Bytes Exchange(const Bytes& message, std::uint8_t sequence)
    {
        const Bytes frame = PcFrame(message, sequence);
        Write(frame);
        EXPECT_EQ(Read(frame.size()), frame) << "echo";
        const Bytes ack = Read(5);
        EXPECT_EQ(ack, (Bytes{0xE9, 0x00, 0x7F, sequence, static_cast<std::uint8_t>(0xE9 ^ 0x7F ^ sequence)}));
        Bytes reply = Read(3);
        if (reply.size() == 3) {
            const Bytes rest = Read(reply[2] + 3u);
            reply.insert(reply.end(), rest.begin(), rest.end());
        }
        EXPECT_GE(reply.size(), 6u);
        if (reply.size() >= 6) {
            EXPECT_EQ(reply.size(), reply[2] + 6u);
            EXPECT_TRUE(ChecksumOk(reply));
            Write(PcAck(reply.end()[-2]));
            Read(5); // its echo
        }
        return reply;
    }

private:
    int fd_ = -1;
};

std::string FileText(const std::string& path)
{
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(SimProgram, AnswersTheVersionQueryOverThePseudoTerminal)
{
    SimProcess sim({"--version-text", "V 1.00\\n01-01-99\\nNHX"});
    Port port(sim.DevicePath());
    ASSERT_TRUE(port.IsOpen()) << sim.DevicePath();

    port.Write({0x00, 0xE9, 0x03, 0xE5, 0x00, 0x03, 0x00, 0x00, 0x0C});
    EXPECT_EQ(port.Read(9), (Bytes{0x00, 0xE9, 0x03, 0xE5, 0x00, 0x03, 0x00, 0x00, 0x0C}));
    EXPECT_EQ(port.Read(5), (Bytes{0xE9, 0x00, 0x7F, 0x00, 0x96}));
    const Bytes head = port.Read(3);
    ASSERT_EQ(head.size(), 3u);
    Bytes reply = head;
    const Bytes rest = port.Read(head[2] + 3u);
    reply.insert(reply.end(), rest.begin(), rest.end());
    ASSERT_EQ(reply.size(), head[2] + 6u);
    EXPECT_TRUE(ChecksumOk(reply));
    EXPECT_EQ(std::string(reply.begin() + 6, reply.begin() + 6 + 19), "V 1.00\n01-01-99\nNHX");
    EXPECT_EQ(sim.Stop(), 0);
}

TEST(SimProgram, PhonebookWriteIsReadBackAndSurvivesARestart)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string statePath = dir.filePath("phone.txt").toStdString();
    {
        SimProcess sim({}, statePath);
        Port port(sim.DevicePath());
        ASSERT_TRUE(port.IsOpen());
        port.Exchange(PhonebookWrite(42, SampleRecord()), 0);
        const Bytes reply = port.Exchange(PhonebookRead(42), 1);
        ASSERT_GE(reply.size(), 51u);
        EXPECT_EQ(Bytes(reply.begin() + 18, reply.begin() + 51), SampleRecord());
        port.Exchange(kNetMonitorOn, 2);
        EXPECT_EQ(sim.Stop(), 0);
    }
    EXPECT_NE(FileText(statePath).find("record 42 len=2 digits=12____"), std::string::npos) << FileText(statePath);

    SimProcess again({}, statePath);
    Port port(again.DevicePath());
    ASSERT_TRUE(port.IsOpen());
    const Bytes reply = port.Exchange(PhonebookRead(42), 0);
    ASSERT_GE(reply.size(), 51u);
    EXPECT_EQ(Bytes(reply.begin() + 18, reply.begin() + 51), SampleRecord());
    EXPECT_NE(port.Exchange(kNetMonitorRead, 1).at(14), 0);
}

TEST(SimProgram, OwnNumberOptionSetsOrClearsLocation115)
{
    const handset::Record given = handset::makeRecord("5550100", "");
    for (const auto& [number, record] : {std::pair{"5550100", given}, std::pair{"", handset::Record{}}}) {
        SimProcess sim({"--own-number", number});
        Port port(sim.DevicePath());
        ASSERT_TRUE(port.IsOpen());
        const Bytes reply = port.Exchange(PhonebookRead(handset::kOwnNumberLocation), 0);
        ASSERT_GE(reply.size(), 51u);
        EXPECT_EQ(Bytes(reply.begin() + 18, reply.begin() + 51), Bytes(record.begin(), record.end())) << number;
    }
}

TEST(SimProgram, ClosingAndReopeningThePortKeepsTheLineAlive)
{
    SimProcess sim;
    for (std::uint8_t round = 0; round < 3; ++round) {
        Port port(sim.DevicePath());
        ASSERT_TRUE(port.IsOpen());
        const Bytes reply = port.Exchange(kSerialRead, round);
        ASSERT_GE(reply.size(), 24u);
        EXPECT_EQ(reply[13], 10);
    }
}

std::size_t CountOf(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(SimProgram, OnTheBusAFrameSentIntoTheAnswerIsLoggedAndCountedAndACleanExchangeIsNot)
{
    {
        SimProcess sim({"--bus", "--turnaround", "20"});
        Port port(sim.DevicePath());
        ASSERT_TRUE(port.IsOpen());
        EXPECT_GE(port.Exchange(kSerialRead, 0).size(), 24u);
        EXPECT_EQ(sim.Stop(), 0);
        EXPECT_EQ(CountOf(sim.ErrorOutput(), "collision"), 0u) << sim.ErrorOutput();
        EXPECT_NE(FileText(sim.StatePath()).find("\ncollisions 0\n"), std::string::npos);
    }
    SimProcess sim({"--bus", "--turnaround", "20"});
    Port port(sim.DevicePath());
    ASSERT_TRUE(port.IsOpen());
    // One write: the port sends the long second frame right behind the query,
    // so it is still going out when the handset answers the query.
    const Bytes query = PcFrame(kVersionQuery, 0);
    Bytes both = query;
    const Bytes second = PcFrame(Bytes(120, 0x55), 1);
    both.insert(both.end(), second.begin(), second.end());
    port.Write(both);
    handset::HandsetModel reference;
    std::size_t answer = 0;
    for (const auto& frame : reference.fromPc(query.data(), query.size()))
        answer += frame.bytes.size();
    const Bytes heard = port.Read(both.size() + answer);
    EXPECT_EQ(heard.size(), both.size() + answer);
    EXPECT_EQ(sim.Stop(), 0);
    const std::string log = sim.ErrorOutput();
    EXPECT_EQ(CountOf(log, "m2bus-sim: collision at "), 1u) << log;
    EXPECT_NE(log.find("pc 55 55"), std::string::npos) << log;
    EXPECT_NE(log.find("handset E9 00 7F 00 96"), std::string::npos) << log;
    EXPECT_NE(FileText(sim.StatePath()).find("\ncollisions 1\n"), std::string::npos) << FileText(sim.StatePath());
}

TEST(SimProgram, RefusesBadOptionsAndLeavesAnUnreadableStateFileAlone)
{
    EXPECT_THROW(SimProcess({"--turnaround", "soon"}), std::runtime_error);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string statePath = dir.filePath("broken.txt").toStdString();
    const std::string broken = "serial \"1\"\nrecord 3 half a record\n";
    std::ofstream(statePath) << broken;
    try {
        SimProcess sim({}, statePath);
        ADD_FAILURE() << "started on a broken state file";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("State file line 2"), std::string::npos) << error.what();
    }
    EXPECT_EQ(FileText(statePath), broken);
}

} // namespace
#endif
