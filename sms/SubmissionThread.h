// The SMS window's gateway submissions on a thread of their own, so that the
// window's thread never waits for a gateway. The HTTP client lives there for
// the life of this object and keeps its session (cookies, kept connections,
// accepted credentials) from one submission to the next.
#pragma once

#include "sms/HttpClient.h"
#include "sms/SmsSubmission.h"

#include <QObject>
#include <QThread>

#include <optional>
#include <stop_token>
#include <string>

class OperatorValueList;

class SubmissionThread : public QObject {
    Q_OBJECT
public:
    // prompt asks the user for credentials when a gateway demands them; it
    // runs on this object's thread while the submission waits for its answer.
    explicit SubmissionThread(HttpCredentialsPrompt prompt, QObject* parent = nullptr);
    // Cancels a running submission and waits until it has ended.
    ~SubmissionThread() override;
    SubmissionThread(const SubmissionThread&) = delete;
    SubmissionThread& operator=(const SubmissionThread&) = delete;

    // Starts submitForm() with copies of its arguments and returns at once;
    // finished() follows. Throws std::logic_error while one runs.
    void submit(const HttpRequest& base, const OperatorValueList& profile, std::string phone, std::string message);
    // Ends the running submission with the cancelled error; nothing when none runs.
    void cancel();
    bool isRunning() const { return running_; }

signals:
    // On this object's thread, once the submission has ended.
    void finished(const SubmissionOutcome& outcome);

private:
    // On the submission thread: the prompt's answer, or nothing once cancel
    // is requested, so that a closing window never waits for the user.
    std::optional<HttpCredentials> askOnOwnThread(const std::string& title, const HttpCredentials& current,
                                                  std::stop_token cancel);

    const HttpCredentialsPrompt prompt_;
    HttpClient http_; // used on the submission thread only
    QThread thread_;
    QObject* onThread_ = nullptr; // receives the submissions; lives on thread_
    std::stop_source stop_; // of the latest submission
    bool running_ = false;
};
