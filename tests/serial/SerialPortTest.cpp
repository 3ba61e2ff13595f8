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
#include <vector>

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
    void SetUp() override
    {
        QObject::connect(&comm, &SerialPort::bytesArrived, [this](int count) {
            EXPECT_FALSE(insideCall) << "bytesArrived ran inside write, read or itself";
            notifications.push_back(count);
            if (handler)
                handler(count);
        });
    }
    void TearDown() override
    {
        comm.close();
    }

    int Write(const std::string& bytes)
    {
        insideCall = true;
        const int n = comm.write(bytes.data(), static_cast<int>(bytes.size()));
        insideCall = false;
        return n;
    }
    std::string Read(int max)
    {
        std::string out(static_cast<std::size_t>(max), '\0');
        insideCall = true;
        const int n = comm.read(out.data(), max);
        insideCall = false;
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

    PtyPair pty;
    SerialPort comm{handsetLineSettings(), [this](int portNumber) { return DeviceOf(portNumber); }};
    std::vector<int> notifications;
    std::function<void(int count)> handler;
    bool insideCall = false;
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

    // A line setting changed while open reaches the device at once.
    comm.setBaudRate(BaudRateMode::Baud19200);
    comm.setParity(ParityMode::Even);
    ASSERT_EQ(tcgetattr(pty.MasterFd(), &line), 0);
    EXPECT_EQ(cfgetospeed(&line), B19200);
    EXPECT_FALSE(line.c_cflag & PARODD);
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
    EXPECT_TRUE(notifications.empty());
    // ... and what was read leaves nothing to announce.
    ProcessEvents();
    EXPECT_TRUE(notifications.empty());
}

TEST_F(SerialPortOnPty, ReadWithNothingArrivedReturnsAtOnce)
{
    comm.setReadTimeout(5000);
    comm.open();
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(Read(16), "");
    EXPECT_LT(clock.elapsed(), 2500);
}

TEST_F(SerialPortOnPty, ArrivalsWhileAsleepComeInOneLaterNotification)
{
    comm.open();
    pty.Send("abcde");
    Settle();
    pty.Send("fgh");
    Settle();
    EXPECT_TRUE(notifications.empty()) << "notified without event processing";
    ProcessEvents();
    ASSERT_EQ(notifications, std::vector<int>{8});
    EXPECT_EQ(Read(64), "abcdefgh");
}

TEST_F(SerialPortOnPty, ArrivalsDuringAWriteAreAnnouncedAfterIt)
{
    comm.open();
    pty.Send("ack!!");
    Settle();
    EXPECT_EQ(Write("frame"), 5);
    EXPECT_TRUE(notifications.empty());
    ProcessEvents();
    ASSERT_EQ(notifications, std::vector<int>{5});
    EXPECT_EQ(Read(64), "ack!!");
    EXPECT_EQ(pty.Receive(), "frame");
}

TEST_F(SerialPortOnPty, HandlerThatReadsAndAnswersIsNeverReentered)
{
    comm.open();
    std::string received;
    handler = [&](int count) {
        insideCall = true;
        received += Read(count);
        if (received == "A") {
            // The next frame arrives while the handler is acknowledging this one.
            pty.Send("BC");
            Settle();
        }
        Write("k");
        insideCall = false;
    };
    pty.Send("A");
    Settle();
    ProcessEvents();
    ProcessEvents();
    EXPECT_EQ(notifications, (std::vector<int>{1, 2}));
    EXPECT_EQ(received, "ABC");
    EXPECT_EQ(pty.Receive(), "kk");
}

TEST_F(SerialPortOnPty, OpenIfAutoOpenOpensOnlyWhenAutoOpenIsSet)
{
    comm.openIfAutoOpen();
    EXPECT_FALSE(comm.isOpen());
    comm.setAutoOpen(true);
    comm.openIfAutoOpen();
    EXPECT_TRUE(comm.isOpen());
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
    EXPECT_THROW(comm.setReadBufferSize(8192), SerialPortError);
    EXPECT_THROW(comm.setMonitorEvents({SerialEvent::RxChar}), SerialPortError);
    EXPECT_EQ(comm.portNumber(), 1);
    EXPECT_NO_THROW(comm.setPortNumber(1)); // no change, no complaint
    comm.setWriteTimeout(500); // time-outs are free to change
    EXPECT_EQ(comm.writeTimeout(), 500);

    comm.close();
    comm.setPortNumber(2);
    EXPECT_EQ(comm.portNumber(), 2);
}

TEST_F(SerialPortOnPty, SettingThePortCannotExpressIsAnErrorWhileOpen)
{
    comm.open();
    EXPECT_EQ(ErrorText([&] { comm.setDataBits(DataBitsMode::Data4); }), "Error writing dcb (22), Invalid argument");
    EXPECT_TRUE(comm.isOpen());
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

    notifications.clear();
    comm.open();
    EXPECT_EQ(Read(64), "");
    ProcessEvents();
    EXPECT_TRUE(notifications.empty());
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
}

TEST_F(SerialPortOnPty, TimedOutWriteReturnsZeroAndIsCancelled)
{
    comm.setWriteTimeout(200);
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
