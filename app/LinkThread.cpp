#include "app/LinkThread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

#include <chrono>
#include <thread>

#include "serial/EventWait.h"
#include "serial/SerialSettings.h"

LinkThread::Parts::Parts(LinkThread::Host& host)
    : serial(handsetLineSettings())
    , link(port, host)
    , commands(link, host)
{
    serial.OnRxChar = [this](QObject*, int count) { link.onBytesReceived(count); };
}

LinkThread::Host::Host(LinkThread& owner, LinkDisplay& display)
    : owner_(owner)
    , display_(display)
{ }

void LinkThread::Host::processMessages()
{
    QCoreApplication::processEvents();
}

void LinkThread::Host::sleep(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void LinkThread::Host::waitForEvents(std::int64_t untilUs)
{
    WaitForEventsUntil(untilUs);
}

// Queued, never waited for: the link thread must not stop for the window.
void LinkThread::Host::toWindow(std::function<void(LinkDisplay&)> call)
{
    QMetaObject::invokeMethod(
        &owner_, [display = &display_, call = std::move(call)] { call(*display); }, Qt::QueuedConnection);
}

void LinkThread::Host::setAckLed(bool on)
{
    toWindow([on](LinkDisplay& d) { d.setAckLed(on); });
}
void LinkThread::Host::setPackLed(bool on)
{
    toWindow([on](LinkDisplay& d) { d.setPackLed(on); });
}
void LinkThread::Host::enableConnectButton()
{
    toWindow([](LinkDisplay& d) { d.enableConnectButton(); });
}
void LinkThread::Host::showMessage(const std::string& text)
{
    toWindow([text](LinkDisplay& d) { d.showMessage(text); });
}
void LinkThread::Host::setButtonEnabled(CommandButton button, bool enabled)
{
    toWindow([button, enabled](LinkDisplay& d) { d.setButtonEnabled(button, enabled); });
}

LinkThread::LinkThread(LinkDisplay& display)
    : host_(std::make_unique<Host>(*this, display))
{
    thread_.setObjectName(QStringLiteral("link"));
    onThread_ = new QObject;
    parts_ = std::make_unique<Parts>(*host_);
    onThread_->moveToThread(&thread_);
    parts_->serial.moveToThread(&thread_);
    thread_.start();
}

LinkThread::~LinkThread()
{
    // The port is let go on its own thread, where it lives.
    QMetaObject::invokeMethod(
        onThread_,
        [this] {
            try {
                parts_->serial.Close();
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

void LinkThread::runJob(const std::function<void(Parts&)>& job)
{
    // A job that starts a job (from inside the link's wait) runs it there and then.
    if (QThread::currentThread() == &thread_) {
        job(*parts_);
        return;
    }
    QEventLoop loop;
    bool done = false;
    std::exception_ptr error;
    QMetaObject::invokeMethod(
        onThread_,
        [&] {
            try {
                job(*parts_);
            } catch (...) {
                error = std::current_exception();
            }
            // Queued behind everything the job asked the window to show.
            QMetaObject::invokeMethod(
                this,
                [&] {
                    done = true;
                    loop.quit();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    if (!done)
        loop.exec();
    if (error)
        std::rethrow_exception(error);
}

void LinkThread::callJob(const std::function<void(Parts&)>& job)
{
    if (QThread::currentThread() == &thread_) {
        job(*parts_);
        return;
    }
    std::exception_ptr error;
    // Never waited for in the other direction, so this cannot deadlock.
    QMetaObject::invokeMethod(
        onThread_,
        [&] {
            try {
                job(*parts_);
            } catch (...) {
                error = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (error)
        std::rethrow_exception(error);
}
