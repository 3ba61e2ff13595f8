#include "link/FrameLogDecoder.h"

#include "link/Frame.h"
#include "link/FrameAssembler.h"
#include "link/Messages.h"
#include "link/Exchange.h"
#include "link/ReplyLayout.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <deque>
#include <optional>

namespace {

enum class RequestKind {
    Version,
    SerialNumber,
    NetMonitorRead,
    Done, // answered with a short frame that only says it was done
    PhonebookRead,
    PhonebookWrite,
    LogoRead,
    Unknown,
};

struct KnownRequest {
    const LinkMessage& message;
    RequestKind kind;
};

const KnownRequest kKnownRequests[] = {
    {messages::kVersionQuery, RequestKind::Version},
    {messages::kSerialNumberRead, RequestKind::SerialNumber},
    {messages::kNetMonitorRead, RequestKind::NetMonitorRead},
    {messages::kNetMonitorOn, RequestKind::Done},
    {messages::kNetMonitorOff, RequestKind::Done},
    {messages::kSoftwareReset, RequestKind::Done},
    {messages::kPhonebookRead, RequestKind::PhonebookRead},
    {messages::kPhonebookWrite, RequestKind::PhonebookWrite},
    {messages::kLogoRead, RequestKind::LogoRead},
    {messages::kLogoWrite, RequestKind::Done},
};

constexpr std::size_t kLogoBlockBytes = 84;
// Longer than the link ever waits before sending a request again.
constexpr std::int64_t kNewRunGapMs = 5000;

const KnownRequest* findRequest(const std::vector<std::uint8_t>& message)
{
    for (const KnownRequest& known : kKnownRequests) {
        const LinkMessage& m = known.message;
        if (static_cast<int>(message.size()) != m.length)
            continue;
        bool same = true;
        for (int i = 0; i < m.headLength && same; ++i)
            same = i == m.indexAt || message[static_cast<std::size_t>(i)] == m.head[static_cast<std::size_t>(i)];
        if (same)
            return &known;
    }
    return nullptr;
}

std::string hexByte(std::uint8_t byte)
{
    char text[3];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

bool isWholeFrame(const std::vector<std::uint8_t>& bytes)
{
    return bytes.size() >= 5 && frame::isFrameStart(bytes[0], bytes[1])
        && static_cast<int>(bytes.size()) == frame::announcedLength(bytes[2]) && frame::checksum(bytes.data()) == bytes.back();
}

bool isAck(const std::vector<std::uint8_t>& frameBytes)
{
    return frameBytes[2] == frame::kAckMarker;
}

// The sequence byte of a whole frame.
std::uint8_t sequenceOf(const std::vector<std::uint8_t>& frameBytes)
{
    return isAck(frameBytes) ? frameBytes[3] : frameBytes[frameBytes.size() - 2];
}

// When a line's bytes were through: received bytes are logged as they
// arrive, ours as they are handed to the port.
std::int64_t lineEndMs(const FrameLogLine& line)
{
    if (line.direction == LogDirection::Received)
        return line.timeMs;
    return line.timeMs + (static_cast<std::int64_t>(line.bytes.size()) * ::Exchange::kByteTimeUs + 500) / 1000;
}

bool isRequestLine(const FrameLogLine& line)
{
    return line.readable && line.direction == LogDirection::Sent && isWholeFrame(line.bytes)
        && line.bytes[0] == frame::kPcAddress && !isAck(line.bytes);
}

// Printable bytes as they are; anything else as '.'.
std::string readable(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t to)
{
    std::string text;
    for (std::size_t i = from; i < to && i < bytes.size(); ++i)
        text += bytes[i] >= 0x20 ? static_cast<char>(bytes[i]) : '.';
    return text;
}

std::string versionText(const std::vector<std::uint8_t>& frameBytes)
{
    const std::size_t end = frameBytes.size() - 2; // sequence byte and checksum
    std::string text;
    for (std::size_t i = reply::kVersionTextFirst; i < end && frameBytes[i] != 0; ++i) {
        if (frameBytes[i] == 0x0A)
            text += " / ";
        else
            text += frameBytes[i] >= 0x20 ? static_cast<char>(frameBytes[i]) : '.';
    }
    return "version text \"" + text + "\"";
}

std::string replyContent(RequestKind kind, const std::vector<std::uint8_t>& frameBytes, const RecordText& recordText)
{
    const std::size_t end = frameBytes.size() - 2;
    switch (kind) {
    case RequestKind::Version:
        return versionText(frameBytes);
    case RequestKind::SerialNumber: {
        if (end <= reply::kSerialLengthAt)
            return "too short for a serial number";
        const std::size_t first = reply::kSerialNumberFirst;
        const std::size_t digits = std::min<std::size_t>(frameBytes[reply::kSerialLengthAt], end - first);
        return "serial number \"" + readable(frameBytes, first, first + digits) + "\"";
    }
    case RequestKind::NetMonitorRead:
        if (end <= reply::kNetMonitorStateAt)
            return "too short for the net monitor state";
        return frameBytes[reply::kNetMonitorStateAt] != 0 ? "net monitor on" : "net monitor off";
    case RequestKind::Done:
    case RequestKind::PhonebookWrite:
        return "done";
    case RequestKind::PhonebookRead:
        return recordText ? recordText(frameBytes) : "a record";
    case RequestKind::LogoRead: {
        int dots = 0;
        const std::size_t payloadAt = reply::kPayloadAt;
        const std::size_t blockEnd = std::min(end, payloadAt + kLogoBlockBytes);
        for (std::size_t i = payloadAt; i < blockEnd; ++i)
            dots += std::popcount(frameBytes[i]);
        return std::to_string(blockEnd > payloadAt ? blockEnd - payloadAt : 0) + " bytes of dots, "
            + std::to_string(dots) + " set";
    }
    case RequestKind::Unknown:
        break;
    }
    return std::to_string(frameBytes.size()) + " bytes";
}

// One stretch of the received bytes that the scan took as one thing.
struct Piece {
    FrameEventKind kind;
    std::size_t start = 0;
    std::size_t length = 0;
    int announced = 0; // the whole length a cut frame announced, 0 when unknown
};

// What the assembler told of the received bytes: the frames, the bytes that
// are in none, and the frame starts that did not hold.
class ReceivedPieces final : public FrameAssembler::Sink {
public:
    explicit ReceivedPieces(std::size_t count)
        : noFrame(count, false)
    { }

    void frame(const std::uint8_t* bytes, int length, std::uint64_t at) override
    {
        const bool ours = bytes[0] == frame::kPcAddress;
        const bool ack = bytes[2] == frame::kAckMarker;
        frames.push_back({ours ? FrameEventKind::Echo : (ack ? FrameEventKind::HandsetAck : FrameEventKind::Reply),
                          static_cast<std::size_t>(at), static_cast<std::size_t>(length), length});
    }
    void noise(std::uint64_t at, std::size_t count) override
    {
        std::fill_n(noFrame.begin() + static_cast<std::ptrdiff_t>(at), count, true);
    }
    // A start announcing more than a frame can be now is none at all, and a
    // lone start byte at the end is only a stray byte.
    void notAFrame(NotAFrame why, std::uint8_t, std::uint64_t at, int length, int announced) override
    {
        if (why == NotAFrame::TooLong || length < 2)
            return;
        candidates.push_back({why == NotAFrame::BadChecksum ? FrameEventKind::BadChecksum : FrameEventKind::CutFrame,
                              static_cast<std::size_t>(at), static_cast<std::size_t>(length), announced});
    }

    std::vector<bool> noFrame;
    std::vector<Piece> frames;
    std::vector<Piece> candidates; // frames that did not hold, by their start
};

// The received bytes between two requests, taken apart as the link takes
// them. The next request ends them: a frame still open then never got its
// rest, and the frame starts inside it are tried in turn up to the end.
std::vector<Piece> scanReceived(const std::vector<std::uint8_t>& b, int longestHandsetFrame)
{
    const std::size_t n = b.size();
    FrameAssembler assembler;
    assembler.limitHandsetFrames(longestHandsetFrame);
    ReceivedPieces found(n);
    assembler.push(b.data(), n, found);
    while (assembler.partialLength() > 0)
        assembler.abandonFrame(found);
    const std::vector<bool>& noFrame = found.noFrame;
    const std::vector<Piece>& frames = found.frames;
    const std::vector<Piece>& candidates = found.candidates;

    // A damaged or cut frame is one only when no frame was found inside it.
    std::vector<Piece> pieces;
    std::size_t nextFrame = 0;
    std::size_t nextCandidate = 0;
    // Asked for at rising positions only.
    auto wholeCandidateAt = [&](std::size_t at) -> const Piece* {
        while (nextCandidate < candidates.size() && candidates[nextCandidate].start < at)
            ++nextCandidate;
        if (nextCandidate == candidates.size() || candidates[nextCandidate].start != at)
            return nullptr;
        const Piece& c = candidates[nextCandidate];
        const auto from = noFrame.begin() + static_cast<std::ptrdiff_t>(at);
        return std::all_of(from, from + static_cast<std::ptrdiff_t>(c.length), [](bool v) { return v; }) ? &c : nullptr;
    };
    for (std::size_t j = 0; j < n;) {
        if (nextFrame < frames.size() && frames[nextFrame].start == j) {
            pieces.push_back(frames[nextFrame]);
            j += frames[nextFrame++].length;
            continue;
        }
        if (const Piece* c = wholeCandidateAt(j)) {
            pieces.push_back(*c);
            j += c->length;
            continue;
        }
        std::size_t k = j + 1;
        while (k < n && noFrame[k] && !wholeCandidateAt(k))
            ++k;
        pieces.push_back({FrameEventKind::NoFrame, j, k - j, 0});
        j = k;
    }
    return pieces;
}

std::string describeRequest(const std::vector<std::uint8_t>& frameBytes, const RecordText& recordText)
{
    const std::vector<std::uint8_t> message(frameBytes.begin() + reply::kDataAt, frameBytes.end() - 2);
    std::string text = describeMessage(message.data(), static_cast<int>(message.size()));
    const KnownRequest* known = findRequest(message);
    if (known && known->kind == RequestKind::PhonebookWrite && recordText)
        text += ": " + recordText(frameBytes);
    return text;
}

class Decoder {
public:
    explicit Decoder(const RecordText& recordText)
        : recordText_(recordText)
    { }

    FrameLogDecoding run(const std::vector<FrameLogLine>& lines);

private:
    // A frame of ours whose echo may still come.
    struct Sent {
        std::vector<std::uint8_t> bytes;
        std::string name;
    };
    struct Send {
        std::vector<std::uint8_t> frame;
        std::uint8_t sequence = 0;
        std::vector<std::uint8_t> message;
        std::string description;
        RequestKind kind = RequestKind::Unknown;
        int longestReply = frame::kBufferSize;
        bool acknowledged = false;
        bool echoed = false;
    };
    struct Exchange {
        std::vector<std::uint8_t> message;
        std::string description;
        int sends = 0;
        bool answered = false;
        std::int64_t firstMs = 0;
        std::int64_t lastMs = 0;
        std::size_t leastBytes = 0;
    };
    // An event and where it stood among the log's lines.
    struct Placed {
        std::size_t position;
        FrameEvent event;
    };

    void segment(const std::vector<const FrameLogLine*>& ordered, std::size_t from, std::size_t to);
    void startSend(const FrameLogLine& line);
    void closeExchange();
    void interpret(std::vector<Placed>& placed);
    void expectEcho(std::vector<std::uint8_t> bytes, std::string name);
    void describeEcho(FrameEvent& event);
    void describeHandsetAck(FrameEvent& event);
    bool describeReply(FrameEvent& event, bool acknowledged);
    void add(FrameEvent event) { result_.events.push_back(std::move(event)); }

    const RecordText& recordText_;
    FrameLogDecoding result_;
    std::optional<Send> send_; // the request whose answer is awaited
    std::optional<Exchange> exchange_;
    std::uint64_t exchangeNumber_ = 0;
    std::vector<std::uint8_t> lastReply_;
    std::uint64_t lastReplyExchange_ = 0;
    std::deque<Sent> awaitingEcho_;
};

void Decoder::closeExchange()
{
    if (!exchange_)
        return;
    FrameLogSummary& s = result_.summary;
    ++s.exchanges;
    if (exchange_->answered)
        ++s.answered;
    s.lineTimeMs += std::max<std::int64_t>(exchange_->lastMs - exchange_->firstMs, 0);
    s.leastLineTimeMs += static_cast<double>(exchange_->leastBytes) * ::Exchange::kByteTimeUs / 1000.0;
    if (!exchange_->answered) {
        FrameEvent failed;
        failed.kind = FrameEventKind::ExchangeFailed;
        failed.timeMs = exchange_->lastMs;
        failed.meaning = exchange_->description + " failed: no reply after " + std::to_string(exchange_->sends)
            + (exchange_->sends == 1 ? " send" : " sends");
        add(std::move(failed));
    }
    exchange_.reset();
}

void Decoder::startSend(const FrameLogLine& line)
{
    Send send;
    send.frame = line.bytes;
    send.sequence = sequenceOf(line.bytes);
    send.message.assign(line.bytes.begin() + reply::kDataAt, line.bytes.end() - 2);
    send.description = describeRequest(line.bytes, recordText_);
    if (const KnownRequest* known = findRequest(send.message)) {
        send.kind = known->kind;
        send.longestReply = std::max(known->message.longestReplyFrame, frame::kAckLength);
    }

    FrameEvent event;
    event.kind = FrameEventKind::Request;
    event.line = line.number;
    event.timeMs = line.timeMs;
    event.bytes = line.bytes;
    event.meaning = "request " + hexByte(send.sequence) + ": " + send.description;

    // Runs of the program append to one log: a send long after the last
    // frame is a new run's, even when the one before it failed.
    const bool retry = exchange_ && !exchange_->answered && exchange_->message == send.message
        && line.timeMs - exchange_->lastMs < kNewRunGapMs;
    if (retry && send_) {
        const Send& before = *send_;
        if (send.sequence == before.sequence) {
            event.problems.push_back({FrameProblemKind::SentAgain, "sent again with the same sequence byte"});
            ++result_.summary.sentAgain;
        } else if (before.acknowledged && send.sequence == static_cast<std::uint8_t>(before.sequence + 1)) {
            event.problems.push_back({FrameProblemKind::AskedAgain, "asked again: request " + hexByte(before.sequence)
                                                                         + " was acknowledged without a reply"});
            ++result_.summary.askedAgain;
        } else {
            event.problems.push_back({FrameProblemKind::SentAgain, "sent again as " + hexByte(send.sequence)
                                                                        + " after " + hexByte(before.sequence)});
            ++result_.summary.sentAgain;
        }
    } else {
        closeExchange();
        exchange_ = Exchange{send.message, send.description, 0, false, line.timeMs, line.timeMs,
                             line.bytes.size() + frame::kAckLength};
        ++exchangeNumber_;
    }
    if (line.hasMark("write timed out"))
        event.problems.push_back({FrameProblemKind::WriteTimedOut, "the port did not take it whole"});
    exchange_->lastMs = std::max(exchange_->lastMs, lineEndMs(line));
    ++exchange_->sends;
    ++result_.summary.sends;
    expectEcho(line.bytes, "request " + hexByte(send.sequence));
    send_ = std::move(send);
    add(std::move(event));
}

void Decoder::expectEcho(std::vector<std::uint8_t> bytes, std::string name)
{
    awaitingEcho_.push_back({std::move(bytes), std::move(name)});
    // An echo comes at once or never: only the last few frames are waited for.
    if (awaitingEcho_.size() > 8)
        awaitingEcho_.pop_front();
}

void Decoder::describeEcho(FrameEvent& event)
{
    for (auto it = awaitingEcho_.begin(); it != awaitingEcho_.end(); ++it) {
        if (it->bytes != event.bytes)
            continue;
        event.meaning = "echo of " + it->name;
        if (send_ && send_->frame == event.bytes)
            send_->echoed = true;
        awaitingEcho_.erase(awaitingEcho_.begin(), it + 1);
        return;
    }
    event.meaning = isAck(event.bytes) ? "acknowledgement " + hexByte(sequenceOf(event.bytes)) + " from our side, not sent by us"
                                       : "frame from our side, not sent by us";
}

void Decoder::describeHandsetAck(FrameEvent& e)
{
    const std::uint8_t sequence = sequenceOf(e.bytes);
    if (!send_) {
        e.meaning = "acknowledgement of " + hexByte(sequence) + ", no request waiting";
    } else if (sequence == send_->sequence) {
        e.meaning = "acknowledgement of request " + hexByte(sequence);
        send_->acknowledged = true;
    } else {
        e.meaning = "acknowledgement of " + hexByte(sequence);
        e.problems.push_back({FrameProblemKind::LateAck, "not of the request waiting (" + hexByte(send_->sequence) + ")"});
    }
}

// True when the reply answers the running exchange.
bool Decoder::describeReply(FrameEvent& e, bool acknowledged)
{
    const std::uint8_t sequence = sequenceOf(e.bytes);
    if (!send_) {
        e.meaning = "reply " + hexByte(sequence) + ", no request waiting";
    } else {
        e.meaning = "reply " + hexByte(sequence) + " to " + send_->description + ": "
            + replyContent(send_->kind, e.bytes, recordText_);
    }
    if (!acknowledged) {
        e.problems.push_back({FrameProblemKind::NeverAcknowledged, "never acknowledged"});
        ++result_.summary.unacknowledgedReplies;
    }
    if (!send_ || !exchange_ || exchange_->answered)
        return false;
    // The link's own rule: the reply it took last, again, before the
    // handset took our request, answers nothing.
    if (!send_->acknowledged && e.bytes == lastReply_ && lastReplyExchange_ != exchangeNumber_) {
        e.problems.push_back({FrameProblemKind::RepeatedReply,
                              "the handset's last reply again: it did not hear our acknowledgement"});
        return false;
    }
    if (!send_->acknowledged)
        e.problems.push_back({FrameProblemKind::ReplyWithoutAck,
                              "request " + hexByte(send_->sequence) + " was not acknowledged before it"});
    exchange_->answered = true;
    exchange_->leastBytes += e.bytes.size() + frame::kAckLength;
    lastReply_ = e.bytes;
    lastReplyExchange_ = exchangeNumber_;
    return true;
}

// Names the segment's frames and marks what went wrong in it.
void Decoder::interpret(std::vector<Placed>& placed)
{
    // Each reply with the first acknowledgement of ours that names it;
    // the writer may have logged the reply after it.
    std::vector<bool> ackPaired(placed.size(), false);
    std::vector<bool> replyAcknowledged(placed.size(), false);
    std::array<std::deque<std::size_t>, 256> acksBySequence;
    for (std::size_t j = 0; j < placed.size(); ++j) {
        const FrameEvent& ack = placed[j].event;
        if (ack.kind == FrameEventKind::OurAck && !ack.has(FrameProblemKind::WriteTimedOut))
            acksBySequence[sequenceOf(ack.bytes)].push_back(j);
    }
    for (std::size_t i = 0; i < placed.size(); ++i) {
        if (placed[i].event.kind != FrameEventKind::Reply)
            continue;
        std::deque<std::size_t>& acks = acksBySequence[sequenceOf(placed[i].event.bytes)];
        if (acks.empty())
            continue;
        ackPaired[acks.front()] = replyAcknowledged[i] = true;
        acks.pop_front();
    }
    bool repliedHere = false;
    bool damagedHere = false;
    for (std::size_t i = 0; i < placed.size(); ++i) {
        FrameEvent& e = placed[i].event;
        switch (e.kind) {
        case FrameEventKind::Echo:
            describeEcho(e);
            break;
        case FrameEventKind::HandsetAck:
            describeHandsetAck(e);
            break;
        case FrameEventKind::Reply:
            repliedHere = describeReply(e, replyAcknowledged[i]) || repliedHere;
            break;
        case FrameEventKind::OurAck: {
            const std::string sequence = hexByte(sequenceOf(e.bytes));
            e.meaning = ackPaired[i] ? "acknowledgement of reply " + sequence : "acknowledgement of " + sequence;
            expectEcho(e.bytes, "our acknowledgement of reply " + sequence);
            break;
        }
        case FrameEventKind::BadChecksum:
        case FrameEventKind::CutFrame:
            damagedHere = damagedHere || e.bytes[0] == frame::kHandsetAddress;
            break;
        default:
            break;
        }
    }
    for (Placed& p : placed)
        add(std::move(p.event));

    if (!send_ || repliedHere || (exchange_ && exchange_->answered))
        return;
    FrameLogSummary& s = result_.summary;
    FrameEvent missing;
    missing.timeMs = exchange_ ? exchange_->lastMs : 0;
    const std::string request = "request " + hexByte(send_->sequence) + " (" + send_->description + ")";
    const std::string damaged = damagedHere ? "; only a damaged frame came" : "";
    if (send_->acknowledged) {
        missing.kind = FrameEventKind::NoReply;
        missing.meaning = "no reply to " + request + " after its acknowledgement" + damaged;
        ++s.lostReplies;
    } else {
        missing.kind = FrameEventKind::NoAnswer;
        missing.meaning = "no answer to " + request + ": no acknowledgement, no reply"
            + (damagedHere ? damaged : send_->echoed ? "" : ", not even its echo");
        ++s.unansweredSends;
    }
    add(std::move(missing));
}

// Lines [from, to) of the ordered log: a request (when the first line is one)
// and everything up to the next.
void Decoder::segment(const std::vector<const FrameLogLine*>& ordered, std::size_t from, std::size_t to)
{
    std::size_t first = from;
    if (first < to && isRequestLine(*ordered[first])) {
        startSend(*ordered[first]);
        ++first;
    }
    std::vector<Placed> placed;
    std::vector<std::uint8_t> received;
    // For each received line: where its bytes end in `received`, and its position.
    std::vector<std::pair<std::size_t, std::size_t>> receivedLines;
    for (std::size_t p = first; p < to; ++p) {
        const FrameLogLine& line = *ordered[p];
        if (exchange_ && line.readable)
            exchange_->lastMs = std::max(exchange_->lastMs, lineEndMs(line));
        if (!line.readable) {
            FrameEvent e;
            e.kind = FrameEventKind::UnreadableLine;
            e.line = line.number;
            e.timeMs = exchange_ ? exchange_->lastMs : 0;
            e.meaning = "line " + std::to_string(line.number) + " is no frame log line: \""
                + (line.text.size() > 60 ? line.text.substr(0, 60) + "..." : line.text) + "\"";
            ++result_.summary.unreadableLines;
            placed.push_back({p, std::move(e)});
            continue;
        }
        if (line.cut) {
            FrameEvent e;
            e.kind = FrameEventKind::CutLine;
            e.line = line.number;
            e.timeMs = line.timeMs;
            e.meaning = "line " + std::to_string(line.number) + " stops short";
            ++result_.summary.unreadableLines;
            placed.push_back({p, std::move(e)});
        }
        if (line.direction == LogDirection::Received) {
            received.insert(received.end(), line.bytes.begin(), line.bytes.end());
            receivedLines.emplace_back(received.size(), p);
            continue;
        }
        FrameEvent e;
        e.line = line.number;
        e.timeMs = line.timeMs;
        e.bytes = line.bytes;
        if (isWholeFrame(line.bytes) && line.bytes[0] == frame::kPcAddress && isAck(line.bytes)) {
            e.kind = FrameEventKind::OurAck;
            if (line.hasMark("write timed out"))
                e.problems.push_back({FrameProblemKind::WriteTimedOut, "the port did not take it whole"});
        } else {
            e.kind = FrameEventKind::SentBytes;
            e.meaning = std::to_string(line.bytes.size()) + " bytes sent that are no whole frame";
        }
        placed.push_back({p, std::move(e)});
    }

    const int longest = send_ ? send_->longestReply : frame::kBufferSize;
    for (const Piece& piece : scanReceived(received, longest)) {
        // The line that holds the piece's last byte.
        const auto holder = std::upper_bound(receivedLines.begin(), receivedLines.end(), piece.start + piece.length - 1,
                                             [](std::size_t byte, const auto& line) { return byte < line.first; });
        const std::size_t p = holder->second;
        FrameEvent e;
        e.kind = piece.kind;
        e.line = ordered[p]->number;
        e.timeMs = ordered[p]->timeMs;
        e.bytes.assign(received.begin() + static_cast<std::ptrdiff_t>(piece.start),
                       received.begin() + static_cast<std::ptrdiff_t>(piece.start + piece.length));
        const bool fromHandset = e.bytes[0] == frame::kHandsetAddress;
        switch (piece.kind) {
        case FrameEventKind::BadChecksum:
            e.meaning = std::string(fromHandset ? "handset frame" : "frame from our side") + " with a bad checksum ("
                + hexByte(e.bytes.back()) + ", its bytes give " + hexByte(frame::checksum(e.bytes.data())) + ")";
            ++result_.summary.badChecksumFrames;
            break;
        case FrameEventKind::CutFrame:
            e.meaning = std::string(fromHandset ? "handset frame" : "frame from our side") + " cut off after "
                + std::to_string(piece.length) + (piece.announced > 0 ? " of its " + std::to_string(piece.announced) : "")
                + (piece.length == 1 ? " byte" : " bytes");
            ++result_.summary.cutFrames;
            break;
        case FrameEventKind::NoFrame:
            e.meaning = std::to_string(piece.length) + (piece.length == 1 ? " byte that is no frame" : " bytes that are no frame");
            result_.summary.noFrameBytes += static_cast<int>(piece.length);
            break;
        default:
            break;
        }
        placed.push_back({p, std::move(e)});
    }
    std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) { return a.position < b.position; });
    interpret(placed);
}

