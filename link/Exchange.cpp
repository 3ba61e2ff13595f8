#include "link/Exchange.h"

#include <algorithm>
#include <array>
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

Exchange::Exchange(LinkPort& port, LinkClock& clock, LinkEvents* events, std::uint8_t firstSequence)
    : port_(port)
    , clock_(clock)
    , events_(events)
    , sequence_(firstSequence)
    , lastHandsetByteUs_(kLongAgoUs)
    , lastStrayByteUs_(kLongAgoUs)
    , lastLookUs_(kLongAgoUs)
    , listeningSinceUs_(kLongAgoUs)
{ }

void Exchange::light(LinkLight which, bool lit)
{
    if (events_)
        events_->lightChanged(which, lit);
}

void Exchange::lightsOff()
{
    light(LinkLight::Ack, false);
    light(LinkLight::Pack, false);
}

// Our UART sends what it is given back to back; keeping track of when it is
// through tells when a frame has left even on a cable without echo.
int Exchange::writeBytes(const std::uint8_t* bytes, int count)
{
    const std::int64_t now = clock_.nowUs();
    const int written = port_.write(bytes, count);
    if (observer_)
        observer_->sent(bytes, count, written == count);
    if (written > 0)
        transmitterFreeUs_ = std::max(now, transmitterFreeUs_) + static_cast<std::int64_t>(written) * kByteTimeUs;
    return written;
}

// A length the frame cannot carry is never sent; the exchange then fails as
// one the handset did not answer.
void Exchange::sendRequest(const ExchangePlan& plan)
{
    if (!frame::isSendableLength(plan.length))
        return;
    std::array<std::uint8_t, frame::kBufferSize> out{};
    const int length = frame::buildDataFrame(plan.message, plan.length, sequence_, out.data());
    writeBytes(out.data(), length);
}

// Bytes read together had all come when they were read: they share that moment.
void Exchange::takeBytes(const std::uint8_t* bytes, int count)
{
    if (observer_)
        observer_->received(bytes, count);
    bytesCameUs_ = clock_.nowUs();
    assembler_.push(bytes, static_cast<std::size_t>(count), *this);
}

// Bytes that came while the link was not looking (a busy thread, a stopped
// process) are the rest of whatever was coming: they are taken in before
// any silence is judged.
void Exchange::takeWaitingBytes()
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

void Exchange::noise(std::uint64_t, std::size_t)
{
    lastStrayByteUs_ = bytesCameUs_;
}

void Exchange::frameBytes(std::uint8_t address)
{
    if (address != frame::kHandsetAddress)
        return;
    lastHandsetByteUs_ = bytesCameUs_;
    handsetFrameEnded_ = false;
}

// A spoilt frame may have had its length byte hit: its true end is not
// known, so the line is quiet only after a gap, not at once.
void Exchange::notAFrame(NotAFrame why, std::uint8_t address, std::uint64_t, int, int)
{
    lastStrayByteUs_ = clock_.nowUs();
    if (address == frame::kHandsetAddress && why != NotAFrame::TooLong && exchangeRunning_)
        ++damagedFrames_;
}

void Exchange::frame(const std::uint8_t* bytes, int length, std::uint64_t)
{
    // Our own frames come back on the one-wire cable; nothing waits for them.
    if (bytes[0] != frame::kHandsetAddress)
        return;
    handsetFrameEnded_ = true;
    if (bytes[2] == frame::kAckMarker) {
        // An acknowledgement names the frame it answers; a late one for an
        // earlier frame says nothing about the frame now waiting.
        if (bytes[3] != sequence_)
            return;
        ackReady_ = true;
        ++sequence_;
        light(LinkLight::Ack, true);
        return;
    }
    acknowledgeDataFrame(bytes, length);
}

void Exchange::acknowledgeDataFrame(const std::uint8_t* bytes, int length)
{
    // The reply taken last, again, before the handset took our request: it
    // lost our acknowledgement and repeats itself. A frame that came whole
    // before the request went out answers nothing either. Both get their
    // acknowledgement, but neither is the reply.
    const bool repeated = exchangeRunning_ && !ackReady_ && lastReplyExchange_ != exchanges_
        && lastReplyLength_ == length && std::equal(bytes, bytes + length, lastReply_.begin());
    const bool unasked = exchangeRunning_ && sends_ == 0;
    if (!repeated && !unasked)
        std::copy_n(bytes, length, reply_.begin());
    clock_.sleep(1);
    std::array<std::uint8_t, frame::kAckLength> ack;
    frame::buildAck(bytes[0], bytes[length - 2], ack.data());
    if (writeBytes(ack.data(), frame::kAckLength) != frame::kAckLength || repeated || unasked)
        return;
    std::copy_n(bytes, length, lastReply_.begin());
    lastReplyLength_ = length;
    lastReplyExchange_ = exchanges_;
    replyReady_ = true;
    light(LinkLight::Pack, true);
}

