// The link's own thread and the one job it runs at a time. The serial port,
// the link and the service commands live there, so a busy window (a slow
// paint, a modal box) never keeps a reply of the handset from being taken in
// and acknowledged. A window hands a job over and hears back by signals; it
// never waits for the job. While one job runs, no other starts.
#pragma once

#include <QObject>
#include <QString>
#include <QThread>

#include <functional>
#include <memory>

#include "jobs/JobContext.h"
#include "jobs/LinkJob.h"
#include "link/LinkEvents.h"
#include "link/LinkFailure.h"
#include "link/ServiceCommands.h"
#include "jobs/WorkerLine.h"
#include "serial/DevicePath.h"

class LinkObserver;

// The data of a window that a job reads or writes, so that the window keeps
// its hands off it meanwhile.
enum class JobData {
    None, // a service command, a backup
    Phonebook,
    Logo,
};

class LinkWorker : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void(JobContext&)>;
    // Makes the line the link's thread talks on; called once, on this thread.
    using LineMaker = std::function<std::unique_ptr<WorkerLine>()>;

    // On the serial port; resolver names the device of each port number.
    explicit LinkWorker(DeviceResolver resolver, QObject* parent = nullptr);
    explicit LinkWorker(const LineMaker& makeLine, QObject* parent = nullptr);
    // Asks a running job to stop, waits for it and lets the port go.
    ~LinkWorker() override;
    LinkWorker(const LinkWorker&) = delete;
    LinkWorker& operator=(const LinkWorker&) = delete;

    // Runs work on the link's thread, unless a job runs: then nothing starts
    // and the result is null. owner is the window the job reports to: what
    // the work posts is dropped once it is gone. The job is the worker's
    // and goes away after its finished.
    LinkJob* start(QObject* owner, JobData data, Work work);
    bool isBusy() const { return running_ != nullptr; }
    JobData runningData() const { return runningData_; }
    LinkJob* runningJob() const { return running_; }

    // The port the next job opens: COMn, or 0 for the device the resolver
    // names. Refused while a job runs (the job has it open).
    void setPortNumber(int number);
    int portNumber() const { return portNumber_; }
    // The frame log of the jobs that start from now on; null for none. Not owned.
    void setFrameLog(LinkObserver* log) { frameLog_ = log; }

signals:
    void busyChanged(bool busy);
    void lightChanged(LinkLight light, bool lit);
    // What a service command read, as it comes.
    void handsetRead(const HandsetReadings& readings);
    // A job could not reach the handset.
    void linkFailed(const LinkFailure& failure);
    // A job's work raised; it ended there.
    void errorRaised(const QString& message);

private:
    struct Parts;
    class Lights;
    void finish(LinkJob* job, const QString& error);

    QThread thread_;
    QObject* onThread_ = nullptr; // receives the work; lives on the link's thread
    std::unique_ptr<Lights> lights_;
    std::unique_ptr<Parts> parts_;
    LinkJob* running_ = nullptr;
    JobData runningData_ = JobData::None;
    int portNumber_ = 1;
    LinkObserver* frameLog_ = nullptr;
};
