// m2bus-cli backup and restore: a whole handset into a folder and back.
#pragma once

#include "cli/ToolAccess.h"

#include <QString>

#include <functional>

// Backs the handset up into a new folder in parentFolder and returns it.
// Raises CliError: File when no backup can be written there, or the
// handset's own failure; either way nothing is left in parentFolder.
QString backUpHandset(Handset& handset, const QString& parentFolder);

// Restores the backup in folder onto the handset. A folder that is no
// complete backup is refused (File) before the handset is asked anything;
// a backup of another serial number is refused (OtherHandset) unless
// anyHandset; then confirm(question) raises CliError unless the user agrees.
void restoreHandset(Handset& handset, const QString& folder, bool anyHandset,
                    const std::function<void(const QString& question)>& confirm);
