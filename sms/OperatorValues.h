// The key=value lines of one operator profile, as the SMS window and the
// operator dialog see it: only keys with a value are present.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class ProfileIniFile;

class OperatorValueList {
public:
    void Clear() { lines_.clear(); }
    // Clears the list, then takes each key of the section whose value is not
    // empty, in file order.
    void ReadSection(ProfileIniFile& ini, std::string_view section);

    // First line whose key matches regardless of letter case; "" when none.
    std::string Values(std::string_view key) const;
    // An empty value removes the key's line; any other replaces it in place
    // or appends a new line.
    void SetValue(std::string_view key, std::string_view value);

    std::size_t Count() const { return lines_.size(); }
    const std::vector<std::string>& Lines() const { return lines_; }
    std::string Names(std::size_t index) const;
    std::string ValueFromIndex(std::size_t index) const;

private:
    std::vector<std::string>::const_iterator Find(std::string_view key) const;

    std::vector<std::string> lines_;
};
