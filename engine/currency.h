// Qismar: the money unit of the division engine.
//
// Every amount, total, tolerance and head count that takes part in the
// arithmetic of a division is a Currency: a signed 64-bit integer holding the
// value times 10 000 (four decimal places). Arithmetic runs in 80-bit extended
// floating point (long double on x86-64) on the raw integers and is stored
// back by exactly one rounding to the nearest integer, ties to even; the
// order of the operations is part of every formula, because the rounding of
// each intermediate extended value depends on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <limits>
#include <string>
#include <string_view>

// Every amount is exact to the last raw unit only with the x87 extended type
// (a 64-bit mantissa) and with the floating operations kept in written order.
static_assert(std::numeric_limits<long double>::digits == 64,
              "the division engine needs long double to be the 80-bit extended type");
#if defined(__FAST_MATH__)
#error "the division engine must not be built with fast-math: it reorders and contracts the money arithmetic"
#endif

namespace qismar {

// What went wrong, so that each front end can word it in its own language.
enum class ErrorCode : std::uint8_t {
    NotANumber,          // a text that is not an amount or a count
    NotAWholeNumber,     // a count that must be whole holds a fraction
    OutOfRange,          // a value beyond the range of money amounts
    BaseBelowOne,        // the base of the problem would fall below 1
    TooManyPasses,       // the division would not settle
    InvalidCount,        // a negative count or estate, or no wife counted
    CountTooLarge,       // a count above kMaxCount persons
    EstateTooSmall,      // less than 0.01 of the estate for each person of the case
    EstateTooLarge,      // an estate above the largest for which every case divides
};

// The largest number of persons that one count may hold. Below it no total
// of persons and no count of residue units can leave the range of money.
inline constexpr std::int64_t kMaxCount = 1000000000;

// The error raised by the engine and its text conversions. It carries a
// static English message and the matching Arabic one; it never allocates.
class EngineError : public std::exception {
public:
    explicit EngineError(ErrorCode code) noexcept : code_(code) {}
    ErrorCode code() const noexcept { return code_; }
    const char* what() const noexcept override;  // English
    const char* arabic() const noexcept;         // the program's own language
private:
    ErrorCode code_;
};

class Currency {
public:
    static constexpr std::int64_t kScale = 10000;
    static constexpr std::int64_t kMaxRaw = INT64_MAX;
    static constexpr std::int64_t kMinRaw = INT64_MIN;
    // The largest whole number of money units (922337203685477).
    static constexpr std::int64_t kMaxWhole = kMaxRaw / kScale;

    constexpr Currency() noexcept = default;
    static constexpr Currency fromRaw(std::int64_t raw) noexcept { return Currency(raw); }
    // A whole number of units; throws OutOfRange beyond kMaxWhole.
    static Currency fromWhole(std::int64_t units);

    constexpr std::int64_t raw() const noexcept { return raw_; }
    constexpr bool isZero() const noexcept { return raw_ == 0; }
    constexpr bool isWhole() const noexcept { return raw_ % kScale == 0; }
    // The value as a whole number; throws NotAWholeNumber for a fraction.
    std::int64_t whole() const;

    friend constexpr bool operator==(Currency, Currency) noexcept = default;
    friend constexpr auto operator<=>(Currency, Currency) noexcept = default;

private:
    constexpr explicit Currency(std::int64_t raw) noexcept : raw_(raw) {}
    std::int64_t raw_ = 0;
};

[[noreturn]] void throwEngineError(ErrorCode code);

// Rounds an extended raw value once to the nearest integer, ties to even, and
// stores it; throws OutOfRange when it does not fit the raw range (or is NaN).
inline Currency roundToCurrency(long double raw)
{
    // The x87 rounding mode is never changed from round-to-nearest, ties to
    // even, so rint rounds as required and llrint stores the (already
    // integral) value without touching the control word.
    const long double r = __builtin_rintl(raw);
    // -2^63 is representable; 2^63 is the first value that is not. The
    // negated form also rejects NaN.
    if (!(r >= -9223372036854775808.0L && r < 9223372036854775808.0L)) [[unlikely]]
        throwEngineError(ErrorCode::OutOfRange);
    return Currency::fromRaw(__builtin_llrintl(r));
}

// Exact integer arithmetic on raw values; throws OutOfRange on overflow.
Currency addExact(Currency a, Currency b);
Currency subtractExact(Currency a, Currency b);
Currency twice(Currency a);

// The text form of amounts: plain decimal with "." as the separator, no digit
// grouping, at most four decimals, no trailing zeros and no trailing
// separator ("1250.5", "1000", "333.3333", "-0.0001").
inline constexpr std::size_t kMaxAmountText = 24;  // "-922337203685477.5808" fits
std::size_t formatAmount(Currency value, char* out) noexcept;  // out holds kMaxAmountText
std::string formatAmount(Currency value);

// The exact inverse of formatAmount: an optional "-", one or more digits, and
// optionally "." followed by one to four digits. Anything else, or a value
// beyond the raw range, throws NotANumber / OutOfRange.
Currency parseAmount(std::string_view text);

// A whole count or estate written as digits only ("0", "12", "007").
// Throws NotANumber for anything else (a sign, a blank, a point, an empty
// text) and OutOfRange beyond kMaxWhole.
Currency parseDigits(std::string_view text);

}  // namespace qismar
