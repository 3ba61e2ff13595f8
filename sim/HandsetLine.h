// The wire between the PC and the handset model, in time: echo of the PC's
// bytes, the handset's turnaround, line-rate pacing and injected faults.
// Times are milliseconds on whatever clock the caller runs (virtual or real).
#pragma once

#include "sim/BusWire.h"
#include "sim/HandsetModel.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace handset {

struct LineFaults {
    bool silent = false; // nothing at all comes back, not even the echo
    unsigned badChecksumEvery = 0; // every Nth handset frame goes out with a wrong checksum; 0 = never
    bool dropAcks = false; // the handset's acknowledgements never reach the PC
    bool dropReplies = false; // nor do its data frames
    bool answerDuplicates = false; // a repeated request is carried out and answered again
    unsigned noiseBytes = 0; // bytes of line noise before each handset frame
    unsigned noiseEvery = 0; // one byte of every Nth reply is changed on the line; 0 = never

    bool operator==(const LineFaults&) const = default;
};

struct LineSettings {
    bool echo = true;
    bool pace = true; // output bytes at most one per kByteMs
    // One wire shared in time (BusWire): always at line rate, so `pace` does
    // not apply; bytes of both sides that overlap are garbled. The handset
    // hears a byte at the end of its slot and answers a turnaround after that.
    // The caller's clock must not run backwards between dueBy and fromPc.
    bool bus = false;
    double turnaroundMs = 5.0; // quiet time before the handset answers a frame
    double resetQuietMs = 0.0; // after a software reset the handset hears nothing this long
    double handsetByteMs = 0.0; // a slow handset's own time from byte to byte; 0 = the line rate
    // The cable hands the PC's bytes to the handset only every this often
    // (a USB adapter's latency); 0 = as they come. The program's side of the
    // simulator applies it; the line model itself hears bytes when told.
    double readEveryMs = 0.0;
    LineFaults faults;

    bool operator==(const LineSettings&) const = default;
};

class HandsetLine {
public:
    HandsetLine(HandsetModel& model, LineSettings settings);

    // Bytes the PC wrote, arriving at tMs.
    void fromPc(const std::uint8_t* data, std::size_t size, double tMs);

    // Removes and returns the bytes due at or before tMs, in order.
    std::vector<std::uint8_t> dueBy(double tMs);

    // Time the next byte is due; infinity when nothing is waiting.
    double nextDueMs() const;

    const LineSettings& settings() const { return settings_; }
    std::size_t pending() const { return settings_.bus ? bus_.pending() : queue_.size(); }

    // Replies that left whole (no fault spoilt them), how many of them the PC
    // acknowledged, and the longest time from a reply's last byte to the
    // end of its acknowledgement.
    std::uint64_t wholeReplies() const { return wholeReplies_; }
    std::uint64_t acknowledgedReplies() const { return acknowledgedReplies_; }
    double longestAckDelayMs() const { return longestAckDelayMs_; }

    // Always 0 and empty off the bus.
    std::uint64_t collisionCount() const { return bus_.collisionCount(); }
    std::vector<Collision> takeCollisionsEndedBy(double tMs) { return bus_.takeCollisionsEndedBy(tMs); }

private:
    struct TimedByte {
        double atMs;
        std::uint8_t byte;
    };
    // Returns when the last byte has arrived at the PC.
    double send(const std::uint8_t* data, std::size_t size, double earliestMs, bool fromHandset = true);
    void sendNoise(double earliestMs);
    void spoilOneByte(std::vector<std::uint8_t>& frame);
    std::uint32_t nextNoise();

    HandsetModel& model_;
    LineSettings settings_;
    BusWire bus_;
    std::deque<TimedByte> queue_; // off the bus: bytes for the PC with their due times
    double lineFreeMs_; // when the wire can carry the next output byte
    double lastInputMs_; // arrival time of the PC's last byte
    double deafUntilMs_; // restarting after a reset
    double handsetNextMs_; // a slow handset's next byte goes out no earlier
    std::uint64_t framesSent_ = 0;
    std::uint64_t repliesSent_ = 0;
    std::uint32_t noiseState_ = 0x2545F491;
    struct OpenReply {
        std::uint8_t sequence;
        double endMs;
    };
    std::deque<OpenReply> openReplies_; // whole replies not acknowledged yet
    std::uint64_t wholeReplies_ = 0;
    std::uint64_t acknowledgedReplies_ = 0;
    double longestAckDelayMs_ = 0.0;
};

} // namespace handset
