#include <gtest/gtest.h>

#include "engine/result_rows.h"
#include "tests/engine/test_support.h"

using namespace qismar;
using qismar::testing::money;

namespace {

TEST(CurrencyRounding, NearestWithTiesToEven)
{
    struct Case {
        long double raw;
        std::int64_t expected;
    };
    const Case cases[] = {
        {2.5L, 2},       {3.5L, 4},     {-2.5L, -2},   {-3.5L, -4},      {0.5L, 0},
        {1.5L, 2},       {2.4999L, 2},  {2.5001L, 3},  {-0.4L, 0},       {1e18L + 0.5L, 1000000000000000000},
        {9223372036854775807.0L, INT64_MAX},           {-9223372036854775808.0L, INT64_MIN},
    };
    for (const Case& k : cases)
        EXPECT_EQ(roundToCurrency(k.raw).raw(), k.expected) << static_cast<double>(k.raw);
}

TEST(CurrencyRounding, RefusesWhatDoesNotFit)
{
    for (long double raw : {9223372036854775808.0L, -9223372036854775809.0L, 1e30L,
                            std::numeric_limits<long double>::infinity(),
                            std::numeric_limits<long double>::quiet_NaN()}) {
        try {
            roundToCurrency(raw);
            ADD_FAILURE() << "accepted " << static_cast<double>(raw);
        } catch (const EngineError& e) {
            EXPECT_EQ(e.code(), ErrorCode::OutOfRange);
        }
    }
}

TEST(CurrencyRounding, ExactIntegerOperationsReportOverflow)
{
    const Currency max = Currency::fromRaw(INT64_MAX);
    EXPECT_THROW(addExact(max, Currency::fromRaw(1)), EngineError);
    EXPECT_THROW(subtractExact(Currency::fromRaw(INT64_MIN), Currency::fromRaw(1)), EngineError);
    EXPECT_THROW(twice(Currency::fromRaw(INT64_MAX / 2 + 1)), EngineError);
    EXPECT_EQ(twice(money("0.3333")), money("0.6666"));
    EXPECT_THROW(Currency::fromWhole(Currency::kMaxWhole + 1), EngineError);
    EXPECT_EQ(Currency::fromWhole(Currency::kMaxWhole).raw(), 9223372036854770000);
}

TEST(AmountText, FormatsPlainDecimals)
{
    struct Case {
        std::int64_t raw;
        const char* text;
    };
    const Case cases[] = {
        {12505000, "1250.5"},
        {10000000, "1000"},
        {3333333, "333.3333"},
        {-1, "-0.0001"},
        {0, "0"},
        {10, "0.001"},
        {120000, "12"},
        {-150000, "-15"},
        {INT64_MAX, "922337203685477.5807"},
        {INT64_MIN, "-922337203685477.5808"},
        // Whole parts on either side of a new digit.
        {90000, "9"},
        {100000, "10"},
        {990000, "99"},
        {1000000, "100"},
        {9999999999, "999999.9999"},
        {10000000000, "1000000"},
        {-999999990000, "-99999999"},
        {1000000000000000000, "100000000000000"},
        // Decimals whose zeros fall inside or at the end.
        {100, "0.01"},
        {1010, "0.101"},
        {1001, "0.1001"},
        {5000, "0.5"},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(formatAmount(Currency::fromRaw(k.raw)), k.text);
        EXPECT_EQ(parseAmount(k.text).raw(), k.raw) << k.text;
    }
}

TEST(AmountText, RoundTripsEveryRawValueItMeets)
{
    // Every value written into a row must come back exactly.
    std::uint64_t x = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 20000; ++i) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        const auto raw = static_cast<std::int64_t>(x) >> (i % 60);
        const Currency c = Currency::fromRaw(raw);
        ASSERT_EQ(parseAmount(formatAmount(c)), c) << raw;
    }
}

