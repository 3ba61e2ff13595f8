// What the handsets on the cable hold in their phonebooks, as far as this
// session read or wrote them, by serial number: another handset on the same
// cable never passes for the one that was read. Records are compared as the
// handset stores them, so one it cannot hold exactly (a cut name, Ё kept as
// Е) is no longer a change once it was written.
#pragma once

#include "phonebook/PhoneRecord.h"
#include "phonebook/PhonebookFile.h"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A record in the handset's own coding: the write request for location 0,
// texts trimmed, cut and mapped to the handset's characters.
using StoredRecord = WriteRequest;
StoredRecord storedRecordOf(PhonebookEntry entry);

class HandsetPhonebooks {
public:
    bool knows(const std::string& serialNumber) const;
    // After all 100 records were read from or written to the handset.
    void remember(const std::string& serialNumber, const std::vector<PhonebookEntry>& entries);
    // After one record was written; a handset not known stays unknown.
    void rememberRecord(const std::string& serialNumber, int location, const PhonebookEntry& entry);
    // After a write that failed, or went to a handset that could not be told:
    // the record may have changed on any of them.
    void forgetRecord(int location);
    // True when entry is not what the handset holds at location (0-99), or
    // when that is not known.
    bool differs(const std::string& serialNumber, int location, const PhonebookEntry& entry) const;

private:
    std::map<std::string, std::array<std::optional<StoredRecord>, kPhonebookLocations>> books_;
};

// Locations (0-99) where wanted differs from held, both in the handset's coding.
std::vector<int> differingLocations(const std::vector<PhonebookEntry>& held, const std::vector<PhonebookEntry>& wanted);
