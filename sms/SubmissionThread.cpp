#include "sms/SubmissionThread.h"

#include "sms/OperatorValueList.h"

#include <QMetaObject>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <utility>

SubmissionThread::SubmissionThread(HttpCredentialsPrompt prompt, QObject* parent)
    : QObject(parent)
    , prompt_(std::move(prompt))
{
    thread_.setObjectName(QStringLiteral("gateway"));
    onThread_ = new QObject;
    onThread_->moveToThread(&thread_);
    thread_.start();
}

SubmissionThread::~SubmissionThread()
{
    // The request ends at its next check and the wait for a prompt at once;
    // a submission that has not started yet sends nothing.
    stop_.request_stop();
    thread_.quit();
    thread_.wait();
    delete onThread_;
}

void SubmissionThread::submit(const HttpRequest& base, const OperatorValueList& profile, std::string phone,
                              std::string message)
{
    if (running_)
        throw std::logic_error("A request is already running.");
    running_ = true;
    stop_ = std::stop_source();
    QMetaObject::invokeMethod(
        onThread_,
        [this, base, profile, phone = std::move(phone), message = std::move(message), cancel = stop_.get_token()] {
            if (prompt_)
                http_.setCredentialsPrompt([this, cancel](const std::string& title, const HttpCredentials& current) {
                    return askOnOwnThread(title, current, cancel);
                });
            SubmissionOutcome outcome;
            try {
                outcome = submitForm(http_, base, profile, phone, message, cancel);
            } catch (...) {
                // Belongs to the window that asked, like the request's own errors.
                outcome.error = std::current_exception();
            }
            QMetaObject::invokeMethod(
                this,
                [this, outcome = std::move(outcome)] {
                    running_ = false;
                    emit finished(outcome);
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void SubmissionThread::cancel()
{
    if (running_)
        stop_.request_stop();
}

std::optional<HttpCredentials> SubmissionThread::askOnOwnThread(const std::string& title,
                                                                const HttpCredentials& current,
                                                                std::stop_token cancel)
{
    // Shared, so that an answer given after the wait was given up has somewhere to go.
    struct Answer {
        std::mutex mutex;
        std::condition_variable_any given;
        bool ready = false;
        std::optional<HttpCredentials> credentials;
    };
    const auto answer = std::make_shared<Answer>();
    QMetaObject::invokeMethod(
        this,
        [answer, prompt = prompt_, title, current, cancel] {
            // A send cancelled before the prompt came up asks nothing.
            std::optional<HttpCredentials> typed;
            if (!cancel.stop_requested())
                typed = prompt(title, current);
            {
                const std::lock_guard lock(answer->mutex);
                answer->credentials = std::move(typed);
                answer->ready = true;
            }
            answer->given.notify_one();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(answer->mutex);
    if (!answer->given.wait(lock, cancel, [&] { return answer->ready; }))
        return std::nullopt;
    return std::move(answer->credentials);
}
