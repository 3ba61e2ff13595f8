#include "link/PhoneLink.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <string>

#include "link/Frame.h"

namespace {
constexpr std::int64_t kLongAgoUs = std::numeric_limits<std::int64_t>::min() / 4;
constexpr std::int64_t Ms(int ms)
{
    return static_cast<std::int64_t>(ms) * 1000;
}
} // namespace

PhoneLink::PhoneLink(LinkPort& port, LinkHost& host)
    : port_(port)
    , host_(host)
    , lastHandsetByteUs_(kLongAgoUs)
    , lastStrayByteUs_(kLongAgoUs)
{ }

std::uint8_t PhoneLink::checksum(const std::uint8_t* frame)
{
    return frame::checksum(frame);
}

// Our UART sends what it is given back to back; keeping track of when it is
// through tells when a frame has left even on a cable without echo.
int PhoneLink::writeBytes(const std::uint8_t* bytes, int count)
{
    const std::int64_t now = host_.nowUs();
    const int written = port_.write(bytes, count);
    if (observer_)
        observer_->sent(bytes, count, written == count);
    if (written > 0)
        transmitterFreeUs_ = std::max(now, transmitterFreeUs_) + static_cast<std::int64_t>(written) * kByteTimeUs;
    return written;
}

void PhoneLink::sendPacket(const std::uint8_t* message, int n)
{
    if (!frame::isSendableLength(n))
        return;
    std::array<std::uint8_t, frame::kBufferSize> out{};
    const int length = frame::buildDataFrame(message, n, state_.txSequence, out.data());
    state_.echoSeen = false;
    writeBytes(out.data(), length);
}

void PhoneLink::onBytesReceived(int count)
{
    std::array<std::uint8_t, 256> local;
    while (count > 0) {
        const int wanted = std::min(count, static_cast<int>(local.size()));
        const int got = std::min(port_.read(local.data(), wanted), wanted);
        if (got <= 0)
            return;
        if (observer_)
            observer_->received(local.data(), got);
        for (int i = 0; i < got; ++i)
            takeByte(local[i]);
        if (got < wanted)
            return;
        count -= got;
    }
}

void PhoneLink::takeByte(std::uint8_t byte)
{
    LinkState& s = state_;
    if (s.rxLength < 0 || s.rxLength >= frame::kBufferSize) { // counters set from outside
        s.rxLength = 0;
        s.rxExpected = 5;
    }
    const bool handsetByte = s.rxLength > 0 ? s.rxBuffer[0] == frame::kHandsetAddress : byte == frame::kHandsetAddress;
    if (handsetByte) {
        lastHandsetByteUs_ = host_.nowUs();
        handsetFrameEnded_ = false;
    }
    if (s.rxLength == 0 && byte != frame::kPcAddress && byte != frame::kHandsetAddress) {
        lastStrayByteUs_ = host_.nowUs();
        return;
    }
    // Every frame on the line starts 00 E9 or E9 00. A start byte that is not
    // followed by its partner was a stray byte from a frame cut off by an
    // exchange's reset; hunt again from this byte instead of letting a false
    // length byte swallow the acknowledgements and replies that follow.
    if (s.rxLength == 1 && !frame::isFrameStart(s.rxBuffer[0], byte)) {
        lastStrayByteUs_ = host_.nowUs();
        s.rxLength = 0;
        s.rxExpected = 5;
        takeByte(byte);
        return;
    }
    s.rxBuffer[s.rxLength++] = byte;
    if (s.rxLength == 3) {
        s.rxExpected = frame::announcedLength(byte);
        if (s.rxExpected > frame::kBufferSize) { // no frame of ours is that long: hunt again
            lastStrayByteUs_ = host_.nowUs();
            s.rxLength = 0;
            s.rxExpected = 5;
            return;
        }
    }
    if (s.rxLength < s.rxExpected)
        return;
    frameComplete();
    s.rxLength = 0;
    s.rxExpected = 5;
}

void PhoneLink::frameComplete()
{
    LinkState& s = state_;
    if (s.rxBuffer[0] != frame::kHandsetAddress || s.rxBuffer[1] != frame::kPcAddress) {
        s.echoSeen = true;
        return;
    }
    handsetFrameEnded_ = true;
    if (checksum(s.rxBuffer.data()) != s.rxBuffer[s.rxExpected - 1])
        return;
    if (s.rxBuffer[2] == frame::kAckMarker) {
        // An acknowledgement names the frame it answers; a late one for an
        // earlier frame says nothing about the frame now waiting.
        if (s.rxBuffer[3] != s.txSequence)
            return;
        s.ackReady = true;
        ++s.txSequence;
        host_.setAckLed(true);
        return;
    }
    acknowledgeDataFrame();
}

void PhoneLink::acknowledgeDataFrame()
{
    LinkState& s = state_;
    std::copy_n(s.rxBuffer.begin(), s.rxExpected, s.replyBuffer.begin());
    host_.sleep(1);
    std::array<std::uint8_t, frame::kAckLength> ack;
    frame::buildAck(s.rxBuffer[0], s.rxBuffer[s.rxExpected - 2], ack.data());
    if (writeBytes(ack.data(), frame::kAckLength) != frame::kAckLength)
        return;
    s.replyReady = true;
    host_.enableConnectButton();
    host_.setPackLed(true);
}

bool PhoneLink::handsetMidFrame() const
{
    return state_.rxLength > 0 && state_.rxBuffer[0] == frame::kHandsetAddress;
}

