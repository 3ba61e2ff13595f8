#include "phonebook/PhonebookFile.h"

#include <algorithm>

namespace {

void PutField(std::string& image, std::size_t at, const std::string& text)
{
    const std::size_t n = std::min<std::size_t>(text.size(), NpbFieldChars);
    image[at] = static_cast<char>(n);
    image.replace(at + 1, n, text, 0, n);
}

std::string GetField(std::string_view record, std::size_t at)
{
    const std::size_t n = std::min<std::size_t>(static_cast<unsigned char>(record[at]), NpbFieldChars);
    return std::string(record.substr(at + 1, n));
}

} // namespace

std::string EncodePhonebookFile(const std::vector<PhonebookEntry>& entries)
{
    std::string image(NpbFileSize, '\0');
    const std::size_t count = std::min<std::size_t>(entries.size(), NpbRecords);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = i * NpbRecordSize;
        PutField(image, at, entries[i].Name);
        PutField(image, at + 1 + NpbFieldChars, entries[i].Number);
    }
    return image;
}

DecodedPhonebook DecodePhonebookFile(std::string_view data)
{
    DecodedPhonebook result;
    for (int i = 0; i < NpbRecords; ++i) {
        const std::size_t at = static_cast<std::size_t>(i) * NpbRecordSize;
        if (data.size() < at + NpbRecordSize) {
            result.Truncated = true;
            break;
        }
        const std::string_view record = data.substr(at, NpbRecordSize);
        result.Entries.push_back({GetField(record, 0), GetField(record, 1 + NpbFieldChars)});
    }
    return result;
}
