// Divisions of many random cases, each checked against what must hold of
// every division: rows exactly for the present relatives, no negative
// amount, the estate accounted for, males not below the females they share
// with. Large classes, absurd counts and estates up to 10^12 and beyond are
// part of the mix, and one mix keeps to the top of the range: estates up to
// the largest, classes of up to a billion persons, costs and debts up to the
// largest amount. No case whose inputs are all in range is refused for range.
#include <gtest/gtest.h>

#include <cstdint>

#include "engine/invariants.h"
#include "engine/preparation.h"
#include "tests/engine/test_support.h"

using namespace qismar;
using namespace qismar::testing;

namespace {

// How large the classes and the estate of one case may be.
enum class Scale { Family, LargeClasses, Absurd, TopOfTheRange };

std::int64_t randomCount(Random& g, Scale scale)
{
    if (!g.chance(scale == Scale::Family ? 25 : 35))
        return 0;
    switch (scale) {
    case Scale::Family: return 1 + g.upTo(g.chance(80) ? 3 : 12);
    case Scale::LargeClasses: return 1 + g.upTo(g.chance(50) ? 300 : 100000);
    case Scale::Absurd: return 1 + g.upTo(g.chance(50) ? 1000 : kMaxCount - 1);
    case Scale::TopOfTheRange:
        // Small classes beside the largest: a billion, or a few short of it.
        switch (g.upTo(3)) {
        case 0: return 1 + g.upTo(3);
        case 1: return kMaxCount - g.upTo(2);
        default: return 1 + g.upTo(kMaxCount - 1);
        }
    }
    return 0;
}

std::int64_t randomEstate(Random& g, Scale scale)
{
    if (scale == Scale::TopOfTheRange) {
        // The largest estate, a little below it, or anywhere in its upper half.
        switch (g.upTo(2)) {
        case 0: return Currency::kMaxWhole;
        case 1: return Currency::kMaxWhole - g.upTo(1000000);
        default: return Currency::kMaxWhole / 2 + g.upTo(Currency::kMaxWhole / 2);
        }
    }
    switch (g.upTo(5)) {
    case 0: return 1 + g.upTo(100);
    case 1: return 1 + g.upTo(100000);
    case 2: return 1 + g.upTo(1000000000);
    case 3: return 1 + g.upTo(1000000000000);
    case 4: return scale == Scale::Absurd ? 1 + g.upTo(Currency::kMaxWhole - 1) : 24000;
    default: return 1 + g.upTo(g.chance(50) ? 1000 : 100000000);
    }
}

EstateCase randomCase(Random& g, Scale scale)
{
    const Currency estate = Currency::fromWhole(randomEstate(g, scale));
    return qismar::testing::randomCase(g, estate, [&] { return randomCount(g, scale); });
}

// A cost, a debt or a bequest: none, a part of the estate, or anything up to
// the largest amount.
Currency randomCharge(Random& g, Currency estate)
{
    switch (g.upTo(3)) {
    case 0: return Currency{};
    case 1: return Currency::fromWhole(g.upTo(estate.raw() / Currency::kScale));
    case 2: return Currency::fromWhole(g.upTo(Currency::kMaxWhole));
    default: return Currency::fromWhole(Currency::kMaxWhole);
    }
}

std::string describe(const EstateCase& c)
{
    std::string s = c.isMan() ? "man" : "woman";
    s += ", estate " + formatAmount(c.estate);
    const struct {
        const char* name;
        bool value;
    } flags[] = {{"father", c.father}, {"mother", c.mother}, {"spouse", c.spouse}, {"grandfather", c.grandfather},
                 {"mm", c.mothersMother}, {"fm", c.fathersMother}, {"mmm", c.mothersMothersMother},
                 {"fmm", c.fathersMothersMother}, {"ffm", c.fathersFathersMother}};
    for (const auto& f : flags)
        if (f.value)
            s += std::string(", ") + f.name;
    const struct {
        const char* name;
        HeadCount value;
    } counts[] = {{"wives", c.spouse && c.isMan() ? c.wives : HeadCount{}},
                  {"sons", c.sons}, {"daughters", c.daughters}, {"sonsSons", c.sonsSons},
                  {"sonsDaughters", c.sonsDaughters}, {"sonsSonsSons", c.sonsSonsSons},
                  {"sonsSonsDaughters", c.sonsSonsDaughters}, {"fullSisters", c.fullSisters},
                  {"fullBrothers", c.fullBrothers}, {"paternalBrothers", c.paternalBrothers},
                  {"paternalSisters", c.paternalSisters}, {"uterineSisters", c.uterineSisters},
                  {"uterineBrothers", c.uterineBrothers}, {"fullBrothersSons", c.fullBrothersSons},
                  {"paternalBrothersSons", c.paternalBrothersSons}, {"fullUncles", c.fullUncles},
                  {"paternalUncles", c.paternalUncles}, {"fullUnclesSons", c.fullUnclesSons},
                  {"paternalUnclesSons", c.paternalUnclesSons}};
    for (const auto& k : counts)
        if (!k.value.isZero())
            s += std::string(", ") + k.name + " " + std::to_string(k.value.persons());
    return s;
}

void runMix(Scale scale, std::uint64_t seed, int cases)
{
    Random g(seed);
    int failures = 0;
    for (int i = 0; i < cases && failures < 10; ++i) {
        const EstateCase c = randomCase(g, scale);
        const std::int64_t persons = PersonsInCase(c).persons();
        try {
            const DivisionResult r = Divide(c);
            if (r.outcome == Outcome::NoHeirs) {
                // Only a case without any relative is a case without heirs.
                if (persons != 0) {
                    ADD_FAILURE() << "no heirs reported for " << describe(c);
                    ++failures;
                }
                continue;
            }
            if (const std::string broken = CheckDivision(c, r); !broken.empty()) {
                ADD_FAILURE() << broken << " in " << describe(c);
                ++failures;
            }
        } catch (const EngineError& e) {
            // The one refusal a user can meet with every input in range: an
            // estate too small for its heirs. A range error, or a division
            // that does not settle, is a fault.
            const bool tooSmall = e.code() == ErrorCode::EstateTooSmall;
            if (!tooSmall) {
                ADD_FAILURE() << e.what() << " for " << describe(c);
                ++failures;
            }
            if (tooSmall && c.estate.raw() >= 100 * persons && persons > 1000) {
                // Accepted before the passes, refused after them: only when
                // rounding left every relative without anything.
                ADD_FAILURE() << "refused as too small after the passes: " << describe(c);
                ++failures;
            }
        }
    }
}

TEST(RandomCases, FamiliesHoldEveryProperty) { runMix(Scale::Family, 1, 200000); }

TEST(RandomCases, LargeClassesHoldEveryProperty) { runMix(Scale::LargeClasses, 2, 100000); }

TEST(RandomCases, AbsurdCountsAndEstatesHoldEveryProperty) { runMix(Scale::Absurd, 3, 100000); }

TEST(RandomCases, TheTopOfTheRangeHoldsEveryProperty) { runMix(Scale::TopOfTheRange, 4, 100000); }

// At the top of the range, explained: the explanation gives the same rows
// and holds its own properties, the exact fractions agreeing with amounts of
// up to the largest estate.
TEST(RandomCases, TheTopOfTheRangeIsExplained)
{
    Random g(5);
    int failures = 0;
    for (int i = 0; i < 20000 && failures < 10; ++i) {
        const EstateCase c = randomCase(g, Scale::TopOfTheRange);
        Explanation e;
        DivisionResult r;
        try {
            r = DivideExplained(c, e);
        } catch (const EngineError& error) {
            if (error.code() != ErrorCode::EstateTooSmall) {
                ADD_FAILURE() << error.what() << " for " << describe(c);
                ++failures;
            }
            continue;
        }
        if (r.outcome != Outcome::Divided)
            continue;
        std::string broken = CheckDivision(c, r);
        if (broken.empty() && !(Divide(c).rows == r.rows))
            broken = "explaining changed the rows";
        if (broken.empty())
            broken = CheckExplanation(c, r, e);
        if (!broken.empty()) {
            ADD_FAILURE() << broken << " in " << describe(c);
            ++failures;
        }
    }
}

// Costs, debts and bequests up to the largest amount each: whatever their
// sum, costs and debts that reach the estate consume it; otherwise the net
// estate is divided as if typed, and the gross estate is accounted for.
TEST(RandomCases, ChargesUpToTheLargestAmountPrepareTheEstate)
{
    Random g(6);
    int failures = 0;
    for (int i = 0; i < 50000 && failures < 10; ++i) {
        EstateCase c = randomCase(g, g.chance(50) ? Scale::TopOfTheRange : Scale::Family);
        c.funeral = randomCharge(g, c.estate);
        c.debts = randomCharge(g, c.estate);
        c.bequests = randomCharge(g, c.estate);
        c.heirsConsent = g.chance(50);
        if (!HasPreparation(c))
            continue;
        const auto fail = [&](const std::string& what) {
            ADD_FAILURE() << what << " for " << describe(c) << ", funeral " << formatAmount(c.funeral) << ", debts "
                          << formatAmount(c.debts) << ", bequests " << formatAmount(c.bequests);
            ++failures;
        };
        DivisionResult r;
        try {
            r = DivideEstate(c);
        } catch (const EngineError& e) {
            if (e.code() != ErrorCode::EstateTooSmall)
                fail(e.what());
            continue;
        }
        if (!r.preparation) {
            fail("no preparation");
            continue;
        }
        const PreparedEstate& p = *r.preparation;
        const __int128 charges = __int128(c.funeral.raw()) + c.debts.raw();
        if (p.consumedByDebts != (charges >= c.estate.raw())) {
            fail("consumed by the costs and debts, or not, against their sum");
            continue;
        }
        if (p.consumedByDebts) {
            // Below 2^64 the extended type holds the excess exactly.
            if (r.outcome != Outcome::Consumed ||
                p.debtsExceedBy.raw() != static_cast<long double>(charges - c.estate.raw()))
                fail("costs and debts beyond the estate, not consumed by their excess");
            continue;
        }
        // The gross estate is the costs, the debts, the bequests carried out
        // and the net estate, exactly.
        if (charges + p.bequestsCarriedOut.raw() + p.net.raw() != c.estate.raw() || p.net.raw() < 0) {
            fail("the gross estate not accounted for by the preparation");
            continue;
        }
        if (p.net.isZero()) {
            if (r.outcome != Outcome::Consumed)
                fail("nothing left, yet not consumed");
            continue;
        }
        EstateCase net = c;
        net.estate = p.net;
        if (r.outcome == Outcome::Divided) {
            if (const std::string broken = CheckDivision(net, r); !broken.empty())
                fail(broken);
        }
    }
}

}  // namespace
