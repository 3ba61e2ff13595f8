// The numbers the handset keeps beside its phonebook: its own number and the
// last five it dialled. They are read with the phonebook's read request at
// locations of their own, in the same record layout; the program never
// writes there.
#pragma once

#include "link/LinkFailure.h"

#include <array>
#include <functional>
#include <optional>
#include <string>

class MessageTransfer;

inline constexpr int kOwnNumberLocation = 115;
// Location 100 holds the number dialled last, the next ones those before it.
inline constexpr int kFirstDialledLocation = 100;
inline constexpr int kDialledNumbers = 5;
// One send more after a lost or spoilt reply, where a phonebook read has five:
// a handset that keeps none of these may stay silent, and a command that
// reads them along the way must not stall on it for long.
inline constexpr int kNumberReadTries = 1;

// A number as the handset keeps it (Windows-1251, trimmed); nothing when it
// keeps none there.
using StoredNumber = std::optional<std::string>;

// The most recent first.
using DialledNumbers = std::array<StoredNumber, kDialledNumbers>;

struct HandsetNumbers {
    StoredNumber ownNumber;
    DialledNumbers dialled;
    bool operator==(const HandsetNumbers&) const = default;
};

// The number at one of these locations. An empty record or no answer at all
// means none is stored; only a port that cannot be opened is a failure.
LinkResult<StoredNumber> readStoredNumber(MessageTransfer& link, int location);

// The dialled numbers. Fails only when the port cannot be opened for the
// first read; once one read went out, whatever cannot be read is not
// stored. stopRequested, when given, is asked between two reads: the
// numbers not read then are not stored.
LinkResult<DialledNumbers> readDialledNumbers(MessageTransfer& link, const std::function<bool()>& stopRequested = {});
// The own number, then the dialled numbers, on the same terms.
LinkResult<HandsetNumbers> readHandsetNumbers(MessageTransfer& link, const std::function<bool()>& stopRequested = {});
