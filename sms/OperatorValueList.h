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
    void clear() { lines_.clear(); }
    // Clears the list, then takes each key of the section whose value is not
    // empty, in file order.
    void readSection(ProfileIniFile& ini, std::string_view section);

    // First line whose key matches regardless of letter case; "" when none.
    std::string value(std::string_view key) const;
    // An empty value removes the key's line; any other replaces it in place
    // or appends a new line.
    void setValue(std::string_view key, std::string_view value);

    std::size_t size() const { return lines_.size(); }
    const std::vector<std::string>& lines() const { return lines_; }
    std::string nameAt(std::size_t index) const;
    std::string valueAt(std::size_t index) const;

private:
    std::vector<std::string>::const_iterator find(std::string_view key) const;

    std::vector<std::string> lines_;
};
