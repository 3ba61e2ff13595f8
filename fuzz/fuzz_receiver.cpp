// Arbitrary bytes in arbitrary pieces through the frame assembler. The same
// stream pushed in one piece must give the same frames and the same bytes
// that are no frame; every byte is told once, as part of a frame or as
// noise; every frame told is whole, starts as a frame starts and carries a
// good checksum.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "link/FrameAssembler.h"

namespace {

class Checker final : public FrameAssembler::Sink {
public:
    explicit Checker(int longestHandset)
        : longestHandset_(longestHandset)
    { }

    void frame(const std::uint8_t* bytes, int length, std::uint64_t at) override
    {
        if (length < frame::kAckLength || length > frame::kBufferSize || !frame::isFrameStart(bytes[0], bytes[1])
            || frame::announcedLength(bytes[2]) != length || frame::checksum(bytes) != bytes[length - 1])
            __builtin_trap();
        if (bytes[0] == frame::kHandsetAddress && length > longestHandset_)
            __builtin_trap();
        tell(at, static_cast<std::size_t>(length));
        frames.insert(frames.end(), bytes, bytes + length);
        frameStarts.push_back(at);
    }
    void noise(std::uint64_t at, std::size_t count) override { tell(at, count); }
    void notAFrame(NotAFrame why, std::uint8_t address, std::uint64_t at, int length, int announced) override
    {
        // Only a frame given up is cut; the rest searched again after it may
        // hold any kind of failed start.
        if (length < 1 || length > frame::kBufferSize || at + 1 != told_ || (why == NotAFrame::Cut && !cutting))
            __builtin_trap();
        rejected.push_back({static_cast<int>(why), address, at, length, announced});
    }

    struct Rejected {
        int why;
        std::uint8_t address;
        std::uint64_t at;
        int length;
        int announced;
        bool operator==(const Rejected&) const = default;
    };
    std::vector<std::uint8_t> frames; // one after the other: frameStarts tells where each began
    std::vector<std::uint64_t> frameStarts;
    std::vector<Rejected> rejected;
    bool cutting = false; // only abandonFrame tells a frame as cut
    std::uint64_t told() const { return told_; }

private:
    // Bytes are told in stream order, each exactly once.
    void tell(std::uint64_t at, std::size_t count)
    {
        if (at != told_ || count == 0)
            __builtin_trap();
        told_ += count;
    }

    int longestHandset_;
    std::uint64_t told_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::uint8_t chunking = data[0];
    // Now and then the handset's frames are held to a reply's length, as while a request waits.
    const int longest = (data[1] & 0x80) ? frame::kAckLength + (data[1] & 0x7F) : frame::kBufferSize;
    const std::uint8_t* stream = data + 2;
    const std::size_t length = size - 2;

    FrameAssembler chunkedAssembler;
    chunkedAssembler.limitHandsetFrames(longest);
    Checker chunked(longest);
    // Chunk sizes follow from the stream itself, so the fuzzer steers them too.
    std::size_t at = 0;
    std::uint32_t step = chunking | 1u;
    while (at < length) {
        step = step * 1103515245u + 12345u;
        std::size_t n = 1 + (step >> 16) % ((chunking & 0x40) ? 600u : 20u);
        if (n > length - at)
            n = length - at;
        chunkedAssembler.push(stream + at, n, chunked);
        if (chunkedAssembler.partialLength() < 0 || chunkedAssembler.partialLength() >= frame::kBufferSize)
            __builtin_trap();
        at += n;
    }

    FrameAssembler wholeAssembler;
    wholeAssembler.limitHandsetFrames(longest);
    Checker whole(longest);
    wholeAssembler.push(stream, length, whole);

    if (chunked.frames != whole.frames || chunked.frameStarts != whole.frameStarts || chunked.rejected != whole.rejected
        || chunked.told() != whole.told())
        __builtin_trap();
    // What is still half in is told once it is given up, and then every byte has been told.
    if (chunked.told() + static_cast<std::uint64_t>(chunkedAssembler.partialLength()) != length)
        __builtin_trap();
    chunked.cutting = true;
    while (chunkedAssembler.partialLength() > 0) {
        const std::uint64_t before = chunked.told();
        chunkedAssembler.abandonFrame(chunked);
        if (chunked.told() <= before)
            __builtin_trap();
    }
    if (chunked.told() != length)
        __builtin_trap();
    return 0;
}
