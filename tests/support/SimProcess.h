// Runs the m2bus-sim program for a test: starts it with the given options and
// a state file in a temporary folder, learns its pseudo-terminal from the
// first line it prints, and stops it (SIGTERM, so it saves) when destroyed.
#pragma once

#include <QProcess>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class SimProcess {
public:
    // `statePath` empty: a fresh file "state.txt" in a temporary folder that
    // lives as long as this object. Throws std::runtime_error when the
    // program does not start or prints no device path within 5 s.
    explicit SimProcess(std::vector<std::string> args = {}, std::string statePath = {});
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    const std::string& DevicePath() const { return devicePath_; }
    const std::string& StatePath() const { return statePath_; }

    // Ends the program as SIGTERM does and waits for it; returns its exit
    // code (-1 if it had to be killed). Safe to call more than once.
    int Stop();

    // On the bus: the collisions the program counted, from the state file it
    // saves when stopped (stops it first). Absent off the bus.
    std::optional<std::uint64_t> Collisions();

    // What the program wrote to stderr so far (its log with --verbose).
    std::string ErrorOutput();

private:
    std::unique_ptr<QTemporaryDir> tempDir_;
    QProcess process_;
    std::string devicePath_;
    std::string statePath_;
    int exitCode_ = -1;
    bool stopped_ = false;
};
