#include "jobs/JobContext.h"

#include <QMetaObject>

#include "jobs/LinkJob.h"
#include "jobs/LinkWorker.h"

JobContext::JobContext(PhoneLink& link, ServiceCommands& commands, LinkWorker& worker, LinkJob& job,
                       std::shared_ptr<const QPointer<QObject>> owner, std::shared_ptr<std::atomic<bool>> stop)
    : link_(link)
    , commands_(commands)
    , worker_(worker)
    , job_(job)
    , owner_(std::move(owner))
    , stop_(std::move(stop))
{ }

void JobContext::progress(int done, int total)
{
    emit job_.progress(done, total);
}

void JobContext::tell(const LinkFailure& failure)
{
    emit worker_.linkFailed(failure);
}

void JobContext::report(const CommandResult& result)
{
    const HandsetReadings& r = result.readings;
    if (r.versionText || r.serialNumber || r.netMonitorOn)
        emit worker_.handsetRead(r);
    if (result.failure)
        tell(*result.failure);
}

void JobContext::post(std::function<void()> toWindow)
{
    // The guard is only looked at on the window's thread, where the owner lives and dies.
    QMetaObject::invokeMethod(
        &job_,
        [owner = owner_, toWindow = std::move(toWindow)] {
            if (*owner)
                toWindow();
        },
        Qt::QueuedConnection);
}
