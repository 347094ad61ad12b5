#include "engine/currency.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cmath>
#include <cstring>

namespace qismar {

const char* EngineError::what() const noexcept
{
    switch (code_) {
    case ErrorCode::NotANumber:
        return "not a number: amounts are plain decimals with at most four decimals, counts and the estate are whole numbers";
    case ErrorCode::NotAWholeNumber:
        return "a count holds a fraction where a whole number is needed";
    case ErrorCode::OutOfRange:
        return "a value is beyond the range of money amounts (at most 922337203685477.5807)";
    case ErrorCode::BaseBelowOne:
        return "the division cannot settle: the base of the problem would fall below 1";
    case ErrorCode::TooManyPasses:
        return "the division cannot settle: the base keeps moving without end";
    case ErrorCode::InvalidCount:
        return "a count or the estate is negative, or the number of wives is 0";
    case ErrorCode::CountTooLarge:
        return "a count is beyond the largest number of persons (1000000000)";
    case ErrorCode::EstateTooSmall:
        return "the estate is too small to divide among so many heirs (less than 0.01 for each person)";
    case ErrorCode::EstateTooLarge:
        return "the estate is too large to divide: it must be at most 922337203685477";
    }
    return "unknown error";
}

const char* EngineError::arabic() const noexcept
{
    switch (code_) {
    case ErrorCode::NotANumber:
        return "\u0627\u0644\u0642\u064A\u0645\u0629 \u0644\u064A\u0633\u062A \u0639\u062F\u062F\u0627\u064B "
               "\u0635\u062D\u064A\u062D\u0627\u064B";  // القيمة ليست عدداً صحيحاً
    case ErrorCode::NotAWholeNumber:
        return "\u0627\u0644\u0639\u062F\u062F \u064A\u062C\u0628 \u0623\u0646 \u064A\u0643\u0648\u0646 "
               "\u0639\u062F\u062F\u0627\u064B \u0635\u062D\u064A\u062D\u0627\u064B \u0628\u0644\u0627 "
               "\u0643\u0633\u0648\u0631";  // العدد يجب أن يكون عدداً صحيحاً بلا كسور
    case ErrorCode::OutOfRange:
        return "\u0627\u0644\u0642\u064A\u0645\u0629 \u0623\u0643\u0628\u0631 \u0645\u0646 \u0627\u0644\u062D\u062F "
               "\u0627\u0644\u0630\u064A \u064A\u0633\u0639\u0647 \u0627\u0644\u0628\u0631\u0646\u0627\u0645\u062C";
               // القيمة أكبر من الحد الذي يسعه البرنامج
    case ErrorCode::InvalidCount:
        return "\u0639\u062F\u062F \u0627\u0644\u0648\u0631\u062B\u0629 \u063A\u064A\u0631 "
               "\u0635\u0627\u0644\u062D";  // عدد الورثة غير صالح
    case ErrorCode::CountTooLarge:
        return "\u0627\u0644\u0639\u062F\u062F \u0623\u0643\u0628\u0631 \u0645\u0646 "
               "\u0623\u0644\u0641 \u0645\u0644\u064A\u0648\u0646 \u0634\u062E\u0635";
               // العدد أكبر من ألف مليون شخص
    case ErrorCode::EstateTooSmall:
        return "\u0627\u0644\u062A\u0631\u0643\u0629 \u0623\u0635\u063A\u0631 \u0645\u0646 "
               "\u0623\u0646 \u062A\u064F\u0642\u0633\u0645 \u0639\u0644\u0649 \u0647\u0630\u0627 "
               "\u0627\u0644\u0639\u062F\u062F \u0645\u0646 \u0627\u0644\u0648\u0631\u062B\u0629";
               // التركة أصغر من أن تُقسم على هذا العدد من الورثة
    case ErrorCode::EstateTooLarge:
        return "\u0627\u0644\u062A\u0631\u0643\u0629 \u0623\u0643\u0628\u0631 \u0645\u0646 "
               "\u0623\u0646 \u062A\u064F\u0642\u0633\u0645: \u0623\u0643\u0628\u0631 "
               "\u062A\u0631\u0643\u0629 \u062A\u064F\u0642\u0633\u0645 922337203685477";
               // التركة أكبر من أن تُقسم: أكبر تركة تُقسم 922337203685477
    case ErrorCode::BaseBelowOne:
    case ErrorCode::TooManyPasses:
        return "\u062A\u0639\u0630\u0631\u062A \u0642\u0633\u0645\u0629 \u0647\u0630\u0647 "
               "\u0627\u0644\u0645\u0633\u0623\u0644\u0629";  // تعذرت قسمة هذه المسألة
    }
    return "";
}

Currency Currency::fromWhole(std::int64_t units)
{
    if (units > kMaxWhole || units < -kMaxWhole)
        throw EngineError(ErrorCode::OutOfRange);
    return Currency(units * kScale);
}

std::int64_t Currency::whole() const
{
    if (raw_ % kScale != 0)
        throw EngineError(ErrorCode::NotAWholeNumber);
    return raw_ / kScale;
}

void throwEngineError(ErrorCode code)
{
    throw EngineError(code);
}

Currency addExact(Currency a, Currency b)
{
    std::int64_t r;
    if (__builtin_add_overflow(a.raw(), b.raw(), &r))
        throw EngineError(ErrorCode::OutOfRange);
    return Currency::fromRaw(r);
}

Currency subtractExact(Currency a, Currency b)
{
    std::int64_t r;
    if (__builtin_sub_overflow(a.raw(), b.raw(), &r))
        throw EngineError(ErrorCode::OutOfRange);
    return Currency::fromRaw(r);
}

Currency twice(Currency a)
{
    return addExact(a, a);
}

namespace {

// The digits of 0 to 99 in pairs, "00" to "99".
constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// What is kept of an amount's point and four decimals, by the pairs of
// decimals: the point and as far as the last pair that is not 00, without
// the zero that ends it. When the last pair is not 00 it sets the length
// (3 or 4 decimals), else the first pair does (0, 1 or 2 decimals, the
// point left out with none), so that the length is the larger of the two.
constexpr std::array<std::uint8_t, 100> kKeptByFirstPair = [] {
    std::array<std::uint8_t, 100> lengths{};
    for (int i = 1; i < 100; ++i)
        lengths[std::size_t(i)] = i % 10 != 0 ? 3 : 2;
    return lengths;
}();
constexpr std::array<std::uint8_t, 100> kKeptByLastPair = [] {
    std::array<std::uint8_t, 100> lengths{};
    for (int i = 1; i < 100; ++i)
        lengths[std::size_t(i)] = i % 10 != 0 ? 5 : 4;
    return lengths;
}();

// Four digits of 0 to 9999 at `at`, with the zeros before them.
void writeFour(char* at, unsigned value) noexcept
{
    const unsigned high = value / 100;
    std::memcpy(at, kPairs + 2 * high, 2);
    std::memcpy(at + 2, kPairs + 2 * (value - high * 100), 2);
}

// Eight digits of 0 to 99999999 at `at`, with the zeros before them.
void writeEight(char* at, std::uint32_t value) noexcept
{
    const std::uint32_t high = value / 10000;
    writeFour(at, high);
    writeFour(at + 4, value - high * 10000);
}

// The most digits of an amount's whole part: 922337203685477 has 15.
constexpr unsigned kWholeDigits = 16;

// The decimal digits of an amount's whole part at `at`; gives the place
// after them. One or two digits (every percentage below 100) are written
// at once as two bytes: a single digit is the second of its pair ("07"),
// copied with the byte after it, which what follows writes over. A longer
// number is written as its sixteen digits with the zeros before them, of
// which as many as it has are kept, its length found from its bit width:
// the same steps for every length, which varies from one amount to the next.
char* writeWhole(char* at, std::uint64_t value) noexcept
{
    if (value < 100) {
        const bool one = value < 10;
        std::memcpy(at, kPairs + 2 * value + one, 2);
        return at + 2 - one;
    }
    static constexpr auto kPowers = [] {
        std::array<std::uint64_t, 20> t{};  // 10 to the power of each index
        std::uint64_t power = 1;
        for (std::uint64_t& p : t) {
            p = power;
            power *= 10;  // past the last, wraps unused
        }
        return t;
    }();
    // 1233 / 4096 is about log10(2): the length is the estimate made from
    // the bit width, or one more.
    const unsigned estimate = (unsigned(std::bit_width(value)) * 1233) >> 12;
    const unsigned length = estimate + (value >= kPowers[estimate]);
    // The digits, then room that the copy of sixteen bytes below reads past
    // them without keeping it.
    char digits[2 * kWholeDigits] = {};
    const std::uint64_t high = value / 100000000;
    writeEight(digits, static_cast<std::uint32_t>(high));
    writeEight(digits + 8, static_cast<std::uint32_t>(value - high * 100000000));
    std::memcpy(at, digits + kWholeDigits - length, kWholeDigits);
    return at + length;
}

}  // namespace

std::size_t formatAmount(Currency value, char* out) noexcept
{
    const std::int64_t raw = value.raw();
    // Work on the magnitude as unsigned so that the most negative raw value
    // has a magnitude too.
    const std::uint64_t mag = raw < 0 ? 0 - static_cast<std::uint64_t>(raw) : static_cast<std::uint64_t>(raw);
    const std::uint64_t whole = mag / Currency::kScale;
    const auto frac = static_cast<unsigned>(mag - whole * Currency::kScale);

    char* at = out;
    if (raw < 0)
        *at++ = '-';
    at = writeWhole(at, whole);
    // The point and the four decimals by pairs, always written, then kept
    // without the zeros that end them: none at all (nor the point) for a
    // whole amount. Counted without a branch, as amounts with and without
    // decimals come mixed.
    const unsigned high = frac / 100, low = frac - high * 100;
    at[0] = '.';
    std::memcpy(at + 1, kPairs + 2 * high, 2);
    std::memcpy(at + 3, kPairs + 2 * low, 2);
    at += std::max(kKeptByFirstPair[high], kKeptByLastPair[low]);
    *at = '\0';
    return static_cast<std::size_t>(at - out);
}

std::string formatAmount(Currency value)
{
    char buf[kMaxAmountText];
    const std::size_t len = formatAmount(value, buf);
    return std::string(buf, len);
}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Accumulates a magnitude in raw units, refusing anything past `limit`.
bool accumulate(std::uint64_t& acc, unsigned digit, std::uint64_t limit)
{
    if (acc > (limit - digit) / 10)
        return false;
    acc = acc * 10 + digit;
    return true;
}

}  // namespace

