// A small recording HTTP/1.1 server on 127.0.0.1 for tests of the HTTP client
// and the SMS window: it keeps the exact bytes of every request and answers
// from a script. One thread accepts, one thread serves each connection.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

struct HttpScriptedResponse {
    int status = 200;
    std::string reason = "OK";
    // Sent in this order; Content-Length is added unless rawBody is used.
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    // Close the connection after this response (sends "Connection: close").
    bool close = false;
    // When larger than the body: announced as Content-Length, but after the
    // body nothing more is sent (a server that stops half-way).
    std::size_t declaredLength = 0;
    // The body is sent again and again without a length until the client
    // hangs up.
    bool endless = false;
    // When above 0: the body goes out one byte at a time, this many
    // milliseconds apart (a gateway that never falls silent nor finishes).
    int trickleMs = 0;
};

struct HttpRecordedRequest {
    std::string raw; // request line, header lines and body, byte for byte
    std::string method; // e.g. "GET"
    std::string target; // request target as sent, e.g. "/send?x=1"
    std::vector<std::pair<std::string, std::string>> headers; // in order, values trimmed
    std::string body;
    // Value of the first header of that name (case-insensitive); "" when absent.
    std::string header(std::string_view name) const;
    bool hasHeader(std::string_view name) const;
};

class HttpTestServer {
public:
    HttpTestServer(); // listens on 127.0.0.1 at an ephemeral port
    ~HttpTestServer(); // stops, closing every connection

    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    std::uint16_t port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by pathAndQuery.
    std::string url(std::string_view pathAndQuery = "/") const;

    // Responses are used once each, in order; when none is queued the
    // default response answers (200 "OK", empty body, unless replaced).
    void enqueue(HttpScriptedResponse response);
    void setDefaultResponse(HttpScriptedResponse response);
    // Every request without "Authorization: Basic" for these credentials gets
    // 401 with a Basic challenge (and no queued response is used up).
    void requireBasicAuth(std::string user, std::string password);
    // Requests are read and recorded but never answered (time-out tests).
    void setSilent(bool silent);
    // A silent or stalled connection is closed after this long, and an
    // endless body after kEndlessBodyCap bytes, so that a client without
    // limits fails a test instead of hanging it.
    void setHoldLimit(int ms);
    static constexpr std::size_t kEndlessBodyCap = std::size_t{64} << 20;

    std::vector<HttpRecordedRequest> requests() const;
    std::size_t requestCount() const;
    std::size_t connectionCount() const { return connections_.load(); }

private:
    void acceptLoop();
    void serve(int fd);
    void hold(int fd);
    HttpScriptedResponse answerFor(const HttpRecordedRequest& request);

    int listenFd_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<std::size_t> connections_{0};
    mutable std::mutex mutex_;
    std::deque<HttpScriptedResponse> queue_;
    HttpScriptedResponse default_;
    std::string expectedAuthorization_;
    bool silent_ = false;
    int holdLimitMs_ = 5000;
    std::vector<HttpRecordedRequest> requests_;
    std::vector<std::thread> workers_;
    std::thread acceptor_;
};

// A loopback address whose listen queue is full and never accepted from, so
// a new connection attempt there neither succeeds nor is refused: it hangs
// until the client's connect time-out.
class HttpUnansweredAddress {
public:
    HttpUnansweredAddress();
    ~HttpUnansweredAddress();
    HttpUnansweredAddress(const HttpUnansweredAddress&) = delete;
    HttpUnansweredAddress& operator=(const HttpUnansweredAddress&) = delete;

    std::uint16_t port() const { return port_; }
    std::string url(std::string_view pathAndQuery = "/") const;

private:
    int listenFd_ = -1;
    std::uint16_t port_ = 0;
    std::vector<int> fillers_;
};

// A loopback port that nobody listens on (connections are refused).
std::uint16_t HttpClosedPort();
