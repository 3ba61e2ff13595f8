#include "link/PhoneLink.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <string>

#include "link/Frame.h"
#include "link/Messages.h"

namespace {
constexpr std::int64_t kLongAgoUs = std::numeric_limits<std::int64_t>::min() / 4;
constexpr std::int64_t usFromMs(int ms)
{
    return static_cast<std::int64_t>(ms) * 1000;
}
} // namespace

PhoneLink::PhoneLink(LinkPort& port, LinkHost& host)
    : port_(port)
    , host_(host)
    , lastHandsetByteUs_(kLongAgoUs)
    , lastStrayByteUs_(kLongAgoUs)
    , lastLookUs_(kLongAgoUs)
    , listeningSinceUs_(kLongAgoUs)
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
        takeBytes(local.data(), got);
        if (got < wanted)
            return;
        count -= got;
    }
}

void PhoneLink::takeBytes(const std::uint8_t* bytes, int count)
{
    if (observer_)
        observer_->received(bytes, count);
    feed_.insert(feed_.end(), bytes, bytes + count);
    drainFeed();
}

// Bytes that arrive or are searched again while the assembler runs queue
// behind the ones it is working through. Bytes read together had all come
// when they were read: they share that moment.
void PhoneLink::drainFeed()
{
    if (feeding_)
        return;
    feeding_ = true;
    // Counters set from outside are made to hold together first.
    LinkState& s = state_;
    const bool lengthHolds = s.rxLength >= 0 && s.rxLength < frame::kBufferSize;
    if (!lengthHolds || (s.rxLength >= 3 && (s.rxExpected <= s.rxLength || s.rxExpected > frame::kBufferSize)))
        s.rxLength = 0;
    if (s.rxLength < 3)
        s.rxExpected = 5;
    feedNowUs_ = host_.nowUs();
    while (feedAt_ < feed_.size())
        takeFromFeed();
    feed_.clear();
    feedAt_ = 0;
    feeding_ = false;
}

// Bytes that came while the link was not looking (a busy thread, a stopped
// process) are the rest of whatever was coming: they are taken in before
// any silence is judged.
void PhoneLink::takeWaitingBytes()
{
    if (!port_.isOpen())
        return;
    std::array<std::uint8_t, 256> local;
    // Bounded: a line that never stops talking must not hold the link here.
    for (int chunk = 0; chunk < 64; ++chunk) {
        const int got = std::min(port_.read(local.data(), static_cast<int>(local.size())), static_cast<int>(local.size()));
        if (got <= 0)
            return;
        takeBytes(local.data(), got);
        if (got < static_cast<int>(local.size()))
            return;
    }
}

namespace {
// How many bytes come before the first frame start (00 E9 or E9 00); a start
// byte at the very end may be the first of one whose partner is still on its
// way.
std::size_t bytesBeforeFrameStart(const std::uint8_t* bytes, std::size_t count)
{
    if (count == 0)
        return 0;
    for (std::size_t i = 1; i < count; ++i) {
        if (frame::isFrameStart(bytes[i - 1], bytes[i]))
            return i - 1;
    }
    const std::uint8_t last = bytes[count - 1];
    return last == frame::kPcAddress || last == frame::kHandsetAddress ? count - 1 : count;
}
} // namespace

