#include "support/PtyPair.h"

#ifndef _WIN32

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <stdlib.h>
#include <unistd.h>

PtyPair::PtyPair()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        throw std::runtime_error(std::string("pseudo-terminal: ") + std::strerror(errno));
    slavePath_ = QString::fromLocal8Bit(::ptsname(master_));
}

PtyPair::~PtyPair()
{
    if (master_ >= 0)
        ::close(master_);
}

void PtyPair::Send(const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw std::runtime_error(std::string("pty write: ") + std::strerror(errno));
        done += static_cast<std::size_t>(n);
    }
}

std::string PtyPair::Receive(int quietMs)
{
    std::string out;
    char chunk[4096];
    for (;;) {
        pollfd pfd{master_, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, quietMs);
        if (ready <= 0 || !(pfd.revents & POLLIN))
            return out;
        const ssize_t n = ::read(master_, chunk, sizeof chunk);
        if (n <= 0)
            return out;
        out.append(chunk, static_cast<std::size_t>(n));
    }
}

#endif
