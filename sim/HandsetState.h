// Everything the simulated handset remembers between requests.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace handset {

inline constexpr std::size_t kPhonebookSize = 100;
inline constexpr std::size_t kRecordSize = 33; // digit count, 15 digit bytes, 16 name bytes, group
inline constexpr std::size_t kLogoBlocks = 6;
inline constexpr std::size_t kLogoBlockSize = 84;
inline constexpr std::size_t kSerialLength = 10;

using Record = std::array<std::uint8_t, kRecordSize>;
using LogoBlock = std::array<std::uint8_t, kLogoBlockSize>;

// Offsets inside a record payload.
inline constexpr std::size_t kRecordDigits = 1;
inline constexpr std::size_t kRecordName = 16;
inline constexpr std::size_t kRecordGroup = 32;
inline constexpr std::size_t kNameSize = 16;

// Beyond the phonebook: the last five numbers dialled, the latest first,
// and the handset's own number.
inline constexpr std::uint8_t kFirstDialledLocation = 100;
inline constexpr std::size_t kDialledNumbers = 5;
inline constexpr std::uint8_t kOwnNumberLocation = 115;

struct HandsetState {
    std::string versionText; // lines separated by 0x0A
    std::string serialNumber; // kSerialLength characters
    bool netMonitor = false;
    std::array<Record, kPhonebookSize> phonebook{};
    std::array<LogoBlock, kLogoBlocks> logo{};
    // Locations 100 and up: the dialled numbers, the own number and the
    // like. The handset reads them out but keeps nothing the PC writes there.
    std::map<std::uint8_t, Record> otherLocations;

    bool operator==(const HandsetState&) const = default;
};

// Record built from Windows-1251 text; the name is coded into the handset's
// character set (Latin and Cyrillic letters, digits, common punctuation).
Record makeRecord(const std::string& number, const std::string& name, std::uint8_t group = 0x05);

// A fresh handset: sample version text and serial number, a few records with
// Latin and Cyrillic names, an own number, five dialled numbers and a drawn
// logo.
HandsetState defaultHandsetState();

} // namespace handset
