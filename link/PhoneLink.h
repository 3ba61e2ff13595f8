// The main window's side of the M2BUS link: framing and sending, the frame
// receiver with its acknowledgements, and the one message exchange that the
// service commands and the phonebook and logo transfers all run.
#pragma once

#include <array>
#include <cstdint>

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
    // the handset has had its answer window without answering; once the
    // handset has acknowledged the frame it only waits for the reply. At
    // most tries + 1 sends. The port must be open; opening, closing and
    // messages are the caller's.
    bool exchange(const ExchangePlan& plan);

    bool transfer(const std::uint8_t* message, int n, int tries, int pauseMs, int longestReplyFrame) override;
    const std::array<std::uint8_t, 256>& replyBuffer() const override { return state_.replyBuffer; }

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
    void takeByte(std::uint8_t byte);
    void frameComplete();
    void acknowledgeDataFrame();
    bool handsetMidFrame() const;
    bool lineQuiet(std::int64_t nowUs) const;
    std::int64_t lastHandsetActivityUs() const;
    void waitForQuietLine();
    void waitForAnswer(std::int64_t frameEndUs, std::int64_t windowUs);
    bool waitForReply(int longestReplyFrame);

    LinkPort& port_;
    LinkHost& host_;
    LinkState state_;
    std::int64_t transmitterFreeUs_ = 0; // when our last written byte is through
    std::int64_t lastHandsetByteUs_; // last byte of a frame the handset started
    std::int64_t lastStrayByteUs_; // last byte outside any frame
    bool handsetFrameEnded_ = true; // the handset's last byte ended a frame
    LinkObserver* observer_ = nullptr;
};

inline constexpr const char* kNoAnswerMessage = "No answer from phone!  Please, check cable connection!";
