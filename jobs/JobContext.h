// What a job's work has on the link's thread: the handset's link and
// commands, and the ways back to the window's thread: progress, failures to
// tell, and results for the window. Everything sent back arrives there in
// the order it was sent, before the job's finished.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include <QPointer>

#include "link/LinkFailure.h"

class LinkJob;
class LinkWorker;
class PhoneLink;
class ServiceCommands;
struct CommandResult;

class JobContext {
public:
    JobContext(PhoneLink& link, ServiceCommands& commands, LinkWorker& worker, LinkJob& job, std::shared_ptr<const QPointer<QObject>> owner,
               std::shared_ptr<std::atomic<bool>> stop);

    PhoneLink& link() { return link_; }
    ServiceCommands& commands() { return commands_; }

    // The window asked the job to stop: work that may stop half-way does so
    // between two exchanges.
    bool stopRequested() const { return stop_->load(); }
    void progress(int done, int total);
    // The handset could not be reached: the main window says so.
    void tell(const LinkFailure& failure);
    // What a service command read goes to the main window, and its failure is told.
    void report(const CommandResult& result);
    // Runs toWindow on the window's thread, unless the window that started
    // the job is gone by then.
    void post(std::function<void()> toWindow);

private:
    PhoneLink& link_;
    ServiceCommands& commands_;
    LinkWorker& worker_;
    LinkJob& job_;
    std::shared_ptr<const QPointer<QObject>> owner_; // read on the window's thread only
    std::shared_ptr<std::atomic<bool>> stop_;
};
