// HTTP client component of the Internet SMS window: one synchronous HTTP or
// HTTPS request at a time on a libcurl easy handle, configured through
// properties and reporting through notification events.
//
// Only the synchronous mode exists: the program never starts a request in the
// background, so there is no worker thread and events run on the calling
// thread, inside Execute. OnWaiting is raised every few tens of milliseconds
// while a request runs, so that the caller can keep its window alive and
// call Cancel; it must not change the component.
//
// Request flags and what they do here (the bit values are kept so that stored
// settings keep their meaning):
//   ifNoAutoRedirect         redirects are not followed (followed otherwise)
//   ifIgnoreRedirectToHttp   an https address may redirect to http
//   ifIgnoreRedirectToHttps  an http address may redirect to https
//   ifNoCookies              no cookie engine; otherwise cookies live in memory
//                            for the life of the component
//   ifReload                 "Cache-Control: no-cache" is sent
//   ifPragmaNoCache          "Pragma: no-cache" is sent
//   ifKeepConnection         the connection is kept for the next request;
//                            without it, it is closed after each request
//   ifNoAuth                 UserName and Password are never sent
//   ifIgnoreCertCnInvalid, ifIgnoreCertDateInvalid: no effect. Certificates
//                            and host names are always verified; skipping that
//                            would let anyone on the path read or change a
//                            message sent over HTTPS.
//   ifCacheIfNetFail, ifDontCache, ifNoCacheWrite, ifHyperLink, ifNeedFile,
//   ifNoUi, ifResynchronize: no effect (there is no cache and no dialog of
//                            the transfer layer).
#pragma once

#include "sms/HttpError.h"
#include "sms/HttpBody.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class HttpClient;
using HttpEvent = std::function<void(HttpClient* Sender)>;

// A user name and password, Windows-1251 bytes.
struct HttpCredentials {
    std::string userName;
    std::string password;
};
// Asks the user for credentials: title names the server or proxy, current
// holds what is set now. No answer means the user cancelled.
using HttpCredentialsPrompt =
    std::function<std::optional<HttpCredentials>(const std::string& title, const HttpCredentials& current)>;

enum InternetFlagBit : int {
    ifCacheIfNetFail,
    ifDontCache,
    ifHyperLink,
    ifIgnoreCertCnInvalid,
    ifIgnoreCertDateInvalid,
    ifIgnoreRedirectToHttp,
    ifIgnoreRedirectToHttps,
    ifKeepConnection,
    ifNeedFile,
    ifNoAuth,
    ifNoAutoRedirect,
    ifNoCacheWrite,
    ifNoCookies,
    ifNoUi,
    ifPragmaNoCache,
    ifReload,
    ifResynchronize,
};
constexpr int kInternetFlagCount = 17;

// A set of InternetFlagBit: bit n stands for the flag with ordinal n.
using InternetFlags = std::uint32_t;
constexpr InternetFlags InternetFlag(InternetFlagBit f)
{
    return InternetFlags{1} << f;
}

constexpr InternetFlags kDefaultInternetFlags = InternetFlag(ifIgnoreCertCnInvalid)
    | InternetFlag(ifIgnoreCertDateInvalid) | InternetFlag(ifIgnoreRedirectToHttp)
    | InternetFlag(ifIgnoreRedirectToHttps) | InternetFlag(ifKeepConnection) | InternetFlag(ifNoUi)
    | InternetFlag(ifReload);

// The classic request flag word of each flag, in ordinal order.
constexpr std::array<std::uint32_t, kInternetFlagCount> kInternetRequestFlagValues = {
    0x00010000, 0x04000000, 0x00000400, 0x00001000, 0x00002000, 0x00008000, 0x00004000, 0x00400000, 0x00000010,
    0x00040000, 0x00200000, 0x04000000, 0x00080000, 0x00000200, 0x00000100, 0x80000000, 0x00000800,
};

constexpr std::uint32_t InternetRequestFlags(InternetFlags flags)
{
    std::uint32_t word = 0;
    for (int i = 0; i < kInternetFlagCount; ++i)
        if (flags & InternetFlag(static_cast<InternetFlagBit>(i)))
            word |= kInternetRequestFlagValues[static_cast<std::size_t>(i)];
    return word;
}

