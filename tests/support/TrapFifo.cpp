#include "support/TrapFifo.h"

#include <QFile>

#ifdef __linux__
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

TrapFifo::TrapFifo(QString path, std::chrono::milliseconds limit)
    : path_(std::move(path))
{
#ifdef __linux__
    const QByteArray native = QFile::encodeName(path_);
    made_ = ::mkfifo(native.constData(), 0600) == 0;
    if (!made_)
        return;
    watchdog_ = std::thread([this, native, limit] {
        std::unique_lock lock(mutex_);
        while (!wake_.wait_for(lock, limit, [this] { return stop_; })) {
            released_ = true;
            // Opening both ends wakes a blocked open on either side; closing
            // again gives a reader end of file and a writer a broken pipe.
            const int fd = ::open(native.constData(), O_RDWR | O_NONBLOCK);
            if (fd >= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                ::close(fd);
            }
        }
    });
#else
    (void)limit;
#endif
}

TrapFifo::~TrapFifo()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (watchdog_.joinable())
        watchdog_.join();
    if (made_)
        QFile::remove(path_);
}
