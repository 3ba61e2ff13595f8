#include "sms/HttpUrl.h"

#include "sms/HttpError.h"

#include <curl/curl.h>

#include <array>
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

// Which bytes an encoding keeps as they stand; the rest become %XX.
using KeptBytes = std::array<bool, 256>;

constexpr KeptBytes kUrlKeeps = [] {
    KeptBytes keep {};
    // Controls, the space and bytes beyond ASCII cannot stand in an address.
    for (int b = 0x21; b < 0x7F; ++b)
        keep[static_cast<std::size_t>(b)] = true;
    return keep;
}();

constexpr KeptBytes kQueryKeeps = [] {
    KeptBytes keep {};
    for (int b = '0'; b <= '9'; ++b)
        keep[static_cast<std::size_t>(b)] = true;
    for (int b = 'A'; b <= 'Z'; ++b)
        keep[static_cast<std::size_t>(b)] = true;
    for (int b = 'a'; b <= 'z'; ++b)
        keep[static_cast<std::size_t>(b)] = true;
    // Besides letters and digits, what a query may hold as it stands.
    for (const char c : std::string_view("-._~!$&'()*+,;=:@/?"))
        keep[static_cast<unsigned char>(c)] = true;
    return keep;
}();

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// Copies text, writing every byte the table does not keep as %XX, except a
// '%' that already opens an escape when escapesStay.
std::string encodeBytes(std::string_view text, const KeptBytes& keep, bool escapesStay)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    const bool* const kept = keep.data();
    std::size_t escapes = 0;
    for (const char c : text)
        escapes += kept[static_cast<unsigned char>(c)] ? 0 : 1;
    // Room for every escape; a '%' that stays gives back two bytes at the end.
    std::string out(text.size() + 2 * escapes, '\0');
    char* to = out.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        const bool stays = kept[b]
            || (escapesStay && b == '%' && i + 2 < text.size() && isHexDigit(text[i + 1]) && isHexDigit(text[i + 2]));
        if (stays) {
            *to++ = text[i];
        } else {
            *to++ = '%';
            *to++ = kHex[b >> 4];
            *to++ = kHex[b & 0x0F];
        }
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
    return out;
}

} // namespace

std::string encodeUnsafeUrlBytes(std::string_view text)
{
    return encodeBytes(text, kUrlKeeps, false);
}

std::string encodeQueryBytes(std::string_view text)
{
    return encodeBytes(text, kQueryKeeps, true);
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
