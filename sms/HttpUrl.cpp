#include "sms/HttpUrl.h"

#include "sms/HttpError.h"

#include <curl/curl.h>

#include <memory>

namespace {

struct UrlHandleDeleter {
    void operator()(CURLU* h) const { curl_url_cleanup(h); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlHandleDeleter>;

// CURLUcode values live beside CURLcode ones in LastError, so they are kept
// apart by this offset.
constexpr int kUrlErrorBase = 1000;

[[noreturn]] void ThrowUrlError(CURLUcode rc)
{
    throw HttpError(kUrlErrorBase + static_cast<int>(rc), curl_url_strerror(rc));
}

const unsigned kParseFlags = CURLU_NON_SUPPORT_SCHEME | CURLU_PATH_AS_IS;

// nullopt when the URL lacks the part; any other failure throws.
std::optional<std::string> Part(CURLU* h, CURLUPart part, unsigned flags = 0)
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
            ThrowUrlError(rc);
        }
    }
    std::string out(text);
    curl_free(text);
    return out;
}

UrlHandle NewHandle()
{
    UrlHandle h(curl_url());
    if (!h)
        ThrowUrlError(CURLUE_OUT_OF_MEMORY);
    return h;
}

void AppendEscape(std::string& out, unsigned char b)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[b >> 4];
    out += kHex[b & 0x0F];
}

bool IsUnsafeUrlByte(unsigned char b)
{
    return b <= 0x20 || b >= 0x7F;
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool IsAsciiAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

std::string EncodeUnsafeUrlBytes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (IsUnsafeUrlByte(b))
            AppendEscape(out, b);
        else
            out += c;
    }
    return out;
}

std::string EncodeQueryBytes(std::string_view text)
{
    // Besides letters and digits, what a query may hold as it stands.
    static constexpr std::string_view kQueryPunctuation = "-._~!$&'()*+,;=:@/?";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool escape = c == '%' && i + 2 < text.size() && IsHexDigit(text[i + 1]) && IsHexDigit(text[i + 2]);
        if (escape || IsAsciiAlnum(c) || kQueryPunctuation.find(c) != std::string_view::npos)
            out += c;
        else
            AppendEscape(out, static_cast<unsigned char>(c));
    }
    return out;
}

HttpUrlParts SplitHttpUrl(std::string_view url)
{
    const UrlHandle h = NewHandle();
    const std::string encoded = EncodeUnsafeUrlBytes(url);
    if (const CURLUcode rc = curl_url_set(h.get(), CURLUPART_URL, encoded.c_str(), kParseFlags); rc != CURLUE_OK)
        ThrowUrlError(rc);

    HttpUrlParts parts;
    parts.Scheme = Part(h.get(), CURLUPART_SCHEME).value_or("");
    parts.HostName = Part(h.get(), CURLUPART_HOST).value_or("");
    parts.Port = std::stoi(Part(h.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT).value_or("0"));
    parts.URLPath = Part(h.get(), CURLUPART_PATH).value_or("/");
    if (const auto query = Part(h.get(), CURLUPART_QUERY))
        parts.ExtraInfo = "?" + *query;
    if (const auto fragment = Part(h.get(), CURLUPART_FRAGMENT))
        parts.ExtraInfo += "#" + *fragment;
    parts.UserName = Part(h.get(), CURLUPART_USER);
    parts.Password = Part(h.get(), CURLUPART_PASSWORD);
    return parts;
}

std::string CombineHttpUrl(std::string_view base, std::string_view relative)
{
    const UrlHandle h = NewHandle();
    const std::string encodedBase = EncodeUnsafeUrlBytes(base);
    if (const CURLUcode rc = curl_url_set(h.get(), CURLUPART_URL, encodedBase.c_str(), kParseFlags); rc != CURLUE_OK)
        ThrowUrlError(rc);
    if (!relative.empty()) {
        const std::string encoded = EncodeUnsafeUrlBytes(relative);
        if (const CURLUcode rc = curl_url_set(h.get(), CURLUPART_URL, encoded.c_str(), kParseFlags); rc != CURLUE_OK)
            ThrowUrlError(rc);
    }
    return Part(h.get(), CURLUPART_URL).value_or("");
}
