// Arbitrary bytes as an operator profile file: listing, lookups, writes and
// erasing must neither crash nor break the store's own invariants.
#include "sms/ProfileIniFile.h"
#include "sms/OperatorValueList.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    auto ini = ProfileIniFile::fromBytes(bytes);
    const auto sections = ini.sectionNames();
    OperatorValueList values;
    for (const auto& s : sections) {
        values.readSection(ini, s);
        for (const auto& key : ini.keyNames(s)) {
            if (ini.value(s, key).size() > ProfileIniFile::kValueBufferChars)
                std::abort();
        }
    }
    const std::string name = sections.empty() ? std::string("S") : sections.front();
    ini.setValue(name, "Fz", "v;1");
    if (ini.value(name, "FZ") != "v;1")
        std::abort();
    ini.setValue("New\xC0", "k", "\xE0");
    if (ini.value("new\xE0", "K") != "\xE0")
        std::abort();
    ini.removeSection(name);
    // A reparse of what would be written must list the same sections.
    auto again = ProfileIniFile::fromBytes(ini.bytes());
    if (again.sectionNames() != ini.sectionNames())
        std::abort();
    return 0;
}
