// Totals that may pass the range of one amount: rounded as amounts are,
// exact below 2^64, refused beyond it, and written as amounts are written.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/wide_amount.h"
#include "tests/engine/test_support.h"

using namespace qismar;
using namespace qismar::testing;

namespace {

constexpr long double kTwoTo63 = 9223372036854775808.0L;
constexpr long double kTwoTo64 = 18446744073709551616.0L;

TEST(WideAmount, RoundsAsAnAmountWhereverItFits)
{
    // Ties go to the even neighbour, as they do for an amount.
    for (long double raw : {0.0L, 0.5L, 1.5L, 2.5L, -0.5L, -2.5L, 123456.4999L, -7.5L, 9223372036854775806.5L,
                            9223372036854775807.0L, -9223372036854775808.0L}) {
        const WideAmount wide = WideAmount::rounded(raw);
        ASSERT_TRUE(wide.fitsAmount()) << double(raw);
        EXPECT_EQ(wide.amount(), roundToCurrency(raw)) << double(raw);
        EXPECT_EQ(wide.raw(), static_cast<long double>(roundToCurrency(raw).raw())) << double(raw);
    }
    // Random extended values across the range of an amount.
    Random g(17);
    for (int i = 0; i < 100000; ++i) {
        const long double raw = static_cast<long double>(static_cast<std::int64_t>(g.next() >> 1)) /
                                static_cast<long double>(1 + g.upTo(1000000)) * (g.chance(50) ? 1 : -1);
        ASSERT_EQ(WideAmount::rounded(raw).amount(), roundToCurrency(raw)) << double(raw);
    }
}

TEST(WideAmount, HoldsEveryWholeNumberBelowTwoTo64AndRefusesTheRest)
{
    const struct {
        long double raw;
        bool held;
        bool fitsAmount;
    } cases[] = {
        {kTwoTo63 - 1, true, true},
        {kTwoTo63, true, false},
        {-kTwoTo63, true, true},
        {-kTwoTo63 - 1, true, false},
        {kTwoTo64 - 1, true, false},
        {-(kTwoTo64 - 1), true, false},
        {kTwoTo64 - 0.5L, false, false},  // rounds to 2^64
        {kTwoTo64, false, false},
        {-kTwoTo64, false, false},
        {std::numeric_limits<long double>::infinity(), false, false},
        {std::numeric_limits<long double>::quiet_NaN(), false, false},
    };
    for (const auto& k : cases) {
        if (!k.held) {
            EXPECT_THROW(WideAmount::rounded(k.raw), EngineError) << double(k.raw);
            continue;
        }
        const WideAmount w = WideAmount::rounded(k.raw);
        EXPECT_EQ(w.raw(), k.raw) << double(k.raw);
        EXPECT_EQ(w.fitsAmount(), k.fitsAmount) << double(k.raw);
        if (k.fitsAmount)
            EXPECT_EQ(static_cast<long double>(w.amount().raw()), k.raw);
        else
            EXPECT_THROW(w.amount(), EngineError) << double(k.raw);
    }
}

TEST(WideAmount, AddsAndSubtractsExactlyUpToTwoTo64)
{
    const WideAmount largest = Currency::fromRaw(Currency::kMaxRaw);
    const WideAmount one = Currency::fromRaw(1);
    // Two of the largest amount: 2^64 - 2, then 2^64 - 1, then refused.
    const WideAmount twice = addExact(largest, largest);
    EXPECT_EQ(twice.raw(), kTwoTo64 - 2);
    EXPECT_EQ(addExact(twice, one).raw(), kTwoTo64 - 1);
    EXPECT_THROW(addExact(addExact(twice, one), one), EngineError);
    // Differences of totals beyond one amount are exact to the last unit.
    EXPECT_EQ(subtractExact(twice, largest), largest);
    EXPECT_EQ(subtractExact(addExact(twice, one), Currency::fromWhole(1)).raw(), kTwoTo64 - 10001);
    // Two of the lowest amount make -2^64, which is not held.
    const WideAmount lowest = Currency::fromRaw(Currency::kMinRaw);
    EXPECT_EQ(addExact(lowest, Currency::fromRaw(Currency::kMinRaw + 1)).raw(), -kTwoTo64 + 1);
    EXPECT_THROW(addExact(lowest, lowest), EngineError);
}

TEST(WideAmount, IsWrittenAsAnAmount)
{
    const struct {
        long double raw;
        const char* text;
    } cases[] = {
        {0, "0"},
        {120000, "12"},
        {-15, "-0.0015"},
        {9223372036854775807.0L, "922337203685477.5807"},
        {kTwoTo63, "922337203685477.5808"},
        {kTwoTo64 - 2, "1844674407370955.1614"},
        {kTwoTo64 - 1, "1844674407370955.1615"},
        {-(kTwoTo64 - 1), "-1844674407370955.1615"},
        {10000000000000000000.0L, "1000000000000000"},
        {10000000000000005000.0L, "1000000000000000.5"},
        {10000000000000000120.0L, "1000000000000000.012"},
    };
    for (const auto& k : cases)
        EXPECT_EQ(formatAmount(WideAmount::rounded(k.raw)), k.text) << double(k.raw);
}

}  // namespace
