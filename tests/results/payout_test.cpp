// The amounts to pay, rounded to the currency's unit: worked cases and
// random ones, through the rounding alone and through the engine.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/division.h"
#include "engine/heirs.h"
#include "results/payout.h"

using namespace qismar;
using namespace qismar::results;

namespace {

Currency amount(std::int64_t raw) { return Currency::fromRaw(raw); }

std::int64_t sumOf(const std::vector<Payout>& payouts)
{
    std::int64_t s = 0;
    for (const Payout& p : payouts)
        s += p.total.raw();
    return s;
}

}  // namespace

TEST(Payout, UnitsAndRoundingToThem)
{
    EXPECT_EQ(payoutUnit(0), 10000);
    EXPECT_EQ(payoutUnit(1), 1000);
    EXPECT_EQ(payoutUnit(2), 100);
    EXPECT_EQ(payoutUnit(3), 10);
    EXPECT_EQ(payoutUnit(7), 100) << "a setting out of range reads as the default";
    EXPECT_EQ(roundToUnit(amount(6666666667), 100).raw(), 6666666700);  // 666,666.6667 -> 666,666.67
    EXPECT_EQ(roundToUnit(amount(50), 100).raw(), 100);                 // a half rounds up
    EXPECT_EQ(roundToUnit(amount(49), 100).raw(), 0);
    EXPECT_EQ(roundToUnit(amount(Currency::kMaxRaw), 10000).raw() % 10000, 0);
}

