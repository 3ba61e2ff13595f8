#include "PhoneLink.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <string>

#include "Frame.h"

namespace {
constexpr std::int64_t kLongAgoUs = std::numeric_limits<std::int64_t>::min() / 4;
constexpr std::int64_t Ms(int ms) { return static_cast<std::int64_t>(ms) * 1000; }
}  // namespace

PhoneLink::PhoneLink(LinkPort& port, LinkHost& host)
    : port_(port), host_(host), lastHandsetByteUs_(kLongAgoUs), lastStrayByteUs_(kLongAgoUs) {}

std::uint8_t PhoneLink::Checksum(const std::uint8_t* frame) { return frame::Checksum(frame); }

// Our UART sends what it is given back to back; keeping track of when it is
// through tells when a frame has left even on a cable without echo.
int PhoneLink::Write(const std::uint8_t* bytes, int count) {
    const std::int64_t now = host_.NowUs();
    const int written = port_.WriteBuf(bytes, count);
    if (observer_)
        observer_->Sent(bytes, count, written == count);
    if (written > 0)
        transmitterFreeUs_ = std::max(now, transmitterFreeUs_) + static_cast<std::int64_t>(written) * kByteTimeUs;
    return written;
}

void PhoneLink::SendPacket(const std::uint8_t* message, int n) {
    if (!frame::IsSendableLength(n))
        return;
    std::array<std::uint8_t, frame::kBufferSize> out{};
    const int length = frame::BuildDataFrame(message, n, state_.TxSequence, out.data());
    state_.EchoSeen = false;
    Write(out.data(), length);
}

void PhoneLink::VaComm1RxChar(int count) {
    std::array<std::uint8_t, 256> local;
    while (count > 0) {
        const int wanted = std::min(count, static_cast<int>(local.size()));
        const int got = std::min(port_.ReadBuf(local.data(), wanted), wanted);
        if (got <= 0)
            return;
        if (observer_)
            observer_->Received(local.data(), got);
        for (int i = 0; i < got; ++i)
            TakeByte(local[i]);
        if (got < wanted)
            return;
        count -= got;
    }
}

