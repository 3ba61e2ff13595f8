// One operator profile as the settings dialog edits it: the sixteen keys in
// the order they are written, and storing them into the profile file.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

class ProfileIniFile;
class OperatorValueList;

constexpr std::size_t kProfileKeyCount = 16;

// Keys in the order a profile is written to its section.
constexpr std::array<std::string_view, kProfileKeyCount> kProfileKeys = {
    "URL",   "NumField", "Prefix", "TxtField", "Method",  "ActName", "Action",  "Reply",
    "Chars", "Referer",  "Login",  "Passw",    "AdName1", "AdVal1",  "AdName2", "AdVal2",
};

// Texts of a profile's fields (Windows-1251 bytes), indexed like kProfileKeys.
using ProfileTexts = std::array<std::string, kProfileKeyCount>;

// Index of a key in kProfileKeys; kProfileKeyCount when it is not one.
constexpr std::size_t profileKeyIndex(std::string_view key)
{
    for (std::size_t i = 0; i < kProfileKeyCount; ++i)
        if (kProfileKeys[i] == key)
            return i;
    return kProfileKeyCount;
}

// The profile's fields as an OperatorValueList holds them; a missing key is "".
ProfileTexts profileTextsFrom(const OperatorValueList& values);

// Puts the non-empty texts into values (cleared first) in key order, then
// writes them under section. With removeFirst the section is removed before
// writing, so keys left empty disappear and the section moves to the end of
// the file; without it the texts merge into what the section already holds.
// A failing write leaves the keys written before it in the file.
void storeProfile(ProfileIniFile& ini, OperatorValueList& values, std::string_view section, const ProfileTexts& texts,
                  bool removeFirst);
