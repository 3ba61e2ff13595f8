#include "sms/HttpClient.h"

#include "sms/HttpUrl.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <utility>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

constexpr std::size_t kMaxAcceptTypes = 100;
constexpr long kMaxRedirects = 20;
// How often a running request raises OnWaiting: often enough for a window
// to repaint and take a click.
constexpr std::chrono::milliseconds kWaitingInterval{40};

CURL* Handle(void* p)
{
    return static_cast<CURL*>(p);
}
CURLM* Multi(void* p)
{
    return static_cast<CURLM*>(p);
}

// "30 seconds", "1 second", "0.3 seconds".
std::string SecondsText(int ms)
{
    std::string number = std::to_string(ms / 1000);
    if (const int rest = ms % 1000) {
        std::string fraction = std::to_string(1000 + rest).substr(1);
        while (fraction.back() == '0')
            fraction.pop_back();
        number += "." + fraction;
    }
    return number + (ms == 1000 ? " second" : " seconds");
}

// "16 MiB", "64 KiB", "100 bytes".
std::string SizeText(std::size_t bytes)
{
    if (bytes != 0 && bytes % (std::size_t{1} << 20) == 0)
        return std::to_string(bytes >> 20) + " MiB";
    if (bytes != 0 && bytes % 1024 == 0)
        return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

bool HasHeader(const std::vector<std::string>& lines, std::string_view name)
{
    const std::string prefix = std::string(name) + ":";
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return StartsWithIgnoringCase(l, prefix); });
}

std::string NumericAddress(const sockaddr* address, socklen_t length)
{
    char host[NI_MAXHOST] = {};
    if (getnameinfo(address, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0)
        return {};
    return host;
}

struct SlistDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

} // namespace

// libcurl's callbacks; they reach the component's private transfer state.
struct HttpTransfer {
    // Runs handlers inside a callback; a handler's exception is kept and
    // rethrown once libcurl has returned, never thrown through C frames.
    template <typename F>
    static bool Guard(HttpClient* self, F&& f)
    {
        if (self->FEventError)
            return false;
        try {
            f();
            return true;
        } catch (...) {
            self->FEventError = std::current_exception();
            return false;
        }
    }

    static int ResolverStart(void*, void*, void* clientp)
    {
        auto* self = static_cast<HttpClient*>(clientp);
        return Guard(self, [&] { self->CallEvent(self->OnResolvingName); }) ? 0 : 1;
    }

    static curl_socket_t OpenSocket(void* clientp, curlsocktype, curl_sockaddr* address)
    {
        auto* self = static_cast<HttpClient*>(clientp);
        const bool ok = Guard(self, [&] {
            self->StatusText = NumericAddress(&address->addr, static_cast<socklen_t>(address->addrlen));
            self->CallEvent(self->OnNameResolved);
            self->CallEvent(self->OnConnectingToServer);
        });
        if (!ok)
            return CURL_SOCKET_BAD;
        return ::socket(address->family, address->socktype, address->protocol);
    }

    static int CloseSocket(void* clientp, curl_socket_t socket)
    {
        auto* self = static_cast<HttpClient*>(clientp);
        Guard(self, [&] { self->CallEvent(self->OnClosingConnection); });
#ifdef _WIN32
        const int rc = closesocket(socket);
#else
        const int rc = ::close(socket);
#endif
        Guard(self, [&] { self->CallEvent(self->OnConnectionClosed); });
        return rc;
    }

    static int Prerequest(void* clientp, char* primaryIp, char*, int, int)
    {
        auto* self = static_cast<HttpClient*>(clientp);
        return Guard(self,
                     [&] {
                         self->FRequestSent = true;
                         self->StatusText = primaryIp;
                         self->CallEvent(self->OnConnectedToServer);
                         self->CallEvent(self->OnSendingRequest);
                     })
            ? CURL_PREREQFUNC_OK
            : CURL_PREREQFUNC_ABORT;
    }

