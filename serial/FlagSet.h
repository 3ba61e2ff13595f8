// A set of enumeration values, one bit per value.
#pragma once

#include <cstdint>
#include <initializer_list>

template <typename Enum>
class FlagSet {
public:
    constexpr FlagSet() = default;
    constexpr FlagSet(std::initializer_list<Enum> values)
    {
        for (Enum value : values)
            bits_ |= bit(value);
    }
    constexpr bool contains(Enum value) const { return (bits_ & bit(value)) != 0; }
    constexpr bool isEmpty() const { return bits_ == 0; }
    constexpr void insert(Enum value) { bits_ |= bit(value); }
    constexpr void remove(Enum value) { bits_ &= ~bit(value); }
    constexpr bool operator==(const FlagSet&) const = default;

private:
    static constexpr std::uint32_t bit(Enum value) { return std::uint32_t{1} << static_cast<unsigned>(value); }
    std::uint32_t bits_ = 0;
};
