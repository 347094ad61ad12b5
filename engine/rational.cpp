#include "engine/rational.h"

#include <algorithm>
#include <charconv>

namespace qismar {

namespace {

using Int = Rational::Int;
using UInt = unsigned __int128;

UInt magnitude(Int v) noexcept { return v < 0 ? UInt(0) - UInt(v) : UInt(v); }

std::uint64_t magnitude64(std::int64_t v) noexcept { return v < 0 ? 0 - std::uint64_t(v) : std::uint64_t(v); }

// Binary gcd, on 64 bits whenever both values fit.
UInt gcdUnsigned(UInt a, UInt b) noexcept
{
    if ((a >> 64) == 0 && (b >> 64) == 0)
        return gcd64(std::uint64_t(a), std::uint64_t(b));
    if (a == 0)
        return b;
    if (b == 0)
        return a;
    const auto ctz = [](UInt v) {
        const std::uint64_t low = std::uint64_t(v);
        return low != 0 ? __builtin_ctzll(low) : 64 + __builtin_ctzll(std::uint64_t(v >> 64));
    };
    const int shift = ctz(a | b);
    a >>= ctz(a);
    do {
        b >>= ctz(b);
        if (a > b)
            std::swap(a, b);
        b -= a;
    } while (b != 0);
    return a << shift;
}

bool mul(Int a, Int b, Int& out) noexcept { return multiply(a, b, out); }

// a / b, on 64 bits whenever both fit (a 128-bit division is a slow call).
Int quotient(Int a, Int b) noexcept
{
    if (fits64(a) && fits64(b) && !(a == INT64_MIN && b == -1))
        return Int(std::int64_t(a) / std::int64_t(b));
    return a / b;
}
bool add(Int a, Int b, Int& out) noexcept { return !__builtin_add_overflow(a, b, &out); }

}  // namespace

Int gcdWide(Int a, Int b) noexcept { return Int(gcdUnsigned(magnitude(a), magnitude(b))); }

Int lcm(Int a, Int b) noexcept
{
    if (a <= 0 || b <= 0)
        return 0;
    Int out;
    return mul(a / gcd(a, b), b, out) ? out : 0;
}

Rational Rational::of(Int n, Int d) noexcept
{
    if (d > 0 && fits64(n) && d <= INT64_MAX)
        return of64(std::int64_t(n), std::int64_t(d));
    if (d == 0)
        return invalid();
    if (d < 0) {
        // The most negative value has no positive counterpart.
        if (n == (Int(1) << 127) || d == (Int(1) << 127))
            return invalid();
        n = -n;
        d = -d;
    }
    Rational r;
    const Int g = gcd(n, d);
    if (g == 1) {
        r.num_ = n;
        r.den_ = d;
    } else {
        r.num_ = quotient(n, g);
        r.den_ = quotient(d, g);
    }
    return r;
}

Rational Rational::timesWide(Int n) const noexcept
{
    if (!valid())
        return invalid();
    if (n == 0 || num_ == 0)
        return Rational();
    // A reduced p/q times n is reduced once q's common factor with n is taken out.
    const Int g = gcd(n, den_);
    Rational r;
    if (!mul(num_, g == 1 ? n : quotient(n, g), r.num_))
        return invalid();
    r.den_ = g == 1 ? den_ : quotient(den_, g);
    if (r.den_ < 0) {
        r.den_ = -r.den_;
        r.num_ = -r.num_;
    }
    return r;
}

Rational scaledWide(const Rational& value, Int m, Int d) noexcept
{
    Int n, dd;
    if (!value.valid() || !mul(value.num(), m, n) || !mul(value.den(), d, dd))
        return value * Rational::of(m, d);
    return Rational::of(n, dd);
}

bool Rational::smallDifference(const Rational& a, std::int64_t bn, std::int64_t bd, const Rational& c, std::int64_t d,
                               Rational& out) noexcept
{
    if (!a.small() || !c.small() || bd <= 0 || d <= 0 || d >= kSmall)
        return false;
    // In 64 bits while they hold: a - b, then + c, over the product of the
    // denominators.
    const auto an = std::int64_t(a.num_), ad = std::int64_t(a.den_);
    std::int64_t num, den, left, right;
    if (__builtin_mul_overflow(an, bd, &left) || __builtin_mul_overflow(bn, ad, &right) ||
        __builtin_sub_overflow(left, right, &num) || __builtin_mul_overflow(ad, bd, &den))
        return false;
    if (c.num_ != 0) {
        const auto cn = std::int64_t(c.num_), cd = std::int64_t(c.den_);
        if (__builtin_mul_overflow(num, cd, &left) || __builtin_mul_overflow(cn, den, &right) ||
            __builtin_add_overflow(left, right, &num) || __builtin_mul_overflow(den, cd, &den))
            return false;
    }
    if (__builtin_mul_overflow(den, d, &den))
        return false;
    if (den <= 0)
        return false;
    out = Rational::of64(num, den);
    return true;
}

Rational operator+(Rational a, Rational b) noexcept
{
    if (!a.valid() || !b.valid())
        return Rational::invalid();
    if (a.den_ == b.den_) {
        Int n;
        return add(a.num_, b.num_, n) ? Rational::of(n, a.den_) : Rational::invalid();
    }
    if (a.num_ == 0)
        return b;
    if (b.num_ == 0)
        return a;
    if (fits64(a.num_) && fits64(b.num_) && fits64(a.den_) && fits64(b.den_)) {
        // Products of 64-bit values cannot overflow 128 bits, nor can
        // their sum.
        const std::int64_t g = std::int64_t(gcd64(std::uint64_t(a.den_), std::uint64_t(b.den_)));
        const std::int64_t bd = std::int64_t(b.den_) / g;
        const Int n = a.num_ * bd + b.num_ * (std::int64_t(a.den_) / g);
        Rational r;
        if (g == 1) {
            // Coprime denominators of reduced fractions: the sum is reduced.
            r.num_ = n;
            r.den_ = a.den_ * bd;
            return r;
        }
        // Only a factor of g can be common to the sum and its denominator.
        const Int g2 = gcd(n, g);
        r.num_ = g2 == 1 ? n : quotient(n, g2);
        r.den_ = (g2 == 1 ? a.den_ : quotient(a.den_, g2)) * bd;
        if (r.num_ == 0)
            r.den_ = 1;
        return r;
    }
    const Int g = gcd(a.den_, b.den_);
    const Int bd = quotient(b.den_, g);
    Int left, right, n, d;
    if (!mul(a.num_, bd, left) || !mul(b.num_, quotient(a.den_, g), right) || !add(left, right, n) ||
        !mul(a.den_, bd, d))
        return Rational::invalid();
    return Rational::of(n, d);
}

Rational operator-(Rational a, Rational b) noexcept
{
    if (!b.valid() || b.num_ == (Int(1) << 127))
        return Rational::invalid();
    b.num_ = -b.num_;
    return a + b;
}

Rational operator*(Rational a, Rational b) noexcept
{
    if (!a.valid() || !b.valid())
        return Rational::invalid();
    if (a.num_ == 0 || b.num_ == 0)
        return Rational();
    if (fits64(a.num_) && fits64(b.num_) && fits64(a.den_) && fits64(b.den_)) {
        // Cross-reduced 64-bit factors: the products fit and are reduced.
        const std::int64_t g1 = std::int64_t(gcd64(magnitude64(std::int64_t(a.num_)), std::uint64_t(b.den_)));
        const std::int64_t g2 = std::int64_t(gcd64(magnitude64(std::int64_t(b.num_)), std::uint64_t(a.den_)));
        Rational r;
        r.num_ = Int(std::int64_t(a.num_) / g1) * (std::int64_t(b.num_) / g2);
        r.den_ = Int(std::int64_t(a.den_) / g2) * (std::int64_t(b.den_) / g1);
        return r;
    }
    // Cross-reduce first, so that reduced inputs stay small.
    const Int g1 = gcd(a.num_, b.den_);
    const Int g2 = gcd(b.num_, a.den_);
    Int n, d;
    if (!mul(g1 == 1 ? a.num_ : quotient(a.num_, g1), g2 == 1 ? b.num_ : quotient(b.num_, g2), n) ||
        !mul(g2 == 1 ? a.den_ : quotient(a.den_, g2), g1 == 1 ? b.den_ : quotient(b.den_, g1), d))
        return Rational::invalid();
    Rational r;
    r.num_ = n;
    r.den_ = d;
    if (n == 0)
        r.den_ = 1;
    return r;
}

Rational operator/(Rational a, Rational b) noexcept
{
    if (!b.valid() || b.num_ == 0)
        return Rational::invalid();
    Rational inverse;
    if (b.num_ < 0) {
        if (b.num_ == (Int(1) << 127))
            return Rational::invalid();
        inverse.num_ = -b.den_;
        inverse.den_ = -b.num_;
    } else {
        inverse.num_ = b.den_;
        inverse.den_ = b.num_;
    }
    return a * inverse;
}

bool operator<(Rational a, Rational b) noexcept
{
    if (!a.valid() || !b.valid())
        return false;
    // Compare a.n * b.d with b.n * a.d without overflow: fall back to
    // comparing the difference when the products do not fit.
    Int left, right;
    if (mul(a.num_, b.den_, left) && mul(b.num_, a.den_, right))
        return left < right;
    const Rational d = a - b;
    return d.valid() && d.num_ < 0;
}

void appendDecimal(Int value, std::string& out)
{
    char digits[41];
    if (fits64(value)) {
        const auto end = std::to_chars(digits, digits + sizeof digits, std::int64_t(value)).ptr;
        out.append(digits, std::size_t(end - digits));
        return;
    }
    const bool negative = value < 0;
    UInt v = magnitude(value);
    int n = 0;
    while (v != 0) {
        digits[n++] = char('0' + int(v % 10));
        v /= 10;
    }
    if (negative)
        out += '-';
    while (n > 0)
        out += digits[--n];
}

void Rational::appendText(std::string& out) const
{
    if (!valid())
        return;
    appendDecimal(num_, out);
    if (den_ != 1) {
        out += '/';
        appendDecimal(den_, out);
    }
}

std::string toDecimal(Int value)
{
    std::string s;
    appendDecimal(value, s);
    return s;
}

std::string Rational::text() const
{
    std::string s;
    appendText(s);
    return s;
}

}  // namespace qismar
