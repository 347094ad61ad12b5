// Qismar: exact fractions for the explanation of a division.
//
// The explanation states every share as an exact fraction of the estate
// (3/8, 1/6, 7/8). A Rational holds a reduced fraction with a positive
// denominator in 128-bit integers. It never throws and never allocates: an
// operation whose result does not fit, or a division by zero, gives an
// invalid value, and every operation on an invalid value stays invalid, so
// that the explanation can say it has no exact form instead of being wrong.
#pragma once

#include <compare>
#include <cstdint>
#include <string>

namespace qismar {

// Binary gcd of 64-bit values (gcd64(0, y) is y).
inline constexpr std::uint64_t gcd64(std::uint64_t x, std::uint64_t y) noexcept
{
    if (x == 0)
        return y;
    if (y == 0)
        return x;
    const int shift = __builtin_ctzll(x | y);
    x >>= __builtin_ctzll(x);
    do {
        y >>= __builtin_ctzll(y);
        if (x > y) {
            const std::uint64_t t = x;
            x = y;
            y = t;
        }
        y -= x;
    } while (y != 0);
    return x << shift;
}

class Rational {
public:
    using Int = __int128;

    constexpr Rational() noexcept = default;  // 0
    constexpr Rational(std::int64_t whole) noexcept : num_(whole) {}  // NOLINT: a whole number is a fraction
    // n / d, reduced; d = 0 gives an invalid value.
    static Rational of(Int n, Int d) noexcept;
    static constexpr Rational invalid() noexcept
    {
        Rational r;
        r.den_ = 0;
        return r;
    }

    constexpr bool valid() const noexcept { return den_ != 0; }
    constexpr Int num() const noexcept { return num_; }
    constexpr Int den() const noexcept { return den_; }
    constexpr bool isZero() const noexcept { return valid() && num_ == 0; }
    constexpr bool isNegative() const noexcept { return valid() && num_ < 0; }

    friend Rational operator+(Rational a, Rational b) noexcept;
    friend Rational operator-(Rational a, Rational b) noexcept;
    friend Rational operator*(Rational a, Rational b) noexcept;
    friend Rational operator/(Rational a, Rational b) noexcept;
    Rational& operator+=(Rational b) noexcept { return *this = *this + b; }
    Rational& operator-=(Rational b) noexcept { return *this = *this - b; }

    // Equal when both are valid and equal, or both invalid.
    friend constexpr bool operator==(Rational a, Rational b) noexcept
    {
        return a.num_ == b.num_ && a.den_ == b.den_;
    }
    // Orders valid values; false whenever either side is invalid.
    friend bool operator<(Rational a, Rational b) noexcept;
    friend bool operator>(Rational a, Rational b) noexcept { return b < a; }

    // value x n for a whole n: one gcd, with the denominator only; inline
    // on 64 bits for a positive n, the usual case.
    Rational times(Int n) const noexcept
    {
        std::int64_t product;
        if (den_ > 0 && num_ == 0)
            return Rational();
        if (den_ > 0 && den_ <= INT64_MAX && n > 0 && n <= INT64_MAX && Int(std::int64_t(num_)) == num_) {
            const auto g = std::int64_t(gcd64(std::uint64_t(n), std::uint64_t(den_)));
            if (!__builtin_mul_overflow(std::int64_t(num_), std::int64_t(n) / g, &product)) {
                Rational r;
                r.num_ = product;
                r.den_ = product == 0 ? 1 : std::int64_t(den_) / g;
                return r;
            }
        }
        return timesWide(n);
    }

    // value x m / d for whole m and positive d, reduced once.
    static Rational scaled(const Rational& value, Int m, Int d) noexcept;
    // n / d, reduced, for d > 0: the usual case of `of`, in 64 bits.
    static constexpr Rational of64(std::int64_t n, std::int64_t d) noexcept;

