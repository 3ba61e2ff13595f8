#include "sms/HttpClient.h"

#include "sms/HttpUrl.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace {

constexpr std::size_t kMaxAcceptTypes = 100;
constexpr const char* kCancelledText = "The request was cancelled.";
constexpr long kMaxRedirects = 20;
// The longest reply header line libcurl takes.
constexpr std::size_t kLongestHeaderLine = CURL_MAX_HTTP_HEADER;
// How often a waiting request looks at its time-outs and whether it was
// cancelled: a cancel takes effect at once as the user sees it.
constexpr std::chrono::milliseconds kCheckInterval{40};

CURL* easyHandle(void* p)
{
    return static_cast<CURL*>(p);
}
CURLM* multiHandle(void* p)
{
    return static_cast<CURLM*>(p);
}

// "30 seconds", "1 second", "0.3 seconds".
std::string secondsText(std::chrono::milliseconds duration)
{
    const auto ms = duration.count();
    std::string number = std::to_string(ms / 1000);
    if (const auto rest = ms % 1000) {
        std::string fraction = std::to_string(1000 + rest).substr(1);
        while (fraction.back() == '0')
            fraction.pop_back();
        number += "." + fraction;
    }
    return number + (ms == 1000 ? " second" : " seconds");
}

// "16 MiB", "64 KiB", "100 bytes".
std::string sizeText(std::size_t bytes)
{
    if (bytes != 0 && bytes % (std::size_t{1} << 20) == 0)
        return std::to_string(bytes >> 20) + " MiB";
    if (bytes != 0 && bytes % 1024 == 0)
        return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

bool hasHeader(const std::vector<std::string>& lines, std::string_view name)
{
    const std::string prefix = std::string(name) + ":";
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return startsWithIgnoringCase(l, prefix); });
}

// Makes room for n bytes, no more: std::string's own growth may double the
// block instead, and the reply must never take more than its cap.
void reserveExactly(std::string& bytes, std::size_t n)
{
    if (n <= bytes.capacity())
        return;
    std::string grown;
    grown.reserve(n);
    grown.append(bytes);
    bytes.swap(grown);
}

struct SlistDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// The request's own header lines and those that stand in for the browser's:
// what it accepts, no Expect (old gateways choke on it), the cache headers.
std::vector<std::string> headerLines(const HttpRequest& request)
{
    std::vector<std::string> lines;
    for (const std::string& line : request.headers)
        if (!line.empty())
            lines.push_back(line);
    if (!hasHeader(request.headers, "Accept")) {
        std::string accept;
        for (std::size_t i = 0; i < request.acceptTypes.size() && i < kMaxAcceptTypes && !request.acceptTypes[i].empty();
             ++i)
            accept += (i ? ", " : "") + request.acceptTypes[i];
        lines.push_back(accept.empty() ? "Accept:" : "Accept: " + accept);
    }
    // libcurl's own form type would stand in for a missing one.
    if (!request.body.empty() && !hasHeader(request.headers, "Content-Type"))
        lines.push_back("Content-Type:");
    if (!hasHeader(request.headers, "Expect"))
        lines.push_back("Expect:");
    if (request.noCache && !hasHeader(request.headers, "Cache-Control"))
        lines.push_back("Cache-Control: no-cache");
    if (request.pragmaNoCache && !hasHeader(request.headers, "Pragma"))
        lines.push_back("Pragma: no-cache");
    return lines;
}

// Credentials are kept per server, so that those of one gateway never reach another.
std::string serverOf(const HttpUrlParts& url)
{
    return url.scheme + "://" + url.host + ":" + std::to_string(url.port);
}

} // namespace

// One transfer on the easy handle: libcurl's callbacks and what they gather.
struct HttpClient::Transfer {
    enum class Stop { None, TimedOut, TimeLimit, TooLarge, Cancelled };

    HttpClient& client;
    const HttpRequest& request;
    std::stop_token cancel;
    std::vector<std::string> headerBlock; // header lines of the reply being read
    std::string body;
    bool discardBody = false;
    Stop stop = Stop::None;
    bool requestSent = false; // the receive time-out runs from here on
    std::int64_t bytesArrived = 0; // header and body bytes

    static int prerequest(void* clientp, char*, char*, int, int)
    {
        static_cast<Transfer*>(clientp)->requestSent = true;
        return CURL_PREREQFUNC_OK;
    }

