// What the handset would not keep of a phonebook: characters it cannot store
// and names or numbers it cuts. Asked before anything is written to the
// handset or to a .npb file, so the user can stop and correct the records.
#pragma once

#include "phonebook/PhonebookRows.h"

#include <QStringList>

#include <vector>

struct HandsetFinding {
    enum class Kind {
        NameCharacters, // not in Windows-1251, or no handset code: stored differently or as blanks
        NameLetters, // stored as the nearest letter the handset has (Ё as Е)
        NumberCharacters, // anything but 0-9 * # p w +: stored as blanks
        NameCut, // longer than kMaxNameChars
        NumberCut, // longer than kMaxNumberDigits
    };
    int location;  // 1-100
    Kind kind;
    QString text;  // the characters concerned (each once), or the part that is cut off
    bool operator==(const HandsetFinding&) const = default;
};

// Findings in location order; the texts are taken as the write takes them,
// without leading and trailing blanks.
std::vector<HandsetFinding> checkForHandset(const PhonebookRows& rows);

// One line per record, e.g.
//   7 "Ёлка": letters stored as the nearest the handset has: Ё → Е; name cut after 16 characters, "xy" is lost
// at most maxRecords of them (all when negative), then a line with how many more.
QStringList describeHandsetFindings(const PhonebookRows& rows, const std::vector<HandsetFinding>& findings,
                                    int maxRecords = -1);