    static std::size_t Header(char* data, std::size_t size, std::size_t count, void* clientp)
    {
        auto* self = static_cast<HttpClient*>(clientp);
        const std::size_t n = size * count;
        self->FBytesArrived += static_cast<std::int64_t>(n);
        std::string line(data, n);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        const bool ok = Guard(self, [&] {
            if (StartsWithIgnoringCase(line, "HTTP/")) {
                if (!self->FResponseStarted) {
                    curl_off_t uploaded = 0;
                    long requestSize = 0;
                    curl_easy_getinfo(Handle(self->FCurl), CURLINFO_REQUEST_SIZE, &requestSize);
                    curl_easy_getinfo(Handle(self->FCurl), CURLINFO_SIZE_UPLOAD_T, &uploaded);
                    self->BytesSent = requestSize + uploaded;
                    self->CallEvent(self->OnRequestSent);
                    self->CallEvent(self->OnReceivingResponse);
                }
                self->FResponseStarted = true;
                self->FHeaderBlock.clear();
                self->FHeaderBytes = 0;
            }
            self->FHeaderBytes += static_cast<std::int64_t>(n);
            if (!line.empty()) {
                self->FHeaderBlock.push_back(line);
                return;
            }
            EndOfHeaders(self);
        });
        return ok ? n : 0;
    }

    static void EndOfHeaders(HttpClient* self)
    {
        long status = 0;
        curl_easy_getinfo(Handle(self->FCurl), CURLINFO_RESPONSE_CODE, &status);
        self->FBlockStatus = static_cast<int>(status);
        self->LastReceived = self->FHeaderBytes;
        self->TotalReceived += self->FHeaderBytes;
        self->CallEvent(self->OnResponseReceived);
        const bool following = !(self->FInternetFlags & InternetFlag(ifNoAutoRedirect));
        const bool redirect = status >= 300 && status < 400 && following;
        // Neither an authentication demand nor a followed redirect is the
        // reply the caller asked for.
        self->FDiscardBody = status == 401 || status == 407 || redirect;
        if (status >= 100 && status < 200)
            self->CallEvent(self->OnIntermediateResponse);
        if (redirect) {
            const auto location =
                std::find_if(self->FHeaderBlock.begin(), self->FHeaderBlock.end(),
                             [](const std::string& l) { return StartsWithIgnoringCase(l, "Location:"); });
            char* current = nullptr;
            curl_easy_getinfo(Handle(self->FCurl), CURLINFO_EFFECTIVE_URL, &current);
            if (location != self->FHeaderBlock.end() && current) {
                std::string_view target = std::string_view(*location).substr(9);
                while (!target.empty() && (target.front() == ' ' || target.front() == '\t'))
                    target.remove_prefix(1);
                self->RedirectURL = CombineHttpUrl(current, target);
                self->CallEvent(self->OnRedirect);
            }
        }
    }

    static std::size_t Write(char* data, std::size_t size, std::size_t count, void* clientp)
    {
        auto* self = static_cast<HttpClient*>(clientp);
        std::size_t n = size * count;
        self->FBytesArrived += static_cast<std::int64_t>(n);
        if (self->FDiscardBody)
            return n;
        // Never more than the limit in memory: what fits is kept, the rest ends the request.
        const std::size_t limit = self->FMaxResponseSize;
        const std::size_t held = self->ResponseBody.Size();
        const bool tooLarge = n > limit - std::min(held, limit);
        if (tooLarge) {
            n = limit - std::min(held, limit);
            self->FStop = HttpClient::Stop::TooLarge;
        }
        // Grow the block ourselves: the string's own doubling could take
        // twice the limit.
        const std::size_t capacity = self->ResponseBody.Capacity();
        if (held + n > capacity)
            self->ResponseBody.Reserve(std::min(limit, std::max(held + n, 2 * capacity)));
        const bool ok = n == 0 || Guard(self, [&] {
                            self->LastReceived = static_cast<std::int64_t>(n);
                            self->TotalReceived += static_cast<std::int64_t>(n);
                            self->CallEvent(self->OnResponseReceived);
                            self->ChunkOffset = static_cast<std::int64_t>(self->ResponseBody.Size());
                            self->ResponseBody.SetPosition(self->ResponseBody.Size());
                            self->ResponseBody.Write(std::string_view(data, n));
                            self->ChunkSize = static_cast<std::int64_t>(n);
                            self->BytesRead += static_cast<std::int64_t>(n);
                            self->CallEvent(self->OnDataAvailable);
                        });
        return ok && !tooLarge ? n : CURL_WRITEFUNC_ERROR;
    }

