// A whole handset into a backup folder and back: the order of the parts and
// what a failure on the way leaves behind.
#pragma once

#include "backup/BackupContents.h"
#include "backup/BackupHandset.h"

#include <QString>

// Reads the version and serial number, the own and dialled numbers, the
// phonebook and the logo, each part into the backup's temporary folder as
// soon as it is read, and names the folder "<serial number>-<date>-<time>"
// inside parentFolder last.
// Returns that folder. Raises BackupError (or whatever the handset raises)
// and then leaves nothing behind in parentFolder.
QString makeBackup(BackupHandset& handset, BackupProgress& progress, const QString& parentFolder);

// Writes the logo, then the phonebook, then resets the handset, which takes
// a new phonebook in only after a restart. The numbers the backup notes are
// the handset's own and are never written. Which handset it is and whether
// the user wants it are the caller's to ask first. Raises BackupError
// saying where it stopped and what the handset holds then.
void restoreBackup(BackupHandset& handset, BackupProgress& progress, const BackupContents& backup);