void Exchange::dropPartialFrame()
{
    bytesCameUs_ = clock_.nowUs();
    assembler_.abandonFrame(*this);
}

bool Exchange::handsetMidFrame() const
{
    return assembler_.partialAddress() == frame::kHandsetAddress;
}

std::int64_t Exchange::lastHandsetActivityUs() const
{
    return std::max(lastHandsetByteUs_, lastStrayByteUs_);
}

std::int64_t Exchange::listen()
{
    takeWaitingBytes();
    const std::int64_t now = clock_.nowUs();
    if (now - lastLookUs_ > lookGapUs_ + usFromMs(kPauseSlackMs))
        listeningSinceUs_ = now;
    lastLookUs_ = now;
    lookGapUs_ = 0;
    return now;
}

// Waiting for bytes is listening: bytes end the wait at once.
void Exchange::waitUntil(std::int64_t untilUs)
{
    lookGapUs_ = std::max<std::int64_t>(untilUs - lastLookUs_, 0);
    clock_.waitForBytes(untilUs);
}

// The handset is not talking: no frame of its is half in, and no byte came
// lately, unless it ended a whole frame: the handset answers only what it is
// sent, so nothing follows a finished reply. Only silence the link heard
// counts.
bool Exchange::lineQuiet(std::int64_t nowUs) const
{
    if (handsetMidFrame())
        return nowUs - heardSince(lastHandsetByteUs_) >= usFromMs(kFrameStallMs);
    if (!handsetFrameEnded_ && nowUs - heardSince(lastHandsetByteUs_) < usFromMs(kQuietGapMs))
        return false;
    return nowUs - heardSince(lastStrayByteUs_) >= usFromMs(kQuietGapMs);
}

void Exchange::waitForQuietLine()
{
    const std::int64_t giveUpUs = clock_.nowUs() + usFromMs(kQuietLimitMs);
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
void Exchange::waitForAnswer(std::int64_t frameEndUs, std::int64_t windowUs)
{
    for (;;) {
        if (replyReady_ || ackReady_)
            return;
        const std::int64_t now = listen();
        if (replyReady_ || ackReady_)
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
bool Exchange::waitForReply(const ExchangePlan& plan)
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
        if (replyReady_)
            return true;
        const std::int64_t now = listen();
        if (replyReady_)
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

ExchangeFailure Exchange::failure(const ExchangePlan& plan, int acknowledgedSends) const
{
    ExchangeFailure failure;
    failure.damagedFrames = damagedFrames_;
    failure.acknowledgedSends = acknowledgedSends;
    failure.request = frame::isSendableLength(plan.length) ? describeMessage(plan.message, plan.length)
                                                             : describeMessage(nullptr, 0);
    if (damagedFrames_ > 0)
        failure.reason = ExchangeFailure::Reason::DamagedReply;
    else if (acknowledgedSends > 0)
        failure.reason = ExchangeFailure::Reason::SilentAfterAcknowledging;
    return failure;
}

LinkResult<ReplyFrame> Exchange::run(const ExchangePlan& plan)
{
    assembler_.reset();
    lightsOff();
    ackReady_ = false;
    if (plan.zeroReplyBuffer)
        reply_.fill(0);
    replyReady_ = false;

    damagedFrames_ = 0;
    sends_ = 0;
    // While a request waits, the handset's answer is its acknowledgement or
    // a reply at most as long as the request's longest.
    assembler_.limitHandsetFrames(plan.longestReplyFrame > 0 ? plan.longestReplyFrame : frame::kBufferSize);
    ++exchanges_;
    exchangeRunning_ = true;
    struct Running {
        Exchange& exchange;
        ~Running()
        {
            exchange.exchangeRunning_ = false;
            exchange.assembler_.limitHandsetFrames(frame::kBufferSize);
        }
    } running{*this};
    lastLookUs_ = clock_.nowUs();
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
        ackReady_ = false;
        return false;
    };
    const std::int64_t windowUs = usFromMs(std::max(plan.pauseMs, kAnswerWindowMs));
    for (int sends = 0; sends <= plan.tries; ++sends) {
        waitForQuietLine();
        if (replyReady_)
            return reply_;
        if (ackReady_) { // came after the answer window: the reply may still follow
            if (acknowledgedRequestAnswered())
                return reply_;
            waitForQuietLine();
            if (replyReady_)
                return reply_;
        }
        sendRequest(plan);
        ++sends_;
        waitForAnswer(transmitterFreeUs_, windowUs);
        if (replyReady_)
            return reply_;
        if (ackReady_ && acknowledgedRequestAnswered())
            return reply_;
    }
    return LinkFailure::noAnswer(failure(plan, acknowledged));
}
