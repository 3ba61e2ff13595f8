// What a backup folder holds, and reading it back for a restore.
#pragma once

#include "backup/HandsetFacts.h"
#include "logo/LogoBlocks.h"
#include "phonebook/PhonebookFile.h"

#include <QString>

#include <vector>

// The files of a backup folder. Stored names: restore looks for exactly these.
inline const QString kBackupFactsFile = QStringLiteral("handset.txt");
inline const QString kBackupPhonebookFile = QStringLiteral("phonebook.npb");
inline const QString kBackupContactsFile = QStringLiteral("phonebook.vcf");
inline const QString kBackupLogoFile = QStringLiteral("logo.png");
inline const QString kBackupLogoBitmapFile = QStringLiteral("logo.bmp");

struct BackupContents {
    HandsetFacts facts;
    std::vector<PhonebookEntry> phonebook; // all 100 locations, Windows-1251
    LogoBlocks logo{};
};

// The backup in folder, the phonebook from its .npb (every location as it
// was) and the logo from its .png. Raises BackupError naming the folder and
// what is missing or bad: a folder that lacks any of the five files, or
// whose handset.txt, phonebook or logo cannot be read whole, is no backup
// to restore.
BackupContents readBackup(const QString& folder);