// The longest a whole request may take, however the gateway paces its reply:
// a server that sends a byte now and then never trips the receive time-out.
constexpr int kDefaultRequestTimeLimitMs = 120000;

// LastError after authentication was given up (retries used or the
// credentials prompt cancelled).
constexpr int kInetOperationCancelled = 12017;

class HttpClient {
public:
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Runs the configured request. True when it completed and LastError is 0.
    // Failures raise OnError first, then HttpError (unless RaiseExceptions
    // is false, in which case the result is false).
    bool Execute();
    // Ends the running request at the next OnWaiting with HttpError
    // "The request was cancelled."; no effect when no request runs.
    void Cancel();

    // ---- properties ----
    int ConnectTimeout() const { return FConnectTimeout; }
    void SetConnectTimeout(int ms) { FConnectTimeout = ms; }
    // The longest silence from the server once the request is on its way,
    // whether it has not begun to answer or stopped half-way; 0 or less
    // waits without limit.
    int ReceiveTimeout() const { return FReceiveTimeout; }
    void SetReceiveTimeout(int ms) { FReceiveTimeout = ms; }
    // The longest a whole request may take, from its start to the last byte
    // of the reply (repeats for authentication included); 0 or less: no limit.
    int TimeLimit() const { return FTimeLimit; }
    void SetTimeLimit(int ms) { FTimeLimit = ms; }
    // The largest reply body kept; a longer one ends the request with an
    // error, keeping the first MaxResponseSize bytes.
    std::size_t MaxResponseSize() const { return FMaxResponseSize; }
    void SetMaxResponseSize(std::size_t bytes) { FMaxResponseSize = bytes; }
    bool RaiseExceptions() const { return FRaiseExceptions; }
    void SetRaiseExceptions(bool value) { FRaiseExceptions = value; }
    const std::string& UserAgent() const { return FUserAgent; }
    void SetUserAgent(const std::string& value);
    const std::string& Proxy() const { return FProxy; }
    void SetProxy(const std::string& value);
    bool SSL() const { return FSSL; }
    void SetSSL(bool value);

    // Setting URL splits it into the parts below; an address that cannot be
    // split raises HttpError, a scheme other than http and https raises
    // std::runtime_error "Invalid protocol"; either way nothing changes.
    const std::string& URL() const { return FURL; }
    void SetURL(const std::string& value);
    // Setting any of these rebuilds URL; on failure the old value is kept.
    const std::string& URLPath() const { return FURLPath; }
    void SetURLPath(const std::string& value);
    const std::string& ExtraInfo() const { return FExtraInfo; }
    void SetExtraInfo(const std::string& value); // "?" is put in front unless it starts with "?" or "#"
    int Port() const { return FPort; }
    void SetPort(int value);
    const std::string& HostName() const { return FHostName; }
    void SetHostName(const std::string& value);

    const std::string& UserName() const { return FUserName; }
    void SetUserName(const std::string& value) { FUserName = value; }
    const std::string& Password() const { return FPassword; }
    void SetPassword(const std::string& value) { FPassword = value; }
    const std::string& ProxyUserName() const { return FProxyUserName; }
    void SetProxyUserName(const std::string& value) { FProxyUserName = value; }
    const std::string& ProxyPassword() const { return FProxyPassword; }
    void SetProxyPassword(const std::string& value) { FProxyPassword = value; }
    // When the server or proxy asks for credentials, ask the user through
    // the credentials prompt.
    bool DefaultUi() const { return FDefaultUi; }
    void SetDefaultUi(bool value) { FDefaultUi = value; }

    // Extra header lines ("Name: value"), sent as given.
    const std::vector<std::string>& RequestHeaders() const { return FRequestHeaders; }
    void SetRequestHeaders(const std::vector<std::string>& lines) { FRequestHeaders = lines; }
    // Offered media types: at most the first 100, ending at the first empty line.
    const std::vector<std::string>& AcceptTypes() const { return FAcceptTypes; }
    void SetAcceptTypes(const std::vector<std::string>& lines) { FAcceptTypes = lines; }
    const std::string& Method() const { return FMethod; }
    void SetMethod(const std::string& value) { FMethod = value; }
    int AuthRetries() const { return FAuthRetries; }
    void SetAuthRetries(int value) { FAuthRetries = value; }
    InternetFlags internetFlags() const { return FInternetFlags; }
    void SetInternetFlags(InternetFlags flags);
    std::uint32_t RequestFlagsWord() const { return FRequestFlags; }

