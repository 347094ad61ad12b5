// Whole divisions: the driver's passes, its raise and return loops, and the
// worked examples that a user would check by hand.
#include <gtest/gtest.h>

#include <vector>

#include "engine/explanation.h"
#include "tests/engine/test_support.h"

using namespace qismar;
using namespace qismar::testing;

namespace {

// "key amount percent; ..." for every row that is not empty, in the order of
// the results window; a skipped percentage shows as "-".
std::string summary(const DivisionResult& r)
{
    std::string s;
    for (int i = 0; i < kHeirCount; ++i) {
        if (r.rows[i].isEmpty())
            continue;
        if (!s.empty())
            s += "; ";
        s += heirInfo(heirAt(i)).key;
        s += ' ';
        s += r.rows[i].text();
        s += ' ';
        if (r.percentages[i]) {
            s += '%';
            s += formatAmount(*r.percentages[i]);
        } else {
            s += '-';
        }
    }
    if (r.undistributed)
        s += "; undistributed " + formatAmount(*r.undistributed) + " %" + formatAmount(*r.undistributedPercent);
    return s;
}

EstateCase make(const char* estate, void (*setup)(EstateCase&))
{
    EstateCase c;
    c.estate = money(estate);
    setup(c);
    c.deriveEntryWindowState();
    return c;
}

struct Example {
    const char* name;
    const char* estate;
    void (*setup)(EstateCase&);
    long base;
    const char* rows;
};

void check(const Example& k)
{
    const DivisionResult r = Divide(make(k.estate, k.setup));
    EXPECT_EQ(r.outcome, Outcome::Divided) << k.name;
    EXPECT_EQ(r.problemBase, units(k.base)) << k.name;
    EXPECT_EQ(summary(r), k.rows) << k.name;
}

TEST(Divide, RaisesTheBaseWhenFixedSharesExceedTheEstate)
{
    const Example examples[] = {
        {"husband and two full sisters", "28000",
         [](EstateCase& c) { c.deceased = Deceased::Woman, c.spouse = true, c.fullSisters = heads(2); }, 28,
         "n1 12000 %42.8571; n10 8000 %28.5714"},
        {"husband, mother, two full sisters and two uterine brothers", "10000",
         [](EstateCase& c) {
             c.deceased = Deceased::Woman, c.spouse = c.mother = true, c.fullSisters = heads(2),
             c.uterineBrothers = heads(2);
         },
         40, "n1 3000 %30; n4 1000 %10; n10 2000 %20; n12 1000 %10"},
        {"wife, two daughters, both parents", "27000",
         [](EstateCase& c) { c.spouse = c.father = c.mother = true, c.daughters = heads(2); }, 27,
         "n2 3000 %11.1111; n3 4000 %14.8148; n4 4000 %14.8148; n6 8000 %29.6296"},
    };
    for (const Example& k : examples)
        check(k);
}

TEST(Divide, ReturnsTheSurplusByLoweringTheBase)
{
    const Example examples[] = {
        {"one wife and one daughter", "24000",
         [](EstateCase& c) { c.spouse = true, c.daughters = heads(1); }, 12, "n2 3000 %12.5; n6 21000 %87.5"},
        {"one daughter alone", "24000", [](EstateCase& c) { c.daughters = heads(1); }, 12, "n6 24000 %100"},
        {"three far grandmothers", "24000",
         [](EstateCase& c) { c.mothersMothersMother = c.fathersMothersMother = c.fathersFathersMother = true; }, 4,
         "n24 8000 %33.3333; n25 8000 %33.3333; n26 8000 %33.3333"},
        {"husband and mother", "24000",
         [](EstateCase& c) { c.deceased = Deceased::Woman, c.spouse = c.mother = true; }, 8,
         "n1 12000 %50; n4 12000 %50"},
        {"mother and a uterine sister", "600",
         [](EstateCase& c) { c.mother = true, c.uterineSisters = heads(1); }, 12, "n4 400 %66.6667; n12 200 %33.3333"},
    };
    for (const Example& k : examples)
        check(k);
}

TEST(Divide, SpousesParentsAndGrandmothers)
{
    const Example examples[] = {
        {"a son alone: one pass", "1000", [](EstateCase& c) { c.sons = heads(1); }, 24, "n5 1000 %100"},
        {"wife and both parents", "24000", [](EstateCase& c) { c.spouse = c.father = c.mother = true; }, 24,
         "n2 6000 %25; n3 12000 %50; n4 6000 %25"},
        {"husband and both parents", "24000",
         [](EstateCase& c) { c.deceased = Deceased::Woman, c.spouse = c.father = c.mother = true; }, 24,
         "n1 12000 %50; n3 8000 %33.3333; n4 4000 %16.6667"},
        {"three wives and a son", "24000", [](EstateCase& c) { c.spouse = true, c.wives = heads(3), c.sons = heads(1); },
         24, "n2 1000 %4.1667; n5 21000 %87.5"},
        {"mother with one full brother", "24000", [](EstateCase& c) { c.mother = true, c.fullBrothers = heads(1); },
         24, "n4 8000 %33.3333; n9 16000 %66.6667"},
        {"mother with two full brothers", "24000", [](EstateCase& c) { c.mother = true, c.fullBrothers = heads(2); },
         24, "n4 4000 %16.6667; n9 10000 %41.6667"},
        // Two uterine brothers reduce the mother to a sixth although the
        // father excludes them; the father takes the rest.
        {"wife, both parents and two uterine brothers", "24000",
         [](EstateCase& c) { c.spouse = c.father = c.mother = true, c.uterineBrothers = heads(2); }, 24,
         "n2 6000 %25; n3 14000 %58.3333; n4 4000 %16.6667; n12 لا شيئ له -"},
        {"both near grandmothers", "24000", [](EstateCase& c) { c.mothersMother = c.fathersMother = true; }, 4,
         "n13 12000 %50; n14 12000 %50"},
        {"near grandmothers and the father", "24000",
         [](EstateCase& c) { c.mothersMother = c.fathersMother = c.father = true; }, 24,
         "n3 20000 %83.3333; n13 4000 %16.6667; n14 لا شيئ له -"},
    };
    for (const Example& k : examples)
        check(k);
}

TEST(Divide, DescendantsAndSiblings)
{
    const Example examples[] = {
        {"one son, two daughters", "100", [](EstateCase& c) { c.sons = heads(1), c.daughters = heads(2); }, 24,
         "n5 50 %50; n6 25 %25"},
        {"wife, two sons, one daughter", "100",
         [](EstateCase& c) { c.spouse = true, c.sons = heads(2), c.daughters = heads(1); }, 24,
         "n2 12.5 %12.5; n5 35 %35; n6 17.5 %17.5"},
        {"estate 1: son and daughter", "1", [](EstateCase& c) { c.sons = heads(1), c.daughters = heads(1); }, 24,
         "n5 0.6666 %66.66; n6 0.3333 %33.33"},
        {"two daughters, a son's daughter and a son's son's son", "24",
         [](EstateCase& c) { c.daughters = heads(2), c.sonsDaughters = heads(1), c.sonsSonsSons = heads(1); }, 24,
         "n6 8 %33.3333; n8 2.6667 %11.1112; n28 5.3334 %22.2225"},
        {"a son's son's son and two of his sisters", "100",
         [](EstateCase& c) { c.sonsSonsSons = heads(1), c.sonsSonsDaughters = heads(2); }, 24,
         "n27 25 %25; n28 50 %50"},
        {"daughter and two full sisters", "100", [](EstateCase& c) { c.daughters = heads(1), c.fullSisters = heads(2); },
         24, "n6 50 %50; n10 25 %25"},
        {"daughter, two full sisters and the father", "100",
         [](EstateCase& c) { c.daughters = heads(1), c.fullSisters = heads(2), c.father = true; }, 24,
         "n3 50 %50; n6 50 %50; n10 لا شيئ له -"},
        {"daughter and a paternal sister", "100",
         [](EstateCase& c) { c.daughters = heads(1), c.paternalSisters = heads(1); }, 24, "n6 50 %50; n15 50 %50"},
        {"two full brothers and a full sister", "90",
         [](EstateCase& c) { c.fullBrothers = heads(2), c.fullSisters = heads(1); }, 24, "n9 36 %40; n10 18 %20"},
        {"daughter, full sister, paternal brother and sister", "100",
         [](EstateCase& c) {
             c.daughters = c.fullSisters = c.paternalBrothers = c.paternalSisters = heads(1);
         },
         24, "n6 50 %50; n10 50 %50; n15 لا شيئ له -; n16 لا شيئ له -"},
        {"husband, mother, two uterine brothers and a full brother", "24",
         [](EstateCase& c) {
             c.deceased = Deceased::Woman, c.spouse = c.mother = true, c.uterineBrothers = heads(2),
             c.fullBrothers = heads(1);
         },
         24, "n1 12 %50; n4 4 %16.6667; n9 2.6667 %11.1112; n12 2.6667 %11.1112"},
        {"father and a full brother", "100", [](EstateCase& c) { c.father = true, c.fullBrothers = heads(1); }, 24,
         "n3 100 %100; n9 لا شيئ له -"},
    };
    for (const Example& k : examples)
        check(k);
}

TEST(Divide, GrandfatherBesideSiblings)
{
    const Example examples[] = {
        {"grandfather and one full sister", "24", [](EstateCase& c) { c.grandfather = true, c.fullSisters = heads(1); },
         24, "n10 12 %50; n11 12 %50"},
        {"grandfather and two full brothers", "24",
         [](EstateCase& c) { c.grandfather = true, c.fullBrothers = heads(2); }, 24, "n9 8 %33.3333; n11 8 %33.3333"},
        {"wife, mother, grandfather and three full brothers", "24",
         [](EstateCase& c) { c.spouse = c.mother = c.grandfather = true, c.fullBrothers = heads(3); }, 24,
         "n2 6 %25; n4 4 %16.6667; n9 3.3334 %13.8892; n11 4 %16.6667"},
        {"grandfather, one full sister and one paternal brother", "24",
         [](EstateCase& c) { c.grandfather = true, c.fullSisters = c.paternalBrothers = heads(1); }, 24,
         "n10 12 %50; n11 6 %25; n16 6 %25"},
        {"grandfather, one full sister and one paternal sister", "24",
         [](EstateCase& c) { c.grandfather = true, c.fullSisters = c.paternalSisters = heads(1); }, 24,
         "n10 12 %50; n11 8 %33.3333; n15 4 %16.6667"},
        {"grandfather, mother and a daughter", "24",
         [](EstateCase& c) { c.grandfather = c.mother = true, c.daughters = heads(1); }, 24,
         "n4 4 %16.6667; n6 12 %50; n11 8 %33.3333"},
        // The full sister's half and the grandfather's sixth, counted once,
        // with the wife's quarter and the mother's sixth make 13 of 12 (26 of
        // 24): the problem rises by 'awl and the paternal brother, a
        // residuary, gets nothing. 27000 x 6 / 26 = 6230.769..., x 4 / 26 =
        // 4153.846..., x 12 / 26 = 12461.538...
        {"wife, mother, grandfather, one full sister and one paternal brother: 'awl to 13", "27000",
         [](EstateCase& c) { c.spouse = c.mother = c.grandfather = true, c.fullSisters = c.paternalBrothers = heads(1); },
         26, "n2 6230.7692 %23.0769; n4 4153.8462 %15.3846; n10 12461.5385 %46.1538; n11 4153.8462 %15.3846; n16 0 %0"},
        // Husband 1/2, sister 1/2, grandfather 1/6: 7 of 6, so 3/7, 3/7, 1/7.
        {"husband, grandfather, one full sister and one paternal brother: 'awl to 7", "7000",
         [](EstateCase& c) {
             c.deceased = Deceased::Woman, c.spouse = c.grandfather = true, c.fullSisters = c.paternalBrothers = heads(1);
         },
         28, "n1 3000 %42.8571; n10 3000 %42.8571; n11 1000 %14.2857; n16 0 %0"},
        // Beside the paternal sisters too: 6 + 4 + 12 + 4 = 26, no residue
        // for the paternal brother and sister. 13000 x 6 / 26 = 3000.
        {"wife, mother, grandfather, one full sister, a paternal brother and sister: 'awl to 13", "13000",
         [](EstateCase& c) {
             c.spouse = c.mother = c.grandfather = true, c.fullSisters = c.paternalBrothers = c.paternalSisters = heads(1);
         },
         26, "n2 3000 %23.0769; n4 2000 %15.3846; n10 6000 %46.1538; n11 2000 %15.3846; n15 0 %0; n16 0 %0"},
        // Beside lone sisters the grandfather takes the rest; he excludes the
        // uncle, who must not be paid that rest a second time.
        {"grandfather, one full sister and one full uncle", "24",
         [](EstateCase& c) { c.grandfather = true, c.fullSisters = c.fullUncles = heads(1); }, 24,
         "n10 12 %50; n11 12 %50; n19 لا شيئ له -"},
    };
    for (const Example& k : examples)
        check(k);
}

TEST(Divide, SoleResiduaryChain)
{
    const Example examples[] = {
        {"wife and three sons", "100", [](EstateCase& c) { c.spouse = true, c.sons = heads(3); }, 24,
         "n2 12.5 %12.5; n5 29.1667 %29.1667"},
        {"father, mother and a daughter", "60", [](EstateCase& c) { c.father = c.mother = true, c.daughters = heads(1); },
         24, "n3 20 %33.3333; n4 10 %16.6667; n6 30 %50"},
        {"full nephew and paternal uncle", "100",
         [](EstateCase& c) { c.fullBrothersSons = c.paternalUncles = heads(1); }, 24,
         "n17 100 %100; n20 لا شيئ له -"},
        {"daughter, full sister and full uncle", "100",
         [](EstateCase& c) { c.daughters = c.fullSisters = c.fullUncles = heads(1); }, 24,
         "n6 50 %50; n10 50 %50; n19 0 %0"},
        {"estate 3 and three sons", "3", [](EstateCase& c) { c.sons = heads(3); }, 24, "n5 1 %33.3333"},
    };
    for (const Example& k : examples)
        check(k);
}

// Cases that once gave a plainly wrong amount, a negative one, or lost part
// of the estate without a word.
TEST(Divide, SoundAmountsInEveryCase)
{
    const Example examples[] = {
        {"the son excludes the brother, not the grandfather's sixth", "24000",
         [](EstateCase& c) { c.grandfather = true, c.sons = c.fullBrothers = heads(1); }, 24,
         "n5 20000 %83.3333; n9 لا شيئ له -; n11 4000 %16.6667"},
        {"the great-grandson takes the females of his own degree with him", "24000",
         [](EstateCase& c) {
             c.daughters = heads(2), c.sonsDaughters = c.sonsSonsSons = c.sonsSonsDaughters = heads(1);
         },
         24, "n6 8000 %33.3333; n8 2000 %8.3333; n27 2000 %8.3333; n28 4000 %16.6667"},
        // Two thirds and a third round a hair above the estate: the uncles'
        // residue is nothing, not -0.0001.
        {"fixed shares a hair above the estate", "1000",
         [](EstateCase& c) {
             c.deceased = Deceased::Woman, c.paternalSisters = heads(4), c.uterineSisters = heads(2),
             c.fullUncles = heads(3);
         },
         24, "n12 166.6667 %16.6667; n15 166.6667 %16.6667; n19 0 %0"},
        // The sisters beside daughters no longer hide the raise of the base.
        {"husband, mother, three daughters, two paternal sisters", "33000000000",
         [](EstateCase& c) {
             c.deceased = Deceased::Woman, c.spouse = c.mother = true, c.daughters = heads(3),
             c.paternalSisters = heads(2);
         },
         26, "n1 7615384615.3846 %23.0769; n4 5076923076.9231 %15.3846; n6 6769230769.2308 %20.5128; n15 0 %0"},
        {"10 000 sons get 0.01 each of 100", "100", [](EstateCase& c) { c.sons = heads(10000); }, 24,
         "n5 0.01 %0.01"},
        {"a husband alone leaves the other half undistributed", "24000",
         [](EstateCase& c) { c.deceased = Deceased::Woman, c.spouse = true; }, 23,
         "n1 12000 %50; undistributed 12000 %50"},
        {"two wives alone", "100", [](EstateCase& c) { c.spouse = true, c.wives = heads(2); }, 23,
         "n2 12.5 %12.5; undistributed 75 %75"},
        {"the grandfather excludes his own mother", "24000",
         [](EstateCase& c) { c.grandfather = c.fathersFathersMother = true; }, 24,
         "n11 24000 %100; n26 لا شيئ له -"},
        {"beside the grandfather the mother's mother's mother keeps the whole sixth", "24000",
         [](EstateCase& c) { c.grandfather = c.fathersFathersMother = c.mothersMothersMother = true; }, 24,
         "n11 20000 %83.3333; n24 4000 %16.6667; n26 لا شيئ له -"},
        {"the shared third beside the father's mother", "36000",
         [](EstateCase& c) {
             c.deceased = Deceased::Woman, c.spouse = c.fathersMother = true, c.uterineBrothers = heads(2),
             c.fullBrothers = heads(1);
         },
         24, "n1 18000 %50; n9 4000 %11.1111; n12 4000 %11.1111; n14 6000 %16.6667"},
        {"a near grandmother excludes the far ones", "24000",
         [](EstateCase& c) { c.sons = heads(1), c.mothersMother = c.mothersMothersMother = true; }, 24,
         "n5 20000 %83.3333; n13 4000 %16.6667; n24 لا شيئ له -"},
        {"the father's mother beside the father excludes nobody", "24000",
         [](EstateCase& c) { c.sons = heads(1), c.father = c.fathersMother = c.mothersMothersMother = true; }, 24,
         "n3 4000 %16.6667; n5 16000 %66.6667; n14 لا شيئ له -; n24 4000 %16.6667"},
    };
    for (const Example& k : examples)
        check(k);
}

TEST(Divide, RefusesAnEstateTooSmallForItsHeirs)
{
    struct Case {
        const char* name;
        const char* estate;
        void (*setup)(EstateCase&);
    };
    const Case cases[] = {
        {"husband, two full sisters and a million cousins at 100", "100",
         [](EstateCase& c) {
             c.deceased = Deceased::Woman, c.spouse = true, c.fullSisters = heads(2),
             c.paternalUnclesSons = heads(1000000);
         }},
        {"a million sons at 50", "50", [](EstateCase& c) { c.sons = heads(1000000); }},
        {"wife, both parents and 29 122 daughters at 3", "3",
         [](EstateCase& c) { c.spouse = c.father = c.mother = true, c.daughters = heads(29122); }},
        {"one person below 0.01 would be 0: 10 001 sons at 100", "100", [](EstateCase& c) { c.sons = heads(10001); }},
    };
    for (const Case& k : cases) {
        try {
            Divide(make(k.estate, k.setup));
            ADD_FAILURE() << k.name << ": divided";
        } catch (const EngineError& e) {
            EXPECT_EQ(e.code(), ErrorCode::EstateTooSmall) << k.name << ": " << e.what();
        }
    }
}

TEST(Divide, RefusesAZeroEstateAndReportsACaseWithoutHeirs)
{
    const DivisionResult none = Divide(make("0", [](EstateCase& c) { c.father = true; }));
    EXPECT_EQ(none.outcome, Outcome::NoEstate);
    for (const RowText& row : none.rows)
        EXPECT_TRUE(row.isEmpty());
    for (const auto& p : none.percentages)
        EXPECT_FALSE(p);

    const DivisionResult empty = Divide(make("1000", [](EstateCase&) {}));
    EXPECT_EQ(empty.outcome, Outcome::NoHeirs);
    EXPECT_EQ(empty.problemBase, Currency::fromWhole(23));
    EXPECT_EQ(summary(empty), "");

    // A following division starts its spouses' deduction afresh.
    const DivisionResult next = Divide(make("24000", [](EstateCase& c) { c.spouse = true, c.daughters = heads(1); }));
    EXPECT_EQ(summary(next), "n2 3000 %12.5; n6 21000 %87.5");
}

TEST(Divide, NoResultDependsOnTheDivisionBeforeIt)
{
    // Each division, explained or not, gives what it gives when it runs
    // first: nothing of a division (the rows, the explanation's record kept
    // for the thread) reaches the next one.
    Random g(20261210);
    const auto random = [&g] {
        return randomCase(g, Currency::fromWhole(1 + g.upTo(1000000)),
                          [&g]() -> std::int64_t { return g.chance(30) ? 1 + g.upTo(4) : 0; });
    };
    std::vector<EstateCase> cases;
    for (int i = 0; i < 400; ++i)
        cases.push_back(random());
    const auto divide = [](const EstateCase& c, Explanation& e) {
        try {
            return DivideExplained(c, e);
        } catch (const EngineError&) {
            return DivisionResult{};
        }
    };
    std::vector<DivisionResult> first;
    std::vector<Explanation> firstExplained(cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        Explanation fresh;
        first.push_back(divide(cases[i], fresh));
        firstExplained[i] = fresh;
    }
    // The same cases again, in the reverse order, each right after another.
    Explanation reused;
    for (std::size_t k = cases.size(); k-- > 0;) {
        const DivisionResult again = divide(cases[k], reused);
        EXPECT_TRUE(again.rows == first[k].rows) << k;
        EXPECT_EQ(again.percentages, first[k].percentages) << k;
        EXPECT_EQ(again.undistributed, first[k].undistributed) << k;
        ASSERT_EQ(reused.heirs.size(), firstExplained[k].heirs.size()) << k;
        for (std::size_t h = 0; h < reused.heirs.size(); ++h) {
            EXPECT_EQ(reused.heirs[h].reason, firstExplained[k].heirs[h].reason) << k;
            EXPECT_TRUE(reused.heirs[h].fraction == firstExplained[k].heirs[h].fraction) << k;
        }
        EXPECT_EQ(reused.origin, firstExplained[k].origin) << k;
        EXPECT_EQ(reused.correction, firstExplained[k].correction) << k;
        // And the plain division agrees with the explained one.
        if (again.outcome == Outcome::Divided) {
            EXPECT_TRUE(Divide(cases[k]).rows == again.rows) << k;
        }
    }
}

// The exact side of a division as the explanation reads it, from a division
// that works out every pass: only the first and the settling pass of an
// explained division work theirs out, and their trace must be the same.
bool sameTrace(const detail::Trace& a, const detail::Trace& b)
{
    for (int i = 0; i < kHeirCount; ++i) {
        const detail::Source source = a.sources[i].source;
        if (!(a.rows[i] == b.rows[i]) || source != b.sources[i].source || a.sources[i].k != b.sources[i].k)
            return false;
        if ((source == detail::Source::FatherRest || source == detail::Source::GrandfatherRest) &&
            !(a.fixedPart[i] == b.fixedPart[i]))
            return false;
    }
    return a.rowsRecorded == b.rowsRecorded && a.estateValue == b.estateValue &&
           a.spousesSetAside == b.spousesSetAside && (!a.spousesSetAside || a.spousesTotal == b.spousesTotal) &&
           a.lastFullBase == b.lastFullBase;
}

TEST(Divide, TheTraceIsThatOfEveryPassWorkedOut)
{
    // Both traces are kept from case to case, as an explained division keeps
    // its own for the thread.
    detail::Trace kept, everyPass;
    const auto check = [&](const EstateCase& c, const std::string& name) {
        DivisionResult explained;
        try {
            explained = Divide(c, &kept);
        } catch (const EngineError&) {
            return;
        }
        DivisionResult result;
        detail::Division division(c, result.rows, result.percentages);
        division.trace = &everyPass;
        division.exactEveryPass = true;
        division.ProblemBase = units(24);
        result.outcome = division.run();
        EXPECT_TRUE(explained.rows == result.rows) << name;
        EXPECT_EQ(explained.problemBase, division.ProblemBase) << name;
        EXPECT_TRUE(sameTrace(kept, everyPass)) << name;
    };
    // Many sisters beside a paternal sister and siblings by the mother: the
    // passes that raise the base leave rows that the settling one does not
    // write again.
    check(make("12",
               [](EstateCase& c) {
                   c.deceased = Deceased::Woman, c.spouse = true, c.fullSisters = heads(126),
                   c.paternalBrothers = heads(3), c.paternalSisters = heads(1), c.uterineBrothers = heads(56);
               }),
          "husband and many siblings");
    check(make("24000",
               [](EstateCase& c) {
                   c.deceased = Deceased::Woman, c.mothersMother = true, c.fullSisters = heads(131),
                   c.paternalBrothers = heads(5), c.paternalSisters = heads(1), c.uterineSisters = heads(2);
               }),
          "grandmother and many siblings");
    // The base raised to 27 (an eighth, two thirds, two sixths), and
    // lowered to 16 (a sixth and a half returned).
    check(make("24000",
               [](EstateCase& c) {
                   c.deceased = Deceased::Man, c.spouse = true, c.daughters = heads(2), c.father = true,
                   c.mother = true;
               }),
          "the base raised");
    check(make("24000", [](EstateCase& c) { c.mother = true, c.daughters = heads(1); }), "the surplus returned");
    Random g(7);
    for (int i = 0; i < 50000 && !HasFailure(); ++i) {
        const std::int64_t estates[] = {1 + g.upTo(1000), 1 + g.upTo(1000000), 24000};
        check(randomCase(g, Currency::fromWhole(estates[g.upTo(2)]),
                         [&g]() -> std::int64_t { return g.chance(25) ? 1 + g.upTo(g.chance(10) ? 200 : 4) : 0; }),
              "random case " + std::to_string(i));
    }
}

TEST(Divide, LargeClassesSettleDespiteRoundingNoise)
{
    struct Case {
        const char* name;
        const char* estate;
        void (*setup)(EstateCase&);
        long base;
        const char* rows;
    };
    const Case cases[] = {
        {"husband and 178 full uncle's sons at 10^12", "1000000000000",
         [](EstateCase& c) { c.deceased = Deceased::Woman, c.spouse = true, c.fullUnclesSons = heads(178); }, 24,
         "n1 500000000000 %50; n21 2808988764.0449 %0.2809"},
        {"136 sons at 1000", "1000", [](EstateCase& c) { c.sons = heads(136); }, 24, "n5 7.3529 %0.7353"},
        {"115 paternal sisters at 12", "12", [](EstateCase& c) { c.paternalSisters = heads(115); }, 16,
         "n15 0.1043 %0.8692"},
    };
    for (const Case& k : cases) {
        const DivisionResult r = Divide(make(k.estate, k.setup));
        EXPECT_EQ(r.outcome, Outcome::Divided) << k.name;
        EXPECT_EQ(r.problemBase, units(k.base)) << k.name;
        EXPECT_EQ(summary(r), k.rows) << k.name;
    }
}

TEST(Divide, PersonsCountedForTheTolerance)
{
    EstateCase c;
    c.spouse = true, c.wives = heads(3), c.father = c.mother = c.grandfather = true;
    c.sons = heads(2), c.uterineSisters = heads(5), c.paternalUnclesSons = heads(7);
    c.mothersMother = c.fathersFathersMother = true;
    EXPECT_EQ(PersonsInCase(c), heads(3 + 3 + 2 + 5 + 7 + 2));
    c.deceased = Deceased::Woman;
    c.wives = heads(1);
    EXPECT_EQ(PersonsInCase(c), heads(1 + 3 + 2 + 5 + 7 + 2));
}

TEST(Divide, LargestEstateDividesWithoutWrapping)
{
    const DivisionResult r = Divide(make("922337203685477", [](EstateCase& c) { c.sons = c.daughters = heads(1); }));
    EXPECT_EQ(summary(r), "n5 614891469123651.3332 %66.6667; n6 307445734561825.6666 %33.3333");
}

// Up to the largest estate and a billion persons a count, every case
// divides: the fixed shares may claim up to 40 parts of 24 of the estate
// before the base is raised, and a billion heads each rounded up pass the
// estate, yet no total is refused. The amounts are the law's fractions of
// the estate, rounded once to 0.0001.
TEST(Divide, EveryCaseWithinTheRangeDivides)
{
    const Example examples[] = {
        // 40 parts of 24: from 6 to 10, claimed from 60% of the largest estate.
        {"husband, mother, two full and two uterine sisters at 553402322211287", "553402322211287",
         [](EstateCase& c) {
             c.deceased = Deceased::Woman, c.spouse = c.mother = true, c.fullSisters = heads(2),
             c.uterineSisters = heads(2);
         },
         40, "n1 166020696663386.1 %30; n4 55340232221128.7 %10; n10 110680464442257.4 %20; n12 55340232221128.7 %10"},
        {"the same at the largest estate", "922337203685477",
         [](EstateCase& c) {
             c.deceased = Deceased::Woman, c.spouse = c.mother = true, c.fullSisters = heads(2),
             c.uterineSisters = heads(2);
         },
         40, "n1 276701161105643.1 %30; n4 92233720368547.7 %10; n10 184467440737095.4 %20; n12 92233720368547.7 %10"},
        // From 6 to 8: the husband 3/8, the mother 1/8, each sister 2/8.
        {"husband, mother and two full sisters", "922337203685477",
         [](EstateCase& c) { c.deceased = Deceased::Woman, c.spouse = c.mother = true, c.fullSisters = heads(2); }, 32,
         "n1 345876451382053.875 %37.5; n4 115292150460684.625 %12.5; n10 230584300921369.25 %25"},
        // From 6 to 7: the husband 3/7, each sister 2/7.
        {"husband and two full sisters", "922337203685477",
         [](EstateCase& c) { c.deceased = Deceased::Woman, c.spouse = true, c.fullSisters = heads(2); }, 28,
         "n1 395287373008061.5714 %42.8571; n10 263524915338707.7143 %28.5714"},
        // From 24 to 27: the wife 3/27, each parent 4/27, each daughter 8/27.
        {"wife, both parents and two daughters", "922337203685477",
         [](EstateCase& c) { c.spouse = c.father = c.mother = true, c.daughters = heads(2); }, 27,
         "n2 102481911520608.5556 %11.1111; n3 136642548694144.7407 %14.8148; n4 136642548694144.7407 %14.8148; "
         "n6 273285097388289.4815 %29.6296"},
        // A thousand-millionth each, rounded up: the rows add up to more
        // than the largest amount.
        {"a billion sons at 922337203650001", "922337203650001", [](EstateCase& c) { c.sons = heads(1000000000); },
         24, "n5 922337.2037 %0"},
        // Three thousand million units of the residue: a daughter's unit
        // rounded up, a son twice that.
        {"a billion sons and a billion daughters at the largest estate", "922337203685477",
         [](EstateCase& c) { c.sons = c.daughters = heads(1000000000); }, 24, "n5 614891.4692 %0; n6 307445.7346 %0"},
    };
    for (const Example& k : examples)
        check(k);
}

TEST(Divide, ReportsWhatItCannotCompute)
{
    struct Case {
        const char* name;
        void (*setup)(EstateCase&);
        ErrorCode code;
    };
    const Case cases[] = {
        // The fraction of a unit above the largest estate that no whole
        // estate reaches: the rows of the mother, the grandfather and a
        // full sister pass the range of an amount.
        {"an estate above the largest",
         [](EstateCase& c) {
             c.estate = Currency::fromRaw(Currency::kMaxRaw), c.mother = c.grandfather = true,
             c.fullSisters = heads(1);
         },
         ErrorCode::EstateTooLarge},
        {"a negative count", [](EstateCase& c) { c.estate = money("100"), c.sons = heads(-1); },
         ErrorCode::InvalidCount},
        {"no wife counted", [](EstateCase& c) { c.estate = money("100"), c.spouse = true, c.wives = HeadCount{}; },
         ErrorCode::InvalidCount},
        // Counts beyond a thousand million persons would let the 2:1 unit
        // counts leave the money range.
        {"a count beyond the largest",
         [](EstateCase& c) { c.estate = money("1000"), c.sons = heads(461168601842738), c.daughters = heads(1); },
         ErrorCode::CountTooLarge},
    };
    for (const Case& k : cases) {
        EstateCase c;
        k.setup(c);
        try {
            Divide(c);
            ADD_FAILURE() << k.name << ": divided";
        } catch (const EngineError& e) {
            EXPECT_EQ(e.code(), k.code) << k.name << ": " << e.what();
        }
    }
}

}  // namespace
