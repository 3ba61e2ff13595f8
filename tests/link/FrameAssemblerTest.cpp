#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/FrameAssembler.h"
#include "support/VirtualHandset.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::string Hex(const std::uint8_t* bytes, std::size_t length)
{
    static const char* digits = "0123456789ABCDEF";
    std::string hex;
    for (std::size_t i = 0; i < length; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 0x0F];
    }
    return hex;
}

std::string FrameAt(std::uint64_t at, const Bytes& bytes)
{
    return "frame@" + std::to_string(at) + " " + Hex(bytes.data(), bytes.size());
}

// What the assembler said, one line an event: "frame@3 E9007F0593",
// "noise@0+2", "bad@5 len8/8" (bytes taken / announced).
class Recorder : public FrameAssembler::Sink {
public:
    void frame(const std::uint8_t* bytes, int length, std::uint64_t at) override
    {
        events.push_back("frame@" + std::to_string(at) + " " + Hex(bytes, static_cast<std::size_t>(length)));
    }
    void noise(std::uint64_t at, std::size_t count) override
    {
        // Noise told in pieces reads as one stretch.
        if (!events.empty() && events.back().rfind("noise@", 0) == 0 && noiseEnd == at) {
            noiseEnd += count;
            events.back() = "noise@" + std::to_string(noiseStart) + "+" + std::to_string(noiseEnd - noiseStart);
            return;
        }
        noiseStart = at;
        noiseEnd = at + count;
        events.push_back("noise@" + std::to_string(at) + "+" + std::to_string(count));
    }
    void notAFrame(NotAFrame why, std::uint8_t, std::uint64_t at, int length, int announced) override
    {
        const char* kind = why == NotAFrame::BadChecksum ? "bad" : why == NotAFrame::TooLong ? "long" : "cut";
        events.push_back(std::string(kind) + "@" + std::to_string(at) + " len" + std::to_string(length) + "/"
                         + std::to_string(announced));
    }

    std::vector<std::string> events;
    std::uint64_t noiseStart = 0;
    std::uint64_t noiseEnd = 0;
};

std::vector<std::string> Assemble(const Bytes& stream, std::size_t chunk = 0)
{
    FrameAssembler assembler;
    Recorder sink;
    if (chunk == 0)
        chunk = stream.size();
    for (std::size_t at = 0; at < stream.size(); at += chunk)
        assembler.push(stream.data() + at, std::min(chunk, stream.size() - at), sink);
    return sink.events;
}

const Bytes kAck = VirtualHandset::Ack(0x05); // E9 00 7F 05 93
const Bytes kData = VirtualHandset::DataFrame({0x10, 0x20, 0x30}, 0x42, 0x77);
const Bytes kEcho{0x00, 0xE9, 0x03, 0xE5, 0x00, 0x03, 0x00, 0x00, 0x0C};

TEST(FrameAssembler, FramesAndNoiseComeOutInOrderHoweverTheBytesAreCut)
{
    const Bytes stream = Concat({{0x55, 0xFF}, kEcho, kAck, {0x7F, 0x01}, kData, kData});
    const std::vector<std::string> whole = Assemble(stream);
    EXPECT_EQ(whole, (std::vector<std::string>{"noise@0+2", FrameAt(2, kEcho), FrameAt(11, kAck), "noise@16+2",
                                               FrameAt(18, kData), FrameAt(27, kData)}));
    for (std::size_t chunk = 1; chunk < stream.size(); ++chunk)
        EXPECT_EQ(Assemble(stream, chunk), whole) << "pushed " << chunk << " bytes at a time";
}

// A start byte must be followed by its partner; bytes that only looked like
// a frame start are searched again from their second byte, so what hides
// behind them is found.
TEST(FrameAssembler, FalseStartsAreSearchedAgainForTheFramesInside)
{
    // 00 E9 02 announces a 8-byte echo whose checksum fails: the
    // acknowledgement inside it is found.
    EXPECT_EQ(Assemble({0x00, 0xE9, 0x02, 0xE9, 0x00, 0x7F, 0x05, 0x93}),
              (std::vector<std::string>{"noise@0+1", "bad@0 len8/8", "noise@1+2", "frame@3 E9007F0593"}));
    // The tail of a cut frame: 00 00 0A would swallow what follows without the pairing rule.
    EXPECT_EQ(Assemble(Concat({{0x00, 0x00, 0x0A, 0xE9, 0xE9}, kAck})),
              (std::vector<std::string>{"noise@0+5", FrameAt(5, kAck)}));
    // An announced length longer than any frame is no frame either.
    Bytes oversize(3 + 300, 0x00);
    oversize[0] = 0xE9;
    oversize[2] = 0xFB;
    const std::vector<std::string> events = Assemble(Concat({oversize, {0x55}, kAck}));
    EXPECT_EQ(events, (std::vector<std::string>{"noise@0+1", "long@0 len3/257", "noise@1+303", FrameAt(304, kAck)}));
}

TEST(FrameAssembler, HandsetFramesLongerThanTheLimitAreNoFrames)
{
    FrameAssembler assembler;
    Recorder sink;
    assembler.limitHandsetFrames(5);
    assembler.push(kData.data(), kData.size(), sink);
    EXPECT_EQ(sink.events.at(1), "long@0 len3/9");
    sink.events.clear();
    assembler.push(kEcho.data(), kEcho.size(), sink); // our own frames are not limited
    assembler.push(kAck.data(), kAck.size(), sink);
    EXPECT_EQ(sink.events, (std::vector<std::string>{FrameAt(9, kEcho), FrameAt(18, kAck)}));
}

// A frame whose rest never comes stays in until it is given up; then its
// bytes after the first are searched again.
TEST(FrameAssembler, AbandonedFrameIsToldCutAndItsRestSearchedAgain)
{
    FrameAssembler assembler;
    Recorder sink;
    const Bytes cut = Concat({{0xE9, 0x00, 0x20, 0x10}, kAck});
    assembler.push(cut.data(), cut.size(), sink);
    EXPECT_TRUE(sink.events.empty());
    EXPECT_EQ(assembler.partialLength(), 9);
    EXPECT_EQ(assembler.partialAnnounced(), 0x20 + 6);
    assembler.abandonFrame(sink);
    EXPECT_EQ(sink.events,
              (std::vector<std::string>{"noise@0+1", "cut@0 len9/38", "noise@1+3", "frame@4 E9007F0593"}));
    EXPECT_EQ(assembler.partialLength(), 0);

    // A frame cut before its length byte came announces nothing; its last
    // byte may yet start our echo.
    sink.events.clear();
    assembler.push(kData.data(), 2, sink);
    assembler.abandonFrame(sink);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"noise@9+1", "cut@9 len2/0"}));
    EXPECT_EQ(assembler.partialAddress(), 0x00);

    // reset forgets it, untold.
    sink.events.clear();
    assembler.reset();
    assembler.push(kData.data(), 5, sink);
    assembler.reset();
    assembler.push(kAck.data(), kAck.size(), sink);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"frame@16 E9007F0593"}));
}

TEST(FrameAssembler, LargestFrameFitsTheBuffer)
{
    Bytes payload(250);
    for (int i = 0; i < 250; ++i)
        payload[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    const Bytes big = VirtualHandset::DataFrame(payload, 0x09);
    ASSERT_EQ(big.size(), 256u);
    const std::vector<std::string> events = Assemble(big, 7);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].size(), std::string("frame@0 ").size() + 512);
}

} // namespace