    // (a - bn/bd + c) / d for whole bd > 0 and d > 0, over a common
    // denominator and reduced once, into `out`; bn/bd need not be reduced.
    // Only for small values: false, leaving `out` as it was, unless a, c and
    // d are below 2^40 and no step leaves 64 bits (so that none of the usual
    // operators would overflow either, on b reduced or not).
    static bool smallDifference(const Rational& a, std::int64_t bn, std::int64_t bd, const Rational& c, std::int64_t d,
                                Rational& out) noexcept;

    // n / d for d > 0 where n and d have no common factor, as they are:
    // for a caller that knows the fraction reduced, with no gcd taken.
    static constexpr Rational ofReduced(Int n, Int d) noexcept
    {
        Rational r;
        r.num_ = n;
        r.den_ = d;
        return r;
    }

    // Whether the numerator and the denominator are below 2^40.
    constexpr bool small() const noexcept { return valid() && num_ > -kSmall && num_ < kSmall && den_ < kSmall; }
    static constexpr Int kSmall = Int(1) << 40;

    // The larger of the value and 0.
    Rational nonNegative() const noexcept { return isNegative() ? Rational() : *this; }

    // "p/q", or "p" for a whole number, or "" for an invalid value.
    std::string text() const;
    void appendText(std::string& out) const;

private:
    Rational timesWide(Int n) const noexcept;

    Int num_ = 0;
    Int den_ = 1;
};

// Whether a 128-bit integer fits 64 bits (its high half only repeats the
// sign of its low half).
inline constexpr bool fits64(Rational::Int v) noexcept { return Rational::Int(std::int64_t(v)) == v; }

constexpr Rational Rational::of64(std::int64_t n, std::int64_t d) noexcept
{
    // The gcd is at most d, so it divides without overflow.
    const auto g = std::int64_t(gcd64(n < 0 ? 0 - std::uint64_t(n) : std::uint64_t(n), std::uint64_t(d)));
    Rational r;
    r.num_ = g == 1 ? n : n / g;
    r.den_ = g == 1 ? d : d / g;
    return r;
}

// Rational::scaled beyond 64 bits.
Rational scaledWide(const Rational& value, Rational::Int m, Rational::Int d) noexcept;

inline Rational Rational::scaled(const Rational& value, Int m, Int d) noexcept
{
    // The usual case: every part, and both products, in 64 bits.
    std::int64_t n64, d64;
    if (fits64(value.num_) && fits64(value.den_) && fits64(m) && fits64(d) &&
        !__builtin_mul_overflow(std::int64_t(value.num_), std::int64_t(m), &n64) &&
        !__builtin_mul_overflow(std::int64_t(value.den_), std::int64_t(d), &d64) && d64 > 0)
        return of64(n64, d64);
    return scaledWide(value, m, d);
}

// a x b into `out`; false when the product does not fit 128 bits. Two
// factors of 64 bits, the usual case, are one multiplication that cannot
// overflow.
inline constexpr bool multiply(Rational::Int a, Rational::Int b, Rational::Int& out) noexcept
{
    if (fits64(a) && fits64(b)) {
        out = Rational::Int(std::int64_t(a)) * std::int64_t(b);
        return true;
    }
    return !__builtin_mul_overflow(a, b, &out);
}

// The greatest common divisor of any two values (gcd takes those of 64 bits
// and not negative inline).
Rational::Int gcdWide(Rational::Int a, Rational::Int b) noexcept;

// The greatest common divisor and least common multiple of positive 128-bit
// integers; lcm gives 0 when the result does not fit. Values of 64 bits and
// not negative, the usual case, take the gcd inline.
inline Rational::Int gcd(Rational::Int a, Rational::Int b) noexcept
{
    using UInt = unsigned __int128;
    if (((UInt(a) | UInt(b)) >> 63) == 0)
        return Rational::Int(gcd64(std::uint64_t(a), std::uint64_t(b)));
    return gcdWide(a, b);
}
Rational::Int lcm(Rational::Int a, Rational::Int b) noexcept;

// Decimal digits of a 128-bit integer.
std::string toDecimal(Rational::Int value);
void appendDecimal(Rational::Int value, std::string& out);

}  // namespace qismar
