// The HTTP client of the gateway submissions: a request description goes in,
// the reply comes out, or an HttpError says what ended the request. One
// synchronous request at a time on a libcurl easy handle.
//
// The client is a session, as a browser is: the cookies a server sets, kept
// connections and the credentials that got a server's yes live from one
// request to the next, for the life of the client.
#pragma once

#include "sms/HttpError.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

// A user name and password, Windows-1251 bytes.
struct HttpCredentials {
    std::string userName;
    std::string password;
    bool empty() const { return userName.empty() && password.empty(); }
    bool operator==(const HttpCredentials&) const = default;
};

// The longest a whole request may take, however the server paces its reply:
// one that sends a byte now and then never trips the receive time-out.
inline constexpr std::chrono::milliseconds kRequestTimeLimit{120'000};
inline constexpr std::size_t kDefaultMaxResponseSize = std::size_t{16} << 20;

struct HttpRequest {
    // Absolute http:// or https:// address; user:password@ in it are the
    // credentials for this request. Bytes a request line cannot carry raw
    // are percent-encoded on the way.
    std::string url;
    // "POST" posts the body (an empty one too); "HEAD" reads no body; any
    // other verb goes out as given.
    std::string method = "GET";
    std::vector<std::string> headers; // "Name: value" lines, sent as given
    // Offered media types: at most the first 100, ending at the first empty one.
    std::vector<std::string> acceptTypes;
    std::string body; // sent whole when not empty, whatever the method
    std::string userAgent; // none sent when empty
    std::string proxy; // empty: the environment's proxy settings

    std::chrono::milliseconds connectTimeout{30'000};
    // The longest silence once the request is on its way, before the reply
    // starts or half-way through it; 0: no limit.
    std::chrono::milliseconds receiveTimeout{30'000};
    // From the start of the request to the last byte of the reply, repeats
    // for credentials included, the user's time in the prompt not; 0: no limit.
    std::chrono::milliseconds timeLimit = kRequestTimeLimit;
    // The largest reply body kept; a longer one ends the request.
    std::size_t maxResponseSize = kDefaultMaxResponseSize;
    // How often a demand for credentials is answered with the user's before giving up.
    int authRetries = 3;

    bool followRedirects = true;
    bool redirectToHttp = true; // an https address may redirect to http
    bool redirectToHttps = true; // an http address may redirect to https
    bool keepConnection = true; // the connection stays open for the next request
    bool cookies = true; // cookies the server sets go back to it
    bool sendCredentials = true;
    bool noCache = true; // "Cache-Control: no-cache"
    bool pragmaNoCache = false; // "Pragma: no-cache"
};

struct HttpResponse {
    int status = 0;
    std::vector<std::string> headers; // the status line first
    std::string body; // raw bytes, zero bytes included
};

// Asks the user for credentials: title names the server or proxy, current
// holds what was used. No answer means the user cancelled.
using HttpCredentialsPrompt =
    std::function<std::optional<HttpCredentials>(const std::string& title, const HttpCredentials& current)>;

class HttpClient {
public:
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Runs the request and returns the reply, whatever its status. A demand
    // for credentials that the prompt does not satisfy (or without a prompt)
    // gives its status, 401 or 407, with no body. Throws HttpError when the
    // request ends without its reply, std::logic_error when a request is
    // already running (the prompt may start one).
    //
    // A stop requested on cancel, from any thread, ends the request with
    // HttpError "The request was cancelled." within a few tens of
    // milliseconds; one requested before the request starts, or while the
    // prompt is up, ends it before anything more is sent. The token belongs
    // to this one request, so a stop that comes too late for it can never
    // end the next.
    HttpResponse perform(const HttpRequest& request, std::stop_token cancel = {});

    bool isBusy() const { return busy_; }

    // Runs on the thread that performs the request.
    void setCredentialsPrompt(HttpCredentialsPrompt prompt) { prompt_ = std::move(prompt); }

private:
    struct Transfer;

    void openSession();
    void closeSession();
    HttpResponse transfer(const HttpRequest& request, const std::string& url, const HttpCredentials& credentials,
                          std::stop_token cancel);
    std::optional<HttpCredentials> askCredentials(const std::string& title, const HttpCredentials& current);

    HttpCredentialsPrompt prompt_;

    void* curl_ = nullptr; // the easy handle, kept across requests for its cookies
    void* multi_ = nullptr; // drives curl_ and holds its kept connections
    bool cookieEngine_ = false;
    bool busy_ = false;
    std::chrono::steady_clock::time_point deadline_; // of the request that runs
    // Credentials a server took, by "scheme://host:port"; never sent elsewhere.
    std::map<std::string, HttpCredentials> serverCredentials_;
    HttpCredentials proxyCredentials_;
};