    // Drives the transfer like curl_easy_perform, but returns to the caller
    // between waits so that OnWaiting runs and the receive time-out and a
    // cancel can end the request.
    static CURLcode Run(HttpClient* self, char* errorText)
    {
        using Clock = std::chrono::steady_clock;
        CURLM* multi = Multi(self->FMulti);
        CURL* easy = Handle(self->FCurl);
        if (const CURLMcode mc = curl_multi_add_handle(multi, easy); mc != CURLM_OK) {
            std::snprintf(errorText, CURL_ERROR_SIZE, "%s", curl_multi_strerror(mc));
            return CURLE_FAILED_INIT;
        }
        struct Detach {
            CURLM* multi;
            CURL* easy;
            ~Detach() { curl_multi_remove_handle(multi, easy); }
        } detach{multi, easy};

        const auto receiveTimeout = std::chrono::milliseconds(self->FReceiveTimeout);
        auto nextWaiting = Clock::now() + kWaitingInterval;
        auto lastActivity = Clock::now();
        std::int64_t lastMoved = -1;
        for (;;) {
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
            curl_off_t uploaded = 0;
            curl_easy_getinfo(easy, CURLINFO_SIZE_UPLOAD_T, &uploaded);
            const std::int64_t moved = self->FBytesArrived + uploaded;
            if (self->FTimeLimit > 0 && now >= self->FDeadline) {
                self->FStop = HttpClient::Stop::OverTimeLimit;
                return CURLE_OPERATION_TIMEDOUT;
            }
            if (!self->FRequestSent || moved != lastMoved) {
                lastMoved = moved;
                lastActivity = now;
            } else if (self->FReceiveTimeout > 0 && now - lastActivity >= receiveTimeout) {
                self->FStop = HttpClient::Stop::TimedOut;
                return CURLE_OPERATION_TIMEDOUT;
            }
            if (now >= nextWaiting) {
                Guard(self, [&] { self->CallEvent(self->OnWaiting); });
                if (self->FEventError)
                    return CURLE_ABORTED_BY_CALLBACK;
                if (self->FCancelRequested) {
                    self->FStop = HttpClient::Stop::Cancelled;
                    return CURLE_ABORTED_BY_CALLBACK;
                }
                nextWaiting = Clock::now() + kWaitingInterval;
            }
            const auto untilWaiting = std::chrono::duration_cast<std::chrono::milliseconds>(nextWaiting - Clock::now());
            auto pollMs = std::clamp<std::int64_t>(untilWaiting.count(), 1, kWaitingInterval.count());
            if (self->FTimeLimit > 0)
                pollMs = std::clamp<std::int64_t>(
                    std::chrono::duration_cast<std::chrono::milliseconds>(self->FDeadline - Clock::now()).count() + 1,
                    1, pollMs);
            curl_multi_poll(multi, nullptr, 0, static_cast<int>(pollMs), nullptr);
        }
    }
};

HttpClient::HttpClient() = default;

HttpClient::~HttpClient()
{
    FDestroying = true;
    CloseInternet();
}

void HttpClient::CallEvent(const HttpEvent& event)
{
    if (event && !FDestroying)
        event(this);
}

void HttpClient::Fail(int code, const std::string& message)
{
    LastError = code;
    if (code != 0)
        CallEvent(OnError);
    throw HttpError(code, message);
}

