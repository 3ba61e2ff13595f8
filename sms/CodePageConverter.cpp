#include "sms/CodePageConverter.h"

#include "sms/CodePageTables.h"

#include <algorithm>
#include <stdexcept>

namespace {

using namespace cyrcoder_tables;

// Indexed [source][target]; the diagonal stays empty on purpose.
constexpr const Table* kTables[4][4] = {
    {nullptr, &kCP1251ToKOI8R, &kCP1251ToCP866, &kCP1251ToISO8859},
    {&kKOI8RToCP1251, nullptr, &kKOI8RToCP866, &kKOI8RToISO8859},
    {&kCP866ToCP1251, &kCP866ToKOI8R, nullptr, &kCP866ToISO8859},
    {&kISO8859ToCP1251, &kISO8859ToKOI8R, &kISO8859ToCP866, nullptr},
};

// Every table keeps the zero byte, so a converted buffer stays terminated.
constexpr bool AllKeepZero()
{
    for (const Table& t :
         {kCP1251ToKOI8R, kCP1251ToCP866, kCP1251ToISO8859, kKOI8RToCP1251, kKOI8RToCP866, kKOI8RToISO8859,
          kCP866ToCP1251, kCP866ToKOI8R, kCP866ToISO8859, kISO8859ToCP1251, kISO8859ToKOI8R, kISO8859ToCP866})
        if (t[0] != 0)
            return false;
    return true;
}
static_assert(AllKeepZero());

} // namespace

const std::uint8_t* CodePageConverter::Table(CodePage source, CodePage target)
{
    const cyrcoder_tables::Table* t = kTables[static_cast<int>(source)][static_cast<int>(target)];
    return t ? t->data() : nullptr;
}

std::string CodePageConverter::Text() const
{
    if (FBuffer.empty())
        return {};
    const auto end = std::find(FBuffer.begin(), FBuffer.end(), std::uint8_t{0});
    return std::string(FBuffer.begin(), end);
}

void CodePageConverter::SetText(std::string_view text)
{
    FBuffer.assign(text.size() + 1, 0);
    const auto end = std::find(text.begin(), text.end(), '\0');
    std::copy(text.begin(), end, FBuffer.begin());
    if (FAutoConvert)
        Convert();
}

void CodePageConverter::Convert()
{
    if (FBuffer.empty())
        return;
    const std::uint8_t* table = Table(FSource, FTarget);
    if (!table)
        throw std::runtime_error("Found error in codepage settings");
    for (std::uint8_t& b : FBuffer)
        b = table[b];
}
