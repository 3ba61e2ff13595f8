// The phonebook as vCard 3.0: one card per record that is not empty, with
// FN, N, TEL and the record's location as X-M2BUS-LOCATION, so that a file
// written here reads back into the same places. Reading takes FN (or N when
// FN is missing) and, of the card's TEL lines, the number a person would keep
// (ContactNumbers.h), and copes with what phones and mail programs export:
// folded lines, CR LF, LF or CR line ends, CHARSET and
// ENCODING=QUOTED-PRINTABLE parameters, escaped characters, Apple's labelled
// item1.TEL, cards inside cards. Cards of other programs carry no location
// and fill the free locations in order.
#pragma once

#include "phonebook/PhonebookRows.h"

// Raise PhonebookParseError.
PhonebookImport parsePhonebookVcard(const QByteArray& bytes);
QByteArray formatPhonebookVcard(const PhonebookRows& rows);

// Raise InOutError naming the file (and the line, for a bad file).
PhonebookImport readPhonebookVcard(const QString& path);
void writePhonebookVcard(const QString& path, const PhonebookRows& rows);