void HttpClient::OpenInternet()
{
    if (FCurl)
        return;
    static std::once_flag globalInit;
    std::call_once(globalInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    FCurl = curl_easy_init();
    FMulti = curl_multi_init();
    if (!FCurl || !FMulti) {
        CloseInternet();
        Fail(CURLE_FAILED_INIT, curl_easy_strerror(CURLE_FAILED_INIT));
    }
    FCookieEngine = false;
}

void HttpClient::CloseInternet()
{
    if (FMulti)
        curl_multi_cleanup(Multi(FMulti)); // closes the kept connections
    if (FCurl)
        curl_easy_cleanup(Handle(FCurl));
    FMulti = nullptr;
    FCurl = nullptr;
}

void HttpClient::Cancel()
{
    if (Busy)
        FCancelRequested = true;
}

void HttpClient::SetUserAgent(const std::string& value)
{
    FUserAgent = value;
    if (FCurl) {
        CloseInternet();
        OpenInternet();
    }
}

void HttpClient::SetProxy(const std::string& value)
{
    FProxy = value;
    if (FCurl) {
        CloseInternet();
        OpenInternet();
    }
}

void HttpClient::SetInternetFlags(InternetFlags flags)
{
    FInternetFlags = flags & ((InternetFlags{1} << kInternetFlagCount) - 1);
    FRequestFlags = InternetRequestFlags(FInternetFlags);
}

// ---- address ----

void HttpClient::SetURL(const std::string& value)
{
    HttpUrlParts parts;
    try {
        parts = SplitHttpUrl(value);
    } catch (const HttpError& e) {
        Fail(e.Code(), e.what());
    }
    if (parts.Scheme != "http" && parts.Scheme != "https")
        throw std::runtime_error("Invalid protocol");
    FURL = value;
    FHostName = parts.HostName;
    FURLPath = parts.URLPath;
    FExtraInfo = parts.ExtraInfo;
    FPort = parts.Port;
    // An http address after an https one must not stay encrypted in name only.
    FSSL = parts.Scheme == "https";
    if (parts.UserName)
        FUserName = *parts.UserName;
    if (parts.Password)
        FPassword = *parts.Password;
}

void HttpClient::BuildURL()
{
    std::string base = (FSSL ? "https://" : "http://") + FHostName;
    if (FPort != 80) {
        base += ':';
        base += std::to_string(FPort);
    }
    try {
        FURL = CombineHttpUrl(base, FURLPath + FExtraInfo);
    } catch (const HttpError& e) {
        Fail(e.Code(), e.what());
    }
}

namespace {
// Stores a value, rebuilds the URL and puts the old value back if that fails.
template <typename T, typename Build>
void StoreAndBuild(T& field, T value, Build&& build)
{
    T previous = std::move(field);
    field = std::move(value);
    try {
        build();
    } catch (...) {
        field = std::move(previous);
        throw;
    }
}
} // namespace

void HttpClient::SetURLPath(const std::string& value)
{
    StoreAndBuild(FURLPath, value, [this] { BuildURL(); });
}

void HttpClient::SetHostName(const std::string& value)
{
    StoreAndBuild(FHostName, value, [this] { BuildURL(); });
}

void HttpClient::SetExtraInfo(const std::string& value)
{
    std::string stored;
    if (!value.empty() && value.front() != '?' && value.front() != '#')
        stored.push_back('?');
    stored += value;
    StoreAndBuild(FExtraInfo, stored, [this] { BuildURL(); });
}

void HttpClient::SetPort(int value)
{
    FPort = value;
    BuildURL();
}

void HttpClient::SetSSL(bool value)
{
    FSSL = value;
    BuildURL();
}

// ---- bodies ----

std::string HttpClient::Text() const
{
    const std::string& data = ResponseBody.Data();
    return data.substr(0, data.find('\0'));
}

void HttpClient::SetText(const std::string& value)
{
    RequestBody.Clear();
    RequestBody.Write(value);
}

// ---- the request ----

bool HttpClient::AskCredentials(bool proxy)
{
    if (!OnCredentials)
        return false;
    const std::string title = proxy ? "Proxy authentication: " + FProxy : "Authentication: " + FHostName;
    // The user's time in the prompt is not the gateway's.
    const auto asked = std::chrono::steady_clock::now();
    const auto answer = OnCredentials(
        title, proxy ? HttpCredentials{FProxyUserName, FProxyPassword} : HttpCredentials{FUserName, FPassword});
    FDeadline += std::chrono::steady_clock::now() - asked;
    if (!answer)
        return false;
    (proxy ? FProxyUserName : FUserName) = answer->userName;
    (proxy ? FProxyPassword : FPassword) = answer->password;
    return true;
}

bool HttpClient::Execute()
{
    // OnWaiting may run a window's events, and with them another Send.
    if (Busy)
        throw std::logic_error("A request is already running.");
    struct BusyScope {
        bool& busy;
        explicit BusyScope(bool& b)
            : busy(b)
        {
            busy = true;
        }
        ~BusyScope() { busy = false; }
    } busyScope(Busy);

    TotalReceived = BytesRead = LastReceived = ChunkSize = ChunkOffset = BytesSent = 0;
    ResponseBody.Clear();
    ResponseHeaders.clear();
    StatusCode = 0;
    LastError = 0;
    FResponseStarted = false;
    FCancelRequested = false;
    FDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(FTimeLimit, 0));
    try {
        OpenInternet();
        for (int retries = 0;;) {
            Perform();
            const bool proxyAuth = StatusCode == 407;
            if (StatusCode == 401 || proxyAuth) {
                CallEvent(proxyAuth ? OnNeedProxyAuth : OnNeedAuth);
                if (retries < FAuthRetries && (!FDefaultUi || AskCredentials(proxyAuth))) {
                    ++retries;
                    continue;
                }
                LastError = kInetOperationCancelled;
                CallEvent(OnError);
                return false;
            }
            ResponseHeaders = FHeaderBlock;
            CallEvent(OnRequestComplete);
            return LastError == 0;
        }
    } catch (const HttpError&) {
        // A reply that broke off half-way still completes, as a failed one.
        if (FResponseStarted)
            CallEvent(OnRequestComplete);
        if (FRaiseExceptions)
            throw;
        return false;
    }
}

