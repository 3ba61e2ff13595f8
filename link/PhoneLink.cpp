#include "link/PhoneLink.h"

#include <algorithm>
#include <exception>
#include <string>

#include "link/Frame.h"

PhoneLink::PhoneLink(LinkPort& port, LinkHost& host) : port_(port), host_(host) {}

std::uint8_t PhoneLink::Checksum(const std::uint8_t* frame) { return frame::Checksum(frame); }

void PhoneLink::Pause(int ms) {
    host_.Sleep(ms);
    sleptMs_ += ms;
}

void PhoneLink::SendPacket(const std::uint8_t* message, int n) {
    if (!frame::IsSendableLength(n))
        return;
    std::array<std::uint8_t, frame::kBufferSize> out{};
    const int length = frame::BuildDataFrame(message, n, state_.TxSequence, out.data());
    state_.EchoSeen = false;
    if (port_.WriteBuf(out.data(), length) != length)
        return;
    // The receiver cannot run while we sleep, so this is in effect one frame's line time.
    for (int k = length; !state_.EchoSeen && k > 0; --k)
        Pause(1);
}

void PhoneLink::VaComm1RxChar(int count) {
    std::array<std::uint8_t, 256> local;
    while (count > 0) {
        const int wanted = std::min(count, static_cast<int>(local.size()));
        const int got = std::min(port_.ReadBuf(local.data(), wanted), wanted);
        if (got <= 0)
            return;
        bytesTaken_ += got;
        for (int i = 0; i < got; ++i)
            TakeByte(local[i]);
        if (got < wanted)
            return;
        count -= got;
    }
}

void PhoneLink::TakeByte(std::uint8_t byte) {
    LinkState& s = state_;
    if (s.RxLength == 0 && byte != frame::kPcAddress && byte != frame::kHandsetAddress)
        return;
    if (s.RxLength < 0 || s.RxLength >= frame::kBufferSize) {  // counters set from outside
        s.RxLength = 0;
        s.RxExpected = 5;
        return;
    }
    // Every frame on the line starts 00 E9 or E9 00. A start byte that is not
    // followed by its partner was a stray byte from a frame cut off by an
    // exchange's reset; hunt again from this byte instead of letting a false
    // length byte swallow the acknowledgements and replies that follow.
    if (s.RxLength == 1 && !frame::IsFrameStart(s.RxBuffer[0], byte)) {
        s.RxLength = 0;
        s.RxExpected = 5;
        TakeByte(byte);
        return;
    }
    s.RxBuffer[s.RxLength++] = byte;
    if (s.RxLength == 3) {
        s.RxExpected = frame::AnnouncedLength(byte);
        if (s.RxExpected > frame::kBufferSize) {  // no frame of ours is that long: hunt again
            s.RxLength = 0;
            s.RxExpected = 5;
            return;
        }
    }
    if (s.RxLength < s.RxExpected)
        return;
    FrameComplete();
    s.RxLength = 0;
    s.RxExpected = 5;
}

void PhoneLink::FrameComplete() {
    LinkState& s = state_;
    if (s.RxBuffer[0] != frame::kHandsetAddress || s.RxBuffer[1] != frame::kPcAddress) {
        s.EchoSeen = true;
        return;
    }
    if (Checksum(s.RxBuffer.data()) != s.RxBuffer[s.RxExpected - 1])
        return;
    if (s.RxBuffer[2] == frame::kAckMarker) {
        s.AckReady = true;
        ++s.TxSequence;
        host_.SetAckLed(true);
        return;
    }
    AcknowledgeDataFrame();
}

void PhoneLink::AcknowledgeDataFrame() {
    LinkState& s = state_;
    std::copy_n(s.RxBuffer.begin(), s.RxExpected, s.ReplyBuffer.begin());
    Pause(1);
    std::array<std::uint8_t, frame::kAckLength> ack;
    frame::BuildAck(s.RxBuffer[0], s.RxBuffer[s.RxExpected - 2], ack.data());
    if (port_.WriteBuf(ack.data(), frame::kAckLength) != frame::kAckLength)
        return;
    s.ReplyReady = true;
    host_.EnableInfoButton();
    host_.SetPackLed(true);
}

