#include "sms/OperatorValues.h"

#include "sms/ProfileIniFile.h"

#include <algorithm>

namespace {

std::string_view NameOf(std::string_view line)
{
    return line.substr(0, line.find('='));
}

std::string_view ValueOf(std::string_view line)
{
    const auto eq = line.find('=');
    return eq == std::string_view::npos ? std::string_view() : line.substr(eq + 1);
}

} // namespace

void OperatorValueList::ReadSection(ProfileIniFile& ini, std::string_view section)
{
    Clear();
    for (auto& line : ini.ReadSectionValues(section)) {
        if (!ValueOf(line).empty())
            lines_.push_back(std::move(line));
    }
}

std::vector<std::string>::const_iterator OperatorValueList::Find(std::string_view key) const
{
    return std::find_if(lines_.begin(), lines_.end(),
                        [key](const std::string& line) { return SameNameWin1251(NameOf(line), key); });
}

std::string OperatorValueList::Values(std::string_view key) const
{
    const auto it = Find(key);
    return it == lines_.end() ? std::string() : std::string(ValueOf(*it));
}

void OperatorValueList::SetValue(std::string_view key, std::string_view value)
{
    const auto it = Find(key);
    if (value.empty()) {
        if (it != lines_.end())
            lines_.erase(it);
        return;
    }
    std::string line = std::string(key) + "=" + std::string(value);
    if (it != lines_.end())
        lines_[static_cast<std::size_t>(it - lines_.begin())] = std::move(line);
    else
        lines_.push_back(std::move(line));
}

std::string OperatorValueList::Names(std::size_t index) const
{
    return std::string(NameOf(lines_.at(index)));
}

std::string OperatorValueList::ValueFromIndex(std::string::size_type index) const
{
    return std::string(ValueOf(lines_.at(index)));
}