    static std::size_t header(char* data, std::size_t size, std::size_t count, void* clientp)
    {
        auto* self = static_cast<Transfer*>(clientp);
        const std::size_t n = size * count;
        self->bytesArrived += static_cast<std::int64_t>(n);
        std::string line(data, n);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        if (startsWithIgnoringCase(line, "HTTP/"))
            self->headerBlock.clear();
        if (!line.empty()) {
            self->headerBlock.push_back(std::move(line));
            return n;
        }
        long status = 0;
        curl_easy_getinfo(easyHandle(self->client.curl_), CURLINFO_RESPONSE_CODE, &status);
        // Neither a demand for credentials nor a followed redirect is the
        // reply the caller asked for.
        const bool redirect = status >= 300 && status < 400 && self->request.followRedirects;
        self->discardBody = status == 401 || status == 407 || redirect;
        return n;
    }

    static std::size_t write(char* data, std::size_t size, std::size_t count, void* clientp)
    {
        auto* self = static_cast<Transfer*>(clientp);
        std::size_t n = size * count;
        self->bytesArrived += static_cast<std::int64_t>(n);
        if (self->discardBody)
            return n;
        // Never more than the cap in memory: what fits is kept, the rest ends the request.
        const std::size_t limit = self->request.maxResponseSize;
        const std::size_t held = self->body.size();
        const bool tooLarge = n > limit - std::min(held, limit);
        if (tooLarge) {
            n = limit - std::min(held, limit);
            self->stop = Stop::TooLarge;
        }
        if (held + n > self->body.capacity())
            reserveExactly(self->body, std::min(limit, std::max(held + n, 2 * self->body.capacity())));
        self->body.append(data, n);
        return tooLarge ? CURL_WRITEFUNC_ERROR : n;
    }

    // Drives the transfer as curl_easy_perform would, but comes back between
    // waits so that the time-outs and a cancel can end the request.
    CURLcode run(char* errorText)
    {
        using Clock = std::chrono::steady_clock;
        CURLM* multi = multiHandle(client.multi_);
        CURL* easy = easyHandle(client.curl_);
        if (const CURLMcode mc = curl_multi_add_handle(multi, easy); mc != CURLM_OK) {
            std::snprintf(errorText, CURL_ERROR_SIZE, "%s", curl_multi_strerror(mc));
            return CURLE_FAILED_INIT;
        }
        struct Detach {
            CURLM* multi;
            CURL* easy;
            ~Detach() { curl_multi_remove_handle(multi, easy); }
        } detach{multi, easy};

        const bool limited = request.timeLimit.count() > 0;
        auto lastActivity = Clock::now();
        std::int64_t lastMoved = -1;
        for (;;) {
            // Also before the first step: a cancel that came first sends nothing.
            if (cancel.stop_requested()) {
                stop = Stop::Cancelled;
                return CURLE_ABORTED_BY_CALLBACK;
            }
            int running = 0;
            if (const CURLMcode mc = curl_multi_perform(multi, &running); mc != CURLM_OK) {
                std::snprintf(errorText, CURL_ERROR_SIZE, "%s", curl_multi_strerror(mc));
                return CURLE_FAILED_INIT;
            }
            int queued = 0;
            while (const CURLMsg* message = curl_multi_info_read(multi, &queued))
                if (message->msg == CURLMSG_DONE && message->easy_handle == easy)
                    return message->data.result;

            const auto now = Clock::now();
            if (limited && now >= client.deadline_) {
                stop = Stop::TimeLimit;
                return CURLE_OPERATION_TIMEDOUT;
            }
            curl_off_t uploaded = 0;
            curl_easy_getinfo(easy, CURLINFO_SIZE_UPLOAD_T, &uploaded);
            const std::int64_t moved = bytesArrived + uploaded;
            if (!requestSent || moved != lastMoved) {
                lastMoved = moved;
                lastActivity = now;
            } else if (request.receiveTimeout.count() > 0 && now - lastActivity >= request.receiveTimeout) {
                stop = Stop::TimedOut;
                return CURLE_OPERATION_TIMEDOUT;
            }
            auto wake = Clock::now() + kCheckInterval;
            if (limited)
                wake = std::min(wake, client.deadline_);
            const auto pollMs = std::clamp<std::int64_t>(
                std::chrono::duration_cast<std::chrono::milliseconds>(wake - Clock::now()).count() + 1, 1,
                kCheckInterval.count());
            curl_multi_poll(multi, nullptr, 0, static_cast<int>(pollMs), nullptr);
        }
    }

