// Every handset job of the main window against m2bus-sim on the bus model
// (one half-duplex wire at line rate) with a 20 ms turnaround, on a clean
// line and with noise spoiling one reply in 10 or in 3 (for a handset that
// answers a repeated sequence byte again and one that only acknowledges it):
// whether it succeeded, the wall time next to the least time the line
// allows, their ratio, and the collisions the simulator counted.
//
// The least time of one exchange is its four frames on the wire, each byte
// 1.146 ms (11 bits at 9600 baud): our request, the handset's
// acknowledgement, its reply and our acknowledgement of the reply, plus the
// handset's turnaround once (it sends acknowledgement and reply back to
// back). The frame sizes come from the simulator's own handset model, fed
// the same requests.
//
// The phonebook window's "Write All to Phone" and "Write changes to Phone"
// (3 of 100 records edited) run as the user runs them, serial number read and
// reset included: "Write changes" once with the read that lets it know the
// handset left out of the time (done before the clock starts), once with it.
#include <QApplication>
#include <QLabel>
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/AppFixture.h"
#include "phonebook/ui/PhonebookWindow.h"
#include "phonebook/PhonebookTransfer.h"
#include "logo/LogoTransfer.h"
#include "link/Frame.h"
#include "link/Messages.h"
#include "sim/HandsetModel.h"

