#include "phonebook/PhonebookFile.h"

#include <algorithm>

namespace {

void putField(std::string& image, std::size_t at, const std::string& text)
{
    const std::size_t n = std::min<std::size_t>(text.size(), kNpbFieldChars);
    image[at] = static_cast<char>(n);
    image.replace(at + 1, n, text, 0, n);
}

std::string getField(std::string_view record, std::size_t at)
{
    const std::size_t n = std::min<std::size_t>(static_cast<unsigned char>(record[at]), kNpbFieldChars);
    return std::string(record.substr(at + 1, n));
}

} // namespace

std::string encodePhonebookFile(const std::vector<PhonebookEntry>& entries)
{
    std::string image(kNpbFileSize, '\0');
    const std::size_t count = std::min<std::size_t>(entries.size(), kNpbRecords);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = i * kNpbRecordSize;
        putField(image, at, entries[i].name);
        putField(image, at + 1 + kNpbFieldChars, entries[i].number);
    }
    return image;
}

DecodedPhonebook decodePhonebookFile(std::string_view data)
{
    DecodedPhonebook result;
    result.entries.reserve(std::min<std::size_t>(data.size() / kNpbRecordSize, kNpbRecords));
    for (int i = 0; i < kNpbRecords; ++i) {
        const std::size_t at = static_cast<std::size_t>(i) * kNpbRecordSize;
        if (data.size() < at + kNpbRecordSize) {
            result.truncated = true;
            break;
        }
        const std::string_view record = data.substr(at, kNpbRecordSize);
        result.entries.push_back({getField(record, 0), getField(record, 1 + kNpbFieldChars)});
    }
    return result;
}
