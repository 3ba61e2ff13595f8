// Frame receiver throughput over a mixed stream of valid data frames,
// acknowledgements, echoes, frames with bad checksums and line noise,
// next to what a 9600-baud line can deliver.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "link/FrameAssembler.h"
#include "link/ReplyLayout.h"

namespace {

constexpr double kLineBytesPerSecond = 9600.0 / 11.0; // 872.7

// Does with each frame what the link does: a reply is copied and its
// acknowledgement built.
class ReceiverSink final : public FrameAssembler::Sink {
public:
    void frame(const std::uint8_t* bytes, int length, std::uint64_t) override
    {
        if (bytes[0] != frame::kHandsetAddress || bytes[2] == frame::kAckMarker)
            return;
        std::copy_n(bytes, length, reply.begin());
        frame::buildAck(bytes[0], bytes[length - 2], ack.data());
    }
    void noise(std::uint64_t, std::size_t count) override { noiseBytes += count; }

    ReplyFrame reply{};
    std::array<std::uint8_t, frame::kAckLength> ack{};
    std::size_t noiseBytes = 0;
};

void AppendFrame(std::vector<std::uint8_t>& out, std::uint8_t a0, std::uint8_t a1, std::vector<std::uint8_t> body,
                 bool corrupt)
{
    std::vector<std::uint8_t> f{a0, a1, static_cast<std::uint8_t>(body.size()), 0x00};
    f.insert(f.end(), body.begin(), body.end());
    f.push_back(0x11);
    f.push_back(frame::checksum(f.data()));
    if (corrupt)
        f.back() ^= 0x5A;
    out.insert(out.end(), f.begin(), f.end());
}

std::vector<std::uint8_t> MixedStream()
{
    std::mt19937 random(1234);
    std::vector<std::uint8_t> s;
    while (s.size() < 1 << 20) {
        const int kind = static_cast<int>(random() % 5);
        std::vector<std::uint8_t> body(random() % 100);
        for (auto& b : body)
            b = static_cast<std::uint8_t>(random());
        switch (kind) {
        case 0:
            AppendFrame(s, 0xE9, 0x00, body, false);
            break; // reply
        case 1:
            AppendFrame(s, 0xE9, 0x00, body, true);
            break; // corrupt reply
        case 2:
            AppendFrame(s, 0x00, 0xE9, body, false);
            break; // own echo
        case 3: { // acknowledgement
            std::uint8_t ack[5] = {0xE9, 0x00, 0x7F, static_cast<std::uint8_t>(random()), 0};
            ack[4] = frame::checksum(ack);
            s.insert(s.end(), ack, ack + 5);
            break;
        }
        default: // noise that never starts a frame
            for (int i = 0; i < 8; ++i)
                s.push_back(static_cast<std::uint8_t>(0x10 + random() % 0x60));
        }
    }
    return s;
}

void BM_ReceiverMixedStream(benchmark::State& state)
{
    const std::vector<std::uint8_t> stream = MixedStream();
    const int chunk = static_cast<int>(state.range(0));
    std::int64_t bytes = 0;
    for (auto _ : state) {
        FrameAssembler assembler;
        ReceiverSink sink;
        for (std::size_t at = 0; at < stream.size(); at += static_cast<std::size_t>(chunk))
            assembler.push(stream.data() + at, std::min(static_cast<std::size_t>(chunk), stream.size() - at), sink);
        benchmark::DoNotOptimize(sink.reply.data());
        bytes += static_cast<std::int64_t>(stream.size());
    }
    state.counters["bytes_per_s"] = benchmark::Counter(static_cast<double>(bytes), benchmark::Counter::kIsRate);
    state.counters["x_line_rate"] =
        benchmark::Counter(static_cast<double>(bytes) / kLineBytesPerSecond, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReceiverMixedStream)->Arg(16)->Arg(256)->Arg(1024);

} // namespace

int main(int argc, char** argv)
{
    std::printf("Line rate at 9600 baud, 11 bits a character: %.1f bytes/s; x_line_rate is the receiver speed as a "
                "multiple of it\n",
                kLineBytesPerSecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
