// Phonebook files come from anywhere: the loader must take any bytes.
#include "phonebook/PhonebookFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const DecodedPhonebook book = decodePhonebookFile(bytes);
    if (book.entries.size() > kNpbRecords || book.truncated != (size < kNpbFileSize))
        std::abort();
    for (const PhonebookEntry& e : book.entries)
        if (e.name.size() > kNpbFieldChars || e.number.size() > kNpbFieldChars)
            std::abort();
    // What was read saves to a file that reads back the same.
    if (!book.truncated && decodePhonebookFile(encodePhonebookFile(book.entries)).entries != book.entries)
        std::abort();
    return 0;
}
