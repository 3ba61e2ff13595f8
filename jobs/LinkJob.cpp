#include "jobs/LinkJob.h"

LinkJob::LinkJob(QObject* parent)
    : QObject(parent)
    , stop_(std::make_shared<std::atomic<bool>>(false))
{ }
