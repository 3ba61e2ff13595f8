// The phonebook as CSV: UTF-8, a header row "location,name,number", one row
// per record that is not empty. Reading also takes what spreadsheet programs
// write: comma, semicolon or tab separators, quoted fields with doubled
// quotes and line breaks, a byte-order mark, CR LF line ends, the columns in
// any order (matched by their header), and rows without a location. The
// contact exports of Google and Outlook read too: the name from its columns,
// and of a contact's numbers the one a person would keep (ContactNumbers.h).
#pragma once

#include "phonebook/PhonebookRows.h"

// Raise PhonebookParseError.
PhonebookImport parsePhonebookCsv(const QByteArray& bytes);
QByteArray formatPhonebookCsv(const PhonebookRows& rows);

// Raise InOutError naming the file (and the line, for a bad file).
PhonebookImport readPhonebookCsv(const QString& path);
void writePhonebookCsv(const QString& path, const PhonebookRows& rows);
