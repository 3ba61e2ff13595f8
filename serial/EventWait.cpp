#include "serial/EventWait.h"

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {
std::int64_t steadyNowUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

void waitForEventsUntil(std::int64_t untilUs)
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread());
    if (!dispatcher) {
        const std::int64_t left = untilUs - steadyNowUs();
        if (left > 0)
            std::this_thread::sleep_for(std::chrono::microseconds(std::min<std::int64_t>(left, 1000)));
        return;
    }
    if (dispatcher->processEvents(QEventLoop::AllEvents))
        return;
    const std::int64_t left = untilUs - steadyNowUs();
    if (left <= 0)
        return;
    QTimer deadline;
    deadline.setTimerType(Qt::PreciseTimer);
    deadline.setSingleShot(true);
    deadline.start(static_cast<int>(std::min<std::int64_t>((left + 999) / 1000, 1'000'000)));
    dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
