// CSV and vCard files come from other programs: both readers must take any
// bytes, and what the CSV reader took must save and read back the same.
#include "phonebook/HandsetCheck.h"
#include "phonebook/PhonebookCsv.h"
#include "phonebook/PhoneRecord.h"
#include "phonebook/PhonebookVcard.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

bool ValidText(const PhonebookRows& rows)
{
    for (const PhonebookRow& row : rows)
        if (!QStringView(row.name).isValidUtf16() || !QStringView(row.number).isValidUtf16())
            return false;
    return true;
}

void Check(const PhonebookImport& read)
{
    if (read.rows.size() != static_cast<std::size_t>(kPhonebookLocations))
        std::abort();
    describeHandsetFindings(read.rows, checkForHandset(read.rows), 5);
}

template <typename Parse>
std::optional<PhonebookImport> ReadOrNothing(Parse parse, const QByteArray& bytes)
{
    try {
        return parse(bytes);
    } catch (const PhonebookParseError&) {
        return std::nullopt;
    }
}

} // namespace

// Our own output must always read: an exception from those reads ends the run.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto csv = ReadOrNothing(parsePhonebookCsv, bytes)) {
        Check(*csv);
        if (ValidText(csv->rows) && parsePhonebookCsv(formatPhonebookCsv(csv->rows)).rows != csv->rows)
            std::abort();
    }
    if (const auto vcard = ReadOrNothing(parsePhonebookVcard, bytes)) {
        Check(*vcard);
        parsePhonebookVcard(formatPhonebookVcard(vcard->rows));
    }
    return 0;
}
