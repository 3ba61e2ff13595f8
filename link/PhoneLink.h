// The main window's side of the M2BUS link: framing and sending, the frame
// receiver with its acknowledgements, and the one message exchange that the
// service commands and the phonebook and logo transfers all run.
#pragma once

#include <array>
#include <cstdint>

#include "link/LinkHost.h"
#include "link/LinkPort.h"
#include "link/LinkState.h"
#include "link/MessageTransfer.h"

enum class SendRule {
    WhileUnacknowledged,  // stop re-sending once the handset has acknowledged
    EveryPass,            // send on every pass, acknowledged or not
};

struct ExchangePlan {
    const std::uint8_t* message = nullptr;
    int length = 0;            // N
    int tries = 3;             // T: at most T + 1 sends
    int pauseMs = 100;         // P
    SendRule rule = SendRule::WhileUnacknowledged;
    bool zeroReplyBuffer = false;  // between clearing AckReady and ReplyReady
    int longestReplyFrame = 0;     // whole frame, header to checksum
};

class PhoneLink : public MessageTransfer {
public:
    // A line byte at 9600 baud, 11 bits a character, in microseconds.
    static constexpr int kByteTimeUs = 1146;
    // Handset turnaround allowed on top of an acknowledged request's reply line time.
    static constexpr int kReplyMarginMs = 100;
    // Poll step while waiting out that reply time.
    static constexpr int kReplyPollMs = 5;
    // Longest wait for the answers to copies sent on every pass; the line
    // counts as settled after kReplyMarginMs without a byte.
    static constexpr int kSettleLimitMs = 1000;

    PhoneLink(LinkPort& port, LinkHost& host);

    static std::uint8_t Checksum(const std::uint8_t* frame);

    // Frames message[0..n) with TxSequence and writes it; waits up to n + 6
    // sleeps of 1 ms for the echo. A length of 127 or above 250 is refused
    // without touching the port.
    void SendPacket(const std::uint8_t* message, int n);

    // Received-bytes notification: reads count bytes (in 256-byte chunks) and
    // runs them through the frame assembler.
    void VaComm1RxChar(int count);

    // Resets the assembler, copies the message to TxBuffer, darkens the LEDs,
    // clears the flags, then sends and waits. True once a data reply is in.
    // The port must be open; opening, closing and messages are the caller's.
    bool Exchange(const ExchangePlan& plan);

    bool Transfer(const std::uint8_t* message, int n, int tries, int pauseMs, int longestReplyFrame) override;
    const std::array<std::uint8_t, 256>& ReplyBuffer() const override { return state_.ReplyBuffer; }

    // False when the port raised any error on opening; nothing is shown.
    bool TryOpenPort();
    // "Invalid port number Com<n>".
    void ShowInvalidPort();
    void ClosePort();
    void LedsOff();
    void ShowNoAnswer();

    LinkState& State() { return state_; }
    const LinkState& State() const { return state_; }
    LinkPort& Port() { return port_; }
    LinkHost& Host() { return host_; }

private:
    void Pause(int ms);
    void TakeByte(std::uint8_t byte);
    void FrameComplete();
    void AcknowledgeDataFrame();
    bool WaitForAcknowledgedReply(long long ackSeenAtMs, int longestReplyFrame);
    void SettleRepeatedSends();

    LinkPort& port_;
    LinkHost& host_;
    LinkState state_;
    long long sleptMs_ = 0;  // every sleep of the link, our clock for the reply wait
    long long bytesTaken_ = 0;  // every byte read from the port, to tell a quiet line
};

inline constexpr const char* kNoAnswerMessage = "No answer from phone!  Please, check cable connection!";
