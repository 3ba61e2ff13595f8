// The main window's side of the M2BUS link: framing and sending, the frame
// receiver with its acknowledgements, and the one message exchange that the
// service commands and the phonebook and logo transfers all run.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/LinkHost.h"
#include "link/LinkObserver.h"
#include "link/LinkPort.h"
#include "link/LinkState.h"
#include "link/MessageTransfer.h"

struct ExchangePlan {
    const std::uint8_t* message = nullptr;
    int length = 0; // N
    int tries = 3; // T: at most T + 1 sends
    int pauseMs = 100; // P: the handset's answer window is at least this long
    bool zeroReplyBuffer = false; // between clearing ackReady and replyReady
    int longestReplyFrame = 0; // whole frame, header to checksum
};

class PhoneLink : public MessageTransfer {
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

    PhoneLink(LinkPort& port, LinkHost& host);

    static std::uint8_t checksum(const std::uint8_t* frame);

    // Frames message[0..n) with txSequence and writes it; returns at once.
    // A length of 127 or above 250 is refused without touching the port.
    void sendPacket(const std::uint8_t* message, int n);

    // Received-bytes notification: reads count bytes (in 256-byte chunks) and
    // runs them through the frame assembler.
    void onBytesReceived(int count);

    // Resets the assembler, copies the message to txBuffer, darkens the LEDs,
    // clears the flags, then sends and waits. True once a data reply is in.
    // A send waits for a quiet line, and a frame goes out again only after
    // the handset has had its answer window without answering. Once the
    // handset has acknowledged the frame, the link waits for the reply; when
    // no whole reply comes, the request goes out again as a new frame (the
    // acknowledgement moved the sequence byte on). At most tries + 1 sends.
    // The port must be open; opening, closing and messages are the caller's.
    bool exchange(const ExchangePlan& plan);

    bool transfer(const std::uint8_t* message, int n, int tries, int pauseMs, int longestReplyFrame) override;
    const std::array<std::uint8_t, 256>& replyBuffer() const override { return state_.replyBuffer; }
    ExchangeFailure lastFailure() const override { return lastFailure_; }

    // False when the port raised any error on opening; nothing is shown.
    bool tryOpenPort();
    // The port's open failure text: "Invalid port number Com<n>" for a
    // numbered port.
    void showInvalidPort();
    void closePort();
    void ledsOff();
    void showNoAnswer();

    LinkState& state() { return state_; }
    const LinkState& state() const { return state_; }
    LinkPort& port() { return port_; }
    LinkHost& host() { return host_; }
    // The frame log; null for none. Not owned.
    void setObserver(LinkObserver* observer) { observer_ = observer; }

private:
    int writeBytes(const std::uint8_t* bytes, int count);
    void takeBytes(const std::uint8_t* bytes, int count);
    void drainFeed();
    void takeWaitingBytes();
    void takeFromFeed();
    void dropPartialFrame();
    void resync();
    int longestFrameNow(std::uint8_t firstByte) const;
    void frameComplete();
    void acknowledgeDataFrame();
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
    void noteFailure(const ExchangePlan& plan, int acknowledgedSends);

    LinkPort& port_;
    LinkHost& host_;
    LinkState state_;
    std::int64_t transmitterFreeUs_ = 0; // when our last written byte is through
    std::int64_t lastHandsetByteUs_; // last byte of a frame the handset started
    std::int64_t lastStrayByteUs_; // last byte outside any frame
    std::int64_t lastLookUs_; // when the link last looked at the line
    std::int64_t lookGapUs_ = 0; // how long the next look may be in coming without a pause
    std::int64_t listeningSinceUs_; // silence before this was not heard
    bool handsetFrameEnded_ = true; // the handset's last byte ended a frame
    // The reply taken last, whole: the same frame again before the next
    // request is acknowledged is the handset repeating it, not an answer.
    std::array<std::uint8_t, 256> lastReply_{};
    int lastReplyLength_ = 0;
    std::uint64_t lastReplyExchange_ = 0; // the exchange that took it
    std::uint64_t exchanges_ = 0; // exchanges started so far
    bool exchangeRunning_ = false;
    int damagedFrames_ = 0; // in the running exchange
    int longestReplyNow_ = 256; // longest reply frame of the running exchange
    // Bytes on their way through the assembler: those before feedAt_ are
    // taken, bytes searched again go back in just before it.
    std::vector<std::uint8_t> feed_;
    std::size_t feedAt_ = 0;
    bool feeding_ = false;
    std::int64_t feedNowUs_ = 0; // when the bytes being fed came
    ExchangeFailure lastFailure_;
    LinkObserver* observer_ = nullptr;
};

inline constexpr const char* kNoAnswerMessage = "No answer from phone!  Please, check cable connection!";
