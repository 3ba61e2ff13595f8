// "Connect to Phone" against m2bus-sim at the line rate with a 20 ms
// turnaround: the measured time next to the least time the exchange rules
// allow on that line, and their ratio.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

#include "app/AppWindows.h"
#include "widgets/WindowStateStore.h"
#include "app/MainWindow.h"

#ifdef M2BUS_SIM_PATH
#include "support/ScriptedPrompts.h"
#include "support/SimProcess.h"
#endif

namespace {

constexpr double kByteMs = 11.0 / 9600.0 * 1000.0; // 1 start, 8 data, parity, 1 stop
constexpr double kTurnaroundMs = 20.0;

// The least time of one exchange. A send writes a frame of n + 6 bytes and
// then sleeps 1 ms per frame byte for its echo (the receiver cannot run
// while it sleeps). The handset has the request after its line time, waits
// its turnaround, and answers with a 5-byte acknowledgement and the reply
// frame. Bytes are taken in only when a pass processes events, after its
// send; a pass that finds nothing pauses P ms, and a send goes out on every
// pass until an acknowledgement has been taken in. The reply is used on the
// pass after the one that took it in, and taking it in costs the 1 ms pause
// before our own acknowledgement.
// With the simulator's replies each of the three exchanges needs two passes
// (the first processing comes before the answer is in, the second after the
// repeated send takes it in), so the floor is the sum over the exchanges of
// 2 (n + 6) + 1 + 2 P: 219 + 229 + 229 = 677 ms.
struct ExchangeFloor {
    double ms = 0;
    int passes = 0;
    int oneMsSleeps = 0; // echo waits and the pause before our acknowledgement
    int pauses = 0; // P-ms pauses
};

ExchangeFloor ExchangeFloorMs(int n, int replyFrame, int pauseMs)
{
    const int frameBytes = n + 6;
    const double replyIn = frameBytes * kByteMs + kTurnaroundMs + (5 + replyFrame) * kByteMs;
    ExchangeFloor floor;
    for (;;) {
        ++floor.passes;
        floor.ms += frameBytes; // the send and its echo wait
        floor.oneMsSleeps += frameBytes;
        ++floor.pauses;
        if (floor.ms >= replyIn) { // taken in here, used after this pause
            floor.ms += 1 + pauseMs;
            floor.oneMsSleeps += 1;
            return floor;
        }
        floor.ms += pauseMs;
    }
}

// What the sleeps of the floor really take on this machine now: a loaded
// machine wakes sleepers late, and that lateness is no fault of the program.
double MeasuredSleepMs(int ms, int times)
{
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < times; ++i)
        QThread::msleep(static_cast<unsigned long>(ms));
    return static_cast<double>(clock.nsecsElapsed()) / 1e6 / times;
}

#ifdef M2BUS_SIM_PATH

struct ConnectFloor {
    double ms = 0;
    int passes[3] = {};
    int oneMsSleeps = 0;
    int pauses = 0;
};

ConnectFloor Floor(int versionReply, int serialReply, int monitorReply)
{
    ConnectFloor floor;
    const ExchangeFloor exchanges[3] = {ExchangeFloorMs(3, versionReply, 100), ExchangeFloorMs(8, serialReply, 100),
                                        ExchangeFloorMs(8, monitorReply, 100)};
    for (int i = 0; i < 3; ++i) {
        floor.ms += exchanges[i].ms;
        floor.passes[i] = exchanges[i].passes;
        floor.oneMsSleeps += exchanges[i].oneMsSleeps;
        floor.pauses += exchanges[i].pauses;
    }
    return floor;
}

class ProgramAgainstSim {
public:
    ProgramAgainstSim()
        : sim_({"--pace", "--turnaround", "20"})
    {
        const QString store = dir_.filePath("settings.ini");
        {
            QSettings settings(store, QSettings::IniFormat);
            settings.setValue("Ports/COM1", QString::fromStdString(sim_.DevicePath()));
        }
        WindowPlacement::SetStoreOverride(store);
        CreateAppWindows();
    }
    ~ProgramAgainstSim()
    {
        DestroyAppWindows();
        WindowPlacement::SetStoreOverride(QString());
    }
    ScriptedPrompts prompts;

private:
    QTemporaryDir dir_;
    SimProcess sim_;
};

void BM_ConnectToPhonePaced(benchmark::State& state)
{
    ProgramAgainstSim program;
    QLabel* serial = mainWindow->findChild<QLabel*>("serialNumberLabel");
    double totalMs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        mainWindow->connectToPhone();
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        state.SetIterationTime(ms / 1000.0);
        totalMs += ms;
        if (!program.prompts.Notices.isEmpty() || serial == nullptr || serial->text().isEmpty()) {
            state.SkipWithError("Connect to Phone did not succeed");
            return;
        }
    }
    // The simulator's reply frames are 4 header bytes, the data, sequence and
    // checksum: version data 2 + 23 text bytes + 1, serial 10 + 10, setting 11.
    const ConnectFloor floor = Floor(4 + 26 + 2, 4 + 20 + 2, 4 + 11 + 2);
    const double mean = totalMs / static_cast<double>(state.iterations());
    const double sleptFloor = floor.oneMsSleeps * MeasuredSleepMs(1, 200) + floor.pauses * MeasuredSleepMs(100, 6);
    state.counters["measured_ms"] = mean;
    state.counters["floor_ms"] = floor.ms;
    state.counters["ratio"] = mean / floor.ms;
    state.counters["ratio_to_slept_floor"] = mean / sleptFloor;
    std::printf("Connect to Phone: measured %.1f ms, floor %.1f ms (passes %d/%d/%d), ratio %.3f\n", mean, floor.ms,
                floor.passes[0], floor.passes[1], floor.passes[2], mean / floor.ms);
    std::printf("  the floor's %d 1-ms sleeps and %d pauses as this machine sleeps them now: %.1f ms, ratio %.3f\n",
                floor.oneMsSleeps, floor.pauses, sleptFloor, mean / sleptFloor);
}
BENCHMARK(BM_ConnectToPhonePaced)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

#endif

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
