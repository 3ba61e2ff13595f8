// How fast the simulated handset answers: in process, and over the
// pseudo-terminal of the m2bus-sim program.
#include "sim/HandsetFrame.h"
#include "sim/HandsetLine.h"
#include "sim/HandsetModel.h"

#include <benchmark/benchmark.h>

#include <vector>

#ifdef M2BUS_SIM_PATH
#include "support/SimProcess.h"

#include <QCoreApplication>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

std::vector<std::uint8_t> PcFrame(std::vector<std::uint8_t> message, std::uint8_t sequence)
{
    std::vector<std::uint8_t> frame(message.size() + 6);
    frame[1] = 0xE9;
    frame[2] = static_cast<std::uint8_t>(message.size());
    frame[3] = 0xE5;
    for (std::size_t i = 0; i < message.size(); ++i)
        frame[4 + i] = message[i];
    frame[message.size() + 4] = sequence;
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i + 1 < frame.size(); ++i)
        sum ^= frame[i];
    frame.back() = sum;
    return frame;
}

void BM_ModelPhonebookRead(benchmark::State& state)
{
    handset::HandsetModel model;
    std::uint8_t sequence = 0;
    for (auto _ : state) {
        const auto frame = PcFrame({0x0F, 0x2D, 0x03, 0x00, 0x07, 0x1F, 0x7F, 0xF0, 0x00, 7, 0x00, 0x00}, sequence++);
        benchmark::DoNotOptimize(model.fromPc(frame.data(), frame.size()));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ModelPhonebookRead);

void BM_LineLogoWritePaced(benchmark::State& state)
{
    handset::HandsetModel model;
    handset::LineSettings settings;
    handset::HandsetLine line(model, settings);
    std::vector<std::uint8_t> message{0x10, 0x08, 0x03, 0x00, 0x07, 0x3A, 0x7F, 0xF0, 0x00, 2, 0x00, 0x00, 0x00, 0x54};
    message.resize(98, 0x5A);
    std::uint8_t sequence = 0;
    double now = 0;
    for (auto _ : state) {
        const auto frame = PcFrame(message, sequence++);
        line.fromPc(frame.data(), frame.size(), now);
        while (line.pending() != 0)
            benchmark::DoNotOptimize(line.dueBy(line.nextDueMs()));
        now += 1000;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LineLogoWritePaced);

#ifdef M2BUS_SIM_PATH
// Wall time from writing a version query to holding the whole answer, over a
// real pseudo-terminal (no pacing, no turnaround).
void BM_ProgramVersionRoundTrip(benchmark::State& state)
{
    SimProcess sim({"--turnaround", "0"});
    const int fd = ::open(sim.DevicePath().c_str(), O_RDWR | O_NOCTTY);
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);
    std::uint8_t sequence = 0;
    for (auto _ : state) {
        const auto frame = PcFrame({0x00, 0x03, 0x00}, sequence++);
        if (::write(fd, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size()))
            break;
        // echo (9) + acknowledgement (5) + version reply (6 + data)
        std::size_t want = 9 + 5 + 3, got = 0;
        std::uint8_t buffer[256];
        while (got < want) {
            pollfd pfd{fd, POLLIN, 0};
            if (::poll(&pfd, 1, 1000) <= 0)
                break;
            const ssize_t n = ::read(fd, buffer + got, sizeof buffer - got);
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
            if (got >= 17 && want == 17)
                want = 14 + buffer[16] + 6u;
        }
        if (got < want) {
            state.SkipWithError("no full answer");
            break;
        }
    }
    ::close(fd);
}
BENCHMARK(BM_ProgramVersionRoundTrip)->Unit(benchmark::kMicrosecond)->UseRealTime();
#endif

} // namespace

int main(int argc, char** argv)
{
#ifdef M2BUS_SIM_PATH
    QCoreApplication app(argc, argv); // QProcess wants an application object
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
