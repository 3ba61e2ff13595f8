// A pseudo-terminal for port tests: the test holds the master end and plays
// the far side of the line; the slave path is what the port under test opens.
// POSIX only.
#pragma once

#include <QString>

#include <string>

class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const QString& SlavePath() const { return slavePath_; }
    int MasterFd() const { return master_; }

    // Sends bytes towards the port, as the device at the far end would.
    void Send(const std::string& bytes);
    // Whatever the port has sent, collected until `quietMs` pass without more.
    std::string Receive(int quietMs = 50);

private:
    int master_ = -1;
    QString slavePath_;
};