    // Reading: the reply body up to its first zero byte. Writing: replaces
    // the whole request body.
    std::string Text() const;
    void SetText(const std::string& value);

    // ---- public state ----
    HttpBody ResponseBody; // emptied when a request starts; raw body
    HttpBody RequestBody; // its whole content is sent; never cleared here
    std::vector<std::string> ResponseHeaders; // status line first
    int StatusCode = 0;
    int LastError = 0; // libcurl code of the last failure, 0 after success
    bool Busy = false;
    std::string StatusText; // server address of the last resolve/connect event
    std::string RedirectURL; // target of the last redirect
    std::int64_t BytesSent = 0;
    std::int64_t LastReceived = 0;
    std::int64_t TotalReceived = 0;
    std::int64_t ChunkOffset = 0;
    std::int64_t ChunkSize = 0;
    std::int64_t BytesRead = 0;

    // ---- events (called on the thread that runs Execute) ----
    HttpEvent OnClosingConnection;
    HttpEvent OnConnectedToServer;
    HttpEvent OnConnectingToServer;
    HttpEvent OnConnectionClosed;
    HttpEvent OnIntermediateResponse;
    HttpEvent OnNameResolved;
    HttpEvent OnReceivingResponse;
    HttpEvent OnResponseReceived;
    HttpEvent OnRedirect;
    HttpEvent OnRequestComplete;
    HttpEvent OnRequestSent;
    HttpEvent OnResolvingName;
    HttpEvent OnSendingRequest;
    HttpEvent OnStateChange;
    HttpEvent OnDataAvailable;
    HttpEvent OnNeedAuth;
    HttpEvent OnNeedProxyAuth;
    HttpEvent OnError;
    HttpEvent OnWaiting;
    // Asked when the server or proxy wants credentials and DefaultUi is on;
    // without it the request goes on unauthorised.
    HttpCredentialsPrompt OnCredentials;

private:
    friend struct HttpTransfer;

    void BuildURL();
    void OpenInternet();
    void CloseInternet();
    void Perform();
    void FailOnStop();
    bool AskCredentials(bool proxy);
    [[noreturn]] void Fail(int code, const std::string& message);
    void CallEvent(const HttpEvent& event);

    int FConnectTimeout = 30000;
    int FReceiveTimeout = 30000;
    int FTimeLimit = kDefaultRequestTimeLimitMs;
    std::size_t FMaxResponseSize = std::size_t{16} << 20;
    bool FRaiseExceptions = true;
    std::string FUserAgent = "AdvHttp component/1.0";
    std::string FProxy;
    bool FSSL = false;
    std::string FURL;
    std::string FURLPath;
    std::string FExtraInfo;
    int FPort = 80;
    std::string FHostName = "localhost";
    std::string FUserName;
    std::string FPassword;
    std::string FProxyUserName;
    std::string FProxyPassword;
    bool FDefaultUi = true;
    std::vector<std::string> FRequestHeaders;
    std::vector<std::string> FAcceptTypes;
    std::string FMethod = "GET";
    int FAuthRetries = 3;
    InternetFlags FInternetFlags = kDefaultInternetFlags;
    std::uint32_t FRequestFlags = InternetRequestFlags(kDefaultInternetFlags);

    void* FCurl = nullptr; // the easy handle, kept open across requests
    void* FMulti = nullptr; // drives FCurl and holds its kept connections
    bool FCookieEngine = false;
    bool FDestroying = false;
    // State of the transfer in progress, fed by libcurl's callbacks.
    std::vector<std::string> FHeaderBlock; // header lines of the reply being read
    std::int64_t FHeaderBytes = 0;
    int FBlockStatus = 0;
    bool FDiscardBody = false;
    bool FResponseStarted = false;
    std::exception_ptr FEventError; // thrown by a handler inside a callback
    enum class Stop { None, TimedOut, OverTimeLimit, TooLarge, Cancelled };
    Stop FStop = Stop::None;
    bool FCancelRequested = false;
    bool FRequestSent = false; // the receive time-out runs from here on
    std::int64_t FBytesArrived = 0; // header and body bytes of this transfer
    std::chrono::steady_clock::time_point FDeadline; // of the whole request
};
