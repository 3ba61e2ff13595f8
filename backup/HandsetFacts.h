// What a backup notes about its handset, and the handset.txt that holds it:
// one "key: value" line each, readable and editable by hand.
#pragma once

#include "phonebook/HandsetNumbers.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

struct HandsetReadings;

struct HandsetFacts {
    QString version; // the handset's lines, joined by '\n'
    QString serialNumber;
    bool netMonitor = false;
    // Noted for the reader; a restore never writes them back.
    HandsetNumbers numbers{};
    bool operator==(const HandsetFacts&) const = default;
};

// The texts as the connect command read them, without the zero bytes that
// pad the reply (shown as dots) and blanks around the lines; nothing when a
// reading is missing.
std::optional<HandsetFacts> handsetFactsFromReadings(const HandsetReadings& readings);

// handset.txt of a backup made at `made`.
QByteArray formatHandsetFacts(const HandsetFacts& facts, const QDateTime& made);
// Raises BackupError (a clause about handset.txt) when the serial number,
// the version or the net monitor state is missing or unreadable. Unknown keys
// and lines starting with '#' are passed over; a number without its line
// (a backup made before they were noted) is not stored.
HandsetFacts parseHandsetFacts(const QByteArray& text);
