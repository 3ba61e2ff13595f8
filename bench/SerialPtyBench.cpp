// What a frame costs on the port: the write of one 5-byte frame, and the way
// from a byte at the far end to bytesArrived through one pass of event processing.
// Runs on a pseudo-terminal, so it measures the port's own overhead, not a line.
#include "serial/SerialPort.h"
#include "support/PtyPair.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

struct PortOnPty {
    PortOnPty() { comm.open(); }
    ~PortOnPty() { comm.close(); }
    PtyPair pty;
    SerialPort comm{SerialSettings{}, [this](int) { return pty.SlavePath(); }};
};

void BM_WriteBufFrame(benchmark::State& state)
{
    PortOnPty line;
    const unsigned char frame[5] = {0x1F, 0x00, 0x1D, 0x10, 0x00};
    std::size_t received = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(line.comm.write(frame, 5));
        state.PauseTiming();
        received += line.pty.Receive(0).size();
        state.ResumeTiming();
    }
    state.counters["bytes_seen"] = static_cast<double>(received);
}
BENCHMARK(BM_WriteBufFrame);

void BM_FarEndByteToRxChar(benchmark::State& state)
{
    PortOnPty line;
    int notified = 0;
    unsigned char byte = 0;
    QObject::connect(&line.comm, &SerialPort::bytesArrived, [&](int count) {
        notified += count;
        line.comm.read(&byte, 1);
    });
    std::int64_t passes = 0;
    for (auto _ : state) {
        const int before = notified;
        line.pty.Send("x");
        while (notified == before) {
            QCoreApplication::processEvents();
            ++passes;
        }
    }
    state.counters["event_passes_per_byte"] = static_cast<double>(passes) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FarEndByteToRxChar);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
