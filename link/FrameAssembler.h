// The one framing rule of the M2BUS line: bytes in, whole frames out, and
// what was no frame (noise, a frame cut off, a bad checksum) as events. It
// has no clock and no port; the link, the frame-log decoder, the simulator
// and the fuzzers all take frames apart through it.
//
// Every frame opens 00 E9 (ours, the echo) or E9 00 (the handset's), then a
// length byte. Whatever only looked like a frame start is searched again
// from its second byte, so a frame hidden behind a stray start byte is found.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/Frame.h"

// Why what started like a frame was none.
enum class NotAFrame {
    BadChecksum, // whole, but its checksum does not match
    TooLong, // announced more than a frame can be now
    Cut, // its rest never came (given up by abandonFrame)
};

class FrameAssembler {
public:
    // Told what the bytes were, in stream order, while push or abandonFrame
    // runs. Positions count the bytes pushed since construction.
    class Sink {
    public:
        virtual ~Sink() = default;
        // A whole frame whose checksum matches, its first byte at position at.
        virtual void frame(const std::uint8_t* bytes, int length, std::uint64_t at) = 0;
        // Bytes at..at+count-1 are part of no frame.
        virtual void noise(std::uint64_t at, std::size_t count)
        {
            (void)at;
            (void)count;
        }
        // The length bytes from at looked like a frame starting with address
        // (announcing `announced` bytes; 0 before its length byte came) but
        // were none. The byte at `at` has been told as noise just before; the
        // rest is searched again.
        virtual void notAFrame(NotAFrame why, std::uint8_t address, std::uint64_t at, int length, int announced)
        {
            (void)why;
            (void)address;
            (void)at;
            (void)length;
            (void)announced;
        }
        // Bytes are being taken into a frame starting with address that is
        // not yet whole (or that is about to be found whole or not).
        virtual void frameBytes(std::uint8_t address) { (void)address; }
    };

    // Bytes as they came, cut anywhere.
    void push(const std::uint8_t* bytes, std::size_t count, Sink& sink);
    // The frame half in will never be finished: it is told as cut, and its
    // bytes after the first are searched again. Nothing happens when none is.
    void abandonFrame(Sink& sink);
    // Forgets the frame half in, untold.
    void reset();

    // Frames starting E9 00 longer than this are no frames; from 5 (an
    // acknowledgement) up to frame::kBufferSize, the default.
    void limitHandsetFrames(int longest);

    // How much of a frame is in, and its first byte (0 when none is).
    int partialLength() const { return taken_; }
    std::uint8_t partialAddress() const { return taken_ > 0 ? frame_[0] : 0; }
    // The whole length the frame half in announced; 0 before its length byte.
    int partialAnnounced() const { return taken_ >= 3 ? expected_ : 0; }

private:
    // What is being taken from: searched-again bytes first, then the pushed ones.
    struct Span {
        const std::uint8_t* bytes;
        std::size_t count;
    };
    void drain(Sink& sink);
    void step(Span span, Sink& sink);
    void complete(Sink& sink);
    void reject(NotAFrame why, Sink& sink);
    int longestFrameStartingWith(std::uint8_t address) const;

    std::array<std::uint8_t, frame::kBufferSize> frame_{};
    int taken_ = 0;
    int expected_ = frame::kAckLength;
    std::uint64_t frameAt_ = 0; // position of frame_[0]
    std::uint64_t position_ = 0; // position of the next byte to look at
    int longestHandset_ = frame::kBufferSize;

    // Bytes of a frame start that was none, to be searched again before the
    // pushed bytes that follow them.
    std::vector<std::uint8_t> again_;
    std::size_t againAt_ = 0;
    Span input_{nullptr, 0};
};
