// The handset's side of the service bus: takes the PC's bytes, answers each
// request with an acknowledgement and one data frame, and keeps the state the
// requests read and write.
#pragma once

#include "link/FrameAssembler.h"
#include "sim/HandsetState.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace handset {

enum class OutKind { Ack, Reply };

struct OutFrame {
    OutKind kind;
    std::vector<std::uint8_t> bytes; // whole frame, checksum included
};

enum class RequestKind {
    Version,
    SerialNumber,
    NetMonitorRead,
    NetMonitorSwitch,
    SoftwareReset,
    PhonebookRead,
    PhonebookWrite,
    LogoRead,
    LogoWrite,
    Unknown,
};

// Tells a request's message bytes apart; the item byte (location or block)
// is byte 9 of the phonebook and logo messages.
RequestKind classifyRequest(const std::vector<std::uint8_t>& message);

class HandsetModel : private FrameAssembler::Sink {
public:
    explicit HandsetModel(HandsetState state = defaultHandsetState());

    // Bytes from the PC, in order and in any chunking. Returns what the
    // handset sends in answer to the frames completed by these bytes.
    // `garbled`: they were damaged on the wire, so the frame they fall in is
    // thrown away as one with a bad checksum would be.
    std::vector<OutFrame> fromPc(const std::uint8_t* data, std::size_t size, bool garbled = false);

    const HandsetState& state() const { return state_; }
    void setState(const HandsetState& state) { state_ = state; }

    // Off: a request repeated with the same sequence byte is only
    // acknowledged. On: it is carried out and answered again.
    void setAnswerDuplicates(bool on) { answerDuplicates_ = on; }

    // Counts writes that changed something, so a holder can save after each.
    std::uint64_t changeCount() const { return changes_; }
    std::uint64_t resetCount() const { return resets_; }
    std::uint64_t pcAcksSeen() const { return pcAcks_; }
    // Sequence byte of the PC's last valid acknowledgement.
    std::uint8_t lastPcAckSequence() const { return lastPcAckSequence_; }
    std::uint64_t badFramesSeen() const { return badFrames_; }
    std::uint8_t nextReplySequence() const { return replySequence_; }

private:
    // FrameAssembler::Sink
    void frame(const std::uint8_t* bytes, int length, std::uint64_t at) override;
    void noise(std::uint64_t at, std::size_t count) override;
    void notAFrame(NotAFrame why, std::uint8_t address, std::uint64_t at, int length, int announced) override;

    void forgetGarbledBefore(std::uint64_t position);
    void takeFrame(const std::uint8_t* bytes, std::size_t length);
    std::optional<std::vector<std::uint8_t>> execute(const std::vector<std::uint8_t>& message);
    // The record a read gives; null for a location past the phonebook that holds nothing.
    const Record* recordAt(std::uint8_t location) const;
    void noteChange() { ++changes_; }

    HandsetState state_;
    bool answerDuplicates_ = false;
    FrameAssembler assembler_;
    std::uint64_t bytesTaken_ = 0; // the assembler's position of the next byte
    // Positions of bytes garbled on the wire that a frame still to come may hold.
    std::deque<std::uint64_t> garbled_;
    std::vector<OutFrame> out_; // the answers to the frames completed by the bytes being taken
    std::optional<std::vector<std::uint8_t>> lastRequest_; // message bytes and sequence byte
    std::uint8_t replySequence_ = 0;
    std::uint64_t changes_ = 0;
    std::uint64_t resets_ = 0;
    std::uint64_t pcAcks_ = 0;
    std::uint8_t lastPcAckSequence_ = 0;
    std::uint64_t badFrames_ = 0;
};

} // namespace handset
