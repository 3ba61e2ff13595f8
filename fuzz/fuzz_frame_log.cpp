// Arbitrary text as a frame log: reading and decoding it. Every received
// byte ends up in exactly one piece, every frame taken is whole with a good
// checksum, and the counts agree with the events.
#include "link/Frame.h"
#include "link/FrameLogDecoder.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const std::vector<FrameLogLine> lines = readFrameLog(in);
    std::size_t receivedBytes = 0;
    int lastNumber = 0;
    for (const FrameLogLine& line : lines) {
        if (line.number < lastNumber || line.number < 1)
            __builtin_trap();
        lastNumber = line.number;
        if (line.readable && line.direction == LogDirection::Received)
            receivedBytes += line.bytes.size();
    }

    // The record text reads the frame as the phonebook's coding does, far into it.
    const FrameLogDecoding decoding = decodeFrameLog(lines, [](const std::vector<std::uint8_t>& frame) {
        return std::string(frame.size() > 50 ? 1 : 0, static_cast<char>(frame.back()));
    });
    std::size_t piecesBytes = 0;
    int requests = 0;
    for (const FrameEvent& e : decoding.events) {
        switch (e.kind) {
        case FrameEventKind::Request:
        case FrameEventKind::OurAck:
        case FrameEventKind::Echo:
        case FrameEventKind::HandsetAck:
        case FrameEventKind::Reply:
            if (e.bytes.size() < 5 || static_cast<int>(e.bytes.size()) != frame::announcedLength(e.bytes[2])
                || frame::checksum(e.bytes.data()) != e.bytes.back())
                __builtin_trap();
            break;
        case FrameEventKind::BadChecksum:
        case FrameEventKind::CutFrame:
        case FrameEventKind::NoFrame:
            if (e.bytes.empty())
                __builtin_trap();
            break;
        default:
            break;
        }
        requests += e.kind == FrameEventKind::Request;
        if (e.kind == FrameEventKind::Echo || e.kind == FrameEventKind::HandsetAck || e.kind == FrameEventKind::Reply
            || e.kind == FrameEventKind::BadChecksum || e.kind == FrameEventKind::CutFrame || e.kind == FrameEventKind::NoFrame)
            piecesBytes += e.bytes.size();
    }
    const FrameLogSummary& s = decoding.summary;
    if (piecesBytes != receivedBytes || requests != s.sends || s.answered > s.exchanges || s.retries() < 0
        || s.sentAgain + s.askedAgain != s.retries() || s.lineTimeMs < 0 || s.leastLineTimeMs < 0)
        __builtin_trap();
    return 0;
}
