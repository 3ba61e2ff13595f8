// Reading and writing phonebook files on disk; failures raise InOutError with
// the text the user sees.
#pragma once

#include "phonebook/PhonebookFile.h"

#include <QString>

// Replaces the file as a whole: if writing fails, the earlier file stays intact.
void savePhonebookFile(const QString& path, const std::vector<PhonebookEntry>& entries);
// At most the first 6600 bytes of the file; a named pipe, device or folder is
// refused before it is opened.
std::string readPhonebookFile(const QString& path);
