#include "link/FrameAssembler.h"

#include <algorithm>

namespace {

// How many bytes come before the first frame start (00 E9 or E9 00); a start
// byte at the very end may be the first of one whose partner is still on its
// way.
std::size_t bytesBeforeFrameStart(const std::uint8_t* bytes, std::size_t count)
{
    for (std::size_t i = 1; i < count; ++i) {
        if (frame::isFrameStart(bytes[i - 1], bytes[i]))
            return i - 1;
    }
    const std::uint8_t last = bytes[count - 1];
    return last == frame::kPcAddress || last == frame::kHandsetAddress ? count - 1 : count;
}

} // namespace

void FrameAssembler::push(const std::uint8_t* bytes, std::size_t count, Sink& sink)
{
    input_ = {bytes, count};
    drain(sink);
    input_ = {nullptr, 0};
}

void FrameAssembler::abandonFrame(Sink& sink)
{
    if (taken_ == 0)
        return;
    reject(NotAFrame::Cut, sink);
    drain(sink);
}

void FrameAssembler::reset()
{
    taken_ = 0;
    expected_ = frame::kAckLength;
}

void FrameAssembler::limitHandsetFrames(int longest)
{
    longestHandset_ = std::clamp(longest, frame::kAckLength, frame::kBufferSize);
}

int FrameAssembler::longestFrameStartingWith(std::uint8_t address) const
{
    return address == frame::kHandsetAddress ? longestHandset_ : frame::kBufferSize;
}

void FrameAssembler::drain(Sink& sink)
{
    for (;;) {
        Span span{nullptr, 0};
        if (againAt_ < again_.size())
            span = {again_.data() + againAt_, again_.size() - againAt_};
        else if (input_.count > 0)
            span = input_;
        else
            break;
        step(span, sink);
        if (againAt_ >= again_.size()) {
            again_.clear();
            againAt_ = 0;
        }
    }
}

// Takes from the front of the bytes either a stretch of noise outside any
// frame, or what is there of a frame's header and body. The bytes taken are
// consumed before a frame is told or searched again.
void FrameAssembler::step(Span span, Sink& sink)
{
    const bool fromAgain = againAt_ < again_.size();
    const auto consume = [&](std::size_t n) {
        if (fromAgain) {
            againAt_ += n;
        } else {
            input_.bytes += n;
            input_.count -= n;
        }
        position_ += n;
    };
    const std::uint8_t* const bytes = span.bytes;
    const std::size_t count = span.count;
    if (taken_ == 0) {
        if (const std::size_t noise = bytesBeforeFrameStart(bytes, count); noise > 0) {
            sink.noise(position_, noise);
            consume(noise);
            return;
        }
    }
    sink.frameBytes(taken_ > 0 ? frame_[0] : bytes[0]);
    std::size_t taken = 0;
    if (taken_ < 3) {
        // A start byte not followed by its partner was a stray byte; the
        // hunt goes on from the byte after it.
        if (taken_ == 1 && !frame::isFrameStart(frame_[0], bytes[0])) {
            sink.noise(frameAt_, 1);
            taken_ = 0;
            return;
        }
        if (taken_ == 0)
            frameAt_ = position_;
        while (taken_ < 3 && taken < count)
            frame_[static_cast<std::size_t>(taken_++)] = bytes[taken++];
        consume(taken);
        if (taken_ < 3)
            return;
        expected_ = frame::announcedLength(frame_[2]);
        if (expected_ > longestFrameStartingWith(frame_[0])) {
            reject(NotAFrame::TooLong, sink);
            return;
        }
    }
    const std::size_t body = std::min(static_cast<std::size_t>(expected_ - taken_), count - taken);
    std::copy_n(bytes + taken, body, frame_.begin() + taken_);
    taken_ += static_cast<int>(body);
    consume(body);
    if (taken_ == expected_)
        complete(sink);
}

void FrameAssembler::complete(Sink& sink)
{
    if (frame::checksum(frame_.data()) != frame_[static_cast<std::size_t>(expected_ - 1)]) {
        reject(NotAFrame::BadChecksum, sink);
        return;
    }
    sink.frame(frame_.data(), expected_, frameAt_);
    taken_ = 0;
    expected_ = frame::kAckLength;
}

// What was taken for a frame start was not one: the frame may start at any
// later byte, as when the last byte of an echo cut off by the port's closing
// meets the first of the next. Its bytes are searched again from the second.
void FrameAssembler::reject(NotAFrame why, Sink& sink)
{
    sink.noise(frameAt_, 1);
    sink.notAFrame(why, frame_[0], frameAt_, taken_, taken_ >= 3 ? expected_ : 0);
    // In place, so that a line full of false starts costs no allocation each.
    again_.erase(again_.begin(), again_.begin() + static_cast<std::ptrdiff_t>(againAt_));
    again_.insert(again_.begin(), frame_.begin() + 1, frame_.begin() + std::max(taken_, 1));
    againAt_ = 0;
    position_ = frameAt_ + 1;
    taken_ = 0;
    expected_ = frame::kAckLength;
}
