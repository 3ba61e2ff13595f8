#include "phonebook/LocationPlanner.h"

#include "phonebook/PhoneRecord.h"

#include <QCoreApplication>

void LocationPlanner::add(int line, const QString& locationText, PhonebookRow row)
{
    records_.push_back({line, locationText.trimmed(), std::move(row)});
}

PhonebookImport LocationPlanner::finish() const
{
    PhonebookImport result{emptyPhonebookRows(), {}};
    std::vector<int> takenBy(kPhonebookLocations, 0); // line of the record holding each location
    struct Unplaced {
        const Pending* record;
        int note; // index of the note that says why, -1 when it had no location
    };
    std::vector<Unplaced> unplaced;

    for (const Pending& record : records_) {
        if (record.locationText.isEmpty()) {
            unplaced.push_back({&record, -1});
            continue;
        }
        bool number = false;
        const int location = record.locationText.toInt(&number);
        if (!number || location < 1 || location > kPhonebookLocations) {
            result.notes << QCoreApplication::translate("Phonebook", "line %1: location \"%2\" is not between 1 and %3")
                                .arg(QString::number(record.line), excerpt(record.locationText),
                                     QString::number(kPhonebookLocations));
            unplaced.push_back({&record, static_cast<int>(result.notes.size()) - 1});
        } else if (takenBy[location - 1] != 0) {
            result.notes << QCoreApplication::translate("Phonebook", "line %1: location %2 is already taken by line %3")
                                .arg(record.line)
                                .arg(location)
                                .arg(takenBy[location - 1]);
            unplaced.push_back({&record, static_cast<int>(result.notes.size()) - 1});
        } else {
            takenBy[location - 1] = record.line;
            result.rows[location - 1] = record.row;
        }
    }

    std::size_t free = 0;
    for (const auto& [record, note] : unplaced) {
        while (free < takenBy.size() && takenBy[free] != 0)
            ++free;
        if (free == takenBy.size()) {
            result.notes << QCoreApplication::translate("Phonebook",
                                                        "line %1: no free location left, \"%2\" is left out")
                                .arg(QString::number(record->line),
                                     excerpt(record->row.name.isEmpty() ? record->row.number : record->row.name));
            continue;
        }
        takenBy[free] = record->line;
        result.rows[free] = record->row;
        if (note >= 0)
            result.notes[note] += QCoreApplication::translate("Phonebook", "; placed at location %1").arg(free + 1);
    }
    // Records without a location of their own are where the file leaves them to be.
    result.changed = !result.notes.isEmpty();
    return result;
}
