// Qismar: a number of persons in a case: how many sons, how many full
// sisters, how many wives.
//
// The share rules take a count into the money arithmetic as a Currency
// value (two persons are raw 20000), so that a share divided among the heads
// of a class rounds exactly as an amount divided by an amount; money() is
// that conversion, asked for explicitly where the arithmetic needs it.
#pragma once

#include <compare>
#include <cstdint>

#include "engine/currency.h"

namespace qismar {

class HeadCount {
public:
    constexpr HeadCount() noexcept = default;
    constexpr explicit HeadCount(std::int64_t persons) noexcept : persons_(persons) {}

    constexpr std::int64_t persons() const noexcept { return persons_; }
    constexpr bool isZero() const noexcept { return persons_ == 0; }
    constexpr bool positive() const noexcept { return persons_ > 0; }
    constexpr bool isOne() const noexcept { return persons_ == 1; }

    // The count as a money value (raw persons x 10000); throws OutOfRange
    // for a count beyond the range of money, which no checked case holds.
    constexpr Currency money() const
    {
        if (persons_ > Currency::kMaxWhole || persons_ < -Currency::kMaxWhole) [[unlikely]]
            throwEngineError(ErrorCode::OutOfRange);
        return Currency::fromRaw(persons_ * Currency::kScale);
    }

    friend constexpr bool operator==(HeadCount, HeadCount) noexcept = default;
    friend constexpr auto operator<=>(HeadCount, HeadCount) noexcept = default;

private:
    std::int64_t persons_ = 0;
};

// The persons of two counts together; throws OutOfRange where the sum
// leaves the 64-bit range.
inline HeadCount operator+(HeadCount a, HeadCount b)
{
    std::int64_t sum = 0;
    if (__builtin_add_overflow(a.persons(), b.persons(), &sum)) [[unlikely]]
        throwEngineError(ErrorCode::OutOfRange);
    return HeadCount(sum);
}

}  // namespace qismar