// Worked by hand, in ten-thousandths.
TEST(Payout, WorkedCases)
{
    struct Case {
        const char* what;
        std::vector<PayoutItem> items;
        std::int64_t target;
        int decimals;
        std::vector<std::int64_t> totals;
        std::vector<std::int64_t> perHead;
        std::vector<std::int64_t> more;
    };
    const Case cases[] = {
        // 5,000,000 among three sons: the engine gives each 1,666,666.6667,
        // 5,000,000.0001 together. Rounded down to 5,000,000.00 the class takes
        // the whole estate: 500,000,000 cents / 3 = 166,666,666 and 2 over, so
        // each gets 1,666,666.66 and two of them 0.01 more.
        {"three sons", {{amount(50000000001), 3}}, 50000000000, 2, {50000000000}, {16666666600}, {2}},
        // A net estate of 666,666.6667 (rounded: 666,666.67) to a wife (1/8:
        // 83,333.3333), a father (1/6: 111,111.1111) and a son (the rest:
        // 472,222.2223). Rounded down: 83,333.33 + 111,111.11 + 472,222.22 =
        // 666,666.66; the one cent left goes to the largest remainder, the
        // wife's 0.0033 (the father's is 0.0011, the son's 0.0023): the wife
        // gets 83,333.34.
        {"wife, father and son",
         {{amount(833333333), 1}, {amount(1111111111), 1}, {amount(4722222223), 1}},
         6666666667, 2, {833333400, 1111111100, 4722222200}, {833333400, 1111111100, 4722222200}, {0, 0, 0}},
        // 'Awl of 8 on 80,000 with no decimals: 30,000 / 10,000 / 40,000 (two
        // sisters, 20,000 each) divide evenly.
        {"awl, whole", {{amount(300000000), 1}, {amount(100000000), 1}, {amount(400000000), 2}}, 800000000, 0,
         {300000000, 100000000, 400000000}, {300000000, 100000000, 200000000}, {0, 0, 0}},
        // 100 among seven daughters (2/3: 66.6667) and an undistributed
        // 33.3333: rounded down 66.66 + 33.33 = 99.99, one cent to the larger
        // remainder (0.0067 against 0.0033): 66.67 = 6667 cents, 952 each and 3 over.
        {"seven daughters and a remainder", {{amount(666667), 7}, {amount(333333), 1}}, 1000000, 2,
         {666700, 333300}, {95200, 333300}, {3, 0}},
        // The engine's rows pass the estate by a ten-thousandth: 0.01 of 1
        // with three decimals among two classes of 0.0050 and 0.0051 rounds
        // to 0.005 + 0.005 (the unit is taken from the smaller remainder).
        {"rows beyond the estate", {{amount(50), 1}, {amount(51), 1}}, 100, 3, {50, 50}, {50, 50}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<Payout> p = roundPayouts(c.items, amount(c.target), c.decimals);
        ASSERT_EQ(p.size(), c.totals.size());
        for (std::size_t i = 0; i < p.size(); ++i) {
            EXPECT_EQ(p[i].total.raw(), c.totals[i]) << i;
            EXPECT_EQ(p[i].perHead.raw(), c.perHead[i]) << i;
            EXPECT_EQ(p[i].headsWithOneUnitMore, c.more[i]) << i;
        }
    }
}

TEST(Payout, RefusesWhatCannotBePaid)
{
    const PayoutItem negative[] = {{amount(-1), 1}};
    EXPECT_THROW(roundPayouts(negative, amount(0), 2), EngineError);
    const PayoutItem noHead[] = {{amount(100), 0}};
    EXPECT_THROW(roundPayouts(noHead, amount(100), 2), EngineError);
    EXPECT_TRUE(roundPayouts({}, amount(100), 2).empty());
}

namespace {

// What must hold of every rounding: the totals add up to the target rounded
// to the unit, each is a whole number of units within one unit of its exact
// amount (beyond what the exact items themselves stray from the target: the
// engine rounds each head's amount to a ten-thousandth), and each class's
// heads receive the total between them.
void checkPayouts(const std::vector<PayoutItem>& items, Currency target, int decimals, const std::string& what)
{
    std::int64_t exactSum = 0;
    for (const PayoutItem& item : items)
        exactSum += item.exact.raw();
    const std::int64_t stray = std::abs(exactSum - target.raw());
    const std::int64_t unit = payoutUnit(decimals);
    const std::vector<Payout> p = roundPayouts(items, target, decimals);
    ASSERT_EQ(p.size(), items.size()) << what;
    EXPECT_EQ(sumOf(p), roundToUnit(target, unit).raw()) << what;
    for (std::size_t i = 0; i < p.size(); ++i) {
        EXPECT_EQ(p[i].total.raw() % unit, 0) << what;
        EXPECT_GE(p[i].total.raw(), 0) << what;
        EXPECT_LT(std::abs(p[i].total.raw() - items[i].exact.raw()), unit + stray) << what << " item " << i;
        EXPECT_EQ(p[i].perHead.raw() % unit, 0) << what;
        EXPECT_GE(p[i].headsWithOneUnitMore, 0) << what;
        EXPECT_LT(p[i].headsWithOneUnitMore, items[i].heads) << what;
        EXPECT_EQ(__int128(p[i].perHead.raw()) * items[i].heads + __int128(p[i].headsWithOneUnitMore) * unit,
                  __int128(p[i].total.raw()))
            << what;
    }
}

}  // namespace

TEST(Payout, RandomItemsAddUpToTheirTargetAndStayWithinAUnit)
{
    std::mt19937_64 g(20261210);
    for (int round = 0; round < 20000; ++round) {
        const int decimals = int(g() % 4);
        std::vector<PayoutItem> items(1 + g() % 12);
        std::int64_t target = 0;
        for (PayoutItem& item : items) {
            const int scale = int(g() % 4);
            const std::int64_t bound = scale == 0 ? 100 : scale == 1 ? 1000000 : scale == 2 ? 10000000000LL
                                                                                              : 100000000000000LL;
            item.exact = amount(std::int64_t(g() % std::uint64_t(bound)));
            item.heads = 1 + std::int64_t(g() % (g() % 2 ? 7 : 1000));
            target += item.exact.raw();
        }
        checkPayouts(items, amount(target), decimals, "round " + std::to_string(round));
        // Here the items add up to the target: strictly within one unit.
        const std::vector<Payout> p = roundPayouts(items, amount(target), decimals);
        for (std::size_t i = 0; i < p.size(); ++i)
            ASSERT_LT(std::abs(p[i].total.raw() - items[i].exact.raw()), payoutUnit(decimals)) << round;
        if (HasFailure())
            return;
    }
}

// Random families through the engine: the class totals (each head's amount
// times the heads) and what the rows leave, against the estate divided.
TEST(Payout, RandomDivisionsPayTheWholeEstate)
{
    std::mt19937_64 g(91);
    int divided = 0;
    for (int round = 0; round < 4000; ++round) {
        EstateCase c;
        c.deceased = g() % 2 ? Deceased::Man : Deceased::Woman;
        const std::int64_t estates[] = {1 + std::int64_t(g() % 1000), 1 + std::int64_t(g() % 10000000),
                                        1 + std::int64_t(g() % 100000000000LL)};
        c.estate = Currency::fromRaw(estates[g() % 3] * 10000 + std::int64_t(g() % 10000));
        for (bool* flag : {&c.father, &c.mother, &c.spouse, &c.grandfather, &c.mothersMother, &c.fathersMother})
            *flag = g() % 100 < 30;
        c.wives = HeadCount(1 + std::int64_t(g() % 4));
        for (HeadCount* count : {&c.sons, &c.daughters, &c.sonsSons, &c.sonsDaughters, &c.fullBrothers,
                                 &c.fullSisters, &c.paternalBrothers, &c.paternalSisters, &c.uterineBrothers,
                                 &c.uterineSisters, &c.fullUncles})
            *count = HeadCount(g() % 100 < 25 ? 1 + std::int64_t(g() % 9) : 0);
        c.deriveEntryWindowState();
        DivisionResult r;
        try {
            r = Divide(c);
        } catch (const EngineError&) {
            continue;  // an estate too small for its heirs
        }
        if (r.outcome != Outcome::Divided)
            continue;
        ++divided;
        std::vector<PayoutItem> items;
        for (int i = 0; i < kHeirCount; ++i) {
            const RowText& row = r.rows[std::size_t(i)];
            if (row.isEmpty() || row.kind == RowText::Kind::NothingForHim || row.amount.isZero())
                continue;
            const HeadCount heads = HeadsOf(c, heirAt(i));
            items.push_back({Currency::fromRaw(row.amount.raw() * heads.persons()), heads.persons()});
        }
        if (r.undistributed)
            items.push_back({*r.undistributed, 1});
        const std::string what = "estate " + formatAmount(c.estate) + ", round " + std::to_string(round);
        for (int decimals = 0; decimals <= 3; ++decimals)
            checkPayouts(items, c.estate, decimals, what + ", decimals " + std::to_string(decimals));
        if (HasFailure())
            return;
    }
    EXPECT_GT(divided, 2000) << "most random families divide";
}