void HttpClient::Perform()
{
    // Every option is set on each request rather than reset: a reset handle
    // forgets (and leaks) its cookie engine's bookkeeping.
    CURL* c = Handle(FCurl);
    FHeaderBlock.clear();
    FHeaderBytes = 0;
    FBlockStatus = 0;
    FDiscardBody = false;
    FResponseStarted = false;
    FEventError = nullptr;
    FStop = Stop::None;
    FRequestSent = false;
    FBytesArrived = 0;

    const bool wantsCookies = !(FInternetFlags & InternetFlag(ifNoCookies));
    if (!wantsCookies && FCookieEngine) {
        // The only way to switch libcurl's cookie engine off again.
        CloseInternet();
        OpenInternet();
        c = Handle(FCurl);
    }

    std::string object = FURLPath + FExtraInfo;
    if (object.empty() || object.front() != '/')
        object.insert(0, "/");
    const std::string url = std::string(FSSL ? "https://" : "http://") + FHostName + ":" + std::to_string(FPort)
        + EncodeUnsafeUrlBytes(object);

    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::max(FConnectTimeout, 1)));
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(c, CURLOPT_USERAGENT, FUserAgent.empty() ? nullptr : FUserAgent.c_str());
    const bool proxy = !FProxy.empty();
    curl_easy_setopt(c, CURLOPT_PROXY, proxy ? FProxy.c_str() : nullptr);
    curl_easy_setopt(c, CURLOPT_PROXYUSERNAME, proxy ? FProxyUserName.c_str() : nullptr);
    curl_easy_setopt(c, CURLOPT_PROXYPASSWORD, proxy ? FProxyPassword.c_str() : nullptr);
    curl_easy_setopt(c, CURLOPT_PROXYAUTH, proxy ? CURLAUTH_ANY : CURLAUTH_BASIC);
    const bool auth = !(FInternetFlags & InternetFlag(ifNoAuth)) && (!FUserName.empty() || !FPassword.empty());
    curl_easy_setopt(c, CURLOPT_USERNAME, auth ? FUserName.c_str() : nullptr);
    curl_easy_setopt(c, CURLOPT_PASSWORD, auth ? FPassword.c_str() : nullptr);
    curl_easy_setopt(c, CURLOPT_HTTPAUTH, auth ? CURLAUTH_ANY : CURLAUTH_BASIC);

    const bool follow = !(FInternetFlags & InternetFlag(ifNoAutoRedirect));
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, follow ? 1L : 0L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, kMaxRedirects);
    std::string redirectSchemes = FSSL ? "https" : "http";
    if (FSSL && (FInternetFlags & InternetFlag(ifIgnoreRedirectToHttp)))
        redirectSchemes += ",http";
    if (!FSSL && (FInternetFlags & InternetFlag(ifIgnoreRedirectToHttps)))
        redirectSchemes += ",https";
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, redirectSchemes.c_str());
    if (wantsCookies && !FCookieEngine) {
        curl_easy_setopt(c, CURLOPT_COOKIEFILE, ""); // the engine then lives as long as the handle
        FCookieEngine = true;
    }
    curl_easy_setopt(c, CURLOPT_FORBID_REUSE, (FInternetFlags & InternetFlag(ifKeepConnection)) ? 0L : 1L);

    const std::string& body = RequestBody.Data();
    std::vector<std::string> lines;
    for (const std::string& line : FRequestHeaders)
        if (!line.empty())
            lines.push_back(line);
    if (!HasHeader(FRequestHeaders, "Accept")) {
        std::string accept;
        for (std::size_t i = 0; i < FAcceptTypes.size() && i < kMaxAcceptTypes && !FAcceptTypes[i].empty(); ++i)
            accept += (i ? ", " : "") + FAcceptTypes[i];
        lines.push_back(accept.empty() ? "Accept:" : "Accept: " + accept);
    }
    if (!body.empty() && !HasHeader(FRequestHeaders, "Content-Type"))
        lines.push_back("Content-Type:");
    if (!HasHeader(FRequestHeaders, "Expect"))
        lines.push_back("Expect:");
    if ((FInternetFlags & InternetFlag(ifReload)) && !HasHeader(FRequestHeaders, "Cache-Control"))
        lines.push_back("Cache-Control: no-cache");
    if ((FInternetFlags & InternetFlag(ifPragmaNoCache)) && !HasHeader(FRequestHeaders, "Pragma"))
        lines.push_back("Pragma: no-cache");
    curl_slist* headerList = nullptr;
    for (const std::string& line : lines) {
        curl_slist* grown = curl_slist_append(headerList, line.c_str());
        if (!grown) {
            curl_slist_free_all(headerList);
            Fail(CURLE_OUT_OF_MEMORY, curl_easy_strerror(CURLE_OUT_OF_MEMORY));
        }
        headerList = grown;
    }
    const std::unique_ptr<curl_slist, SlistDeleter> headers(headerList);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());

    curl_easy_setopt(c, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L); // back to a plain GET before choosing
    curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, nullptr);
    if (!body.empty()) {
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, body.data());
        if (FMethod != "POST")
            curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, FMethod.c_str());
    } else if (FMethod == "HEAD") {
        curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
    } else if (FMethod == "POST") {
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t{0});
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, "");
    } else if (FMethod != "GET") {
        curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, FMethod.c_str());
    }

    curl_easy_setopt(c, CURLOPT_RESOLVER_START_FUNCTION, &HttpTransfer::ResolverStart);
    curl_easy_setopt(c, CURLOPT_RESOLVER_START_DATA, this);
    curl_easy_setopt(c, CURLOPT_OPENSOCKETFUNCTION, &HttpTransfer::OpenSocket);
    curl_easy_setopt(c, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(c, CURLOPT_CLOSESOCKETFUNCTION, &HttpTransfer::CloseSocket);
    curl_easy_setopt(c, CURLOPT_CLOSESOCKETDATA, this);
    curl_easy_setopt(c, CURLOPT_PREREQFUNCTION, &HttpTransfer::Prerequest);
    curl_easy_setopt(c, CURLOPT_PREREQDATA, this);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &HttpTransfer::Header);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &HttpTransfer::Write);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, this);

    const CURLcode rc = HttpTransfer::Run(this, errorText);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, nullptr);
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    StatusCode = static_cast<int>(status);
    if (FEventError)
        std::rethrow_exception(std::exchange(FEventError, nullptr));
    FailOnStop();
    if (rc != CURLE_OK)
        Fail(rc, errorText[0] ? errorText : curl_easy_strerror(rc));
    LastError = 0;
}

void HttpClient::FailOnStop()
{
    switch (FStop) {
    case Stop::None:
        return;
    case Stop::TimedOut:
        Fail(CURLE_OPERATION_TIMEDOUT, "The gateway did not answer within " + SecondsText(FReceiveTimeout) + ".");
    case Stop::OverTimeLimit:
        Fail(CURLE_OPERATION_TIMEDOUT,
             "The gateway did not complete its reply within " + SecondsText(FTimeLimit) + ".");
    case Stop::TooLarge:
        Fail(CURLE_FILESIZE_EXCEEDED, "The gateway's reply was larger than " + SizeText(FMaxResponseSize) + ".");
    case Stop::Cancelled:
        Fail(CURLE_ABORTED_BY_CALLBACK, "The request was cancelled.");
    }
}
