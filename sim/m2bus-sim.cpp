// m2bus-sim: a handset on the far side of a pseudo-terminal, for trying the
// service tool without a phone and cable.
#include "sim/HandsetFrame.h"
#include "sim/HandsetLine.h"
#include "sim/HandsetModel.h"
#include "sim/HandsetStateFile.h"
#include "sim/SimOptions.h"
#include "m2bus/Version.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onStopSignal(int)
{
    stopRequested = 1;
}

void installStopHandlers()
{
    struct sigaction action { };
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no SA_RESTART: poll must return at once
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

[[noreturn]] void systemFailure(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

struct PseudoTerminal {
    int master = -1;
    int slave = -1; // held open so the PC closing its port does not hang up the master
    std::string path;

    PseudoTerminal()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0)
            systemFailure("posix_openpt");
        if (::grantpt(master) != 0 || ::unlockpt(master) != 0)
            systemFailure("grantpt/unlockpt");
        const char* name = ::ptsname(master);
        if (!name)
            systemFailure("ptsname");
        path = name;
        slave = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        if (slave < 0)
            systemFailure("open " + path);
        termios tio{};
        if (::tcgetattr(slave, &tio) != 0)
            systemFailure("tcgetattr");
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        if (::tcsetattr(slave, TCSANOW, &tio) != 0)
            systemFailure("tcsetattr");
        const int flags = ::fcntl(master, F_GETFL);
        ::fcntl(master, F_SETFL, flags | O_NONBLOCK);
    }
    ~PseudoTerminal()
    {
        if (slave >= 0)
            ::close(slave);
        if (master >= 0)
            ::close(master);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
};

// Milliseconds since the simulator started; the collision log uses this clock.
double elapsedMs()
{
    using namespace std::chrono;
    static const steady_clock::time_point kStart = steady_clock::now();
    return duration<double, std::milli>(steady_clock::now() - kStart).count();
}

// Waits for input up to timeoutMs, to the microsecond where the system allows:
// the bus is only as faithful as the times bytes are read and delivered.
int pollInput(pollfd& pfd, double timeoutMs)
{
#ifdef __linux__
    const long ns = static_cast<long>(timeoutMs * 1e6);
    const timespec timeout{ns / 1000000000L, ns % 1000000000L};
    return ::ppoll(&pfd, 1, &timeout, nullptr);
#else
    return ::poll(&pfd, 1, static_cast<int>(std::ceil(timeoutMs)));
#endif
}

std::string hex(const std::uint8_t* bytes, std::size_t size)
{
    std::string out;
    char piece[4];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(piece, sizeof piece, i == 0 ? "%02X" : " %02X", bytes[i]);
        out += piece;
    }
    return out;
}

class Simulator {
public:
    explicit Simulator(const handset::SimOptions& options)
        : options_(options)
    {
        handset::HandsetState state = handset::defaultHandsetState();
        if (!options_.statePath.empty())
            state = handset::loadStateFile(options_.statePath).value_or(state);
        if (options_.versionText)
            state.versionText = *options_.versionText;
        if (options_.serialNumber)
            state.serialNumber = *options_.serialNumber;
        if (options_.ownNumber && options_.ownNumber->empty())
            state.otherLocations.erase(handset::kOwnNumberLocation);
        else if (options_.ownNumber)
            state.otherLocations[handset::kOwnNumberLocation] = handset::makeRecord(*options_.ownNumber, "");
        model_.setState(state);
        save(); // a fresh state file shows the sample state at once
    }