    [[noreturn]] void fail(CURLcode rc, const char* errorText)
    {
        switch (stop) {
        case Stop::TimedOut:
            throw HttpError(HttpFailure::TimedOut, rc,
                            "The gateway did not answer within " + secondsText(request.receiveTimeout) + ".",
                            std::move(body));
        case Stop::TimeLimit:
            throw HttpError(HttpFailure::TimeLimit, rc,
                            "The gateway did not complete its reply within " + secondsText(request.timeLimit) + ".",
                            std::move(body));
        case Stop::TooLarge:
            throw HttpError(HttpFailure::TooLarge, CURLE_FILESIZE_EXCEEDED,
                            "The gateway's reply was larger than " + sizeText(request.maxResponseSize) + ".",
                            std::move(body));
        case Stop::Cancelled:
            throw HttpError(HttpFailure::Cancelled, rc, kCancelledText, std::move(body));
        case Stop::None:
            break;
        }
        // libcurl refuses a reply header line over 100 KB and calls that "Out of
        // memory"; once the request is out, that is what it means.
        if (rc == CURLE_OUT_OF_MEMORY && requestSent)
            throw HttpError(HttpFailure::Transfer, rc,
                            "The gateway's reply could not be read: one of its header lines is longer than "
                                + sizeText(kLongestHeaderLine) + ".",
                            std::move(body));
        throw HttpError(HttpFailure::Transfer, rc, errorText[0] ? errorText : curl_easy_strerror(rc), std::move(body));
    }
};

HttpClient::HttpClient() = default;

HttpClient::~HttpClient()
{
    closeSession();
}

