// The explanation of divisions: textbook problems worked by hand as exact
// fractions, and properties that hold of the explanation of every random
// case.
#include <gtest/gtest.h>

#include <set>

#include "engine/explanation.h"
#include "engine/invariants.h"
#include "tests/engine/test_support.h"

using namespace qismar;
using namespace qismar::testing;

namespace {

struct ExpectedHeir {
    Heir row;
    const char* status;
    const char* share;     // "" for none
    const char* fraction;  // of the estate, per head
    long shares;           // per head in the corrected problem
    std::vector<Heir> excludedBy = {};
};

struct Problem {
    const char* name;
    void (*setup)(EstateCase&);
    long origin;
    long awl;   // 0 for none
    long radd;  // 0 for none
    long correction;
    std::vector<ExpectedHeir> heirs;  // every row of the result, in order
};

EstateCase makeCase(void (*setup)(EstateCase&))
{
    EstateCase c;
    c.estate = money("1000000");
    setup(c);
    c.deriveEntryWindowState();
    return c;
}

// Worked by hand from the shares of the law, not read from the program.
TEST(Explanation, TextbookProblems)
{
    const Problem problems[] = {
        {"'awl: husband, mother, two full sisters, 6 raised to 8",
         [](EstateCase& c) { c.deceased = Deceased::Woman, c.spouse = c.mother = true, c.fullSisters = heads(2); },
         6, 8, 0, 8,
         {{Heir::Husband, "fixed", "1/2", "3/8", 3}, {Heir::Mother, "fixed", "1/6", "1/8", 1}, {Heir::FullSisters, "fixed", "2/3", "1/4", 2}}},
        {"'awl: husband and two full sisters, 6 raised to 7",
         [](EstateCase& c) { c.deceased = Deceased::Woman, c.spouse = true, c.fullSisters = heads(2); }, 6, 7, 0, 7,
         {{Heir::Husband, "fixed", "1/2", "3/7", 3}, {Heir::FullSisters, "fixed", "2/3", "2/7", 2}}},
        {"'awl: wife, both parents, two daughters, 24 raised to 27",
         [](EstateCase& c) { c.spouse = c.father = c.mother = true, c.daughters = heads(2); }, 24, 27, 0, 27,
         {{Heir::Wives, "fixed", "1/8", "1/9", 3},
          {Heir::Father, "fixed", "1/6", "4/27", 4},
          {Heir::Mother, "fixed", "1/6", "4/27", 4},
          {Heir::Daughters, "fixed", "2/3", "8/27", 8}}},
        {"radd: mother and daughter, 6 returned to 4",
         [](EstateCase& c) { c.mother = true, c.daughters = heads(1); }, 6, 0, 4, 4,
         {{Heir::Mother, "fixed", "1/6", "1/4", 1}, {Heir::Daughters, "fixed", "1/2", "3/4", 3}}},
        {"radd: a daughter and a son's daughter, 6 returned to 4",
         [](EstateCase& c) { c.daughters = c.sonsDaughters = heads(1); }, 6, 0, 4, 4,
         {{Heir::Daughters, "fixed", "1/2", "3/4", 3}, {Heir::SonsDaughters, "fixed", "1/6", "1/4", 1}}},
        {"radd: full sister, paternal sister and mother, 6 returned to 5",
         [](EstateCase& c) { c.mother = true, c.fullSisters = c.paternalSisters = heads(1); }, 6, 0, 5, 5,
         {{Heir::Mother, "fixed", "1/6", "1/5", 1}, {Heir::FullSisters, "fixed", "1/2", "3/5", 3}, {Heir::PaternalSisters, "fixed", "1/6", "1/5", 1}}},
        {"radd beside a spouse: the wife keeps her eighth, the daughter takes the rest",
         [](EstateCase& c) { c.spouse = true, c.daughters = heads(1); }, 8, 0, 1, 8,
         {{Heir::Wives, "fixed", "1/8", "1/8", 1}, {Heir::Daughters, "fixed", "1/2", "7/8", 7}}},
        {"'umariyya with a wife: 4",
         [](EstateCase& c) { c.spouse = c.father = c.mother = true; }, 4, 0, 0, 4,
         {{Heir::Wives, "fixed", "1/4", "1/4", 1}, {Heir::Father, "residue", "", "1/2", 2}, {Heir::Mother, "umariyya", "1/4", "1/4", 1}}},
        {"'umariyya with the husband: 6",
         [](EstateCase& c) { c.deceased = Deceased::Woman, c.spouse = c.father = c.mother = true; }, 6, 0, 0, 6,
         {{Heir::Husband, "fixed", "1/2", "1/2", 3}, {Heir::Father, "residue", "", "1/3", 2}, {Heir::Mother, "umariyya", "1/6", "1/6", 1}}},
        {"the father's sixth and the residue beside a daughter",
         [](EstateCase& c) { c.father = c.mother = true, c.daughters = heads(1); },
         6, 0, 0, 6,
         {{Heir::Father, "fixed_and_residue", "1/6", "1/3", 2},
          {Heir::Mother, "fixed", "1/6", "1/6", 1},
          {Heir::Daughters, "fixed", "1/2", "1/2", 3}}},
        {"four wives and a son: 8 corrected to 32",
         [](EstateCase& c) { c.spouse = true, c.wives = heads(4), c.sons = heads(1); }, 8, 0, 0, 32,
         {{Heir::Wives, "fixed", "1/8", "1/32", 1}, {Heir::Sons, "residue", "", "7/8", 28}}},
        {"residuaries only: a son and two daughters",
         [](EstateCase& c) { c.sons = heads(1), c.daughters = heads(2); }, 4, 0, 0, 4,
         {{Heir::Sons, "residue", "", "1/2", 2}, {Heir::Daughters, "residue_with", "", "1/4", 1}}},
        {"the shared third: husband, mother, two uterine brothers, a full brother: 6 corrected to 18",
         [](EstateCase& c) {
             c.deceased = Deceased::Woman, c.spouse = c.mother = true, c.uterineBrothers = heads(2),
             c.fullBrothers = heads(1);
         },
         6, 0, 0, 18,
         {{Heir::Husband, "fixed", "1/2", "1/2", 9},
          {Heir::Mother, "fixed", "1/6", "1/6", 3},
          {Heir::FullBrothers, "shared_third", "1/3", "1/9", 2},
          {Heir::UterineSiblings, "shared_third", "1/3", "1/9", 2}}},
        {"the grandfather shares with two full brothers as a third brother",
         [](EstateCase& c) { c.grandfather = true, c.fullBrothers = heads(2); }, 3, 0, 0, 3,
         {{Heir::FullBrothers, "grandfather_sharing", "", "1/3", 1}, {Heir::Grandfather, "grandfather_sharing", "", "1/3", 1}}},
        {"the grandfather shares the residue beside a wife and a mother",
         [](EstateCase& c) { c.spouse = c.mother = c.grandfather = true, c.fullBrothers = heads(1); }, 12, 0, 0, 24,
         {{Heir::Wives, "fixed", "1/4", "1/4", 6},
          {Heir::Mother, "fixed", "1/3", "1/3", 8},
          {Heir::FullBrothers, "grandfather_sharing", "", "5/24", 5},
          {Heir::Grandfather, "grandfather_sharing", "", "5/24", 5}}},
        {"two near grandmothers share the sixth beside a son",
         [](EstateCase& c) { c.sons = heads(1), c.mothersMother = c.fathersMother = true; }, 6, 0, 0, 12,
         {{Heir::Sons, "residue", "", "5/6", 10}, {Heir::MothersMother, "fixed", "1/6", "1/12", 1}, {Heir::FathersMother, "fixed", "1/6", "1/12", 1}}},
        {"exclusions: the father excludes the grandfather and the brother, the son's son the brother too",
         [](EstateCase& c) { c.father = c.grandfather = true, c.sonsSons = c.fullBrothers = heads(1); }, 6, 0, 0, 6,
         {{Heir::Father, "fixed", "1/6", "1/6", 1},
          {Heir::SonsSons, "residue", "", "5/6", 5},
          {Heir::FullBrothers, "excluded", "", "0", 0, {Heir::Father, Heir::SonsSons}},
          {Heir::Grandfather, "excluded", "", "0", 0, {Heir::Father}}}},
        {"exclusions: two daughters exclude the son's daughter, the mother the grandmother",
         [](EstateCase& c) { c.daughters = heads(2), c.sonsDaughters = heads(1), c.mother = c.mothersMother = true; },
         6, 0, 5, 5,
         {{Heir::Mother, "fixed", "1/6", "1/5", 1},
          {Heir::Daughters, "fixed", "2/3", "2/5", 2},
          {Heir::SonsDaughters, "excluded", "", "0", 0, {Heir::Daughters}},
          {Heir::MothersMother, "excluded", "", "0", 0, {Heir::Mother}}}},
        {"the full sister beside a daughter takes the residue and excludes the uncle",
         [](EstateCase& c) { c.daughters = c.fullSisters = c.fullUncles = heads(1); }, 2, 0, 0, 2,
         {{Heir::Daughters, "fixed", "1/2", "1/2", 1},
          {Heir::FullSisters, "residue_beside", "", "1/2", 1},
          {Heir::FullUncles, "excluded", "", "0", 0, {Heir::FullSisters}}}},
    };
    for (const Problem& p : problems) {
        Explanation e;
        const DivisionResult r = DivideExplained(makeCase(p.setup), e);
        ASSERT_EQ(r.outcome, Outcome::Divided) << p.name;
        ASSERT_TRUE(e.exact) << p.name;
        EXPECT_EQ(e.origin, p.origin) << p.name;
        EXPECT_EQ(e.awl.value_or(0), p.awl) << p.name;
        EXPECT_EQ(e.radd.value_or(0), p.radd) << p.name;
        EXPECT_EQ(e.correction.value_or(0), p.correction) << p.name;
        EXPECT_FALSE(e.undistributed) << p.name;
        ASSERT_EQ(e.heirs.size(), p.heirs.size()) << p.name;
        for (std::size_t i = 0; i < p.heirs.size(); ++i) {
            const ExpectedHeir& want = p.heirs[i];
            const HeirExplanation& got = e.heirs[i];
            const std::string at = std::string(p.name) + ", " + std::string(heirInfo(want.row).key);
            EXPECT_EQ(got.row, want.row) << at;
            EXPECT_STREQ(statusKey(got.status), want.status) << at;
            EXPECT_EQ(got.share ? got.share->text() : "", want.share) << at;
            EXPECT_EQ(got.fraction.text(), want.fraction) << at;
            EXPECT_EQ(got.shares.value_or(-1), want.shares) << at;
            EXPECT_EQ(got.excludedBy, want.excludedBy) << at;
        }
    }
}

// ---- Properties of the explanation of every division -------------------------

EstateCase randomCase(Random& g, bool large)
{
    const std::int64_t estates[] = {1 + g.upTo(100), 1 + g.upTo(1000000), 1 + g.upTo(1000000000000), 24000};
    const Currency estate = Currency::fromWhole(estates[g.upTo(3)]);
    return qismar::testing::randomCase(g, estate, [&]() -> std::int64_t {
        return g.chance(25) ? 1 + g.upTo(large ? (g.chance(50) ? 1000 : kMaxCount - 1) : 4) : 0;
    });
}

TEST(Explanation, EveryRandomDivisionExplainsItself)
{
    Random g(11);
    int failures = 0;
    for (int i = 0; i < 200000 && failures < 10; ++i) {
        const EstateCase c = randomCase(g, i % 4 == 3);
        Explanation e;
        DivisionResult r;
        try {
            r = DivideExplained(c, e);
        } catch (const EngineError&) {
            continue;  // the refusals are checked with the amounts
        }
        if (r.outcome != Outcome::Divided)
            continue;
        // The explained division is the division.
        const DivisionResult plain = Divide(c);
        if (!(plain.rows == r.rows) || plain.problemBase != r.problemBase || plain.undistributed != r.undistributed) {
            ADD_FAILURE() << "explaining changed the division, case " << i;
            ++failures;
            continue;
        }
        if (const std::string broken = CheckExplanation(c, r, e); !broken.empty()) {
            ADD_FAILURE() << broken << " (case " << i << ", estate " << formatAmount(c.estate) << ")";
            ++failures;
        }
    }
}

}  // namespace
