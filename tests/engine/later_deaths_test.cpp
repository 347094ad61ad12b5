// Cases with later deaths: textbook problems worked by hand as tables, the
// refusals, and random cases checked against what must hold of every
// combined table.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "engine/later_deaths.h"
#include "engine/uncertain_heir.h"
#include "tests/engine/test_support.h"

namespace qismar {
namespace {
using testing::money;

using Fields = std::initializer_list<std::pair<const char*, int>>;

// A case from its fields as a case object names them (a box is ticked by 1).
EstateCase caseOf(Deceased deceased, const char* estate, Fields fields)
{
    EstateCase c;
    c.deceased = deceased;
    c.estate = money(estate);
    for (const auto& [name, value] : fields) {
        bool found = false;
        for (const HeirInfo& info : kHeirs)
            for (const CaseField& f : info.caseFields())
                if (f.json == name && !found) {
                    found = true;
                    if (f.isCount())
                        c.*f.count = HeadCount(value);
                    else
                        c.*f.flag = value != 0;
                }
        EXPECT_TRUE(found) << name;
    }
    c.deriveEntryWindowState();
    return c;
}

LaterDeath death(const char* heir, Fields own, std::vector<std::pair<std::string, std::string>> same = {},
                 int problem = 1)
{
    LaterDeath d;
    d.problem = problem;
    d.heir = heir;
    d.ownCase = caseOf(Deceased::Man, "0", own);
    d.same = std::move(same);
    return d;
}

constexpr Deceased kMan = Deceased::Man;
constexpr Deceased kWoman = Deceased::Woman;
using H = Heir;

struct Person {
    std::vector<ProblemRow> of;
    std::int64_t heads;
    std::uint64_t shares;
    const char* fraction;
    double amount;
};

struct Step {
    std::uint64_t deadShares, laterCorrection, gcd, earlierMultiplier, laterMultiplier, originBeforeReduction;
};

struct Textbook {
    const char* name;
    EstateCase first;
    std::vector<LaterDeath> later;
    std::vector<Step> steps;
    std::uint64_t origin;
    std::uint64_t reducedBy;
    std::vector<Person> persons;
};

// Worked by hand from the rule of the combined table: s the dead head's
// shares in the table so far, c2 his problem's correction, g = gcd(s, c2);
// the table so far times c2/g, his problem times s/g.
std::vector<Textbook> textbook()
{
    return {
        // A man leaves two sons and a daughter: 5 units, son 2, daughter 1,
        // 5000 = 2000, 2000, 1000. A son dies leaving two sons (his problem
        // 2, each 1); s = 2 = c2, g = 2: the combined origin is problem 1's
        // correction, 5: the other son 2, the daughter 1, each grandson 1.
        {"his problem divides into his shares",
         caseOf(kMan, "5000", {{"sons", 2}, {"daughters", 1}}),
         {death("sons", {{"sons", 2}})},
         {{2, 2, 2, 1, 1, 5}},
         5,
         1,
         {{{{1, H::Sons}}, 1, 2, "2/5", 2000},
          {{{1, H::Daughters}}, 1, 1, "1/5", 1000},
          {{{2, H::Sons}}, 2, 1, "1/5", 1000}}},
        // A man leaves his wife, a son and a daughter: wife 1/8, the rest 7
        // over 3 units: 24 = wife 3, son 14, daughter 7 (24000 = 3000,
        // 14000, 7000). The son dies leaving his wife 1/8, his mother (the
        // widow) 1/6 and three sons: 24 = 3, 4, 17 over 3 heads: x3, 72 =
        // wife 9, mother 12, each son 17. s = 14, c2 = 72, g = 2: x36 and x7,
        // origin 864: the widow 108 + 84 = 192, the daughter 252, his wife
        // 63, each grandson 119. 14000 = 1750, 2333.3333, 3305.5556 each.
        {"his problem shares a factor with his shares",
         caseOf(kMan, "24000", {{"spouse", 1}, {"sons", 1}, {"daughters", 1}}),
         {death("sons", {{"spouse", 1}, {"mother", 1}, {"sons", 3}}, {{"mother", "wives"}})},
         {{14, 72, 2, 36, 7, 864}},
         864,
         1,
         {{{{1, H::Wives}, {2, H::Mother}}, 1, 192, "2/9", 5333.3333},
          {{{1, H::Daughters}}, 1, 252, "7/24", 7000},
          {{{2, H::Wives}}, 1, 63, "7/96", 1750},
          {{{2, H::Sons}}, 3, 119, "119/864", 3305.5556}}},
        // A woman leaves her mother and three sons: mother 1/6, the rest 5
        // over 3: 18 = mother 3, each son 5 (129600 = 21600, 36000 each). A
        // son dies leaving his grandmother (her mother) 1/6 and his two full
        // brothers: 12 = grandmother 2, each brother 5. s = 5, c2 = 12, g =
        // 1: x12 and x5, origin 216: the mother 36 + 10 = 46, each brother
        // 60 + 25 = 85; 36000 = 6000, 15000 each.
        {"his problem shares no factor with his shares, his heirs persons of problem 1",
         caseOf(kWoman, "129600", {{"mother", 1}, {"sons", 3}}),
         {death("sons", {{"mothersMother", 1}, {"fullBrothers", 2}}, {{"mothersMother", "mother"}, {"fullBrothers", "sons"}})},
         {{5, 12, 1, 12, 5, 216}},
         216,
         1,
         {{{{1, H::Mother}, {2, H::MothersMother}}, 1, 46, "23/108", 27600},
          {{{1, H::Sons}, {2, H::FullBrothers}}, 2, 85, "85/216", 51000}}},
        // A man leaves his father, his mother and two sons: 6 = 1, 1, 2 each
        // (72000 = 12000, 12000, 24000 each). A son dies leaving his wife
        // 1/8, his grandfather (the father) 1/6, his grandmother (the
        // mother) 1/6 and a son: 24 = 3, 4, 4, 13. s = 2, c2 = 24, g = 2:
        // x12 and x1, origin 72: father 12 + 4 = 16, mother 16, the other
        // son 24, his wife 3, his son 13; 24000 = 3000, 4000, 4000, 13000.
        {"two persons in both problems",
         caseOf(kMan, "72000", {{"father", 1}, {"mother", 1}, {"sons", 2}}),
         {death("sons", {{"spouse", 1}, {"grandfather", 1}, {"fathersMother", 1}, {"sons", 1}},
                {{"grandfather", "father"}, {"fathersMother", "mother"}})},
         {{2, 24, 2, 12, 1, 72}},
         72,
         1,
         {{{{1, H::Father}, {2, H::Grandfather}}, 1, 16, "2/9", 16000},
          {{{1, H::Mother}, {2, H::FathersMother}}, 1, 16, "2/9", 16000},
          {{{1, H::Sons}}, 1, 24, "1/3", 24000},
          {{{2, H::Wives}}, 1, 3, "1/24", 3000},
          {{{2, H::Sons}}, 1, 13, "13/72", 13000}}},
        // The woman and her mother and three sons above; then a second son
        // dies leaving his grandmother 1/6 and his one full brother: 6 = 1,
        // 5. s = 85 in the combined table, c2 = 6, g = 1: x6 and x85, origin
        // 1296: the mother 276 + 85 = 361, the last son 510 + 425 = 935. He
        // received 51000: 8500 and 42500; so 36100 and 93500.
        {"a third death",
         caseOf(kWoman, "129600", {{"mother", 1}, {"sons", 3}}),
         {death("sons", {{"mothersMother", 1}, {"fullBrothers", 2}}, {{"mothersMother", "mother"}, {"fullBrothers", "sons"}}),
          death("sons", {{"mothersMother", 1}, {"fullBrothers", 1}}, {{"mothersMother", "mother"}, {"fullBrothers", "sons"}})},
         {{5, 12, 1, 12, 5, 216}, {85, 6, 1, 6, 85, 1296}},
         1296,
         1,
         {{{{1, H::Mother}, {2, H::MothersMother}, {3, H::MothersMother}}, 1, 361, "361/1296", 36100},
          {{{1, H::Sons}, {2, H::FullBrothers}, {3, H::FullBrothers}}, 1, 935, "935/1296", 93500}}},
        // The same third death named as a full brother of problem 2.
        {"a third death named in problem 2",
         caseOf(kWoman, "129600", {{"mother", 1}, {"sons", 3}}),
         {death("sons", {{"mothersMother", 1}, {"fullBrothers", 2}}, {{"mothersMother", "mother"}, {"fullBrothers", "sons"}}),
          death("fullBrothers", {{"mothersMother", 1}, {"fullBrothers", 1}},
                {{"mothersMother", "mothersMother"}, {"fullBrothers", "fullBrothers"}}, 2)},
         {{5, 12, 1, 12, 5, 216}, {85, 6, 1, 6, 85, 1296}},
         1296,
         1,
         {{{{1, H::Mother}, {2, H::MothersMother}, {3, H::MothersMother}}, 1, 361, "361/1296", 36100},
          {{{1, H::Sons}, {2, H::FullBrothers}, {3, H::FullBrothers}}, 1, 935, "935/1296", 93500}}},
        // A man leaves two sons and two daughters: 6 = 2, 2, 1, 1 (6000 =
        // 2000 each son, 1000 each daughter). A son dies leaving his brother
        // and his two sisters: 4 = 2, 1, 1. s = 2, c2 = 4, g = 2: x2 and x1,
        // origin 12: the brother 4 + 2 = 6, each sister 2 + 1 = 3; all
        // divide by 3: the combined table is reduced to 4 = 2, 1, 1.
        {"the combined table reduces",
         caseOf(kMan, "6000", {{"sons", 2}, {"daughters", 2}}),
         {death("sons", {{"fullBrothers", 1}, {"fullSisters", 2}}, {{"fullBrothers", "sons"}, {"fullSisters", "daughters"}})},
         {{2, 4, 2, 2, 1, 12}},
         4,
         3,
         {{{{1, H::Sons}, {2, H::FullBrothers}}, 1, 2, "1/2", 3000},
          {{{1, H::Daughters}, {2, H::FullSisters}}, 2, 1, "1/4", 1500}}},
    };
}

TEST(LaterDeaths, TextbookTables)
{
    for (const Textbook& t : textbook()) {
        SCOPED_TRACE(t.name);
        const SuccessiveDivision d = DivideSuccessive(t.first, t.later);
        ASSERT_FALSE(d.refusal) << d.refusal->english;
        ASSERT_EQ(d.problems.size(), t.later.size() + 1);
        ASSERT_EQ(d.steps.size(), t.steps.size());
        for (std::size_t i = 0; i < t.steps.size(); ++i) {
            const CombineStep& s = d.steps[i];
            const Step& e = t.steps[i];
            EXPECT_EQ(s.deadShares, e.deadShares) << "step " << i;
            EXPECT_EQ(s.laterCorrection, e.laterCorrection) << "step " << i;
            EXPECT_EQ(s.gcd, e.gcd) << "step " << i;
            EXPECT_EQ(s.earlierMultiplier, e.earlierMultiplier) << "step " << i;
            EXPECT_EQ(s.laterMultiplier, e.laterMultiplier) << "step " << i;
            EXPECT_EQ(s.originBeforeReduction, e.originBeforeReduction) << "step " << i;
        }
        EXPECT_EQ(d.origin, t.origin);
        EXPECT_EQ(d.reducedBy, t.reducedBy);
        ASSERT_EQ(d.persons.size(), t.persons.size());
        for (std::size_t i = 0; i < t.persons.size(); ++i) {
            const CombinedPersons& p = d.persons[i];
            const Person& e = t.persons[i];
            EXPECT_EQ(p.of, e.of) << "person " << i;
            EXPECT_EQ(p.heads, e.heads) << "person " << i;
            EXPECT_EQ(p.shares, e.shares) << "person " << i;
            EXPECT_EQ(p.fraction.text(), e.fraction) << "person " << i;
            EXPECT_NEAR(double(p.amount.raw()) / Currency::kScale, e.amount, 0.0003) << "person " << i;
        }
        bool saysReduced = false;
        for (const std::string& s : d.sentences)
            saysReduced |= s.find("اختُصرت") != std::string::npos;
        EXPECT_EQ(saysReduced, t.reducedBy > 1);
    }
}

// Each problem is the case that a later deceased leaves, divided as any
// case: his sex from his class, his estate what he received.
TEST(LaterDeaths, EachProblemIsTheDeadHeadsOwnCase)
{
    const Textbook t = textbook()[3];
    const SuccessiveDivision d = DivideSuccessive(t.first, t.later);
    ASSERT_FALSE(d.refusal);
    const SuccessiveProblem& p = d.problems[1];
    EXPECT_EQ(p.estateCase.deceased, Deceased::Man);
    EXPECT_EQ(p.estateCase.estate, money("24000"));
    EXPECT_EQ(p.ofProblem, 1);
    EXPECT_EQ(p.deadRow, Heir::Sons);
    EXPECT_EQ(p.estateFraction.text(), "1/3");
    EXPECT_EQ(p.result.rows[std::size_t(index(Heir::Wives))], RowText::of(money("3000")));

    // A daughter who dies is a woman: her husband takes a half.
    EstateCase first = caseOf(kMan, "3000", {{"daughters", 2}, {"fullUncles", 1}});
    const SuccessiveDivision w = DivideSuccessive(first, {death("daughters", {{"spouse", 1}, {"fullUnclesSons", 1}})});
    ASSERT_FALSE(w.refusal) << w.refusal->english;
    EXPECT_EQ(w.problems[1].estateCase.deceased, Deceased::Woman);
    EXPECT_EQ(w.problems[1].result.rows[std::size_t(index(Heir::Husband))], RowText::of(money("500")));
}

struct Refusal {
    const char* name;
    EstateCase first;
    std::vector<LaterDeath> later;
    int problem;
    const char* english;  // a part of the message
    const char* arabic;
};

TEST(LaterDeaths, Refusals)
{
    const EstateCase twoSons = caseOf(kMan, "6000", {{"sons", 2}});
    const EstateCase oneSon = caseOf(kMan, "6000", {{"sons", 1}});
    std::vector<LaterDeath> nine(kMaxProblems, death("sons", {{"sons", 1}}));
    const Refusal cases[] = {
        {"no heirs of his", twoSons, {death("sons", {})}, 2, "no heirs", "الابن المتوفى بعد المورث (المسألة الثانية)"},
        {"his estate too small for his heirs", caseOf(kMan, "0.05", {{"sons", 2}}), {death("sons", {{"sons", 5}})}, 2,
         "later deceased", "الابن المتوفى بعد المورث"},
        {"a class that is not in the problem", twoSons, {death("daughters", {{"sons", 1}})}, 2, "no head of this class is alive",
         "البنت المتوفاة بعد المورث"},
        {"a field that names no class", twoSons, {death("cousins", {{"sons", 1}})}, 2, "names no class", "المتوفى بعد المورث"},
        {"wives of a deceased woman", caseOf(kWoman, "6000", {{"spouse", 1}, {"sons", 1}}), {death("wives", {{"sons", 1}})}, 2,
         "names no class", ""},
        {"the only head already dead", oneSon, {death("sons", {{"sons", 1}}), death("sons", {{"sons", 1}})}, 3,
         "no head of this class is alive", "المسألة الثالثة"},
        {"more linked heads than are left alive", twoSons, {death("sons", {{"fullBrothers", 2}}, {{"fullBrothers", "sons"}})}, 2,
         "who have 1 left alive", "1"},
        {"a link between sexes", caseOf(kMan, "6000", {{"sons", 2}, {"daughters", 1}}),
         {death("sons", {{"fullSisters", 1}}, {{"fullSisters", "sons"}})}, 2, "differ in sex", ""},
        {"a link from a class he does not leave", twoSons, {death("sons", {{"sons", 1}}, {{"fullBrothers", "sons"}})}, 2,
         "not among his heirs", ""},
        {"a link to a class the problem does not hold", twoSons,
         {death("sons", {{"fullBrothers", 1}, {"mother", 1}}, {{"mother", "wives"}})}, 2, "not a class of problem 1", ""},
        {"a problem not yet made", twoSons, {death("sons", {{"sons", 1}}, {}, 2)}, 2, "earlier problem", ""},
        {"the dead head received nothing", caseOf(kMan, "6000", {{"sons", 1}, {"fullBrothers", 1}}),
         {death("fullBrothers", {{"sons", 1}})}, 2, "received nothing", "الأخ الشقيق المتوفى بعد المورث"},
        {"a spouse alone leaves a part undistributed", caseOf(kMan, "6000", {{"spouse", 1}, {"sons", 1}}),
         {death("sons", {{"spouse", 1}})}, 2, "undistributed", ""},
        {"more than eight problems", twoSons, nine, 9, "at most 8 problems", ""},
        {"no heirs in problem 1", caseOf(kMan, "6000", {}), {death("sons", {{"sons", 1}})}, 1, "no heirs", ""},
    };
    for (const Refusal& r : cases) {
        SCOPED_TRACE(r.name);
        const SuccessiveDivision d = DivideSuccessive(r.first, r.later);
        ASSERT_TRUE(d.refusal);
        EXPECT_EQ(d.refusal->problem, r.problem);
        EXPECT_NE(d.refusal->english.find(r.english), std::string::npos) << d.refusal->english;
        EXPECT_NE(d.refusal->arabic.find(r.arabic), std::string::npos) << d.refusal->arabic;
        EXPECT_TRUE(d.persons.empty());
    }
    const UncertainHeir unborn{UncertainKind::Unborn, KinLine::Child, Heir::Sons};
    const SuccessiveDivision u = DivideSuccessive(twoSons, {death("sons", {{"sons", 1}})}, &unborn);
    ASSERT_TRUE(u.refusal);
    EXPECT_NE(u.refusal->english.find("cannot have later deaths"), std::string::npos);
}

// Random cases with up to three later deaths, each of a head who received
// something, his own heirs random and some of them linked to persons of
// the earlier problem. Of every combined table: each head's fraction is the
// sum of his fractions through the problems; all fractions add up to 1;
// each amount is its fraction of the estate within the rounding of the
// problems; the amounts add up to the estate.
TEST(LaterDeaths, RandomCasesKeepEveryFraction)
{
    testing::Random g(2121);
    int divided = 0, withLinks = 0, withThreeProblems = 0;
    for (int round = 0; round < 2000; ++round) {
        const EstateCase first = testing::randomCase(g, Currency::fromWhole(1000 + g.upTo(9000000)), [&] {
            return g.chance(60) ? 0 : 1 + g.upTo(3);
        });
        std::vector<LaterDeath> later;
        // The rows a later death may name: a row that receives something in
        // some problem (most of the time).
        std::vector<std::pair<int, std::string>> names;
        const auto addNames = [&](int problem, EstateCase c) {
            c.estate = Currency::fromWhole(1000000);
            DivisionResult r;
            try {
                r = Divide(c);
            } catch (const EngineError&) {
                return;
            }
            for (const HeirInfo& info : kHeirs) {
                if (!RelativePresent(c, info.heir) ||
                    (r.rows[std::size_t(index(info.heir))].kind != RowText::Kind::Amount && !g.chance(10)))
                    continue;
                if (info.heir == Heir::UterineSiblings) {
                    if (c.uterineSisters.positive())
                        names.push_back({problem, "uterineSisters"});
                    if (c.uterineBrothers.positive())
                        names.push_back({problem, "uterineBrothers"});
                } else {
                    names.push_back({problem, std::string(info.heir == Heir::Husband ? "spouse" : info.fields[info.heir == Heir::Wives ? 1 : 0].json)});
                }
            }
        };
        addNames(1, first);
        const int deaths = 1 + int(g.upTo(2));
        std::vector<EstateCase> cases{first};
        for (int k = 0; k < deaths && !names.empty(); ++k) {
            const auto& [problem, heir] = names[std::size_t(g.upTo(std::int64_t(names.size()) - 1))];
            LaterDeath d;
            d.problem = problem;
            d.heir = heir;
            d.ownCase = testing::randomCase(g, Currency{}, [&] { return g.chance(70) ? 0 : 1 + g.upTo(2); });
            // Some of his heirs are persons of that problem: a class of his
            // linked to a class of the same field where both are present.
            const EstateCase& earlier = cases[std::size_t(problem - 1)];
            for (const char* f : {"mother", "father", "fullBrothers", "fullSisters", "sons", "daughters"})
                if (g.chance(30)) {
                    for (const CaseField& cf : kCountFields)
                        if (cf.json == f && (d.ownCase.*cf.count).positive() && (earlier.*cf.count).persons() > 1)
                            d.ownCase.*cf.count = HeadCount(1), d.same.push_back({f, f});
                }
            d.ownCase.deriveEntryWindowState();
            later.push_back(d);
            EstateCase own = d.ownCase;
            cases.push_back(own);
            addNames(int(cases.size()), own);
        }
        SuccessiveDivision d;
        try {
            d = DivideSuccessive(first, later);
        } catch (const EngineError&) {
            continue;  // problem 1 refused as a plain case is
        }
        if (d.refusal) {
            continue;
        }
        ++divided;
        withThreeProblems += d.problems.size() >= 3;
        bool linked = false;
        for (const CombinedPersons& p : d.persons)
            linked |= p.of.size() > 1;
        withLinks += linked;
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_EQ(d.problems.size(), later.size() + 1);
        Rational total;
        std::int64_t amounts = 0, tolerance = 0;
        for (const SuccessiveProblem& p : d.problems) {
            std::int64_t heads = 0;
            for (int i = 0; i < kHeirCount; ++i)
                if (p.result.rows[std::size_t(i)].kind == RowText::Kind::Amount)
                    heads += HeadsOf(p.estateCase, heirAt(i)).persons();
            tolerance += 50 + heads;
        }
        for (const CombinedPersons& person : d.persons) {
            ASSERT_GT(person.heads, 0);
            EXPECT_GE(person.amount.raw(), 0);
            Rational through;
            for (const ProblemRow& r : person.of) {
                const SuccessiveProblem& p = d.problems[std::size_t(r.problem - 1)];
                for (const HeirExplanation& h : p.explanation.heirs)
                    if (h.row == r.row)
                        through += p.estateFraction * h.fraction;
            }
            EXPECT_EQ(person.fraction, through);
            EXPECT_EQ(person.fraction, Rational::of(person.shares, d.origin));
            total += person.fraction.times(person.heads);
            amounts += person.amount.raw() * person.heads;
            const long double exact = (long double)first.estate.raw() * (long double)person.fraction.num() /
                                      (long double)person.fraction.den();
            EXPECT_LE(std::abs((long double)person.amount.raw() - exact), (long double)tolerance);
        }
        EXPECT_EQ(total, Rational(1));
        EXPECT_LE(std::abs(amounts - first.estate.raw()), tolerance);
    }
    // The mix reaches what it is meant to check.
    EXPECT_GT(divided, 600);
    EXPECT_GT(withLinks, 60);
    EXPECT_GT(withThreeProblems, 200);
}

}  // namespace
}  // namespace qismar
