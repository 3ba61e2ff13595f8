// The message exchange with the handset: a policy over a clock and a line.
// It sends a request on a quiet line, keeps the handset's answer window,
// acknowledges the reply, asks again after a lost or spoilt reply, and waits
// for a slow reply while its bytes keep coming. It returns the reply or says
// why there was none; showing anything is its caller's business.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "link/FrameAssembler.h"
#include "link/LinkClock.h"
#include "link/LinkEvents.h"
#include "link/LinkFailure.h"
#include "link/LinkObserver.h"
#include "link/LinkPort.h"
#include "link/ReplyLayout.h"

struct ExchangePlan {
    const std::uint8_t* message = nullptr;
    int length = 0; // N
    int tries = 3; // T: at most T + 1 sends
    int pauseMs = 100; // P: the handset's answer window is at least this long
    bool zeroReplyBuffer = false; // the reply frame starts from zeros, not from the last reply
    int longestReplyFrame = 0; // whole frame, header to checksum
};

class Exchange : private FrameAssembler::Sink {
public:
    // A line byte at 9600 baud, 11 bits a character, in microseconds.
    static constexpr int kByteTimeUs = 1146;
    // How long the handset is given to start answering once a frame of ours
    // is through, and to go on after any byte it sent: handsets take from a
    // few to 150 ms to turn the line round. No frame is sent again before
    // this has passed in silence, so a late answer is never talked over.
    static constexpr int kAnswerWindowMs = 200;
    // Bytes of a frame follow each other closely; a frame that stops for
    // this long has lost its rest (USB adapters hand bytes over in batches
    // up to 16 ms apart).
    static constexpr int kFrameStallMs = 40;
    // Stray bytes (noise, garbled bytes) are someone talking: the line
    // counts as quiet only after this long without one.
    static constexpr int kQuietGapMs = 5;
    // Longest wait for a quiet line before sending anyway.
    static constexpr int kQuietLimitMs = 1000;
    // A wait that ends this much later than it was asked to means the
    // program was not running (a busy desktop, a stopped process): the
    // silence it spanned was not heard, so it does not count.
    static constexpr int kPauseSlackMs = 15;

    // events may be null. The sequence byte carries over from one exchange
    // to the next; firstSequence is the one the first frame carries.
    Exchange(LinkPort& port, LinkClock& clock, LinkEvents* events = nullptr, std::uint8_t firstSequence = 0);

    // Sends the request until the handset acknowledges it, and waits for its
    // reply. A send waits for a quiet line, and a frame goes out again only
    // after the handset has had its answer window without answering. Once the
    // handset has acknowledged the frame, the link waits for the reply; when
    // no whole reply comes, the request goes out again as a new frame (the
    // acknowledgement moved the sequence byte on). At most tries + 1 sends.
    // The port must be open. Both lights go dark first.
    LinkResult<ReplyFrame> run(const ExchangePlan& plan);

    // Darkens both lights, as a command does when it is through.
    void lightsOff();
    // The sequence byte the next frame of ours carries.
    std::uint8_t sequence() const { return sequence_; }
    // The frame log; null for none. Not owned.
    void setObserver(LinkObserver* observer) { observer_ = observer; }

private:
    // FrameAssembler::Sink
    void frame(const std::uint8_t* bytes, int length, std::uint64_t at) override;
    void noise(std::uint64_t at, std::size_t count) override;
    void notAFrame(NotAFrame why, std::uint8_t address, std::uint64_t at, int length, int announced) override;
    void frameBytes(std::uint8_t address) override;

    int writeBytes(const std::uint8_t* bytes, int count);
    void sendRequest(const ExchangePlan& plan);
    void takeBytes(const std::uint8_t* bytes, int count);
    void takeWaitingBytes();
    void dropPartialFrame();
    void acknowledgeDataFrame(const std::uint8_t* bytes, int length);
    void light(LinkLight which, bool lit);
    bool handsetMidFrame() const;
    // The time, once whatever waits in the port has been taken in.
    std::int64_t listen();
    void waitUntil(std::int64_t untilUs);
    // The later of t and the moment the link last started listening again.
    std::int64_t heardSince(std::int64_t t) const { return std::max(t, listeningSinceUs_); }
    bool lineQuiet(std::int64_t nowUs) const;
    std::int64_t lastHandsetActivityUs() const;
    void waitForQuietLine();
    void waitForAnswer(std::int64_t frameEndUs, std::int64_t windowUs);
    bool waitForReply(const ExchangePlan& plan);
    ExchangeFailure failure(const ExchangePlan& plan, int acknowledgedSends) const;

    LinkPort& port_;
    LinkClock& clock_;
    LinkEvents* events_;
    LinkObserver* observer_ = nullptr;
    FrameAssembler assembler_;
    std::uint8_t sequence_;
    ReplyFrame reply_{};
    bool ackReady_ = false; // the handset took the frame waiting
    bool replyReady_ = false; // a reply came whole and was acknowledged
    std::int64_t transmitterFreeUs_ = 0; // when our last written byte is through
    std::int64_t lastHandsetByteUs_; // last byte of a frame the handset started
    std::int64_t lastStrayByteUs_; // last byte outside any frame
    std::int64_t lastLookUs_; // when the link last looked at the line
    std::int64_t lookGapUs_ = 0; // how long the next look may be in coming without a pause
    std::int64_t listeningSinceUs_; // silence before this was not heard
    std::int64_t bytesCameUs_ = 0; // when the bytes being taken in came
    bool handsetFrameEnded_ = true; // the handset's last byte ended a frame
    // The reply taken last, whole: the same frame again before the next
    // request is acknowledged is the handset repeating it, not an answer.
    ReplyFrame lastReply_{};
    int lastReplyLength_ = 0;
    std::uint64_t lastReplyExchange_ = 0; // the exchange that took it
    std::uint64_t exchanges_ = 0; // exchanges started so far
    bool exchangeRunning_ = false;
    int sends_ = 0; // requests sent in the running exchange
    int damagedFrames_ = 0; // in the running exchange
};
