// What a frame costs on the port: the write of one 5-byte frame, and the way
// from a byte at the far end to its read, as the link waits for it.
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

void BM_FarEndByteToRead(benchmark::State& state)
{
    PortOnPty line;
    unsigned char byte = 0;
    std::int64_t read = 0;
    for (auto _ : state) {
        line.pty.Send("x");
        if (!line.comm.waitForBytes(5000)) {
            state.SkipWithError("the byte did not come");
            break;
        }
        read += line.comm.read(&byte, 1);
    }
    state.counters["bytes_read"] = static_cast<double>(read);
}
BENCHMARK(BM_FarEndByteToRead);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
