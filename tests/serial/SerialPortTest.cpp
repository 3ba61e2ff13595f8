// Runs the port against a pseudo-terminal, so POSIX only.
#ifndef _WIN32

#include "serial/SerialPort.h"
#include "support/PtyPair.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QThread>

#include <gtest/gtest.h>

#include <string>
#include <termios.h>
#include <thread>

using namespace std::string_literals;

namespace {

constexpr int kMissingPort = 3;

template <typename Action>
std::string ErrorText(Action&& action)
{
    try {
        action();
    } catch (const SerialPortError& error) {
        return error.what();
    }
    return "(no error)";
}

class SerialPortOnPty : public ::testing::Test {
protected:
    void TearDown() override
    {
        comm.close();
    }

    int Write(const std::string& bytes)
    {
        return comm.write(bytes.data(), static_cast<int>(bytes.size()));
    }
    std::string Read(int max)
    {
        std::string out(static_cast<std::size_t>(max), '\0');
        const int n = comm.read(out.data(), max);
        out.resize(static_cast<std::size_t>(n));
        return out;
    }
    // Lets bytes written at the master settle in the slave's input queue
    // while this thread processes no events.
    static void Settle() { QThread::msleep(50); }
    static void ProcessEvents()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    QString DeviceOf(int portNumber) const
    {
        if (portNumber == 1)
            return pty.SlavePath();
        if (portNumber == kMissingPort)
            return QStringLiteral("/dev/no-such-serial-device");
        return {};
    }

    // The bus line with a short write time-out, so that a stalled write gives up soon.
    static SerialSettings QuickLine()
    {
        SerialSettings line;
        line.writeTimeoutMs = 200;
        return line;
    }

    PtyPair pty;
    SerialPort comm{QuickLine(), [this](int portNumber) { return DeviceOf(portNumber); }};
};

TEST_F(SerialPortOnPty, OpensWithTheBusLineSettings)
{
    comm.open();
    ASSERT_TRUE(comm.isOpen());
    termios line{};
    ASSERT_EQ(tcgetattr(pty.MasterFd(), &line), 0);
    EXPECT_EQ(cfgetospeed(&line), B9600);
    EXPECT_EQ(line.c_cflag & CSIZE, tcflag_t(CS8));
    // A pseudo-terminal drops PARENB but keeps the odd/even choice.
    EXPECT_TRUE(line.c_cflag & PARODD);
    EXPECT_FALSE(line.c_cflag & CSTOPB);
    EXPECT_FALSE(line.c_cflag & CRTSCTS);
    // DTR and RTS cannot be set on a pseudo-terminal, and the open went on without them.
}

TEST_F(SerialPortOnPty, BytesFlowBothWays)
{
    comm.open();
    EXPECT_EQ(Write("\x1F\x00\x1D\x10\x00"s), 5);
    EXPECT_EQ(pty.Receive(), "\x1F\x00\x1D\x10\x00"s);

    pty.Send("reply");
    Settle();
    // Bytes still in the OS queue are read without any event processing.
    EXPECT_EQ(Read(3), "rep");
    EXPECT_EQ(Read(100), "ly");
}

TEST_F(SerialPortOnPty, ReadNeverWaitsAndWaitForBytesEndsWithTheFirstByte)
{
    comm.open();
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(Read(16), "");
    EXPECT_FALSE(comm.waitForBytes(100));
    EXPECT_GE(clock.elapsed(), 90);

    std::thread farEnd([this] {
        QThread::msleep(100);
        pty.Send("x");
    });
    clock.restart();
    EXPECT_TRUE(comm.waitForBytes(5000));
    EXPECT_LT(clock.elapsed(), 2500);
    farEnd.join();
    EXPECT_TRUE(comm.waitForBytes(0));
    EXPECT_EQ(Read(16), "x");
}

TEST_F(SerialPortOnPty, OpenFailuresNameTheComPortAndLeaveItClosed)
{
    comm.setPortNumber(kMissingPort);
    EXPECT_EQ(ErrorText([&] { comm.open(); }), "Invalid port number (COM3)");
    EXPECT_FALSE(comm.isOpen());

    QSerialPort holder(pty.SlavePath());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    comm.setPortNumber(1);
    EXPECT_EQ(ErrorText([&] { comm.open(); }), "Can't open device COM1");
    EXPECT_FALSE(comm.isOpen());
    holder.close();
    EXPECT_NO_THROW(comm.open());
}

TEST_F(SerialPortOnPty, OpenPortRefusesOpenAndPortChanges)
{
    comm.open();
    EXPECT_EQ(ErrorText([&] { comm.open(); }), "Can't perform this operation when port is open");
    EXPECT_TRUE(comm.isOpen());
    EXPECT_EQ(Write("still"), 5);
    EXPECT_EQ(pty.Receive(), "still");

    EXPECT_EQ(ErrorText([&] { comm.setPortNumber(2); }), "Can't perform this operation when port is open");
    EXPECT_EQ(comm.portNumber(), 1);
    EXPECT_NO_THROW(comm.setPortNumber(1)); // no change, no complaint

    comm.close();
    comm.setPortNumber(2);
    EXPECT_EQ(comm.portNumber(), 2);
    // A port the resolver does not name opens its default device.
    EXPECT_EQ(comm.devicePath(), "/dev/ttyS1");
}

TEST_F(SerialPortOnPty, CloseDiscardsUnreadBytesReleasesTheDeviceAndMayRepeat)
{
    comm.open();
    pty.Send("stale");
    Settle();
    ProcessEvents(); // into the port's own buffer
    comm.close();
    EXPECT_FALSE(comm.isOpen());
    EXPECT_NO_THROW(comm.close());

    QSerialPort other(pty.SlavePath());
    ASSERT_TRUE(other.open(QIODevice::ReadWrite)) << "device still held after Close";
    other.close();

    comm.open();
    EXPECT_EQ(Read(64), "");
}

// The far end reads only after the port is closed, as a handset behind a
// slow adapter does: the acknowledgement written last is still there.
TEST_F(SerialPortOnPty, CloseLetsWhatWasWrittenLeaveFirst)
{
    const std::string ack = "\x00\xE9\x7F\x42\xD4"s;
    for (int round = 0; round < 5; ++round) {
        comm.open();
        ASSERT_EQ(Write(ack), 5);
        comm.close();
        EXPECT_EQ(pty.Receive(), ack) << "round " << round;
    }
}

TEST_F(SerialPortOnPty, ClosedPortRefusesTransfers)
{
    char byte = 0;
    EXPECT_EQ(ErrorText([&] { comm.write(&byte, 1); }), "Write error (9), Bad file descriptor");
    EXPECT_THROW(comm.read(&byte, 1), SerialPortError);
    EXPECT_EQ(ErrorText([&] { comm.waitForBytes(10); }), "Read error (9), Bad file descriptor");
}

TEST_F(SerialPortOnPty, TimedOutWriteReturnsZeroAndIsCancelled)
{
    comm.open();
    // Nobody reads the master, so the pseudo-terminal fills and the write stalls.
    const std::string flood(4 * 1024 * 1024, 'x');
    EXPECT_EQ(Write(flood), 0);
    const std::string arrived = pty.Receive();
    EXPECT_LT(arrived.size(), flood.size());
    // The cancelled rest does not trickle out afterwards.
    ProcessEvents();
    QThread::msleep(50);
    ProcessEvents();
    EXPECT_EQ(pty.Receive(), "");
    EXPECT_EQ(Write("next"), 4);
    EXPECT_EQ(pty.Receive(), "next");
}

} // namespace

#endif
