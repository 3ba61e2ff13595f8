// A gateway's reply page: line splitting, the search for the success text and
// the conversion for showing, over arbitrary bytes in every code page.
#include "sms/SmsSubmission.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const auto page = static_cast<CodePage>(data[0] % 4);
    const std::string_view body(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string text = replyPageText(body);

    // Every line ends with CR LF, no other break and no zero byte survives.
    if (text.find('\0') != std::string::npos)
        __builtin_trap();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))
            __builtin_trap();
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            __builtin_trap();
    }
    if (!text.empty() && text.substr(text.size() - 2) != "\r\n")
        __builtin_trap();

    const std::string shown = pageForDisplay(text, page);
    if (shown.size() != text.size())
        __builtin_trap();
    if (successText(body.substr(0, 8), page).size() != body.substr(0, 8).size())
        __builtin_trap();
    return 0;
}
