// Phonebook files come from anywhere: the loader must take any bytes.
#include "phonebook/PhonebookFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const DecodedPhonebook book = DecodePhonebookFile(bytes);
    if (book.Entries.size() > NpbRecords || book.Truncated != (size < NpbFileSize))
        std::abort();
    for (const PhonebookEntry& e : book.Entries)
        if (e.Name.size() > NpbFieldChars || e.Number.size() > NpbFieldChars)
            std::abort();
    // What was read saves to a file that reads back the same.
    if (!book.Truncated && DecodePhonebookFile(EncodePhonebookFile(book.Entries)).Entries != book.Entries)
        std::abort();
    return 0;
}