void HttpClient::openSession()
{
    if (curl_)
        return;
    static std::once_flag globalInit;
    std::call_once(globalInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    curl_ = curl_easy_init();
    multi_ = curl_multi_init();
    if (!curl_ || !multi_) {
        closeSession();
        throw HttpError(HttpFailure::Transfer, CURLE_FAILED_INIT, curl_easy_strerror(CURLE_FAILED_INIT));
    }
    cookieEngine_ = false;
}

void HttpClient::closeSession()
{
    if (multi_)
        curl_multi_cleanup(multiHandle(multi_)); // closes the kept connections
    if (curl_)
        curl_easy_cleanup(easyHandle(curl_));
    multi_ = nullptr;
    curl_ = nullptr;
}

std::optional<HttpCredentials> HttpClient::askCredentials(const std::string& title, const HttpCredentials& current)
{
    if (!prompt_)
        return std::nullopt;
    // The user's time in the prompt is not the server's.
    const auto asked = std::chrono::steady_clock::now();
    std::optional<HttpCredentials> answer = prompt_(title, current);
    deadline_ += std::chrono::steady_clock::now() - asked;
    return answer;
}

HttpResponse HttpClient::perform(const HttpRequest& request, std::stop_token cancel)
{
    if (busy_)
        throw std::logic_error("A request is already running.");
    struct BusyScope {
        bool& busy;
        explicit BusyScope(bool& b)
            : busy(b)
        {
            busy = true;
        }
        ~BusyScope() { busy = false; }
    } busyScope(busy_);
    deadline_ = std::chrono::steady_clock::now() + std::max(request.timeLimit, std::chrono::milliseconds{0});

    const HttpUrlParts url = splitRequestUrl(request.url);
    const std::string server = serverOf(url);
    HttpCredentials credentials;
    if (url.userName || url.password)
        credentials = {url.userName.value_or(""), url.password.value_or("")};
    else if (const auto known = serverCredentials_.find(server); known != serverCredentials_.end())
        credentials = known->second;

    openSession();
    for (int retries = 0;;) {
        HttpResponse response = transfer(request, requestUrl(url), credentials, cancel);
        const bool proxy = response.status == 407;
        if (response.status != 401 && !proxy) {
            if (!credentials.empty() && request.sendCredentials)
                serverCredentials_[server] = credentials;
            return response;
        }
        if (retries >= request.authRetries || !request.sendCredentials)
            return response;
        const std::string title = proxy ? "Proxy authentication: " + request.proxy : "Authentication: " + url.host;
        const std::optional<HttpCredentials> answer = askCredentials(title, proxy ? proxyCredentials_ : credentials);
        // Cancelled while the user was asked: the user's answer no longer matters.
        if (cancel.stop_requested())
            throw HttpError(HttpFailure::Cancelled, CURLE_ABORTED_BY_CALLBACK, kCancelledText);
        if (!answer)
            return response;
        (proxy ? proxyCredentials_ : credentials) = *answer;
        ++retries;
    }
}

HttpResponse HttpClient::transfer(const HttpRequest& request, const std::string& url,
                                  const HttpCredentials& credentials, std::stop_token cancel)
{
    // Every option is set on each request rather than reset: a reset handle
    // forgets (and leaks) its cookie engine's bookkeeping.
    if (!request.cookies && cookieEngine_) {
        // The only way to switch libcurl's cookie engine off again.
        closeSession();
        openSession();
    }
    CURL* c = easyHandle(curl_);
    Transfer t{*this, request, std::move(cancel), {}, {}};

    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(std::max<std::chrono::milliseconds::rep>(request.connectTimeout.count(), 1)));
    // Certificates and host names are always verified: skipping that would
    // let anyone on the path read or change a message sent over HTTPS.
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(c, CURLOPT_USERAGENT, request.userAgent.empty() ? nullptr : request.userAgent.c_str());
    curl_easy_setopt(c, CURLOPT_PROXY, request.proxy.empty() ? nullptr : request.proxy.c_str());
    const bool proxyAuth = !proxyCredentials_.empty();
    curl_easy_setopt(c, CURLOPT_PROXYUSERNAME, proxyAuth ? proxyCredentials_.userName.c_str() : nullptr);
    curl_easy_setopt(c, CURLOPT_PROXYPASSWORD, proxyAuth ? proxyCredentials_.password.c_str() : nullptr);
    curl_easy_setopt(c, CURLOPT_PROXYAUTH, proxyAuth ? CURLAUTH_ANY : CURLAUTH_BASIC);
    const bool auth = request.sendCredentials && !credentials.empty();
    curl_easy_setopt(c, CURLOPT_USERNAME, auth ? credentials.userName.c_str() : nullptr);
    curl_easy_setopt(c, CURLOPT_PASSWORD, auth ? credentials.password.c_str() : nullptr);
    curl_easy_setopt(c, CURLOPT_HTTPAUTH, auth ? CURLAUTH_ANY : CURLAUTH_BASIC);

    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, kMaxRedirects);
    const bool secure = url.rfind("https:", 0) == 0;
    std::string redirectSchemes = secure ? "https" : "http";
    if (secure && request.redirectToHttp)
        redirectSchemes += ",http";
    if (!secure && request.redirectToHttps)
        redirectSchemes += ",https";
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, redirectSchemes.c_str());
    if (request.cookies && !cookieEngine_) {
        curl_easy_setopt(c, CURLOPT_COOKIEFILE, ""); // the engine then lives as long as the handle
        cookieEngine_ = true;
    }
    curl_easy_setopt(c, CURLOPT_FORBID_REUSE, request.keepConnection ? 0L : 1L);

    curl_slist* headerList = nullptr;
    for (const std::string& line : headerLines(request)) {
        curl_slist* grown = curl_slist_append(headerList, line.c_str());
        if (!grown) {
            curl_slist_free_all(headerList);
            throw HttpError(HttpFailure::Transfer, CURLE_OUT_OF_MEMORY, curl_easy_strerror(CURLE_OUT_OF_MEMORY));
        }
        headerList = grown;
    }
    const std::unique_ptr<curl_slist, SlistDeleter> headers(headerList);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());

    const std::string& body = request.body;
    curl_easy_setopt(c, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L); // back to a plain GET before choosing
    curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, nullptr);
    if (!body.empty()) {
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, body.data());
        if (request.method != "POST")
            curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    } else if (request.method == "HEAD") {
        curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
    } else if (request.method == "POST") {
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t{0});
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, "");
    } else if (request.method != "GET") {
        curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    }

    curl_easy_setopt(c, CURLOPT_PREREQFUNCTION, &Transfer::prerequest);
    curl_easy_setopt(c, CURLOPT_PREREQDATA, &t);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &Transfer::header);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &Transfer::write);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &t);

    struct Unhook {
        CURL* c;
        ~Unhook()
        {
            // Nothing the handle keeps may point into this call's frame.
            curl_easy_setopt(c, CURLOPT_ERRORBUFFER, nullptr);
            curl_easy_setopt(c, CURLOPT_HTTPHEADER, nullptr);
            curl_easy_setopt(c, CURLOPT_POSTFIELDS, nullptr);
            curl_easy_setopt(c, CURLOPT_PREREQDATA, nullptr);
            curl_easy_setopt(c, CURLOPT_HEADERDATA, nullptr);
            curl_easy_setopt(c, CURLOPT_WRITEDATA, nullptr);
        }
    } unhook{c};
    const CURLcode rc = t.run(errorText);
    if (rc != CURLE_OK)
        t.fail(rc, errorText);
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    return HttpResponse{static_cast<int>(status), std::move(t.headerBlock), std::move(t.body)};
}
