// A named pipe for tests of code that must refuse one. Code that opens it
// would block for good; after a time limit the trap opens the other end, so
// that such a regression fails the test instead of hanging the suite.
#pragma once

#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class TrapFifo {
public:
    explicit TrapFifo(QString path, std::chrono::milliseconds limit = std::chrono::seconds(5));
    ~TrapFifo();
    TrapFifo(const TrapFifo&) = delete;
    TrapFifo& operator=(const TrapFifo&) = delete;

    const QString& Path() const { return path_; }
    bool Made() const { return made_; }
    // True when something blocked on the pipe and had to be released.
    bool Released() const { return released_; }

private:
    QString path_;
    bool made_ = false;
    std::atomic<bool> released_{false};
    bool stop_ = false;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::thread watchdog_;
};
