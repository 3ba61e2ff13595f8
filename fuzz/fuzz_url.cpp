// Address splitting on arbitrary bytes: nothing may crash, and what a split
// hands out must hold together.
#include "sms/HttpError.h"
#include "sms/HttpUrl.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);

    const std::string encoded = encodeUnsafeUrlBytes(input);
    if (encodeUnsafeUrlBytes(encoded) != encoded)
        std::abort();

    // Encoded form data must come back whole as the query of an address.
    const std::string query = encodeQueryBytes(input);
    if (encodeQueryBytes(query) != query || query.find('#') != std::string::npos)
        std::abort();
    if (splitHttpUrl("http://gate.example/send?" + query).extra != "?" + query)
        std::abort();

    try {
        const HttpUrlParts parts = splitHttpUrl(input);
        if (!parts.extra.empty() && parts.extra[0] != '?' && parts.extra[0] != '#')
            std::abort();
        if (parts.path.empty() || parts.port < 0 || parts.port > 65535)
            std::abort();
    } catch (const HttpError& e) {
        if (e.failure() != HttpFailure::Address)
            std::abort();
    }

    try {
        // The address a request goes to splits again into the same server and object.
        const HttpUrlParts parts = splitRequestUrl(input);
        const HttpUrlParts again = splitRequestUrl(requestUrl(parts));
        if (again.host != parts.host || again.port != parts.port || again.scheme != parts.scheme)
            std::abort();
    } catch (const HttpError& e) {
        if (e.failure() != HttpFailure::Address)
            std::abort();
    }
    return 0;
}
