// What the phonebook window needs of the main window: its two record
// transfers, the serial number read and its "Software reset" button. Texts
// are Windows-1251.
#pragma once

#include "phonebook/PhonebookFile.h"

#include <optional>

#include <string>

class PhonebookHost {
public:
    virtual ~PhonebookHost() = default;
    // The record at location, or nothing when the handset did not answer.
    virtual std::optional<PhonebookEntry> readRecord(int location) = 0;
    // Trims the texts before writing them; false when the handset did not answer.
    virtual bool writeRecord(int location, const PhonebookEntry& entry) = 0;
    // The serial number of the handset on the cable, or nothing when it did
    // not answer.
    virtual std::optional<std::string> readSerialNumber() = 0;
    // Does what the main window's "Software reset" button does.
    virtual void resetHandset() = 0;
};
