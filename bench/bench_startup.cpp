// Cold start-up of the program to its main window's first paint, and the
// peak memory of that process, next to a minimal Qt Widgets program measured
// in the same run. The bench runs itself again as the child in either mode.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/AppWindows.h"
#include "widgets/ErrorReport.h"
#include "widgets/WindowStateStore.h"
#include "app/MainWindow.h"

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

// Tells the parent on the first paint and ends the child's event loop.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            std::fputs("painted\n", stdout);
            std::fflush(stdout);
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
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
    WindowPlacement::SetStoreOverride(store.filePath("settings.ini"));
    CreateAppWindows();
    FirstPaint watcher;
    mainWindow->installEventFilter(&watcher);
    mainWindow->show();
    const int result = app.exec();
    DestroyAppWindows();
    return result;
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
    std::string line;
    char c = 0;
    while (read(out[0], &c, 1) == 1 && c != '\n')
        line += c;
    if (line == "painted")
        run.toPaintMs = NowMs() - start;
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.maxRssKb = usage.ru_maxrss;
    return run;
}

void StartUp(benchmark::State& state, const char* mode)
{
    double rssKb = 0;
    for (auto _ : state) {
        const ChildRun run = RunChild(mode);
        if (run.toPaintMs < 0) {
            state.SkipWithError("the child never painted its window");
            return;
        }
        state.SetIterationTime(run.toPaintMs / 1000.0);
        rssKb = std::max(rssKb, static_cast<double>(run.maxRssKb));
    }
    state.counters["peak_rss_MiB"] = rssKb / 1024.0;
}

void BM_StartUpProgram(benchmark::State& state)
{
    StartUp(state, kFullMode);
}
void BM_StartUpMinimalQtWidgets(benchmark::State& state)
{
    StartUp(state, kMinimalMode);
}

// Both in one run, so that both see the same machine load; the minimal
// program is this same binary, so loading costs the same for both.
BENCHMARK(BM_StartUpMinimalQtWidgets)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartUpProgram)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

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
