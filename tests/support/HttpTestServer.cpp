#include "support/HttpTestServer.h"

#include <QByteArray>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <stdexcept>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
using socklen_t = int;
namespace {
int closeSocket(int fd)
{
    return closesocket(static_cast<SOCKET>(fd));
}
int pollSockets(pollfd* fds, unsigned long n, int ms)
{
    return WSAPoll(fds, n, ms);
}
struct WinsockUp {
    WinsockUp()
    {
        WSADATA d;
        WSAStartup(MAKEWORD(2, 2), &d);
    }
} winsockUp;
} // namespace
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <fcntl.h>
#include <unistd.h>
namespace {
int closeSocket(int fd)
{
    return ::close(fd);
}
int pollSockets(pollfd* fds, nfds_t n, int ms)
{
    return ::poll(fds, n, ms);
}
} // namespace
#endif

namespace {

constexpr int kPollMs = 20;

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return std::string(s);
}

// Opens a loopback listener on an ephemeral port.
int listenOnLoopback(int backlog, std::uint16_t& port)
{
    const int fd = static_cast<int>(::socket(AF_INET, SOCK_STREAM, 0));
    if (fd < 0)
        throw std::runtime_error("test server: socket failed");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, backlog) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        closeSocket(fd);
        throw std::runtime_error("test server: cannot listen on 127.0.0.1");
    }
    port = ntohs(addr.sin_port);
    return fd;
}

#ifdef MSG_NOSIGNAL
constexpr int kSendFlags = MSG_NOSIGNAL; // a client that hung up must not kill the tests
#else
constexpr int kSendFlags = 0;
#endif

// False when the peer is gone or the server stops; a client that reads
// nothing cannot keep the server from stopping.
bool sendAll(int fd, std::string_view bytes, const std::atomic<bool>& stopping)
{
    while (!bytes.empty()) {
        pollfd p{};
        p.fd = fd;
        p.events = POLLOUT;
        if (stopping.load())
            return false;
        if (pollSockets(&p, 1, kPollMs) <= 0)
            continue;
        const auto n = ::send(fd, bytes.data(), static_cast<int>(bytes.size()), kSendFlags);
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// One byte, a pause, the next byte; false when the peer is gone or the server stops.
bool trickle(int fd, std::string_view bytes, std::chrono::milliseconds pause, const std::atomic<bool>& stopping)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            const auto next = std::chrono::steady_clock::now() + pause;
            while (std::chrono::steady_clock::now() < next) {
                if (stopping.load())
                    return false;
                std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
                    next - std::chrono::steady_clock::now(), std::chrono::milliseconds(kPollMs)));
            }
        }
        if (!sendAll(fd, bytes.substr(i, 1), stopping))
            return false;
    }
    return true;
}

// Waits for more bytes; false when the peer closed, the server stops or
// `until` has come.
bool receiveMore(int fd, std::string& into, const std::atomic<bool>& stopping,
                 std::chrono::steady_clock::time_point until = std::chrono::steady_clock::time_point::max())
{
    while (!stopping.load() && std::chrono::steady_clock::now() < until) {
        pollfd p{};
        p.fd = fd;
        p.events = POLLIN;
        if (pollSockets(&p, 1, kPollMs) <= 0)
            continue;
        char buf[4096];
        const auto n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            return false;
        into.append(buf, static_cast<std::size_t>(n));
        return true;
    }
    return false;
}

std::string loopbackUrl(std::uint16_t port, std::string_view pathAndQuery)
{
    return "http://127.0.0.1:" + std::to_string(port) + std::string(pathAndQuery);
}

} // namespace

std::string HttpRecordedRequest::header(std::string_view name) const
{
    for (const auto& [n, v] : headers)
        if (equalsIgnoringCase(n, name))
            return v;
    return {};
}

bool HttpRecordedRequest::hasHeader(std::string_view name) const
{
    return std::any_of(headers.begin(), headers.end(),
                       [&](const auto& h) { return equalsIgnoringCase(h.first, name); });
}

HttpTestServer::HttpTestServer()
{
    listenFd_ = listenOnLoopback(16, port_);
    acceptor_ = std::thread([this] { acceptLoop(); });
}

HttpTestServer::~HttpTestServer()
{
    stopping_ = true;
    acceptor_.join();
    for (auto& w : workers_)
        w.join();
    closeSocket(listenFd_);
}

std::string HttpTestServer::url(std::string_view pathAndQuery) const
{
    return loopbackUrl(port_, pathAndQuery);
}

void HttpTestServer::enqueue(HttpScriptedResponse response)
{
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(response));
}

void HttpTestServer::setDefaultResponse(HttpScriptedResponse response)
{
    std::lock_guard lock(mutex_);
    default_ = std::move(response);
}

void HttpTestServer::requireBasicAuth(std::string user, std::string password)
{
    const QByteArray token = QByteArray::fromStdString(user + ":" + password).toBase64();
    std::lock_guard lock(mutex_);
    expectedAuthorization_ = "Basic " + token.toStdString();
}

void HttpTestServer::setSilent(bool silent)
{
    std::lock_guard lock(mutex_);
    silent_ = silent;
}

void HttpTestServer::setHoldLimit(int ms)
{
    std::lock_guard lock(mutex_);
    holdLimitMs_ = ms;
}

void HttpTestServer::hold(int fd)
{
    int limitMs;
    {
        std::lock_guard lock(mutex_);
        limitMs = holdLimitMs_;
    }
    std::string ignored;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (receiveMore(fd, ignored, stopping_, until))
        ignored.clear();
}

std::vector<HttpRecordedRequest> HttpTestServer::requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

