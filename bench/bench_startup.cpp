// Cold start-up of the program to its main window's first paint, and the
// peak memory of that process, next to a minimal Qt Widgets program measured
// in the same run. The program makes its hidden windows after that paint;
// all_windows_ms is the time until they are made too. The bench runs itself
// again as the child in either mode.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QTimer>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "files/SettingsStore.h"
#include "widgets/ErrorReport.h"
#include "widgets/M2BusApplication.h"
#include "app/Translations.h"

#if defined(__unix__)
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
extern char** environ;
#endif

namespace {

constexpr const char* kFullMode = "--child-program";
constexpr const char* kMinimalMode = "--child-minimal";

// Tells the parent on the first paint and once the work that start-up left
// for after it is done, then ends the child's event loop.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            std::fputs("painted\n", stdout);
            std::fflush(stdout);
            QTimer::singleShot(0, [] {
                std::fputs("ready\n", stdout);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

int RunProgram(int argc, char** argv)
{
    M2BusApplication app(argc, argv);
    // Settings go to a throw-away store, not the user's.
    QTemporaryDir store;
    const SettingsStore settings = SettingsStore::inFile(store.filePath("settings.ini"));
    // As main() starts the program.
    installTranslations();
    MainWindow window(settings);
    FirstPaint watcher;
    window.installEventFilter(&watcher);
    window.show();
    return app.exec();
}

int RunMinimal(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QPushButton("OK"));
    FirstPaint watcher;
    window.installEventFilter(&watcher);
    window.show();
    return app.exec();
}

#if defined(__unix__)

double NowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct ChildRun {
    double toPaintMs = -1;
    double toReadyMs = -1;
    long maxRssKb = 0;
};

// Starts this program in the given mode and waits for its "painted" line,
// then for its end; the time covers exec, loading and start-up.
ChildRun RunChild(const char* mode)
{
    ChildRun run;
    int out[2];
    if (pipe(out) != 0)
        return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string self = "/proc/self/exe";
    char* args[] = {self.data(), const_cast<char*>(mode), nullptr};
    const double start = NowMs();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, "/proc/self/exe", &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        return run;
    }
    const auto nextLine = [&out] {
        std::string line;
        char c = 0;
        while (read(out[0], &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    };
    if (nextLine() == "painted")
        run.toPaintMs = NowMs() - start;
    if (nextLine() == "ready")
        run.toReadyMs = NowMs() - start;
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.maxRssKb = usage.ru_maxrss;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        run.toReadyMs = -1;
    return run;
}

void StartUp(benchmark::State& state, const char* mode)
{
    double rssKb = 0;
    double readyMs = 0;
    for (auto _ : state) {
        const ChildRun run = RunChild(mode);
        if (run.toPaintMs < 0 || run.toReadyMs < 0) {
            state.SkipWithError("the child never painted its window, or failed to make the others");
            return;
        }
        state.SetIterationTime(run.toPaintMs / 1000.0);
        rssKb = std::max(rssKb, static_cast<double>(run.maxRssKb));
        readyMs += run.toReadyMs;
    }
    state.counters["peak_rss_MiB"] = rssKb / 1024.0;
    state.counters["all_windows_ms"] = readyMs / static_cast<double>(state.iterations());
}

void BM_StartUpProgram(benchmark::State& state)
{
    StartUp(state, kFullMode);
}
void BM_StartUpMinimalQtWidgets(benchmark::State& state)
{
    StartUp(state, kMinimalMode);
}

// Both children in turn, so that a change of load on a shared machine
// falls on both alike: ratio is the program's time to paint over the
// minimal program's.
void BM_StartUpRatio(benchmark::State& state)
{
    double program = 0;
    double minimal = 0;
    for (auto _ : state) {
        const ChildRun small = RunChild(kMinimalMode);
        const ChildRun full = RunChild(kFullMode);
        if (small.toPaintMs < 0 || full.toPaintMs < 0) {
            state.SkipWithError("a child never painted its window");
            return;
        }
        minimal += small.toPaintMs;
        program += full.toPaintMs;
        state.SetIterationTime((small.toPaintMs + full.toPaintMs) / 1000.0);
    }
    state.counters["ratio"] = program / minimal;
}

// With --benchmark_repetitions, the least of the repetitions is the figure
// that other load on a shared machine disturbs least.
double Least(const std::vector<double>& values)
{
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}
// Both in one run, so that both see the same machine load; the minimal
// program is this same binary, so loading costs the same for both.
BENCHMARK(BM_StartUpMinimalQtWidgets)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Least);
BENCHMARK(BM_StartUpProgram)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Least);
BENCHMARK(BM_StartUpRatio)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

#endif

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && std::strcmp(argv[1], kFullMode) == 0)
        return RunProgram(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], kMinimalMode) == 0)
        return RunMinimal(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