void PhoneLink::TakeByte(std::uint8_t byte) {
    LinkState& s = state_;
    if (s.RxLength < 0 || s.RxLength >= frame::kBufferSize) {  // counters set from outside
        s.RxLength = 0;
        s.RxExpected = 5;
    }
    const bool handsetByte = s.RxLength > 0 ? s.RxBuffer[0] == frame::kHandsetAddress : byte == frame::kHandsetAddress;
    if (handsetByte) {
        lastHandsetByteUs_ = host_.NowUs();
        handsetFrameEnded_ = false;
    }
    if (s.RxLength == 0 && byte != frame::kPcAddress && byte != frame::kHandsetAddress) {
        lastStrayByteUs_ = host_.NowUs();
        return;
    }
    // Every frame on the line starts 00 E9 or E9 00. A start byte that is not
    // followed by its partner was a stray byte from a frame cut off by an
    // exchange's reset; hunt again from this byte instead of letting a false
    // length byte swallow the acknowledgements and replies that follow.
    if (s.RxLength == 1 && !frame::IsFrameStart(s.RxBuffer[0], byte)) {
        lastStrayByteUs_ = host_.NowUs();
        s.RxLength = 0;
        s.RxExpected = 5;
        TakeByte(byte);
        return;
    }
    s.RxBuffer[s.RxLength++] = byte;
    if (s.RxLength == 3) {
        s.RxExpected = frame::AnnouncedLength(byte);
        if (s.RxExpected > frame::kBufferSize) {  // no frame of ours is that long: hunt again
            lastStrayByteUs_ = host_.NowUs();
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
    handsetFrameEnded_ = true;
    if (Checksum(s.RxBuffer.data()) != s.RxBuffer[s.RxExpected - 1])
        return;
    if (s.RxBuffer[2] == frame::kAckMarker) {
        // An acknowledgement names the frame it answers; a late one for an
        // earlier frame says nothing about the frame now waiting.
        if (s.RxBuffer[3] != s.TxSequence)
            return;
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
    host_.Sleep(1);
    std::array<std::uint8_t, frame::kAckLength> ack;
    frame::BuildAck(s.RxBuffer[0], s.RxBuffer[s.RxExpected - 2], ack.data());
    if (Write(ack.data(), frame::kAckLength) != frame::kAckLength)
        return;
    s.ReplyReady = true;
    host_.EnableInfoButton();
    host_.SetPackLed(true);
}

bool PhoneLink::HandsetMidFrame() const {
    return state_.RxLength > 0 && state_.RxBuffer[0] == frame::kHandsetAddress;
}

std::int64_t PhoneLink::LastHandsetActivityUs() const { return std::max(lastHandsetByteUs_, lastStrayByteUs_); }

// The handset is not talking: no frame of its is half in, and no byte came
// lately, unless it ended a whole frame: the handset answers only what it is
// sent, so nothing follows a finished reply.
bool PhoneLink::LineQuiet(std::int64_t nowUs) const {
    if (HandsetMidFrame())
        return nowUs - lastHandsetByteUs_ >= Ms(kFrameStallMs);
    if (!handsetFrameEnded_ && nowUs - lastHandsetByteUs_ < Ms(kQuietGapMs))
        return false;
    return nowUs - lastStrayByteUs_ >= Ms(kQuietGapMs);
}

void PhoneLink::WaitForQuietLine() {
    host_.ProcessMessages();
    const std::int64_t giveUpUs = host_.NowUs() + Ms(kQuietLimitMs);
    for (;;) {
        const std::int64_t now = host_.NowUs();
        if (LineQuiet(now))
            break;
        if (now >= giveUpUs) {
            state_.RxLength = 0;  // whatever was half in will not be finished
            state_.RxExpected = 5;
            return;
        }
        const std::int64_t quietAt = HandsetMidFrame() ? lastHandsetByteUs_ + Ms(kFrameStallMs)
                                                       : LastHandsetActivityUs() + Ms(kQuietGapMs);
        host_.WaitForEvents(std::min(quietAt, giveUpUs));
    }
    // A frame that stalled will never be finished; start the next one clean.
    if (HandsetMidFrame()) {
        state_.RxLength = 0;
        state_.RxExpected = 5;
    }
}

// Waits until the handset acknowledges or replies, or has stayed silent for
// its answer window after our frame and after the last byte it sent.
void PhoneLink::WaitForAnswer(std::int64_t frameEndUs, std::int64_t windowUs) {
    for (;;) {
        if (state_.ReplyReady || state_.AckReady)
            return;
        const std::int64_t now = host_.NowUs();
        const std::int64_t deadline = std::max(frameEndUs, LastHandsetActivityUs()) + windowUs;
        if (now >= deadline && !HandsetMidFrame())
            return;
        if (now >= deadline + Ms(kFrameStallMs))
            return;
        host_.WaitForEvents(HandsetMidFrame() ? deadline + Ms(kFrameStallMs) : deadline);
    }
}

// Acknowledged: the reply follows, within the answer window of the
// acknowledgement or of whatever the handset sent since. A line that never
// stops talking gives up after twice the window and the reply's line time.
bool PhoneLink::WaitForReply(int longestReplyFrame) {
    const std::int64_t start = host_.NowUs();
    const std::int64_t limit = start + 2 * Ms(kAnswerWindowMs) +
                               static_cast<std::int64_t>(std::max(longestReplyFrame, 0)) * kByteTimeUs;
    for (;;) {
        if (state_.ReplyReady)
            return true;
        const std::int64_t now = host_.NowUs();
        const std::int64_t deadline = std::min(std::max(start, LastHandsetActivityUs()) + Ms(kAnswerWindowMs), limit);
        if (now >= deadline)
            return false;
        host_.WaitForEvents(deadline);
    }
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

    const std::int64_t windowUs = Ms(std::max(plan.pauseMs, kAnswerWindowMs));
    for (int sends = 0; sends <= plan.tries; ++sends) {
        WaitForQuietLine();
        if (s.ReplyReady)
            return true;
        if (s.AckReady)
            return WaitForReply(plan.longestReplyFrame);
        SendPacket(s.TxBuffer.data(), plan.length);
        WaitForAnswer(transmitterFreeUs_, windowUs);
        if (s.ReplyReady)
            return true;
        if (s.AckReady)
            return WaitForReply(plan.longestReplyFrame);
    }
    return false;
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
        ok = Exchange({message, n, tries, pauseMs, false, longestReplyFrame});
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
