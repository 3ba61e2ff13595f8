#include "phonebook/HandsetPhonebooks.h"

StoredRecord storedRecordOf(PhonebookEntry entry)
{
    trimRecordText(entry.name);
    trimRecordText(entry.number);
    return buildWriteRequest(0, entry.name, entry.number);
}

bool HandsetPhonebooks::knows(const std::string& serialNumber) const
{
    return books_.count(serialNumber) != 0;
}

void HandsetPhonebooks::remember(const std::string& serialNumber, const std::vector<PhonebookEntry>& entries)
{
    auto& book = books_[serialNumber];
    for (int location = 0; location < kPhonebookLocations; ++location) {
        const auto at = static_cast<std::size_t>(location);
        book[at] = storedRecordOf(at < entries.size() ? entries[at] : PhonebookEntry{});
    }
}

void HandsetPhonebooks::rememberRecord(const std::string& serialNumber, int location, const PhonebookEntry& entry)
{
    const auto book = books_.find(serialNumber);
    if (book != books_.end() && isPhonebookLocation(location))
        book->second[static_cast<std::size_t>(location)] = storedRecordOf(entry);
}

void HandsetPhonebooks::forgetRecord(int location)
{
    if (!isPhonebookLocation(location))
        return;
    for (auto& [serialNumber, book] : books_)
        book[static_cast<std::size_t>(location)].reset();
}

bool HandsetPhonebooks::differs(const std::string& serialNumber, int location, const PhonebookEntry& entry) const
{
    const auto book = books_.find(serialNumber);
    if (book == books_.end() || !isPhonebookLocation(location))
        return true;
    const std::optional<StoredRecord>& held = book->second[static_cast<std::size_t>(location)];
    return !held || *held != storedRecordOf(entry);
}

std::vector<int> differingLocations(const std::vector<PhonebookEntry>& held, const std::vector<PhonebookEntry>& wanted)
{
    std::vector<int> locations;
    for (int location = 0; location < kPhonebookLocations; ++location) {
        const auto at = static_cast<std::size_t>(location);
        const PhonebookEntry heldEntry = at < held.size() ? held[at] : PhonebookEntry{};
        const PhonebookEntry wantedEntry = at < wanted.size() ? wanted[at] : PhonebookEntry{};
        if (storedRecordOf(heldEntry) != storedRecordOf(wantedEntry))
            locations.push_back(location);
    }
    return locations;
}
