// Qismar: a total of money amounts that may pass the range of one amount.
//
// Every amount a division stores in a row fits a Currency, but some totals on
// the way do not always: the fixed shares claimed before the base is raised
// (up to 40 parts of 24 of the estate), the rows times their heads (each head
// rounded by up to half a raw unit), the funeral costs and the debts
// together. A WideAmount holds such a total in the raw units of Currency
// (ten-thousandths), as a whole number kept in the extended type: its 64-bit
// mantissa holds every whole number of magnitude below 2^64 exactly, twice the
// largest Currency. A total rounded once from the extended arithmetic is then
// the very value a Currency would have held wherever it fits, and the
// arithmetic that reads it back (ext) gets the same extended value either way.
#pragma once

#include <compare>
#include <cstddef>
#include <string>

#include "engine/currency.h"

namespace qismar {

class WideAmount {
public:
    // 2^64: the first magnitude a WideAmount does not hold.
    static constexpr long double kLimit = 18446744073709551616.0L;

    constexpr WideAmount() noexcept = default;
    // Every amount is a total of one term.
    constexpr WideAmount(Currency amount) noexcept : raw_(static_cast<long double>(amount.raw())) {}

    // Rounds an extended raw value once to the nearest whole number, ties to
    // even (as roundToCurrency does); throws OutOfRange for a magnitude of
    // 2^64 or more (or NaN).
    static WideAmount rounded(long double raw)
    {
        return checked(__builtin_rintl(raw));
    }

    // The raw units, a whole number held exactly.
    constexpr long double raw() const noexcept { return raw_; }
    constexpr bool isZero() const noexcept { return raw_ == 0; }
    constexpr bool isNegative() const noexcept { return raw_ < 0; }
    // Whether the total fits one Currency amount.
    constexpr bool fitsAmount() const noexcept
    {
        return raw_ >= -9223372036854775808.0L && raw_ < 9223372036854775808.0L;
    }
    // The total as one amount; throws OutOfRange where it does not fit.
    Currency amount() const
    {
        if (!fitsAmount()) [[unlikely]]
            throwEngineError(ErrorCode::OutOfRange);
        return Currency::fromRaw(__builtin_llrintl(raw_));
    }

    friend constexpr bool operator==(WideAmount, WideAmount) noexcept = default;
    friend constexpr std::partial_ordering operator<=>(WideAmount, WideAmount) noexcept = default;

    // The sum and the difference of two totals, exact; throw OutOfRange
    // where the result leaves the range held. Two whole numbers whose exact
    // sum is below 2^64 in magnitude add without rounding in the extended
    // type; a sum of 2^64 or more rounds to 2^64 or more and is refused.
    friend WideAmount addExact(WideAmount a, WideAmount b) { return checked(a.raw_ + b.raw_); }
    friend WideAmount subtractExact(WideAmount a, WideAmount b) { return checked(a.raw_ - b.raw_); }

private:
    static WideAmount checked(long double raw)
    {
        // The negated form also refuses NaN.
        if (!(raw > -kLimit && raw < kLimit)) [[unlikely]]
            throwEngineError(ErrorCode::OutOfRange);
        WideAmount w;
        w.raw_ = raw;
        return w;
    }

    long double raw_ = 0;
};

// The text form of a total, as formatAmount writes an amount ("1844674407370955.1614").
std::string formatAmount(WideAmount value);

}  // namespace qismar