// Takes from the feed either a stretch of noise outside any frame, or what
// is there of a frame's header and body.
void PhoneLink::takeFromFeed()
{
    LinkState& s = state_;
    const std::uint8_t* const bytes = feed_.data() + feedAt_;
    const std::size_t count = feed_.size() - feedAt_;
    if (s.rxLength == 0) {
        if (const std::size_t noise = bytesBeforeFrameStart(bytes, count); noise > 0) {
            lastStrayByteUs_ = feedNowUs_;
            feedAt_ += noise;
            return;
        }
    }
    const bool handsetFrame = s.rxLength > 0 ? s.rxBuffer[0] == frame::kHandsetAddress : bytes[0] == frame::kHandsetAddress;
    if (handsetFrame) {
        lastHandsetByteUs_ = feedNowUs_;
        handsetFrameEnded_ = false;
    }
    std::size_t taken = 0;
    if (s.rxLength < 3) {
        // Every frame on the line starts 00 E9 or E9 00. A start byte that is
        // not followed by its partner was a stray byte from a frame cut off
        // by an exchange's reset; hunt again from this byte instead of
        // letting a false length byte swallow the acknowledgements and
        // replies that follow.
        if (s.rxLength == 1 && !frame::isFrameStart(s.rxBuffer[0], bytes[0])) {
            lastStrayByteUs_ = feedNowUs_;
            s.rxLength = 0;
            return;
        }
        while (s.rxLength < 3 && taken < count)
            s.rxBuffer[static_cast<std::size_t>(s.rxLength++)] = bytes[taken++];
        feedAt_ += taken;
        if (s.rxLength < 3)
            return;
        s.rxExpected = frame::announcedLength(s.rxBuffer[2]);
        // Longer than any frame could be: not a frame start after all.
        if (s.rxExpected > longestFrameNow(s.rxBuffer[0])) {
            resync();
            return;
        }
    }
    const std::size_t body = std::min(static_cast<std::size_t>(s.rxExpected - s.rxLength), count - taken);
    std::copy_n(bytes + taken, body, s.rxBuffer.begin() + s.rxLength);
    s.rxLength += static_cast<int>(body);
    feedAt_ += body;
    if (s.rxLength < s.rxExpected)
        return;
    frameComplete();
    s.rxLength = 0;
    s.rxExpected = 5;
}

// While a request waits, the handset's answer is its acknowledgement or a
// reply at most as long as the request's longest; the echo, a frame of ours.
int PhoneLink::longestFrameNow(std::uint8_t firstByte) const
{
    if (firstByte == frame::kHandsetAddress && exchangeRunning_)
        return std::max(longestReplyNow_, frame::kAckLength);
    return frame::kBufferSize;
}

// What was taken for a frame start was not one (a bad checksum, a length no
// frame has, a frame that stopped): the frame may start at any later byte, as
// when the last byte of an echo cut off by the port's closing meets the first
// of the next. Its bytes go through the assembler again, from the second.
void PhoneLink::resync()
{
    LinkState& s = state_;
    lastStrayByteUs_ = host_.nowUs();
    const int length = std::min(s.rxLength, frame::kBufferSize);
    feed_.insert(feed_.begin() + static_cast<std::ptrdiff_t>(feedAt_), s.rxBuffer.begin() + 1, s.rxBuffer.begin() + std::max(length, 1));
    s.rxLength = 0;
    s.rxExpected = 5;
    drainFeed();
}

void PhoneLink::dropPartialFrame()
{
    if (state_.rxLength <= 0) {
        state_.rxExpected = 5;
        return;
    }
    if (handsetMidFrame() && exchangeRunning_)
        ++damagedFrames_;
    resync();
}