std::int64_t PhoneLink::lastHandsetActivityUs() const
{
    return std::max(lastHandsetByteUs_, lastStrayByteUs_);
}

// The handset is not talking: no frame of its is half in, and no byte came
// lately, unless it ended a whole frame: the handset answers only what it is
// sent, so nothing follows a finished reply.
bool PhoneLink::lineQuiet(std::int64_t nowUs) const
{
    if (handsetMidFrame())
        return nowUs - lastHandsetByteUs_ >= Ms(kFrameStallMs);
    if (!handsetFrameEnded_ && nowUs - lastHandsetByteUs_ < Ms(kQuietGapMs))
        return false;
    return nowUs - lastStrayByteUs_ >= Ms(kQuietGapMs);
}

void PhoneLink::waitForQuietLine()
{
    host_.processMessages();
    const std::int64_t giveUpUs = host_.nowUs() + Ms(kQuietLimitMs);
    for (;;) {
        const std::int64_t now = host_.nowUs();
        if (lineQuiet(now))
            break;
        if (now >= giveUpUs) {
            state_.rxLength = 0; // whatever was half in will not be finished
            state_.rxExpected = 5;
            return;
        }
        const std::int64_t quietAt =
            handsetMidFrame() ? lastHandsetByteUs_ + Ms(kFrameStallMs) : lastHandsetActivityUs() + Ms(kQuietGapMs);
        host_.waitForEvents(std::min(quietAt, giveUpUs));
    }
    // A frame that stalled will never be finished; start the next one clean.
    if (handsetMidFrame()) {
        state_.rxLength = 0;
        state_.rxExpected = 5;
    }
}

// Waits until the handset acknowledges or replies, or has stayed silent for
// its answer window after our frame and after the last byte it sent.
void PhoneLink::waitForAnswer(std::int64_t frameEndUs, std::int64_t windowUs)
{
    for (;;) {
        if (state_.replyReady || state_.ackReady)
            return;
        const std::int64_t now = host_.nowUs();
        const std::int64_t deadline = std::max(frameEndUs, lastHandsetActivityUs()) + windowUs;
        if (now >= deadline && !handsetMidFrame())
            return;
        if (now >= deadline + Ms(kFrameStallMs))
            return;
        host_.waitForEvents(handsetMidFrame() ? deadline + Ms(kFrameStallMs) : deadline);
    }
}

// Acknowledged: the reply follows, within the answer window of the
// acknowledgement or of whatever the handset sent since. A line that never
// stops talking gives up after twice the window and the reply's line time.
bool PhoneLink::waitForReply(int longestReplyFrame)
{
    const std::int64_t start = host_.nowUs();
    const std::int64_t limit =
        start + 2 * Ms(kAnswerWindowMs) + static_cast<std::int64_t>(std::max(longestReplyFrame, 0)) * kByteTimeUs;
    for (;;) {
        if (state_.replyReady)
            return true;
        const std::int64_t now = host_.nowUs();
        const std::int64_t deadline = std::min(std::max(start, lastHandsetActivityUs()) + Ms(kAnswerWindowMs), limit);
        if (now >= deadline)
            return false;
        host_.waitForEvents(deadline);
    }
}

void PhoneLink::ledsOff()
{
    host_.setAckLed(false);
    host_.setPackLed(false);
}

bool PhoneLink::exchange(const ExchangePlan& plan)
{
    LinkState& s = state_;
    s.rxLength = 0;
    s.rxExpected = 5;
    if (plan.message != s.txBuffer.data() && frame::isSendableLength(plan.length))
        std::copy_n(plan.message, plan.length, s.txBuffer.begin());
    ledsOff();
    s.echoSeen = false;
    s.ackReady = false;
    if (plan.zeroReplyBuffer)
        s.replyBuffer.fill(0);
    s.replyReady = false;

    const std::int64_t windowUs = Ms(std::max(plan.pauseMs, kAnswerWindowMs));
    for (int sends = 0; sends <= plan.tries; ++sends) {
        waitForQuietLine();
        if (s.replyReady)
            return true;
        if (s.ackReady)
            return waitForReply(plan.longestReplyFrame);
        sendPacket(s.txBuffer.data(), plan.length);
        waitForAnswer(transmitterFreeUs_, windowUs);
        if (s.replyReady)
            return true;
        if (s.ackReady)
            return waitForReply(plan.longestReplyFrame);
    }
    return false;
}

bool PhoneLink::tryOpenPort()
{
    try {
        port_.open();
        return true;
    } catch (const std::exception&) {
        // The port's own reason is not shown; the user only needs to pick another port.
        return false;
    }
}

void PhoneLink::showInvalidPort()
{
    host_.showMessage(port_.openFailureText());
}

void PhoneLink::closePort()
{
    if (port_.isOpen())
        port_.close();
}

void PhoneLink::showNoAnswer()
{
    host_.showMessage(kNoAnswerMessage);
}

bool PhoneLink::transfer(const std::uint8_t* message, int n, int tries, int pauseMs, int longestReplyFrame)
{
    state_.replyBuffer.fill(0);
    if (!tryOpenPort()) {
        showInvalidPort();
        return false;
    }
    bool ok = false;
    try {
        ok = exchange({message, n, tries, pauseMs, false, longestReplyFrame});
    } catch (const std::exception&) {
        closePort(); // a port error ends the transfer; the error report shows it
        throw;
    }
    if (ok)
        ledsOff();
    closePort();
    if (!ok)
        showNoAnswer();
    return ok;
}
