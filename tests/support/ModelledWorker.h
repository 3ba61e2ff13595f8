// A link worker whose line is a virtual one with the simulator's handset
// model behind it, wired to a transfer gate as the main window wires them:
// the windows' jobs run on the link's thread against the model, on a
// virtual clock, so a whole phonebook takes no time.
#pragma once

#include <QStringList>

#include <memory>

#include "jobs/LinkWorker.h"
#include "sim/HandsetLine.h"
#include "support/ModelledHandset.h"
#include "support/VirtualLine.h"
#include "widgets/TransferGate.h"

class ModelledWorker {
public:
    // The handset answers after 20 ms, with echo, at line rate.
    ModelledWorker();
    explicit ModelledWorker(const handset::LineSettings& settings);
    ~ModelledWorker();
    ModelledWorker(const ModelledWorker&) = delete;
    ModelledWorker& operator=(const ModelledWorker&) = delete;

    LinkWorker& Worker() { return *worker; }
    TransferGate& Gate() { return gate; }
    // Touch these only while no job runs.
    handset::HandsetModel& Model() { return handset->Model(); }
    VirtualLine& Line() { return *line; }
    // The handset stops answering once it has taken this many more requests
    // (a cable pulled half-way); negative: it answers all.
    void AnswerOnly(int requests);
    // The handset does not hear requests first..first+count-1, counted from
    // now (noise on the line), and hears those after them.
    void Ignore(int first, int count);
    // The link's thread stops, as a slow handset would keep it, when it sends
    // request number `requests` (counted from now), until Release: what the
    // user does meanwhile happens while that transfer runs.
    void HoldAt(int requests);
    void Release();
    // True once the link's thread waits at the hold; false after 10 s.
    bool WaitUntilHeld();

    // Spins the event loop until no job runs; false after 10 s.
    bool WaitUntilIdle();
    // What the main window would have told, in order: the failures' texts
    // and the errors' messages.
    QStringList told;

private:
    class PhoneLine;
    TransferGate gate;
    VirtualLine* line = nullptr; // lives on the link's thread
    std::unique_ptr<ModelledHandset> handset;
    std::unique_ptr<LinkWorker> worker;
};
