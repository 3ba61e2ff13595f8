// The link as the command line drives it over a real pseudo-terminal, against
// m2bus-sim: what reaches the handset's side after each command, and jobs
// that survive the program being stopped and continued at random moments.
#ifndef _WIN32

#include <gtest/gtest.h>

#include "logo/LogoPicture.h"
#include "phonebook/PhonebookFormats.h"
#include "sim/HandsetStateFile.h"
#include "support/SimProcess.h"

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <random>
#include <signal.h>
#include <thread>

namespace {

struct Finished {
    int code = -1;
    QString err;
};

class CliLinkTest : public ::testing::Test {
protected:
    // Runs m2bus-cli on the simulator's device; with `pauses`, another
    // thread stops the program for 60 to 500 ms again and again while it runs.
    Finished Run(SimProcess& sim, QStringList arguments, bool pauses = false, unsigned seed = 1)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        process.setProcessEnvironment(env);
        process.setStandardInputFile(QProcess::nullDevice());
        arguments.prepend(QString::fromStdString(sim.DevicePath()));
        arguments.prepend("--port");
        process.start(QStringLiteral(M2BUS_CLI_PATH), arguments);
        EXPECT_TRUE(process.waitForStarted());
        std::atomic<bool> running{true};
        std::thread pauser;
        if (pauses) {
            const pid_t pid = static_cast<pid_t>(process.processId());
            pauser = std::thread([&running, pid, seed, this] {
                std::mt19937 random(seed);
                std::uniform_int_distribution<int> between(20, 300), pause(60, 500);
                while (running) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(between(random)));
                    if (!running || ::kill(pid, SIGSTOP) != 0)
                        break;
                    std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
                    ::kill(pid, SIGCONT);
                    ++pausesMade;
                }
            });
        }
        const bool finished = process.waitForFinished(300000);
        running = false;
        if (pauser.joinable())
            pauser.join();
        ::kill(static_cast<pid_t>(process.processId()), SIGCONT);
        EXPECT_TRUE(finished) << arguments.join(' ').toStdString();
        QString err = QString::fromUtf8(process.readAllStandardError());
        if (process.exitStatus() != QProcess::NormalExit) // exitCode() is then the signal that ended it
            return {-1, err + QStringLiteral("\n(ended by signal %1)").arg(process.exitCode())};
        return {process.exitCode(), err};
    }
    QString Path(const QString& name) { return dir.filePath(name); }

    QTemporaryDir dir;
    int pausesMade = 0;
};

// The simulator's count, printed when it stops, of the replies it sent whole
// and of those the program acknowledged.
std::pair<int, int> RepliesAndAcknowledgements(SimProcess& sim)
{
    sim.Stop();
    const QRegularExpression count(QStringLiteral("(\\d+) whole replies, (\\d+) acknowledged"));
    const QRegularExpressionMatch match = count.match(QString::fromStdString(sim.ErrorOutput()));
    EXPECT_TRUE(match.hasMatch()) << sim.ErrorOutput();
    return {match.captured(1).toInt(), match.captured(2).toInt()};
}

// The handset's side takes the line in only every 30 ms, as a USB adapter
// hands bytes over in batches: the acknowledgement written last, just before
// the port is closed, still reaches it, every time.
TEST_F(CliLinkTest, EveryReplyIsAcknowledgedOnTheWire)
{
    SimProcess sim({"--latency", "30"});
    for (const QStringList& job : {QStringList{"info"}, QStringList{"netmon", "on"}, QStringList{"netmon", "off"},
                                   QStringList{"reset"}, QStringList{"phonebook", "read", Path("book.npb")},
                                   QStringList{"logo", "get", Path("logo.bmp")}}) {
        const Finished run = Run(sim, job);
        EXPECT_EQ(run.code, 0) << job.join(' ').toStdString() << ": " << run.err.toStdString();
    }
    const auto [replies, acknowledged] = RepliesAndAcknowledgements(sim);
    EXPECT_EQ(replies, 3 + 1 + 2 + 2 + 1 + 100 + 6); // info reads the own number too
    EXPECT_EQ(acknowledged, replies);
}

// The program is stopped (SIGSTOP) for 60 to 500 ms at random moments of
// every job and continued (SIGCONT): results and data stay as they are, on
// the bus model, without a collision.
TEST_F(CliLinkTest, PausesDuringEveryJobChangeNeitherResultNorData)
{
    SimProcess sim({"--bus", "--turnaround", "20"});
    PhonebookRows rows(100);
    for (int i = 0; i < 100; ++i)
        rows[static_cast<std::size_t>(i)] = {QStringLiteral("Пауза %1").arg(i), QStringLiteral("+7916%1").arg(1000000 + i * 37)};
    writePhonebook(Path("book.csv"), rows);
    QImage drawn(84, 48, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    for (int x = 0; x < 84; ++x)
        drawn.setPixel(x, (x * 7) % 48, qRgb(0, 0, 0));
    ASSERT_TRUE(drawn.save(Path("drawn.png")));

    unsigned seed = 1;
    for (const QStringList& job :
         {QStringList{"info"}, QStringList{"netmon", "on"}, QStringList{"netmon", "off"},
          QStringList{"--yes", "phonebook", "write", Path("book.csv")},
          QStringList{"phonebook", "read", Path("back.csv")}, QStringList{"logo", "put", Path("drawn.png")},
          QStringList{"logo", "get", Path("back.bmp")}, QStringList{"reset"}}) {
        const Finished run = Run(sim, job, true, seed++);
        EXPECT_EQ(run.code, 0) << job.join(' ').toStdString() << ": " << run.err.toStdString();
    }
    EXPECT_GE(pausesMade, 8);
    EXPECT_EQ(readPhonebook(Path("back.csv")).rows, rows);
    EXPECT_EQ(logoDotsFromPicture(logoLoadPicture(Path("back.bmp"))), logoDotsFromPicture(drawn));
    EXPECT_EQ(sim.Collisions().value_or(1), 0u);
}

} // namespace

#endif
