// URL splitting for the HTTP client, on libcurl's URL API. Parts keep their
// escape sequences as written: decoding "%26" into "&" and sending it raw
// would change what the server receives.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct HttpUrlParts {
    std::string scheme; // lower case, e.g. "http"
    std::string host;
    int port = 0; // the scheme's default port when the URL names none
    std::string path; // "/" at least
    std::string extra; // "?query", "#fragment", both, or empty
    std::optional<std::string> userName;
    std::optional<std::string> password;
};

// Percent-encodes the bytes that may never stand raw in a URL or on a request
// line: controls (CR and LF included), the blank, DEL and bytes above 0x7F.
// Leaves '%' alone, so encoding twice changes nothing.
std::string encodeUnsafeUrlBytes(std::string_view text);

// For text that goes into a query as a whole: the bytes above, and every
// other byte a query may not hold ("#" would end it), are percent-encoded; so
// is a '%' that does not start an escape. Escapes already present, and the
// form's '&', '=' and '+', stay as written.
std::string encodeQueryBytes(std::string_view text);

// Splits an absolute URL; the bytes above are encoded first. Throws HttpError
// (HttpFailure::Address) with libcurl's message when the URL cannot be parsed.
HttpUrlParts splitHttpUrl(std::string_view url);

// As splitHttpUrl, and refuses every scheme but http and https with
// HttpError "Invalid protocol".
HttpUrlParts splitRequestUrl(std::string_view url);

// The address a request goes to: scheme, host and port always written out,
// then path and extra with the unsafe bytes encoded.
std::string requestUrl(const HttpUrlParts& parts);
