// URL splitting and combining for the HTTP client, on libcurl's URL API.
// Parts keep their escape sequences as written: decoding "%26" into "&" and
// sending it raw would change what the server receives.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct HttpUrlParts {
    std::string Scheme; // lower case, e.g. "http"
    std::string HostName;
    int Port = 0; // the scheme's default port when the URL names none
    std::string URLPath; // "/" at least
    std::string ExtraInfo; // "?query", "#fragment", both, or empty
    std::optional<std::string> UserName;
    std::optional<std::string> Password;
};

// Percent-encodes the bytes that may never stand raw in a URL or on a request
// line: controls (CR and LF included), the blank, DEL and bytes above 0x7F.
// Leaves '%' alone, so encoding twice changes nothing.
std::string EncodeUnsafeUrlBytes(std::string_view text);

// For text that goes into a query as a whole: the bytes above, and every
// other byte a query may not hold ("#" would end it), are percent-encoded; so
// is a '%' that does not start an escape. Escapes already present, and the
// form's '&', '=' and '+', stay as written.
std::string EncodeQueryBytes(std::string_view text);

// Splits an absolute URL; the bytes above are encoded first. Throws HttpError
// with libcurl's message when the URL cannot be parsed.
HttpUrlParts SplitHttpUrl(std::string_view url);

// base ("scheme://host[:port]") combined with a path and extra part; throws
// HttpError when the result is no valid URL.
std::string CombineHttpUrl(std::string_view base, std::string_view relative);
