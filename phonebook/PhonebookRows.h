// The phonebook as the user sees it, the form in which CSV and vCard files
// come and go: locations 1-100 (location k is the handset's record k-1) with
// Unicode text. Windows-1251 begins where a record goes to the handset or
// into a .npb file.
#pragma once

#include "phonebook/PhonebookFile.h"
#include "phonebook/PhonebookParseError.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

struct PhonebookRow {
    QString name;
    QString number;
    bool isBlank() const;  // nothing but spaces and control characters
    bool operator==(const PhonebookRow&) const = default;
};

// Always kPhonebookLocations rows; location k at index k - 1.
using PhonebookRows = std::vector<PhonebookRow>;

PhonebookRows emptyPhonebookRows();
PhonebookRows rowsFromEntries(const std::vector<PhonebookEntry>& entries);
// Characters Windows-1251 cannot hold become '?': run checkForHandset first.
std::vector<PhonebookEntry> entriesFromRows(const PhonebookRows& rows);

struct PhonebookImport {
    PhonebookRows rows;
    // What the reader had to decide for the user, one line each, e.g. a
    // location given twice; shown before the rows replace anything.
    QStringList notes;
    // A record was left out, moved or differs from what the file says; a
    // note says which. Notes about the file as a whole (its code page) are
    // no change.
    bool changed = false;
};

// A text from a file as a message quotes it: its first kMaxQuotedChars
// characters and "…", with control characters shown as their symbols, so
// that a huge or odd text can neither flood the message nor cut its line.
inline constexpr int kMaxQuotedChars = 40;
QString excerpt(const QString& text);

// Text of bytes the file's author may have written in UTF-8 (with or without
// a byte-order mark) or in UTF-16 with one; bytes that are not valid UTF-8
// are taken as Windows-1251, which older Cyrillic programs wrote, and a note
// says so.
QString decodeImportText(const QByteArray& bytes, QStringList& notes);

// Whole-file reading and replacing for the phonebook formats. Failures raise
// InOutError with a sentence that names the file.
inline constexpr qint64 kMaxImportFileBytes = 16 * 1024 * 1024;
QByteArray readPhonebookBytes(const QString& path, qint64 maxBytes = kMaxImportFileBytes);
void replacePhonebookFile(const QString& path, const QByteArray& bytes);
[[noreturn]] void raiseParseError(const QString& path, const PhonebookParseError& error);