namespace {

constexpr double kByteMs = 11.0 * 1000.0 / 9600.0;
constexpr double kTurnaroundMs = 20.0;

using Requests = std::vector<std::vector<std::uint8_t>>;

std::vector<std::uint8_t> Message(const LinkMessage& m, int index = 0)
{
    std::vector<std::uint8_t> out(static_cast<std::size_t>(m.length));
    const std::vector<std::uint8_t> tail(256, 0x00);
    composeMessage(m, static_cast<std::uint8_t>(index), tail.data(), out.data());
    return out;
}

Requests Each(const LinkMessage& m, int count)
{
    Requests out;
    for (int i = 0; i < count; ++i)
        out.push_back(Message(m, i));
    return out;
}

// A line condition: the simulator's options, and every how many replies
// noise spoils one (0: none).
struct LineCase {
    const char* name;
    std::vector<std::string> simArgs;
    unsigned noiseEvery;
};

// Least line time of the requests, one exchange each, on the handset model.
// A reply spoilt by noise forces one more exchange: the request again, its
// acknowledgement and the reply (the simulator spoils every Kth reply it
// sends, counted over the whole run).
double LeastLineMs(const Requests& requests, unsigned noiseEvery)
{
    handset::HandsetModel model;
    double ms = 0;
    std::uint8_t sequence = 0;
    unsigned replies = 0;
    for (const auto& message : requests) {
        for (bool spoilt = true; spoilt;) {
            std::array<std::uint8_t, frame::kBufferSize> request{};
            const int length =
                frame::buildDataFrame(message.data(), static_cast<int>(message.size()), sequence++, request.data());
            std::size_t handsetBytes = 0;
            for (const handset::OutFrame& out : model.fromPc(request.data(), static_cast<std::size_t>(length)))
                handsetBytes += out.bytes.size();
            ++replies;
            spoilt = noiseEvery != 0 && replies % noiseEvery == 0;
            // A spoilt reply is not acknowledged.
            ms += static_cast<double>(static_cast<std::size_t>(length) + handsetBytes + (spoilt ? 0 : frame::kAckLength))
                    * kByteMs
                + kTurnaroundMs;
        }
    }
    return ms;
}

using AppJob = std::function<bool(AppUnderTest&)>;

// Runs `job` once against a fresh simulator on the bus and reports; what
// `prepare` does comes before the clock starts.
void RunOnBus(benchmark::State& state, const std::string& name, const LineCase& line, const Requests& requests,
              const AppJob& job, const AppJob& prepare)
{
    const double leastMs = LeastLineMs(requests, line.noiseEvery);
    for (auto _ : state) {
        std::vector<std::string> args{"--bus", "--turnaround", "20"};
        args.insert(args.end(), line.simArgs.begin(), line.simArgs.end());
        AppUnderTest app(args);
        const bool prepared = !prepare || prepare(app);
        const auto start = std::chrono::steady_clock::now();
        const bool ok = prepared && job(app) && app.prompts.Notices.isEmpty();
        const double wallMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        const std::uint64_t collisions = app.sim.Collisions().value_or(0);
        state.SetIterationTime(wallMs / 1000.0);
        state.counters["wall_ms"] = wallMs;
        state.counters["least_ms"] = leastMs;
        state.counters["ratio"] = wallMs / leastMs;
        state.counters["collisions"] = static_cast<double>(collisions);
        state.counters["failed"] = ok ? 0 : 1;
        std::printf("%-22s %-22s %s  wall %8.1f ms  least line time %8.1f ms  ratio %.3f  collisions %llu\n",
                    name.c_str(), line.name, ok ? "ok    " : "FAILED", wallMs, leastMs, wallMs / leastMs,
                    static_cast<unsigned long long>(collisions));
    }
}

std::string BenchName(int location)
{
    return "Bench " + std::to_string(location);
}
std::string BenchNumber(int location)
{
    return "+7" + std::to_string(9000000 + location);
}

struct Job {
    const char* name;
    Requests requests;
    AppJob run;
    AppJob prepare = {};
};

Requests Joined(std::initializer_list<Requests> parts)
{
    Requests out;
    for (const Requests& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

constexpr std::array<int, 3> kEditedLocations{4, 49, 94};

bool ReadInWindow(AppUnderTest& app)
{
    PhonebookWindow& form = app.Main().phonebookWindow();
    form.readFromPhone();
    return app.WaitUntilIdle() && form.records().handsetKnown();
}

// Three records edited as the user edits them, then "Write changes to Phone";
// done when none of them is marked any more.
bool EditThreeAndWriteChanges(AppUnderTest& app)
{
    PhonebookWindow& form = app.Main().phonebookWindow();
    for (int location : kEditedLocations)
        form.records().setRow(location, {QString::fromStdString(BenchName(location)),
                                         QString::fromStdString(BenchNumber(location))});
    app.prompts.Answers = {true, true};
    form.writeChangesToPhone();
    bool written = app.WaitUntilIdle();
    for (int location : kEditedLocations)
        written = written && !form.records().changed(location);
    return written;
}

std::vector<Job> Jobs()
{
    return {
        {"Connect",
         {Message(messages::kVersionQuery), Message(messages::kSerialNumberRead), Message(messages::kNetMonitorRead)},
         [](AppUnderTest& app) {
             app.Main().connectToPhone();
             return app.WaitUntilIdle() && !app.Main().findChild<QLabel*>("serialNumberLabel")->text().isEmpty();
         }},
        {"NetMonitor On",
         {Message(messages::kNetMonitorOn), Message(messages::kNetMonitorRead)},
         [](AppUnderTest& app) {
             app.Main().switchNetMonitorOn();
             return app.WaitUntilIdle();
         }},
        {"NetMonitor Off",
         {Message(messages::kNetMonitorOff), Message(messages::kNetMonitorRead)},
         [](AppUnderTest& app) {
             app.Main().switchNetMonitorOff();
             return app.WaitUntilIdle();
         }},
        {"Software reset",
         {Message(messages::kSoftwareReset)},
         [](AppUnderTest& app) {
             app.Main().resetHandset();
             return app.WaitUntilIdle();
         }},
        {"Phonebook read (100)", Each(messages::kPhonebookRead, 100),
         [](AppUnderTest& app) {
             bool all = true;
             return app.RunOnLink([&all](JobContext& job) {
                 for (int location = 0; location < 100 && all; ++location)
                     all = static_cast<bool>(readRecord(job.link(), location));
             }) && all;
         }},
        {"Phonebook write (100)", Each(messages::kPhonebookWrite, 100),
         [](AppUnderTest& app) {
             bool all = true;
             return app.RunOnLink([&all](JobContext& job) {
                 for (int location = 0; location < 100 && all; ++location)
                     all = static_cast<bool>(writeRecord(job.link(), location, {BenchName(location), BenchNumber(location)}));
             }) && all;
         }},
        {"Write All (window)",
         Joined({Each(messages::kPhonebookWrite, 100), {Message(messages::kSerialNumberRead)},
                 {Message(messages::kSoftwareReset)}}),
         [](AppUnderTest& app) {
             app.prompts.Answers = {true, true};
             app.Main().phonebookWindow().writeAllToPhone();
             return app.WaitUntilIdle() && app.Main().phonebookWindow().records().handsetKnown();
         },
         [](AppUnderTest& app) {
             for (int location = 0; location < PhonebookWindow::kRecordRows; ++location)
                 app.Main().phonebookWindow().records().setRow(
                     location, {QString::fromStdString(BenchName(location + 1)),
                                QString::fromStdString(BenchNumber(location + 1))});
             return true;
         }},
        {"Write changes 3/100",
         Joined({{Message(messages::kSerialNumberRead)}, Each(messages::kPhonebookWrite, 3),
                 {Message(messages::kSoftwareReset)}}),
         EditThreeAndWriteChanges, ReadInWindow},
        {"Read + changes 3/100",
         Joined({Each(messages::kPhonebookRead, 100), {Message(messages::kSerialNumberRead)},
                 {Message(messages::kSerialNumberRead)}, Each(messages::kPhonebookWrite, 3),
                 {Message(messages::kSoftwareReset)}}),
         [](AppUnderTest& app) { return ReadInWindow(app) && EditThreeAndWriteChanges(app); }},
        {"Logo read (6)", Each(messages::kLogoRead, 6),
         [](AppUnderTest& app) {
             bool all = true;
             return app.RunOnLink([&all](JobContext& job) {
                 for (int block = 0; block < 6 && all; ++block)
                     all = static_cast<bool>(readLogoBlock(job.link(), block));
             }) && all;
         }},
        {"Logo write (6)", Each(messages::kLogoWrite, 6),
         [](AppUnderTest& app) {
             bool all = true;
             return app.RunOnLink([&all](JobContext& job) {
                 for (int block = 0; block < 6 && all; ++block) {
                     LogoBlock data{};
                     data.fill(static_cast<std::uint8_t>(0x11 * block));
                     all = static_cast<bool>(writeLogoBlock(job.link(), block, data));
                 }
             }) && all;
         }},
    };
}

std::vector<LineCase> LineCases()
{
    return {
        {"clean", {}, 0},
        {"noise 1/10, ack only", {"--noise-every", "10", "--duplicates", "ack"}, 10},
        {"noise 1/10, answer", {"--noise-every", "10", "--duplicates", "answer"}, 10},
        {"noise 1/3, ack only", {"--noise-every", "3", "--duplicates", "ack"}, 3},
        {"noise 1/3, answer", {"--noise-every", "3", "--duplicates", "answer"}, 3},
    };
}

void RegisterAll()
{
    for (const LineCase& line : LineCases()) {
        for (const Job& job : Jobs()) {
            const std::string name = std::string(job.name) + " / " + line.name;
            benchmark::RegisterBenchmark(name.c_str(),
                                         [job, line](benchmark::State& state) {
                                             RunOnBus(state, job.name, line, job.requests, job.run, job.prepare);
                                         })
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
