#include "sms/OperatorValueList.h"

#include "sms/ProfileIniFile.h"

#include <algorithm>

namespace {

std::string_view nameOf(std::string_view line)
{
    return line.substr(0, line.find('='));
}

std::string_view valueOf(std::string_view line)
{
    const auto eq = line.find('=');
    return eq == std::string_view::npos ? std::string_view() : line.substr(eq + 1);
}

} // namespace

void OperatorValueList::readSection(ProfileIniFile& ini, std::string_view section)
{
    clear();
    for (auto& line : ini.sectionLines(section)) {
        if (!valueOf(line).empty())
            lines_.push_back(std::move(line));
    }
}

std::vector<std::string>::const_iterator OperatorValueList::find(std::string_view key) const
{
    return std::find_if(lines_.begin(), lines_.end(),
                        [key](const std::string& line) { return sameNameWin1251(nameOf(line), key); });
}

std::string OperatorValueList::value(std::string_view key) const
{
    const auto it = find(key);
    return it == lines_.end() ? std::string() : std::string(valueOf(*it));
}

void OperatorValueList::setValue(std::string_view key, std::string_view value)
{
    const auto it = find(key);
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

std::string OperatorValueList::nameAt(std::size_t index) const
{
    return std::string(nameOf(lines_.at(index)));
}

std::string OperatorValueList::valueAt(std::size_t index) const
{
    return std::string(valueOf(lines_.at(index)));
}
