// The phonebook file (.npb): 100 records of 66 bytes, no header. Each record
// is a name and a number, each as a length byte and 32 bytes of text.
#pragma once

#include "phonebook/InOutError.h"

#include <string>
#include <string_view>
#include <vector>

inline constexpr int kNpbRecords = 100;
inline constexpr int kNpbFieldChars = 32;
inline constexpr int kNpbRecordSize = 2 * (1 + kNpbFieldChars);
inline constexpr int kNpbFileSize = kNpbRecords * kNpbRecordSize;

struct PhonebookEntry {
    std::string name; // Windows-1251
    std::string number;
    bool operator==(const PhonebookEntry&) const = default;
};

// The file image of the entries, texts cut to 32 characters, zero filled.
// Entries beyond the hundredth are ignored; missing ones are written empty.
std::string encodePhonebookFile(const std::vector<PhonebookEntry>& entries);

struct DecodedPhonebook {
    std::vector<PhonebookEntry> entries; // the complete records, at most 100
    bool truncated = false; // the data ended inside the hundred records
};

// Reads record by record; a length byte above 32 is taken as 32.
DecodedPhonebook decodePhonebookFile(std::string_view data);
