// Arbitrary bytes as an operator profile file: listing, lookups, writes and
// erasing must neither crash nor break the store's own invariants.
#include "sms/ProfileIniFile.h"
#include "sms/OperatorValues.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    auto ini = ProfileIniFile::FromBytes(bytes);
    const auto sections = ini.ReadSections();
    OperatorValueList values;
    for (const auto& s : sections) {
        values.ReadSection(ini, s);
        for (const auto& key : ini.ReadSection(s)) {
            if (ini.ReadString(s, key, "").size() > ProfileIniFile::kValueBufferChars)
                std::abort();
        }
    }
    const std::string name = sections.empty() ? std::string("S") : sections.front();
    ini.WriteString(name, "Fz", "v;1");
    if (ini.ReadString(name, "FZ", "") != "v;1")
        std::abort();
    ini.WriteString("New\xC0", "k", "\xE0");
    if (ini.ReadString("new\xE0", "K", "") != "\xE0")
        std::abort();
    ini.EraseSection(name);
    // A reparse of what would be written must list the same sections.
    auto again = ProfileIniFile::FromBytes(ini.Bytes());
    if (again.ReadSections() != ini.ReadSections())
        std::abort();
    return 0;
}
