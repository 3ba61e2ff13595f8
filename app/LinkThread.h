// The main window's link on a thread of its own. The serial port, the link
// and the service commands live there, so a busy window (a slow paint, a
// slot that takes a while) never keeps a reply of the handset from being
// taken in and acknowledged. The window hands each job over and handles its
// own events until the job is done, as it did while it ran the link itself.
#pragma once

#include <QObject>
#include <QThread>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "app/LinkDisplay.h"
#include "app/SerialLinkPort.h"
#include "link/CommandButtons.h"
#include "link/LinkHost.h"
#include "link/PhoneLink.h"
#include "link/ServiceCommands.h"
#include "serial/SerialPort.h"

class LinkThread : public QObject {
public:
    // Everything that lives on the link thread. Touch it only inside a job.
    struct Parts;

    explicit LinkThread(LinkDisplay& display);
    ~LinkThread() override;
    LinkThread(const LinkThread&) = delete;
    LinkThread& operator=(const LinkThread&) = delete;

    // Runs job(parts) on the link thread and returns its result; an
    // exception it raises is raised here. Meanwhile this thread handles its
    // events, so the window stays alive and a second job may start from one
    // of them (it then runs inside the first one's wait, as it always did).
    template <typename Job>
    auto run(Job&& job) -> std::invoke_result_t<Job&, Parts&>
    {
        using Result = std::invoke_result_t<Job&, Parts&>;
        if constexpr (std::is_void_v<Result>) {
            runJob([&](Parts& parts) { job(parts); });
        } else {
            std::optional<Result> result;
            runJob([&](Parts& parts) { result.emplace(job(parts)); });
            return std::move(*result);
        }
    }

    // For a job that only looks at or sets the parts (never the line): this
    // thread waits for it without handling its events, which the link thread
    // answers at once, even from inside another job's wait.
    template <typename Job>
    auto call(Job&& job) -> std::invoke_result_t<Job&, Parts&>
    {
        using Result = std::invoke_result_t<Job&, Parts&>;
        if constexpr (std::is_void_v<Result>) {
            callJob([&](Parts& parts) { job(parts); });
        } else {
            std::optional<Result> result;
            callJob([&](Parts& parts) { result.emplace(job(parts)); });
            return std::move(*result);
        }
    }

private:
    class Host;
    void runJob(const std::function<void(Parts&)>& job);
    void callJob(const std::function<void(Parts&)>& job);

    QThread thread_;
    QObject* onThread_ = nullptr; // receives the jobs; lives on the link thread
    std::unique_ptr<Host> host_;
    std::unique_ptr<Parts> parts_;
};

// The link's side of the window, seen from its own thread: waits are waits
// for this thread's events (the port's among them); what the window shows
// goes over to the window's thread.
class LinkThread::Host final : public LinkHost, public CommandButtons {
public:
    Host(LinkThread& owner, LinkDisplay& display);
    void processMessages() override;
    void sleep(int ms) override;
    void waitForEvents(std::int64_t untilUs) override;
    void setAckLed(bool on) override;
    void setPackLed(bool on) override;
    void enableConnectButton() override;
    void showMessage(const std::string& text) override;
    void setButtonEnabled(CommandButton button, bool enabled) override;

private:
    void toWindow(std::function<void(LinkDisplay&)> call);
    LinkThread& owner_;
    LinkDisplay& display_;
};

struct LinkThread::Parts {
    explicit Parts(LinkThread::Host& host);
    SerialPort serial;
    SerialLinkPort port{serial};
    PhoneLink link;
    ServiceCommands commands;
};