FrameLogDecoding Decoder::run(const std::vector<FrameLogLine>& lines)
{
    // The writer holds back received bytes that may still become a frame and
    // logs them as "partial" only when the next bytes come after a pause,
    // after the requests sent meanwhile: they belong before those.
    std::vector<const FrameLogLine*> ordered;
    for (const FrameLogLine& line : lines) {
        std::size_t at = ordered.size();
        if (line.readable && line.direction == LogDirection::Received && line.hasMark("partial")) {
            while (at > 0 && isRequestLine(*ordered[at - 1]))
                --at;
        }
        ordered.insert(ordered.begin() + static_cast<std::ptrdiff_t>(at), &line);
    }
    std::size_t from = 0;
    for (std::size_t p = 1; p <= ordered.size(); ++p) {
        if (p == ordered.size() || isRequestLine(*ordered[p])) {
            segment(ordered, from, p);
            from = p;
        }
    }
    closeExchange();
    return std::move(result_);
}

} // namespace

bool FrameEvent::has(FrameProblemKind problem) const
{
    return std::any_of(problems.begin(), problems.end(), [problem](const FrameProblem& p) { return p.kind == problem; });
}

FrameLogDecoding decodeFrameLog(const std::vector<FrameLogLine>& lines, const RecordText& recordText)
{
    return Decoder(recordText).run(lines);
}
