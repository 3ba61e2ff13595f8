#include "sim/BusWire.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <iterator>
#include <limits>

namespace handset {
namespace {

constexpr double kBitMs = kByteMs / 11.0;
// Slots that only touch do not collide; this absorbs rounding of the caller's clock.
constexpr double kTouchMs = 1e-6;

int levelAt(const BusCharacter& c, double tMs)
{
    const double into = tMs - c.startMs;
    if (into < 0.0 || into >= kByteMs)
        return 1; // an idle line is high
    const int bit = static_cast<int>(into / kBitMs);
    if (bit == 0)
        return 0; // start bit
    if (bit <= 8)
        return (c.byte >> (bit - 1)) & 1;
    if (bit == 9)
        return std::popcount(c.byte) % 2 == 0 ? 1 : 0; // odd parity
    return 1; // stop bit
}

} // namespace

std::uint8_t damagedByte(const BusCharacter& own, const std::vector<BusCharacter>& others)
{
    unsigned heard = 0;
    for (int k = 0; k < 8; ++k) {
        const double middle = own.startMs + (k + 1.5) * kBitMs;
        int level = (own.byte >> k) & 1;
        for (const BusCharacter& other : others)
            level &= levelAt(other, middle);
        heard |= static_cast<unsigned>(level) << k;
    }
    const auto sent = [&](unsigned byte) {
        return byte == own.byte
            || std::any_of(others.begin(), others.end(), [&](const BusCharacter& o) { return o.byte == byte; });
    };
    unsigned flip = 0;
    while (sent(heard ^ flip))
        ++flip;
    return static_cast<std::uint8_t>(heard ^ flip);
}

BusWire::BusWire()
    : pcFreeMs_(-std::numeric_limits<double>::infinity())
    , handsetFreeMs_(-std::numeric_limits<double>::infinity())
{ }

BusWire::Placed BusWire::place(BusSide side, std::uint8_t byte, double earliestMs, bool toPc)
{
    double& free = side == BusSide::Pc ? pcFreeMs_ : handsetFreeMs_;
    const double start = std::max(earliestMs, free);
    free = start + kByteMs;
    auto at = slots_.end();
    while (at != slots_.begin() && std::prev(at)->startMs > start)
        --at;
    const auto index = static_cast<std::size_t>(at - slots_.begin());
    slots_.insert(at, Slot{start, side, byte, byte, toPc, false});
    if (toPc)
        ++pendingToPc_;

    const std::vector<std::size_t> overlaps = overlapsOf(index);
    if (!overlaps.empty()) {
        for (std::size_t other : overlaps) {
            const double otherStart = slots_[other].startMs;
            noteOverlap(std::max(start, otherStart), std::min(start, otherStart) + kByteMs);
        }
        // The collision lists each byte once, when it is first hit.
        Collision& collision = collisions_.back();
        for (std::size_t i : overlaps) {
            Slot& s = slots_[i];
            if (!s.hit)
                (s.side == BusSide::Pc ? collision.pcBytes : collision.handsetBytes).push_back(s.sent);
            s.hit = true;
        }
        (side == BusSide::Pc ? collision.pcBytes : collision.handsetBytes).push_back(byte);
        slots_[index].hit = true;
        garble(index);
        for (std::size_t i : overlaps)
            garble(i);
    }
    const Slot& placed = slots_[index];
    return {placed.startMs + kByteMs, placed.heard, placed.hit};
}

std::vector<std::size_t> BusWire::overlapsOf(std::size_t index) const
{
    const Slot& own = slots_[index];
    const auto overlapping = [&](const Slot& s) {
        return s.side != own.side && std::abs(s.startMs - own.startMs) < kByteMs - kTouchMs;
    };
    std::vector<std::size_t> found;
    for (std::size_t i = index; i > 0 && slots_[i - 1].startMs > own.startMs - kByteMs; --i)
        if (overlapping(slots_[i - 1]))
            found.push_back(i - 1);
    for (std::size_t i = index + 1; i < slots_.size() && slots_[i].startMs < own.startMs + kByteMs; ++i)
        if (overlapping(slots_[i]))
            found.push_back(i);
    return found;
}

void BusWire::garble(std::size_t index)
{
    std::vector<BusCharacter> others;
    for (std::size_t i : overlapsOf(index))
        others.push_back({slots_[i].startMs, slots_[i].sent});
    Slot& s = slots_[index];
    s.heard = damagedByte({s.startMs, s.sent}, others);
}

void BusWire::noteOverlap(double fromMs, double toMs)
{
    if (collisions_.empty() || fromMs > collisions_.back().endMs + kTouchMs) {
        collisions_.push_back({fromMs, toMs, {}, {}});
        ++collisionCount_;
        return;
    }
    Collision& c = collisions_.back();
    c.startMs = std::min(c.startMs, fromMs);
    c.endMs = std::max(c.endMs, toMs);
}

std::vector<std::uint8_t> BusWire::dueBy(double tMs)
{
    std::vector<std::uint8_t> due;
    while (!slots_.empty() && slots_.front().startMs + kByteMs <= tMs) {
        if (slots_.front().toPc) {
            due.push_back(slots_.front().heard);
            --pendingToPc_;
        }
        slots_.pop_front();
    }
    return due;
}

double BusWire::nextDueMs() const
{
    for (const Slot& s : slots_)
        if (s.toPc)
            return s.startMs + kByteMs;
    return std::numeric_limits<double>::infinity();
}

std::vector<Collision> BusWire::takeCollisionsEndedBy(double tMs)
{
    std::vector<Collision> ended;
    while (!collisions_.empty() && collisions_.front().endMs + kTouchMs < tMs) {
        ended.push_back(std::move(collisions_.front()));
        collisions_.pop_front();
    }
    return ended;
}

} // namespace handset
