#include "support/ModelledWorker.h"

#include <QTest>

#include <condition_variable>
#include <mutex>

#include "jobs/LinkFailureText.h"

namespace {

handset::LineSettings DefaultSettings()
{
    handset::LineSettings settings;
    settings.pace = true;
    settings.turnaroundMs = 20.0;
    return settings;
}

// Passes the program's frames on only while the handset still listens.
class Pullable final : public FarEnd {
public:
    explicit Pullable(FarEnd& inner)
        : inner_(inner)
    { }
    void OnWrite(VirtualLine& line, const std::vector<std::uint8_t>& bytes, std::int64_t atUs) override
    {
        // A request, not our acknowledgement.
        if (bytes.size() > 5) {
            std::unique_lock lock(mutex);
            if (holdAt >= 0 && holdAt-- == 0) {
                held = true;
                wake.notify_all();
                wake.wait(lock, [this] { return !held; });
            }
        }
        if (bytes.size() > 5) {
            const int request = requests++;
            if (request >= ignoreFrom && request < ignoreFrom + ignoreCount)
                return;
        }
        if (left == 0)
            return;
        if (left > 0 && bytes.size() > 5)
            --left;
        inner_.OnWrite(line, bytes, atUs);
    }
    std::vector<TimedByte> TakeArrived(std::int64_t nowUs) override { return inner_.TakeArrived(nowUs); }
    std::int64_t NextDueUs() const override { return inner_.NextDueUs(); }

    int left = -1;
    int requests = 0;
    int ignoreFrom = 0;
    int ignoreCount = 0;
    std::mutex mutex;
    std::condition_variable wake;
    int holdAt = -1;
    bool held = false;

private:
    FarEnd& inner_;
};

} // namespace

class ModelledWorker::PhoneLine final : public VirtualLine {
public:
    explicit PhoneLine(ModelledHandset& handset)
        : pullable(handset)
    {
        SetEcho(false); // the line model echoes
        SetFarEnd(&pullable);
    }
    Pullable pullable;
};

ModelledWorker::ModelledWorker()
    : ModelledWorker(DefaultSettings())
{ }

ModelledWorker::ModelledWorker(const handset::LineSettings& settings)
    : handset(std::make_unique<ModelledHandset>(settings))
{
    worker = std::make_unique<LinkWorker>([this] {
        auto made = std::make_unique<PhoneLine>(*handset);
        line = made.get();
        return made;
    });
    QObject::connect(worker.get(), &LinkWorker::busyChanged, &gate, [this](bool busy) {
        if (!busy) {
            gate.clearTransfer();
            return;
        }
        switch (worker->runningData()) {
        case JobData::Phonebook:
            gate.setTransfer(TransferGate::Touches::PhonebookData);
            break;
        case JobData::Logo:
            gate.setTransfer(TransferGate::Touches::LogoData);
            break;
        case JobData::None:
            gate.setTransfer(TransferGate::Touches::Handset);
            break;
        }
    });
    QObject::connect(worker.get(), &LinkWorker::linkFailed, &gate,
                     [this](const LinkFailure& failure) { told << linkFailureText(failure); });
    QObject::connect(worker.get(), &LinkWorker::errorRaised, &gate, [this](const QString& error) { told << error; });
}

ModelledWorker::~ModelledWorker()
{
    Release();
    worker.reset();
}

void ModelledWorker::AnswerOnly(int requests)
{
    static_cast<PhoneLine*>(line)->pullable.left = requests;
}

void ModelledWorker::Ignore(int first, int count)
{
    Pullable& far = static_cast<PhoneLine*>(line)->pullable;
    far.ignoreFrom = far.requests + first;
    far.ignoreCount = count;
}

void ModelledWorker::HoldAt(int requests)
{
    Pullable& far = static_cast<PhoneLine*>(line)->pullable;
    std::lock_guard lock(far.mutex);
    far.holdAt = requests;
}

void ModelledWorker::Release()
{
    Pullable& far = static_cast<PhoneLine*>(line)->pullable;
    std::lock_guard lock(far.mutex);
    far.held = false;
    far.holdAt = -1;
    far.wake.notify_all();
}

bool ModelledWorker::WaitUntilHeld()
{
    // The window's thread goes on handling its events meanwhile: a job starts from there.
    Pullable& far = static_cast<PhoneLine*>(line)->pullable;
    return QTest::qWaitFor(
        [&] {
            std::lock_guard lock(far.mutex);
            return far.held;
        },
        10000);
}

bool ModelledWorker::WaitUntilIdle()
{
    return QTest::qWaitFor([this] { return !worker->isBusy(); }, 10000);
}
