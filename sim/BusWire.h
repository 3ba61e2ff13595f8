// The service bus as what it is: one half-duplex wire at line rate. The PC
// and the handset each send through a UART, their own bytes back to back and
// in order, neither listening before it talks. Where a byte of one side
// overlaps a byte of the other on the wire, both are garbled. The PC's
// receive line is tied to the wire, so it hears every byte at the end of its
// slot, its own included (the echo), damaged where it was hit.
//
// Times are milliseconds on the caller's clock. Bytes are final once their
// slot has ended, so the caller must never place a PC byte earlier than the
// time it last took bytes out (dueBy).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace handset {

// 9600 baud, 11 bits a character.
inline constexpr double kByteMs = 11.0 * 1000.0 / 9600.0;

enum class BusSide { Pc, Handset };

// One stretch of time in which both sides were sending.
struct Collision {
    double startMs = 0.0;
    double endMs = 0.0;
    std::vector<std::uint8_t> pcBytes; // as sent, in order
    std::vector<std::uint8_t> handsetBytes;
};

struct BusCharacter {
    double startMs;
    std::uint8_t byte;
};

// What a receiver that frames on `own`'s start bit reads while `others`
// overlap it: the wire is open-collector, so it carries the AND of the two
// bit streams (start bit, 8 data bits, odd parity, stop bit); two aligned
// bytes give the AND of both. A pseudo-terminal cannot carry the parity or
// framing error a real UART would flag, so a result that equals `own` or an
// overlapping byte is altered until it equals none of them.
std::uint8_t damagedByte(const BusCharacter& own, const std::vector<BusCharacter>& others);

class BusWire {
public:
    BusWire();

    struct Placed {
        double endMs; // the receiving side has the byte now
        std::uint8_t heard; // as the wire carried it
        bool hit;
    };

    // Puts one byte into a side's UART at earliestMs; it goes out then, or as
    // soon as that side's previous byte is through. `toPc`: the PC hears it
    // (false for the PC's own bytes on a cable without echo).
    Placed place(BusSide side, std::uint8_t byte, double earliestMs, bool toPc);

    // Removes the bytes whose slots ended by tMs and returns those the PC hears.
    std::vector<std::uint8_t> dueBy(double tMs);
    double nextDueMs() const; // infinity when the PC has nothing to hear
    std::size_t pending() const { return pendingToPc_; }

    // When a side's UART has sent everything it was given.
    double freeMs(BusSide side) const { return side == BusSide::Pc ? pcFreeMs_ : handsetFreeMs_; }

    std::uint64_t collisionCount() const { return collisionCount_; }
    // Removes and returns the collisions that ended before tMs (no later
    // byte can extend them any more).
    std::vector<Collision> takeCollisionsEndedBy(double tMs);

private:
    struct Slot {
        double startMs;
        BusSide side;
        std::uint8_t sent;
        std::uint8_t heard;
        bool toPc;
        bool hit;
    };
    std::vector<std::size_t> overlapsOf(std::size_t index) const;
    void garble(std::size_t index);
    void noteOverlap(double fromMs, double toMs);

    std::deque<Slot> slots_; // by start time; every slot lasts kByteMs
    std::deque<Collision> collisions_;
    double pcFreeMs_;
    double handsetFreeMs_;
    std::size_t pendingToPc_ = 0;
    std::uint64_t collisionCount_ = 0;
};

} // namespace handset
