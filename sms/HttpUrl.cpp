#include "sms/HttpUrl.h"

#include "sms/HttpError.h"

#include <curl/curl.h>

#include <memory>

namespace {

struct UrlHandleDeleter {
    void operator()(CURLU* h) const { curl_url_cleanup(h); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlHandleDeleter>;

// CURLUcode values would read as CURLcode ones in a log, so they are kept
// apart by this offset.
constexpr int kUrlErrorBase = 1000;

[[noreturn]] void throwUrlError(CURLUcode rc)
{
    throw HttpError(HttpFailure::Address, kUrlErrorBase + static_cast<int>(rc), curl_url_strerror(rc));
}

const unsigned kParseFlags = CURLU_NON_SUPPORT_SCHEME | CURLU_PATH_AS_IS;

// nullopt when the URL lacks the part; any other failure throws.
std::optional<std::string> part(CURLU* h, CURLUPart part, unsigned flags = 0)
{
    char* text = nullptr;
    const CURLUcode rc = curl_url_get(h, part, &text, flags);
    if (rc != CURLUE_OK) {
        switch (rc) {
        case CURLUE_NO_USER:
        case CURLUE_NO_PASSWORD:
        case CURLUE_NO_QUERY:
        case CURLUE_NO_FRAGMENT:
        case CURLUE_NO_PORT:
        case CURLUE_NO_HOST:
            return std::nullopt;
        default:
            throwUrlError(rc);
        }
    }
    std::string out(text);
    curl_free(text);
    return out;
}

UrlHandle newHandle()
{
    UrlHandle h(curl_url());
    if (!h)
        throwUrlError(CURLUE_OUT_OF_MEMORY);
    return h;
}

void appendEscape(std::string& out, unsigned char b)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[b >> 4];
    out += kHex[b & 0x0F];
}

bool isUnsafeUrlByte(unsigned char b)
{
    return b <= 0x20 || b >= 0x7F;
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool isAsciiAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

std::string encodeUnsafeUrlBytes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (isUnsafeUrlByte(b))
            appendEscape(out, b);
        else
            out += c;
    }
    return out;
}

std::string encodeQueryBytes(std::string_view text)
{
    // Besides letters and digits, what a query may hold as it stands.
    static constexpr std::string_view kQueryPunctuation = "-._~!$&'()*+,;=:@/?";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool escape = c == '%' && i + 2 < text.size() && isHexDigit(text[i + 1]) && isHexDigit(text[i + 2]);
        if (escape || isAsciiAlnum(c) || kQueryPunctuation.find(c) != std::string_view::npos)
            out += c;
        else
            appendEscape(out, static_cast<unsigned char>(c));
    }
    return out;
}

HttpUrlParts splitHttpUrl(std::string_view url)
{
    const UrlHandle h = newHandle();
    const std::string encoded = encodeUnsafeUrlBytes(url);
    if (const CURLUcode rc = curl_url_set(h.get(), CURLUPART_URL, encoded.c_str(), kParseFlags); rc != CURLUE_OK)
        throwUrlError(rc);

    HttpUrlParts parts;
    parts.scheme = part(h.get(), CURLUPART_SCHEME).value_or("");
    parts.host = part(h.get(), CURLUPART_HOST).value_or("");
    // No host name holds a '%'. One that still does once its escapes were
    // read would be read once more on the way out, naming another server.
    if (parts.host.find('%') != std::string::npos)
        throwUrlError(CURLUE_BAD_HOSTNAME);
    // A host written with escapes is read without its normal form (an
    // address written as one number stays one); the host is kept as it will
    // be read on the way out, when the request address is written from it.
    if (!parts.host.empty()) {
        const UrlHandle again = newHandle();
        const std::string written = "http://" + parts.host + "/";
        if (const CURLUcode rc = curl_url_set(again.get(), CURLUPART_URL, written.c_str(), kParseFlags); rc != CURLUE_OK)
            throwUrlError(rc);
        parts.host = part(again.get(), CURLUPART_HOST).value_or("");
    }
    parts.port = std::stoi(part(h.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT).value_or("0"));
    parts.path = part(h.get(), CURLUPART_PATH).value_or("/");
    if (const auto query = part(h.get(), CURLUPART_QUERY))
        parts.extra = "?" + *query;
    if (const auto fragment = part(h.get(), CURLUPART_FRAGMENT))
        parts.extra += "#" + *fragment;
    parts.userName = part(h.get(), CURLUPART_USER);
    parts.password = part(h.get(), CURLUPART_PASSWORD);
    return parts;
}

HttpUrlParts splitRequestUrl(std::string_view url)
{
    HttpUrlParts parts = splitHttpUrl(url);
    if (parts.scheme != "http" && parts.scheme != "https")
        throw HttpError(HttpFailure::Address, CURLE_UNSUPPORTED_PROTOCOL, "Invalid protocol");
    return parts;
}

std::string requestUrl(const HttpUrlParts& parts)
{
    // Built in one go: GCC 12 at -O3 warns falsely (-Wrestrict) on an insert at the front.
    const bool rooted = !parts.path.empty() ? parts.path.front() == '/' : !parts.extra.empty() && parts.extra.front() == '/';
    const std::string object = (rooted ? std::string() : std::string("/")) + parts.path + parts.extra;
    return parts.scheme + "://" + parts.host + ":" + std::to_string(parts.port) + encodeUnsafeUrlBytes(object);
}
