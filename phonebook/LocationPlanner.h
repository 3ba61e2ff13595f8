// Gives the records of a file their locations. Records with a valid location
// of their own come first; the rest (none given, out of range, or taken by an
// earlier record) fill the lowest free locations in file order. Every such
// decision is noted; a record with no free location left is noted and left out.
#pragma once

#include "phonebook/PhonebookRows.h"

#include <QString>

#include <vector>

class LocationPlanner {
public:
    // locationText: the location as the file wrote it, empty when it had none.
    void add(int line, const QString& locationText, PhonebookRow row);
    PhonebookImport finish() const;

private:
    struct Pending {
        int line;
        QString locationText;
        PhonebookRow row;
    };
    std::vector<Pending> records_;
};