Currency parseAmount(std::string_view text)
{
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        i = 1;
    const std::size_t intStart = i;
    while (i < text.size() && isDigit(text[i]))
        ++i;
    if (i == intStart)
        throw EngineError(ErrorCode::NotANumber);
    const std::size_t intEnd = i;
    std::size_t fracStart = i, fracEnd = i;
    if (i < text.size() && text[i] == '.') {
        fracStart = ++i;
        while (i < text.size() && isDigit(text[i]))
            ++i;
        fracEnd = i;
        if (fracEnd == fracStart || fracEnd - fracStart > 4)
            throw EngineError(ErrorCode::NotANumber);
    }
    if (i != text.size())
        throw EngineError(ErrorCode::NotANumber);

    // The most negative raw value has a magnitude one above the largest.
    const std::uint64_t limit = negative ? static_cast<std::uint64_t>(INT64_MAX) + 1 : INT64_MAX;
    std::uint64_t mag = 0;
    bool ok = true;
    for (std::size_t k = intStart; k < intEnd && ok; ++k)
        ok = accumulate(mag, static_cast<unsigned>(text[k] - '0'), limit);
    std::size_t fracDigits = fracEnd - fracStart;
    for (std::size_t k = 0; k < 4 && ok; ++k) {
        const unsigned d = k < fracDigits ? static_cast<unsigned>(text[fracStart + k] - '0') : 0;
        ok = accumulate(mag, d, limit);
    }
    if (!ok)
        throw EngineError(ErrorCode::OutOfRange);
    if (negative)
        return Currency::fromRaw(static_cast<std::int64_t>(0 - mag));
    return Currency::fromRaw(static_cast<std::int64_t>(mag));
}

Currency parseDigits(std::string_view text)
{
    if (text.empty())
        throw EngineError(ErrorCode::NotANumber);
    std::uint64_t whole = 0;
    bool ok = true;
    for (char c : text) {
        if (!isDigit(c))
            throw EngineError(ErrorCode::NotANumber);
        ok = ok && accumulate(whole, static_cast<unsigned>(c - '0'), Currency::kMaxWhole);
    }
    if (!ok)
        throw EngineError(ErrorCode::OutOfRange);
    return Currency::fromRaw(static_cast<std::int64_t>(whole) * Currency::kScale);
}

}  // namespace qismar
