// Address splitting and rebuilding on arbitrary bytes: nothing may crash,
// and what a split hands out must hold together.
#include "sms/HttpUrl.h"
#include "sms/HttpClient.h"

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);

    const std::string encoded = EncodeUnsafeUrlBytes(input);
    if (EncodeUnsafeUrlBytes(encoded) != encoded)
        std::abort();

    // Encoded form data must come back whole as the query of an address.
    const std::string query = EncodeQueryBytes(input);
    if (EncodeQueryBytes(query) != query || query.find('#') != std::string::npos)
        std::abort();
    if (SplitHttpUrl("http://gate.example/send?" + query).ExtraInfo != "?" + query)
        std::abort();

    try {
        const HttpUrlParts parts = SplitHttpUrl(input);
        if (!parts.ExtraInfo.empty() && parts.ExtraInfo[0] != '?' && parts.ExtraInfo[0] != '#')
            std::abort();
        if (parts.URLPath.empty() || parts.Port < 0 || parts.Port > 65535)
            std::abort();
    } catch (const HttpError&) { }

    HttpClient http;
    try {
        http.SetURL(input);
        // A split address must rebuild into one that splits again.
        http.SetExtraInfo(http.ExtraInfo());
        SplitHttpUrl(http.URL());
    } catch (const HttpError&) {
    } catch (const std::runtime_error& e) {
        if (std::string(e.what()) != "Invalid protocol")
            std::abort();
    }
    return 0;
}
