// Shared by the transfer benchmarks: the lower bound of a transfer on the
// paced line, and the program set up against the paced simulator.
//
// The floor runs the program's own exchange (PhoneLink) on a virtual clock
// against the simulator's own line model (HandsetLine: echo, turnaround,
// 1.146 ms a byte, one shared wire). Time passes only in the exchange's
// sleeps, so the floor is what the exchange rules and the line cost with
// zero time spent in the operating system, the pseudo-terminal and Qt.
#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

#include <chrono>

#include "link/PhoneLink.h"
#include "support/ModelledHandset.h"
#include "support/VirtualLine.h"

inline constexpr double kBenchTurnaroundMs = 20.0;

struct VirtualPacedLink {
    VirtualPacedLink()
    {
        wire.SetEcho(false); // the line model echoes, in its place on the wire
        wire.SetFarEnd(&handset);
        wire.SetReceiver([this](int count) { link.VaComm1RxChar(count); });
    }
    double ElapsedMs() const { return static_cast<double>(wire.NowUs()) / 1000.0; }

    VirtualLine wire;
    ModelledHandset handset{kBenchTurnaroundMs};
    PhoneLink link{wire, wire};
};

// The figures a paced transfer benchmark prints: wall time, floor, their ratio.
inline void Report(benchmark::State& state, double wallMs, double floorMs, int failures)
{
    state.counters["wall_ms"] = wallMs;
    state.counters["floor_ms"] = floorMs;
    state.counters["ratio"] = wallMs / floorMs;
    state.counters["failed"] = failures;
}

inline double WallMsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Benchmarks here drive windows, so they need a QApplication of their own.
#define M2BUS_BENCH_MAIN_WITH_QT()                                                                                     \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                                       \
        QApplication application(argc, argv);                                                                          \
        benchmark::Initialize(&argc, argv);                                                                            \
        if (benchmark::ReportUnrecognizedArguments(argc, argv))                                                        \
            return 1;                                                                                                  \
        benchmark::RunSpecifiedBenchmarks();                                                                           \
        benchmark::Shutdown();                                                                                         \
        return 0;                                                                                                      \
    }