    int run()
    {
        std::cout << pty_.path << std::endl; // first line: the device to open
        const double readEveryMs = options_.line.readEveryMs;
        double nextReadMs = 0.0;
        while (!stopRequested) {
            deliver(elapsedMs());
            logCollisions(elapsedMs());
            double wait = line_.nextDueMs() - elapsedMs();
            wait = std::isinf(wait) ? 50.0 : std::clamp(wait, 0.0, 50.0);
            // With a latency the PC's bytes wait in the cable until the next batch.
            const bool reading = readEveryMs <= 0.0 || elapsedMs() >= nextReadMs;
            if (!reading)
                wait = std::min(wait, nextReadMs - elapsedMs());
            pollfd pfd{pty_.master, static_cast<short>(reading ? POLLIN : 0), 0};
            const int ready = pollInput(pfd, wait);
            if (ready < 0 && errno != EINTR)
                systemFailure("poll");
            if (ready > 0 && (pfd.revents & POLLIN)) {
                receive();
                nextReadMs = elapsedMs() + readEveryMs;
            }
            if (model_.changeCount() != savedChanges_ || line_.collisionCount() != savedCollisions_)
                save();
        }
        // What the PC sent before we were told to stop is still heard.
        receive();
        logCollisions(std::numeric_limits<double>::infinity());
        save();
        // Whether the PC acknowledged what it was sent.
        std::fprintf(stderr,
                     "m2bus-sim: %llu whole replies, %llu acknowledged, the longest acknowledgement %.1f ms after "
                     "its reply\n",
                     static_cast<unsigned long long>(line_.wholeReplies()),
                     static_cast<unsigned long long>(line_.acknowledgedReplies()), line_.longestAckDelayMs());
        // How faithful the timing was: a bus run is only as good as this.
        if ((options_.line.bus || options_.verbose) && deliveries_ > 0)
            std::fprintf(stderr,
                         "m2bus-sim: %llu deliveries, late by %.3f ms on average, %.3f ms at most, %llu by over 1 ms\n",
                         static_cast<unsigned long long>(deliveries_), lateSumMs_ / static_cast<double>(deliveries_),
                         lateMaxMs_, static_cast<unsigned long long>(lateOverMs_));
        return 0;
    }

private:
    void receive()
    {
        std::uint8_t buffer[4096];
        const ssize_t n = ::read(pty_.master, buffer, sizeof buffer);
        if (n <= 0)
            return;
        const double readMs = elapsedMs();
        if (options_.verbose)
            std::cerr << "pc  > " << hex(buffer, static_cast<std::size_t>(n)) << "\n";
        line_.fromPc(buffer, static_cast<std::size_t>(n), readMs);
    }

    // Written whenever on the bus, so that a user sees what their program did to the line.
    void logCollisions(double nowMs)
    {
        for (const handset::Collision& c : line_.takeCollisionsEndedBy(nowMs))
            std::fprintf(stderr, "m2bus-sim: collision at %.3f ms for %.3f ms, bytes hit: pc %s | handset %s\n",
                         c.startMs, c.endMs - c.startMs, hex(c.pcBytes.data(), c.pcBytes.size()).c_str(),
                         hex(c.handsetBytes.data(), c.handsetBytes.size()).c_str());
    }

    void deliver(double nowMs)
    {
        const double firstDueMs = line_.nextDueMs();
        const std::vector<std::uint8_t> due = line_.dueBy(nowMs);
        if (due.empty())
            return;
        if (options_.verbose)
            std::cerr << "sim < " << hex(due.data(), due.size()) << "\n";
        std::size_t done = 0;
        bool flushed = false;
        while (done < due.size()) {
            const ssize_t n = ::write(pty_.master, due.data() + done, due.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && errno != EAGAIN) {
                systemFailure("write to " + pty_.path);
            } else if (!flushed) {
                // A full queue means nobody has read for kilobytes: the port is
                // closed, and a closed port would have lost these bytes anyway.
                ::tcflush(pty_.slave, TCIFLUSH);
                flushed = true;
            } else {
                if (options_.verbose)
                    std::cerr << "sim: dropped " << due.size() - done << " bytes\n";
                break;
            }
        }
        const double lateMs = elapsedMs() - firstDueMs;
        ++deliveries_;
        lateSumMs_ += lateMs;
        lateMaxMs_ = std::max(lateMaxMs_, lateMs);
        lateOverMs_ += lateMs > 1.0 ? 1 : 0;
    }

    void save()
    {
        savedChanges_ = model_.changeCount();
        savedCollisions_ = line_.collisionCount();
        if (options_.statePath.empty())
            return;
        try {
            const auto collisions = options_.line.bus ? std::optional(savedCollisions_) : std::nullopt;
            handset::saveStateFile(options_.statePath, model_.state(), collisions);
        } catch (const std::exception& error) {
            // The session goes on; the user learns the file is stale.
            std::cerr << "m2bus-sim: " << error.what() << "\n";
        }
    }

    handset::SimOptions options_;
    PseudoTerminal pty_;
    handset::HandsetModel model_;
    handset::HandsetLine line_{model_, options_.line};
    std::uint64_t savedChanges_ = 0;
    std::uint64_t savedCollisions_ = 0;
    // Writes of due bytes, and how late each came after its earliest byte's time.
    std::uint64_t deliveries_ = 0;
    std::uint64_t lateOverMs_ = 0;
    double lateSumMs_ = 0.0;
    double lateMaxMs_ = 0.0;
};

} // namespace

int main(int argc, char** argv)
{
    try {
        const handset::SimOptions options = handset::parseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (options.help) {
            std::cout << handset::simUsage();
            return 0;
        }
        if (options.version) {
            std::cout << "m2bus-sim " << kM2BusVersion << '\n';
            return 0;
        }
        installStopHandlers();
        elapsedMs(); // the log's clock starts here
        Simulator simulator(options);
        return simulator.run();
    } catch (const std::exception& error) {
        std::cerr << "m2bus-sim: " << error.what() << "\n";
        return 1;
    }
}