TEST(AmountText, ParserRefusesAnythingElse)
{
    struct Case {
        const char* text;
        ErrorCode code;
    };
    const Case cases[] = {
        {"", ErrorCode::NotANumber},
        {"-", ErrorCode::NotANumber},
        {"1.", ErrorCode::NotANumber},
        {".5", ErrorCode::NotANumber},
        {"1.23456", ErrorCode::NotANumber},
        {"1,5", ErrorCode::NotANumber},
        {"1 000", ErrorCode::NotANumber},
        {" 1", ErrorCode::NotANumber},
        {"1e3", ErrorCode::NotANumber},
        {"+1", ErrorCode::NotANumber},
        {"12a", ErrorCode::NotANumber},
        {"\u0661\u0662", ErrorCode::NotANumber},  // Arabic-Indic digits are not read as amounts
        {"922337203685477.5808", ErrorCode::OutOfRange},
        {"-922337203685477.5809", ErrorCode::OutOfRange},
        {"99999999999999999999999", ErrorCode::OutOfRange},
    };
    for (const Case& k : cases) {
        try {
            parseAmount(k.text);
            ADD_FAILURE() << "accepted \"" << k.text << '"';
        } catch (const EngineError& e) {
            EXPECT_EQ(e.code(), k.code) << k.text;
        }
    }
    EXPECT_EQ(parseAmount("007").raw(), 70000);
    EXPECT_EQ(parseAmount("1.50").raw(), 15000);
}

TEST(AmountText, DigitsOnlyForTheEstate)
{
    EXPECT_EQ(parseDigits("28000").raw(), 280000000);
    EXPECT_EQ(parseDigits("0").raw(), 0);
    EXPECT_EQ(parseDigits("922337203685477").raw(), 9223372036854770000);
    for (const char* bad : {"", "-1", "1.5", "1 ", "x"})
        EXPECT_THROW(parseDigits(bad), EngineError) << bad;
    try {
        parseDigits("922337203685478");
        ADD_FAILURE();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), ErrorCode::OutOfRange);
    }
}

TEST(RowTexts, ReadBackAsTheRulesAndTotalsNeedThem)
{
    EXPECT_EQ(AmountOfRowText(""), Currency{});
    EXPECT_EQ(AmountOfRowText(kNothingForHim), Currency{});
    EXPECT_EQ(AmountOfRowText("1000"), money("1000"));
    EXPECT_EQ(AmountOfRowText("1000").raw(), 10000000);
    EXPECT_THROW(AmountOfRowText("abc"), EngineError);
    EXPECT_EQ(std::string(kNothingForHim), "لا شيئ له");

    EXPECT_EQ(RowText::parse("").kind, RowText::Kind::Empty);
    EXPECT_EQ(RowText::parse("لا شيئ له").kind, RowText::Kind::NothingForHim);
    EXPECT_EQ(RowText::parse("-0.0001"), RowText::of(Currency::fromRaw(-1)));
    EXPECT_EQ(RowText::of(money("0")).text(), "0");

    EXPECT_TRUE(CountIsNonZero("3"));
    EXPECT_TRUE(CountIsNonZero("007"));
    EXPECT_FALSE(CountIsNonZero("0"));
    EXPECT_FALSE(CountIsNonZero("000"));
    EXPECT_THROW(CountIsNonZero("0.5"), EngineError);
    EXPECT_THROW(CountIsNonZero("x"), EngineError);
}

TEST(RowTexts, TableFollowsTheResultsWindow)
{
    EXPECT_EQ(heirInfo(Heir::Husband).key, "n1");
    EXPECT_EQ(heirInfo(Heir::PaternalUnclesSons).key, "n22");
    EXPECT_EQ(heirInfo(Heir::PaternalUnclesSons).line, 22);
    EXPECT_EQ(heirInfo(Heir::MothersMothersMother).line, 24);
    EXPECT_EQ(heirInfo(Heir::SonsSonsSons).line, 28);
    EXPECT_EQ(heirInfo(Heir::Sons).rowCaption, "لكل ابن ");
    EXPECT_EQ(heirInfo(Heir::MothersMother).rowCaption, " الجدة أم الأم");
}

}  // namespace