void PhoneLink::frameComplete()
{
    LinkState& s = state_;
    const bool valid = checksum(s.rxBuffer.data()) == s.rxBuffer[s.rxExpected - 1];
    if (s.rxBuffer[0] != frame::kHandsetAddress || s.rxBuffer[1] != frame::kPcAddress) {
        // Our own frames carry good checksums; one that does not was not our
        // echo but bytes that only looked like its start.
        if (!valid) {
            resync();
            return;
        }
        s.echoSeen = true;
        return;
    }
    // A spoilt frame may have had its length byte hit: its true end is not
    // known, so the line is quiet only after a gap, not at once.
    if (!valid) {
        if (exchangeRunning_)
            ++damagedFrames_;
        resync();
        return;
    }
    handsetFrameEnded_ = true;
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
    // The reply taken last, again, before the handset took our request: it
    // lost our acknowledgement and repeats itself. It gets its
    // acknowledgement, but it answers nothing.
    const bool repeated = exchangeRunning_ && !s.ackReady && lastReplyExchange_ != exchanges_
        && lastReplyLength_ == s.rxExpected
        && std::equal(s.rxBuffer.begin(), s.rxBuffer.begin() + s.rxExpected, lastReply_.begin());
    if (!repeated)
        std::copy_n(s.rxBuffer.begin(), s.rxExpected, s.replyBuffer.begin());
    host_.sleep(1);
    std::array<std::uint8_t, frame::kAckLength> ack;
    frame::buildAck(s.rxBuffer[0], s.rxBuffer[s.rxExpected - 2], ack.data());
    if (writeBytes(ack.data(), frame::kAckLength) != frame::kAckLength || repeated)
        return;
    std::copy_n(s.rxBuffer.begin(), s.rxExpected, lastReply_.begin());
    lastReplyLength_ = s.rxExpected;
    lastReplyExchange_ = exchanges_;
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

std::int64_t PhoneLink::listen()
{
    takeWaitingBytes();
    const std::int64_t now = host_.nowUs();
    if (now - lastLookUs_ > lookGapUs_ + usFromMs(kPauseSlackMs))
        listeningSinceUs_ = now;
    lastLookUs_ = now;
    lookGapUs_ = 0;
    return now;
}

// Waiting for events is listening: bytes end the wait at once.
void PhoneLink::waitUntil(std::int64_t untilUs)
{
    lookGapUs_ = std::max<std::int64_t>(untilUs - lastLookUs_, 0);
    host_.waitForEvents(untilUs);
}

// The handset is not talking: no frame of its is half in, and no byte came
// lately, unless it ended a whole frame: the handset answers only what it is
// sent, so nothing follows a finished reply. Only silence the link heard
// counts.
bool PhoneLink::lineQuiet(std::int64_t nowUs) const
{
    if (handsetMidFrame())
        return nowUs - heardSince(lastHandsetByteUs_) >= usFromMs(kFrameStallMs);
    if (!handsetFrameEnded_ && nowUs - heardSince(lastHandsetByteUs_) < usFromMs(kQuietGapMs))
        return false;
    return nowUs - heardSince(lastStrayByteUs_) >= usFromMs(kQuietGapMs);
}

void PhoneLink::waitForQuietLine()
{
    host_.processMessages();
    const std::int64_t giveUpUs = host_.nowUs() + usFromMs(kQuietLimitMs);
    for (;;) {
        const std::int64_t now = listen();
        if (lineQuiet(now))
            break;
        if (now >= giveUpUs) {
            dropPartialFrame(); // whatever was half in will not be finished
            return;
        }
        const std::int64_t quietAt = handsetMidFrame() ? heardSince(lastHandsetByteUs_) + usFromMs(kFrameStallMs)
                                                       : heardSince(lastHandsetActivityUs()) + usFromMs(kQuietGapMs);
        waitUntil(std::min(quietAt, giveUpUs));
    }
    // A frame that stalled will never be finished; start the next one clean.
    if (handsetMidFrame())
        dropPartialFrame();
}

// Waits until the handset acknowledges or replies, or has stayed silent for
// its answer window after our frame and after the last byte it sent.
void PhoneLink::waitForAnswer(std::int64_t frameEndUs, std::int64_t windowUs)
{
    for (;;) {
        if (state_.replyReady || state_.ackReady)
            return;
        const std::int64_t now = listen();
        if (state_.replyReady || state_.ackReady)
            return;
        const std::int64_t deadline = heardSince(std::max(frameEndUs, lastHandsetActivityUs())) + windowUs;
        if (now >= deadline && !handsetMidFrame())
            return;
        if (now >= deadline + usFromMs(kFrameStallMs))
            return;
        waitUntil(handsetMidFrame() ? deadline + usFromMs(kFrameStallMs) : deadline);
    }
}

// Acknowledged: the reply follows, within the answer window of the
// acknowledgement or of whatever the handset sent since, so a slow reply is
// waited for while its bytes keep coming. A reply that came spoilt ends the
// wait as soon as the line is quiet. A line that never stops talking
// gives up after the request's own budget (its tries times its pause), and
// never before twice the window and the reply's line time.
bool PhoneLink::waitForReply(const ExchangePlan& plan)
{
    const std::int64_t start = listen();
    const std::int64_t windowUs = usFromMs(std::max(plan.pauseMs, kAnswerWindowMs));
    const std::int64_t lineTimeUs = static_cast<std::int64_t>(std::max(plan.longestReplyFrame, 0)) * kByteTimeUs;
    const std::int64_t budgetUs =
        std::max(2 * usFromMs(kAnswerWindowMs), usFromMs(std::max(plan.tries, 0) * std::max(plan.pauseMs, 0)))
        + lineTimeUs;
    const std::int64_t limit = start + budgetUs;
    const int damagedBefore = damagedFrames_;
    for (;;) {
        if (state_.replyReady)
            return true;
        const std::int64_t now = listen();
        if (state_.replyReady)
            return true;
        // The reply came, spoilt, and the handset has stopped: it sends one
        // reply a request, so there is nothing more to wait for.
        if (damagedFrames_ > damagedBefore && lineQuiet(now) && !handsetMidFrame())
            return false;
        const std::int64_t deadline =
            std::min(heardSince(std::max(start, lastHandsetActivityUs())) + windowUs, limit);
        if (now >= deadline)
            return false;
        waitUntil(deadline);
    }
}

void PhoneLink::ledsOff()
{
    host_.setAckLed(false);
    host_.setPackLed(false);
}

void PhoneLink::noteFailure(const ExchangePlan& plan, int acknowledgedSends)
{
    lastFailure_ = {};
    lastFailure_.damagedFrames = damagedFrames_;
    lastFailure_.acknowledgedSends = acknowledgedSends;
    lastFailure_.request = describeMessage(state_.txBuffer.data(), plan.length);
    if (damagedFrames_ > 0)
        lastFailure_.reason = ExchangeFailure::Reason::DamagedReply;
    else if (acknowledgedSends > 0)
        lastFailure_.reason = ExchangeFailure::Reason::SilentAfterAcknowledging;
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

    damagedFrames_ = 0;
    longestReplyNow_ = plan.longestReplyFrame > 0 ? std::min(plan.longestReplyFrame, frame::kBufferSize)
                                                  : frame::kBufferSize;
    ++exchanges_;
    exchangeRunning_ = true;
    struct Running {
        bool& flag;
        ~Running() { flag = false; }
    } running{exchangeRunning_};
    lastLookUs_ = host_.nowUs();
    lookGapUs_ = 0;

    int acknowledged = 0;
    // Acknowledged without a reply: the request goes out again, as a new
    // frame, since the acknowledgement moved the sequence byte on. A handset
    // that takes a repeated sequence byte for a duplicate would only
    // acknowledge the same frame again.
    auto acknowledgedRequestAnswered = [&] {
        ++acknowledged;
        if (waitForReply(plan))
            return true;
        s.ackReady = false;
        return false;
    };
    const std::int64_t windowUs = usFromMs(std::max(plan.pauseMs, kAnswerWindowMs));
    for (int sends = 0; sends <= plan.tries; ++sends) {
        waitForQuietLine();
        if (s.replyReady)
            return true;
        if (s.ackReady) { // came after the answer window: the reply may still follow
            if (acknowledgedRequestAnswered())
                return true;
            waitForQuietLine();
            if (s.replyReady)
                return true;
        }
        sendPacket(s.txBuffer.data(), plan.length);
        waitForAnswer(transmitterFreeUs_, windowUs);
        if (s.replyReady)
            return true;
        if (s.ackReady && acknowledgedRequestAnswered())
            return true;
    }
    noteFailure(plan, acknowledged);
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
