#include "phonebook/PhonebookFile.h"

#include <algorithm>

namespace {

void putField(std::string& image, std::size_t at, const std::string& text)
{
    const std::size_t n = std::min<std::size_t>(text.size(), kNpbFieldChars);
    image[at] = static_cast<char>(n);
    std::copy_n(text.data(), n, image.begin() + static_cast<std::ptrdiff_t>(at + 1));
}

// A field is a length byte and up to 32 characters; a length over 32 reads 32.
void getField(const char* field, std::string& text)
{
    const std::size_t n = std::min<std::size_t>(static_cast<unsigned char>(field[0]), kNpbFieldChars);
    text.assign(field + 1, n);
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
    const std::size_t whole = std::min<std::size_t>(data.size() / kNpbRecordSize, kNpbRecords);
    result.truncated = whole < kNpbRecords;
    result.entries.resize(whole);
    for (std::size_t i = 0; i < whole; ++i) {
        const char* const record = data.data() + i * kNpbRecordSize;
        getField(record, result.entries[i].name);
        getField(record + 1 + kNpbFieldChars, result.entries[i].number);
    }
    return result;
}
