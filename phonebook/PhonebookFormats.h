// One entry point for the phonebook files, the format chosen by the file's
// extension: .npb (the handset's record layout, Windows-1251), .csv, and
// .vcf or .vcard.
#pragma once

#include "phonebook/PhonebookRows.h"

#include <optional>

enum class PhonebookFormat { Npb, Csv, Vcard };

// By extension, in any letter case; nullopt for any other file name.
std::optional<PhonebookFormat> phonebookFormatFor(const QString& path);

// Raise InOutError naming the file: it cannot be read or written, its
// extension is none of the above, or (reading) its contents are bad.
// A .npb file shorter than a whole phonebook is refused, and so is a file
// without any record: written to the handset it would empty it.
PhonebookImport readPhonebook(const QString& path);
// Raises InOutError when a phonebook cannot be saved at path: no phonebook
// extension, a folder or other non-file, a missing folder, a place the user
// may not write. Asked before a long transfer whose result goes there; the
// save itself may still fail (a full disk).
void checkPhonebookWritable(const QString& path);
// Writes the rows as they are; ask checkForHandset first before a .npb file.
void writePhonebook(const QString& path, const PhonebookRows& rows);
