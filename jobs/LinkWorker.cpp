#include "jobs/LinkWorker.h"

#include <QMetaObject>
#include <QPointer>

#include <exception>
#include <utility>

#include "jobs/SerialLine.h"
#include "link/PhoneLink.h"
#include "serial/SerialPort.h"
#include "serial/SerialPortError.h"
#include "serial/SerialSettings.h"

// The lights go over to whoever shows them; signals of an object that lives
// on the window's thread reach it there.
class LinkWorker::Lights final : public LinkEvents {
public:
    explicit Lights(LinkWorker& worker)
        : worker_(worker)
    { }
    void lightChanged(LinkLight light, bool lit) override { emit worker_.lightChanged(light, lit); }

private:
    LinkWorker& worker_;
};

// Everything that lives on the link's thread. Touched only there.
struct LinkWorker::Parts {
    Parts(std::unique_ptr<WorkerLine> made, LinkEvents& lights)
        : line(std::move(made))
        , link(*line, *line, &lights)
        , commands(link)
    { }
    std::unique_ptr<WorkerLine> line;
    PhoneLink link;
    ServiceCommands commands;
};

namespace {

// The serial line with the port it owns; the port lives on the link's thread.
class OwnSerialLine final : public WorkerLine {
public:
    explicit OwnSerialLine(DeviceResolver resolver)
        : serial_(SerialSettings{}, std::move(resolver))
        , line_(serial_)
    { }
    SerialPort& serial() { return serial_; }

    void open() override { line_.open(); }
    void close() override { line_.close(); }
    bool isOpen() const override { return line_.isOpen(); }
    int portNumber() const override { return line_.portNumber(); }
    void setPortNumber(int number) override { line_.setPortNumber(number); }
    std::string devicePath() const override { return line_.devicePath(); }
    int write(const std::uint8_t* buffer, int count) override { return line_.write(buffer, count); }
    int read(std::uint8_t* buffer, int count) override { return line_.read(buffer, count); }
    void waitForBytes(std::int64_t untilUs) override { line_.waitForBytes(untilUs); }

private:
    SerialPort serial_;
    SerialLine line_;
};

} // namespace

LinkWorker::LinkWorker(DeviceResolver resolver, QObject* parent)
    : LinkWorker(
        [this, &resolver] {
            auto line = std::make_unique<OwnSerialLine>(std::move(resolver));
            line->serial().moveToThread(&thread_);
            return line;
        },
        parent)
{ }

LinkWorker::LinkWorker(const LineMaker& makeLine, QObject* parent)
    : QObject(parent)
    , lights_(std::make_unique<Lights>(*this))
{
    qRegisterMetaType<LinkFailure>("LinkFailure");
    qRegisterMetaType<LinkLight>("LinkLight");
    qRegisterMetaType<HandsetReadings>("HandsetReadings");
    thread_.setObjectName(QStringLiteral("link"));
    onThread_ = new QObject;
    parts_ = std::make_unique<Parts>(makeLine(), *lights_);
    onThread_->moveToThread(&thread_);
    thread_.start();
}

LinkWorker::~LinkWorker()
{
    if (running_)
        running_->requestStop();
    // Queued behind the running job: the port is let go on its own thread, where it lives.
    QMetaObject::invokeMethod(
        onThread_,
        [this] {
            try {
                parts_->link.closePort();
            } catch (const std::exception&) {
                // Going away: the device is released all the same.
            }
            parts_.reset();
        },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
    delete onThread_;
}

void LinkWorker::setPortNumber(int number)
{
    if (number == portNumber_)
        return;
    if (running_)
        throw SerialPortError(serialtext::kPortOpen);
    portNumber_ = number;
}

LinkJob* LinkWorker::start(QObject* owner, JobData data, Work work)
{
    if (running_)
        return nullptr;
    auto* job = new LinkJob(this);
    running_ = job;
    runningData_ = data;
    auto guard = std::make_shared<const QPointer<QObject>>(owner);
    auto run = [this, job, guard, stop = job->stopFlag(), work = std::move(work), port = portNumber_,
                log = frameLog_] {
        QString error;
        try {
            parts_->line->setPortNumber(port);
            parts_->link.setObserver(log);
            JobContext context(parts_->link, parts_->commands, *this, *job, guard, stop);
            work(context);
        } catch (const std::exception& raised) {
            error = QString::fromUtf8(raised.what());
            // A port error leaves the port free for the next job.
            try {
                parts_->link.closePort();
            } catch (const std::exception&) {
                // The error that ended the job is the one worth telling.
            }
        }
        // Queued behind everything the work sent the window.
        QMetaObject::invokeMethod(
            this, [this, job, error] { finish(job, error); }, Qt::QueuedConnection);
    };
    // Handed over once the handler that started the job has returned, so
    // that whatever it connects to the job hears all of it.
    QMetaObject::invokeMethod(
        this, [this, run = std::move(run)]() mutable { QMetaObject::invokeMethod(onThread_, std::move(run), Qt::QueuedConnection); },
        Qt::QueuedConnection);
    emit busyChanged(true);
    return job;
}

// The job is over: the next may start as soon as its window hears so.
void LinkWorker::finish(LinkJob* job, const QString& error)
{
    running_ = nullptr;
    runningData_ = JobData::None;
    if (!error.isEmpty()) {
        emit job->failed(error);
        emit errorRaised(error);
    }
    // Free before the window hears the end: it may start the next job then.
    emit busyChanged(false);
    emit job->finished();
    job->deleteLater();
}
