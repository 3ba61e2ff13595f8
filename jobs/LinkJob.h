// One job for the handset, as the window that started it hears of it: its
// progress and its end, by signals on the window's thread. The work itself
// runs on the link's thread (see LinkWorker).
#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class LinkJob : public QObject {
    Q_OBJECT
public:
    explicit LinkJob(QObject* parent = nullptr);

    // Asks the work to stop at its next stopping point, between two
    // exchanges; work that must not stop half-way goes on to its end.
    void requestStop() { stop_->store(true); }
    bool stopRequested() const { return stop_->load(); }
    // Shared with the work on the link's thread.
    std::shared_ptr<std::atomic<bool>> stopFlag() const { return stop_; }

signals:
    void progress(int done, int total);
    // The work is over, whether it got through or told a failure on the way.
    void finished();
    // The work raised (a port error, a file that could not be written); it
    // ended there, and finished follows.
    void failed(const QString& message);

private:
    std::shared_ptr<std::atomic<bool>> stop_;
};
