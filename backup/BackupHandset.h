// What backing up and restoring need of the handset: each call runs one
// job over the link. A call that gives nothing (or false) means the handset
// did not answer; the implementation has already told the user so, or
// raised its own error instead.
#pragma once

#include "backup/HandsetFacts.h"
#include "logo/LogoBlocks.h"
#include "phonebook/PhonebookFile.h"

#include <optional>

class BackupHandset {
public:
    virtual ~BackupHandset() = default;
    virtual std::optional<HandsetFacts> readFacts() = 0;
    // The own and dialled numbers. What the handset does not give is not
    // stored: these numbers never fail a backup.
    virtual HandsetNumbers readNumbers() = 0;
    // location 0-99, the handset's own record number.
    virtual std::optional<PhonebookEntry> readRecord(int location) = 0;
    virtual bool writeRecord(int location, const PhonebookEntry& entry) = 0;
    virtual std::optional<LogoBlock> readLogoBlock(int block) = 0;
    virtual bool writeLogoBlock(int block, const LogoBlock& data) = 0;
    virtual bool reset() = 0;
};

// Where a backup or restore is: a part begins, then its steps are done one by one.
class BackupProgress {
public:
    virtual ~BackupProgress() = default;
    // name: "Reading phonebook" and the like; steps: its records or blocks.
    virtual void startPart(const QString& name, int steps) = 0;
    virtual void stepDone(int done) = 0;
};
