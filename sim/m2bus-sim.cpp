// m2bus-sim: a handset on the far side of a pseudo-terminal, for trying the
// service tool without a phone and cable.
#include "HandsetFrame.h"
#include "HandsetLine.h"
#include "HandsetModel.h"
#include "HandsetStateFile.h"
#include "SimOptions.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void OnStopSignal(int) { stopRequested = 1; }

void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: poll must return at once
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

[[noreturn]] void SystemFailure(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

struct PseudoTerminal {
    int master = -1;
    int slave = -1;  // held open so the PC closing its port does not hang up the master
    std::string path;

    PseudoTerminal() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0) SystemFailure("posix_openpt");
        if (::grantpt(master) != 0 || ::unlockpt(master) != 0) SystemFailure("grantpt/unlockpt");
        const char* name = ::ptsname(master);
        if (!name) SystemFailure("ptsname");
        path = name;
        slave = ::open(path.c_str(), O_RDWR | O_NOCTTY);
        if (slave < 0) SystemFailure("open " + path);
        termios tio{};
        if (::tcgetattr(slave, &tio) != 0) SystemFailure("tcgetattr");
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        if (::tcsetattr(slave, TCSANOW, &tio) != 0) SystemFailure("tcsetattr");
        const int flags = ::fcntl(master, F_GETFL);
        ::fcntl(master, F_SETFL, flags | O_NONBLOCK);
    }
    ~PseudoTerminal() {
        if (slave >= 0) ::close(slave);
        if (master >= 0) ::close(master);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
};

double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

std::string Hex(const std::uint8_t* bytes, std::size_t size) {
    std::string out;
    char piece[4];
    for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(piece, sizeof piece, "%02X ", bytes[i]);
        out += piece;
    }
    return out;
}

class Simulator {
public:
    explicit Simulator(const handset::SimOptions& options) : options_(options) {
        handset::HandsetState state = handset::DefaultHandsetState();
        if (!options_.statePath.empty()) handset::LoadStateFile(options_.statePath, state);
        if (options_.versionText) state.versionText = *options_.versionText;
        if (options_.serialNumber) state.serialNumber = *options_.serialNumber;
        model_.SetState(state);
        Save();  // a fresh state file shows the sample state at once
    }

    int Run() {
        std::cout << pty_.path << std::endl;  // first line: the device to open
        while (!stopRequested) {
            Deliver(NowMs());
            const double wait = line_.NextDueMs() - NowMs();
            const int timeout = std::isinf(wait) ? 50 : std::clamp(static_cast<int>(std::ceil(wait)), 0, 50);
            pollfd pfd{pty_.master, POLLIN, 0};
            const int ready = ::poll(&pfd, 1, timeout);
            if (ready < 0 && errno != EINTR) SystemFailure("poll");
            if (ready > 0 && (pfd.revents & POLLIN)) Receive();
            if (model_.ChangeCount() != savedChanges_) Save();
        }
        Save();
        return 0;
    }

private:
    void Receive() {
        std::uint8_t buffer[4096];
        const ssize_t n = ::read(pty_.master, buffer, sizeof buffer);
        if (n <= 0) return;
        if (options_.verbose) std::cerr << "pc  > " << Hex(buffer, static_cast<std::size_t>(n)) << "\n";
        line_.FromPc(buffer, static_cast<std::size_t>(n), NowMs());
    }

    void Deliver(double nowMs) {
        const std::vector<std::uint8_t> due = line_.DueBy(nowMs);
        if (due.empty()) return;
        if (options_.verbose) std::cerr << "sim < " << Hex(due.data(), due.size()) << "\n";
        std::size_t done = 0;
        bool flushed = false;
        while (done < due.size()) {
            const ssize_t n = ::write(pty_.master, due.data() + done, due.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && errno != EAGAIN) {
                SystemFailure("write to " + pty_.path);
            } else if (!flushed) {
                // A full queue means nobody has read for kilobytes: the port is
                // closed, and a closed port would have lost these bytes anyway.
                ::tcflush(pty_.slave, TCIFLUSH);
                flushed = true;
            } else {
                if (options_.verbose) std::cerr << "sim: dropped " << due.size() - done << " bytes\n";
                break;
            }
        }
    }

    void Save() {
        savedChanges_ = model_.ChangeCount();
        if (options_.statePath.empty()) return;
        try {
            handset::SaveStateFile(options_.statePath, model_.State());
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
};

}  // namespace

int main(int argc, char** argv) {
    try {
        const handset::SimOptions options =
            handset::ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (options.help) {
            std::cout << handset::SimUsage();
            return 0;
        }
        InstallStopHandlers();
        Simulator simulator(options);
        return simulator.Run();
    } catch (const std::exception& error) {
        std::cerr << "m2bus-sim: " << error.what() << "\n";
        return 1;
    }
}
