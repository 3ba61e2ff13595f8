#include "sms/CodePage.h"

#include "sms/CodePageTables.h"

#include <stdexcept>

namespace {

using namespace code_page_tables;

// Indexed [from][to]; the diagonal stays empty on purpose.
constexpr const Table* kTables[4][4] = {
    {nullptr, &kCP1251ToKOI8R, &kCP1251ToCP866, &kCP1251ToISO8859},
    {&kKOI8RToCP1251, nullptr, &kKOI8RToCP866, &kKOI8RToISO8859},
    {&kCP866ToCP1251, &kCP866ToKOI8R, nullptr, &kCP866ToISO8859},
    {&kISO8859ToCP1251, &kISO8859ToKOI8R, &kISO8859ToCP866, nullptr},
};

// Every table keeps the zero byte, so text with zero bytes converts whole.
constexpr bool allKeepZero()
{
    for (const Table& t :
         {kCP1251ToKOI8R, kCP1251ToCP866, kCP1251ToISO8859, kKOI8RToCP1251, kKOI8RToCP866, kKOI8RToISO8859,
          kCP866ToCP1251, kCP866ToKOI8R, kCP866ToISO8859, kISO8859ToCP1251, kISO8859ToKOI8R, kISO8859ToCP866})
        if (t[0] != 0)
            return false;
    return true;
}
static_assert(allKeepZero());

} // namespace

const std::uint8_t* codePageTable(CodePage from, CodePage to)
{
    const Table* t = kTables[static_cast<int>(from)][static_cast<int>(to)];
    return t ? t->data() : nullptr;
}

std::string convertCodePage(std::string_view text, CodePage from, CodePage to)
{
    const std::uint8_t* table = codePageTable(from, to);
    if (!table)
        throw std::runtime_error("Found error in codepage settings");
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(table[static_cast<unsigned char>(c)]);
    return out;
}