void PhoneLink::LedsOff() {
    host_.SetAckLed(false);
    host_.SetPackLed(false);
}

bool PhoneLink::Exchange(const ExchangePlan& plan) {
    LinkState& s = state_;
    s.RxLength = 0;
    s.RxExpected = 5;
    if (plan.message != s.TxBuffer.data() && frame::IsSendableLength(plan.length))
        std::copy_n(plan.message, plan.length, s.TxBuffer.begin());
    LedsOff();
    s.EchoSeen = false;
    s.AckReady = false;
    if (plan.zeroReplyBuffer)
        s.ReplyBuffer.fill(0);
    s.ReplyReady = false;

    long long ackSeenAtMs = -1;
    for (int k = plan.tries;; --k) {
        if (s.ReplyReady) {
            if (plan.rule == SendRule::EveryPass)
                SettleRepeatedSends();
            return true;
        }
        if (plan.rule == SendRule::EveryPass || !s.AckReady)
            SendPacket(s.TxBuffer.data(), plan.length);
        if (k <= 0)
            return ackSeenAtMs >= 0 && WaitForAcknowledgedReply(ackSeenAtMs, plan.longestReplyFrame);
        host_.ProcessMessages();
        if (s.AckReady && ackSeenAtMs < 0)
            ackSeenAtMs = sleptMs_;
        Pause(plan.pauseMs);
    }
}

// Copies sent after the handset's acknowledgement carry new sequence bytes and
// are answered as well. Take those answers in while the line is still busy, so
// that the next exchange starts on a quiet line and none of them counts as
// its own acknowledgement or reply.
void PhoneLink::SettleRepeatedSends() {
    long long seen = bytesTaken_;
    long long quietSinceMs = sleptMs_;
    const long long giveUpAtMs = sleptMs_ + kSettleLimitMs;
    for (;;) {
        host_.ProcessMessages();
        if (bytesTaken_ != seen) {
            seen = bytesTaken_;
            quietSinceMs = sleptMs_;
        } else if (sleptMs_ - quietSinceMs >= kReplyMarginMs) {
            return;
        }
        if (sleptMs_ >= giveUpAtMs)
            return;
        Pause(kReplyPollMs);
    }
}

// The passes alone can end before an acknowledged reply has even crossed the
// line at 9600 baud; give it its line time plus turnaround, sending nothing more.
bool PhoneLink::WaitForAcknowledgedReply(long long ackSeenAtMs, int longestReplyFrame) {
    const long long lineMs = (static_cast<long long>(longestReplyFrame) * kByteTimeUs + 999) / 1000;
    const long long deadline = ackSeenAtMs + lineMs + kReplyMarginMs;
    for (;;) {
        host_.ProcessMessages();
        if (state_.ReplyReady)
            return true;
        if (sleptMs_ >= deadline)
            return false;
        Pause(kReplyPollMs);
    }
}

bool PhoneLink::TryOpenPort() {
    try {
        port_.Open();
        return true;
    } catch (const std::exception&) {
        // The port's own reason is not shown; the user only needs to pick another port.
        return false;
    }
}

void PhoneLink::ShowInvalidPort() { host_.ShowMessage("Invalid port number Com" + std::to_string(port_.PortNum())); }

void PhoneLink::ClosePort() {
    if (port_.IsOpen())
        port_.Close();
}

void PhoneLink::ShowNoAnswer() { host_.ShowMessage(kNoAnswerMessage); }

bool PhoneLink::Transfer(const std::uint8_t* message, int n, int tries, int pauseMs, int longestReplyFrame) {
    state_.ReplyBuffer.fill(0);
    if (!TryOpenPort()) {
        ShowInvalidPort();
        return false;
    }
    bool ok = false;
    try {
        ok = Exchange({message, n, tries, pauseMs, SendRule::WhileUnacknowledged, false, longestReplyFrame});
    } catch (const std::exception&) {
        ClosePort();  // a port error ends the transfer; the error report shows it
        throw;
    }
    if (ok)
        LedsOff();
    ClosePort();
    if (!ok)
        ShowNoAnswer();
    return ok;
}