std::size_t HttpTestServer::requestCount() const
{
    std::lock_guard lock(mutex_);
    return requests_.size();
}

void HttpTestServer::acceptLoop()
{
    while (!stopping_.load()) {
        pollfd p{};
        p.fd = listenFd_;
        p.events = POLLIN;
        if (pollSockets(&p, 1, kPollMs) <= 0)
            continue;
        const int fd = static_cast<int>(::accept(listenFd_, nullptr, nullptr));
        if (fd < 0)
            continue;
        ++connections_;
        workers_.emplace_back([this, fd] { serve(fd); });
    }
}

HttpScriptedResponse HttpTestServer::answerFor(const HttpRecordedRequest& request)
{
    std::lock_guard lock(mutex_);
    if (!expectedAuthorization_.empty() && request.header("Authorization") != expectedAuthorization_) {
        HttpScriptedResponse challenge;
        challenge.status = 401;
        challenge.reason = "Unauthorized";
        challenge.headers = {{"WWW-Authenticate", "Basic realm=\"test\""}, {"Content-Type", "text/html"}};
        challenge.body = "<html>401 body must not be read</html>";
        return challenge;
    }
    if (queue_.empty())
        return default_;
    HttpScriptedResponse next = std::move(queue_.front());
    queue_.pop_front();
    return next;
}

void HttpTestServer::serve(int fd)
{
    std::string pending;
    bool holdOpen = false;
    for (;;) {
        std::size_t headEnd;
        while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos)
            if (!receiveMore(fd, pending, stopping_))
                goto done;

        {
            HttpRecordedRequest request;
            const std::string head = pending.substr(0, headEnd);
            std::size_t lineEnd = head.find("\r\n");
            const std::string requestLine = head.substr(0, lineEnd);
            const auto sp1 = requestLine.find(' ');
            const auto sp2 = requestLine.rfind(' ');
            request.method = requestLine.substr(0, sp1);
            if (sp1 != std::string::npos && sp2 > sp1)
                request.target = requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
            while (lineEnd != std::string::npos && lineEnd < head.size()) {
                const std::size_t start = lineEnd + 2;
                lineEnd = head.find("\r\n", start);
                const std::string line =
                    head.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
                const auto colon = line.find(':');
                if (colon != std::string::npos)
                    request.headers.emplace_back(line.substr(0, colon), trim(std::string_view(line).substr(colon + 1)));
            }
            std::size_t bodyLength = 0;
            if (request.hasHeader("Content-Length"))
                bodyLength = std::stoul(request.header("Content-Length"));
            if (equalsIgnoringCase(request.header("Expect"), "100-continue") && pending.size() == headEnd + 4)
                sendAll(fd, "HTTP/1.1 100 Continue\r\n\r\n", stopping_);
            while (pending.size() < headEnd + 4 + bodyLength)
                if (!receiveMore(fd, pending, stopping_))
                    goto done;
            request.body = pending.substr(headEnd + 4, bodyLength);
            request.raw = pending.substr(0, headEnd + 4 + bodyLength);
            pending.erase(0, headEnd + 4 + bodyLength);

            bool silent;
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(request);
                silent = silent_;
            }
            if (silent) {
                holdOpen = true;
                break;
            }
            const HttpScriptedResponse response = answerFor(request);
            const bool close = response.close || equalsIgnoringCase(request.header("Connection"), "close");
            std::string out = "HTTP/1.1 " + std::to_string(response.status) + " " + response.reason + "\r\n";
            for (const auto& [n, v] : response.headers)
                out += n + ": " + v + "\r\n";
            if (!response.endless)
                out += "Content-Length: " + std::to_string(std::max(response.body.size(), response.declaredLength))
                    + "\r\n";
            if (close || response.endless)
                out += "Connection: close\r\n";
            out += "\r\n";
            if (request.method != "HEAD" && response.trickleMs <= 0)
                out += response.body;
            if (!sendAll(fd, out, stopping_))
                break;
            if (request.method != "HEAD" && response.trickleMs > 0
                && !trickle(fd, response.body, std::chrono::milliseconds(response.trickleMs), stopping_))
                break;
            if (response.endless) {
                std::size_t sent = 0;
                while (sent < kEndlessBodyCap && !response.body.empty() && sendAll(fd, response.body, stopping_))
                    sent += response.body.size();
                break;
            }
            if (response.declaredLength > response.body.size()) {
                holdOpen = true;
                break;
            }
            if (close)
                break;
        }
    }
done:
    if (holdOpen)
        hold(fd);
    closeSocket(fd);
}

HttpUnansweredAddress::HttpUnansweredAddress()
{
    listenFd_ = listenOnLoopback(0, port_);
    // Fill the accept queue so that later handshakes are left unanswered.
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port_);
    for (int i = 0; i < 2; ++i) {
        const int fd = static_cast<int>(::socket(AF_INET, SOCK_STREAM, 0));
#ifndef _WIN32
        ::fcntl(fd, F_SETFL, O_NONBLOCK);
#endif
        ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        fillers_.push_back(fd);
    }
}

HttpUnansweredAddress::~HttpUnansweredAddress()
{
    for (int fd : fillers_)
        closeSocket(fd);
    closeSocket(listenFd_);
}

std::string HttpUnansweredAddress::url(std::string_view pathAndQuery) const
{
    return loopbackUrl(port_, pathAndQuery);
}

std::uint16_t HttpClosedPort()
{
    // Bind, learn the port, close: nothing listens there afterwards.
    std::uint16_t port = 0;
    const int fd = listenOnLoopback(1, port);
    closeSocket(fd);
    return port;
}
