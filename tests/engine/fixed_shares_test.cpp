// The fixed-share rules, one rule at a time on a prepared pass.
#include <functional>

#include <gtest/gtest.h>

#include "tests/engine/test_support.h"

using namespace qismar;
using namespace qismar::testing;
using detail::Division;

namespace {

// Sets up a case, runs the rules of one pass that a test names, and reads the
// rows back.
struct RuleCase {
    const char* name;
    std::function<void(EstateCase&)> setup;
    std::vector<void (Division::*)()> rules;
    std::vector<std::pair<Heir, const char*>> expected;  // "" means nothing written
};

void runTable(const std::vector<RuleCase>& table, const char* estate = "24", long base = 24)
{
    for (const RuleCase& k : table) {
        RuleBench b(estate, base);
        k.setup(b.c);
        b.c.deriveEntryWindowState();
        for (auto rule : k.rules)
            (b.d.*rule)();
        for (const auto& [row, text] : k.expected)
            EXPECT_EQ(b.row(row), text) << k.name << ", row " << heirInfo(row).key;
    }
}

TEST(SpouseRules, HalfQuarterEighth)
{
    runTable({
        {"husband, no descendants", [](EstateCase& c) { c.deceased = Deceased::Woman, c.spouse = true; },
         {&Division::HusbandRule, &Division::WivesRule}, {{Heir::Husband, "12"}, {Heir::Wives, ""}}},
        {"husband with a son", [](EstateCase& c) { c.deceased = Deceased::Woman, c.spouse = true, c.sons = heads(1); },
         {&Division::HusbandRule}, {{Heir::Husband, "6"}}},
        {"husband with a son's daughter",
         [](EstateCase& c) { c.deceased = Deceased::Woman, c.spouse = true, c.sonsDaughters = heads(1); },
         {&Division::HusbandRule}, {{Heir::Husband, "6"}}},
        {"one wife, no descendants", [](EstateCase& c) { c.spouse = true; },
         {&Division::HusbandRule, &Division::WivesRule}, {{Heir::Husband, ""}, {Heir::Wives, "6"}}},
        {"three wives with a daughter",
         [](EstateCase& c) { c.spouse = true, c.wives = heads(3), c.daughters = heads(1); },
         {&Division::WivesRule}, {{Heir::Wives, "1"}}},
        {"four wives, no descendants", [](EstateCase& c) { c.spouse = true, c.wives = heads(4); },
         {&Division::WivesRule}, {{Heir::Wives, "1.5"}}},
        {"spouse box unticked", [](EstateCase& c) { c.wives = heads(2); },
         {&Division::HusbandRule, &Division::WivesRule}, {{Heir::Husband, ""}, {Heir::Wives, ""}}},
    });
}

TEST(ParentRules, FatherMotherAndTheSpouseCase)
{
    runTable({
        {"father with a son", [](EstateCase& c) { c.father = true, c.sons = heads(1); },
         {&Division::FatherWithDescendantsRule}, {{Heir::Father, "4"}}},
        {"father alone: left to the residuary chain", [](EstateCase& c) { c.father = true; },
         {&Division::FatherWithDescendantsRule, &Division::MotherRule}, {{Heir::Father, ""}}},
        {"mother alone: a third", [](EstateCase& c) { c.mother = true; }, {&Division::MotherRule}, {{Heir::Mother, "8"}}},
        {"mother with a daughter: a sixth", [](EstateCase& c) { c.mother = true, c.daughters = heads(1); },
         {&Division::MotherRule}, {{Heir::Mother, "4"}}},
        {"mother with one sibling: a third", [](EstateCase& c) { c.mother = true, c.uterineBrothers = heads(1); },
         {&Division::MotherRule}, {{Heir::Mother, "8"}}},
        {"mother with two siblings: a sixth",
         [](EstateCase& c) { c.mother = true, c.fullSisters = heads(1), c.paternalBrothers = heads(1); },
         {&Division::MotherRule}, {{Heir::Mother, "4"}}},
        {"wife and both parents: a quarter to the mother, a half to the father",
         [](EstateCase& c) { c.mother = c.father = c.spouse = true; }, {&Division::MotherRule},
         {{Heir::Mother, "6"}, {Heir::Father, "12"}}},
        {"husband and both parents: a sixth and a third",
         [](EstateCase& c) { c.deceased = Deceased::Woman, c.mother = c.father = c.spouse = true; },
         {&Division::MotherRule}, {{Heir::Mother, "4"}, {Heir::Father, "8"}}},
        // Two siblings reduce the mother to a sixth although the father
        // excludes them; that sixth stands and the father is left to the
        // residuary chain.
        {"wife, both parents and two uterine brothers",
         [](EstateCase& c) { c.mother = c.father = c.spouse = true, c.uterineBrothers = heads(2); },
         {&Division::MotherRule}, {{Heir::Mother, "4"}, {Heir::Father, ""}}},
        {"parents and spouse beside a son: no replacement",
         [](EstateCase& c) { c.mother = c.father = c.spouse = true, c.sons = heads(1); },
         {&Division::FatherWithDescendantsRule, &Division::MotherRule}, {{Heir::Mother, "4"}, {Heir::Father, "4"}}},
    });
}

TEST(ParentRules, GrandfatherBesideDescendants)
{
    runTable({
        {"grandfather with a son", [](EstateCase& c) { c.grandfather = true, c.sons = heads(1); },
         {&Division::GrandfatherWithDescendantsRule}, {{Heir::Grandfather, "4"}}},
        {"the father excludes him", [](EstateCase& c) { c.grandfather = c.father = true, c.sons = heads(1); },
         {&Division::GrandfatherWithDescendantsRule}, {{Heir::Grandfather, ""}}},
        {"no descendants", [](EstateCase& c) { c.grandfather = true; },
         {&Division::GrandfatherWithDescendantsRule}, {{Heir::Grandfather, ""}}},
        // A male descendant excludes the siblings, so they do not stand in
        // the way of the grandfather's sixth.
        {"a son and a full brother", [](EstateCase& c) { c.grandfather = true, c.sons = c.fullBrothers = heads(1); },
         {&Division::GrandfatherWithDescendantsRule}, {{Heir::Grandfather, "4"}}},
        {"a great-grandson and paternal sisters",
         [](EstateCase& c) { c.grandfather = true, c.sonsSonsSons = heads(1), c.paternalSisters = heads(2); },
         {&Division::GrandfatherWithDescendantsRule}, {{Heir::Grandfather, "4"}}},
        // Beside female descendants only, he shares with the siblings instead.
        {"a daughter and a full brother",
         [](EstateCase& c) { c.grandfather = true, c.daughters = c.fullBrothers = heads(1); },
         {&Division::GrandfatherWithDescendantsRule}, {{Heir::Grandfather, ""}}},
        {"a uterine brother does not count",
         [](EstateCase& c) { c.grandfather = true, c.sons = c.uterineBrothers = heads(1); },
         {&Division::GrandfatherWithDescendantsRule}, {{Heir::Grandfather, "4"}}},
    });
}

TEST(GrandmotherRules, SixthSharedAndExclusions)
{
    const std::vector<void (Division::*)()> all = {
        &Division::MothersMotherRule, &Division::FathersMotherRule, &Division::MothersMothersMotherRule,
        &Division::FathersMothersMotherRule, &Division::FathersFathersMotherRule};
    runTable(
        {
            {"mother's mother alone", [](EstateCase& c) { c.mothersMother = true; }, all, {{Heir::MothersMother, "4"}}},
            {"both near grandmothers",
             [](EstateCase& c) { c.mothersMother = c.fathersMother = true; }, all, {{Heir::MothersMother, "2"}, {Heir::FathersMother, "2"}}},
            {"both near grandmothers with the father",
             [](EstateCase& c) { c.mothersMother = c.fathersMother = c.father = true; }, all,
             {{Heir::MothersMother, "4"}, {Heir::FathersMother, ""}}},
            {"the mother excludes them all",
             [](EstateCase& c) {
                 c.mother = c.mothersMother = c.fathersMother = c.mothersMothersMother = c.fathersMothersMother =
                     c.fathersFathersMother = true;
             },
             all, {{Heir::MothersMother, ""}, {Heir::FathersMother, ""}, {Heir::MothersMothersMother, ""}, {Heir::FathersMothersMother, ""}, {Heir::FathersFathersMother, ""}}},
            {"three far grandmothers: a third of the sixth each",
             [](EstateCase& c) { c.mothersMothersMother = c.fathersMothersMother = c.fathersFathersMother = true; },
             all, {{Heir::MothersMothersMother, "1.3333"}, {Heir::FathersMothersMother, "1.3333"}, {Heir::FathersFathersMother, "1.3333"}}},
            {"two far grandmothers on the mother's and the father's side",
             [](EstateCase& c) { c.mothersMothersMother = c.fathersFathersMother = true; }, all,
             {{Heir::MothersMothersMother, "2"}, {Heir::FathersFathersMother, "2"}}},
            {"two far grandmothers on the father's side",
             [](EstateCase& c) { c.fathersMothersMother = c.fathersFathersMother = true; }, all,
             {{Heir::FathersMothersMother, "2"}, {Heir::FathersFathersMother, "2"}}},
            {"the grandfather excludes his own mother", [](EstateCase& c) { c.grandfather = c.fathersFathersMother = true; },
             all, {{Heir::FathersFathersMother, ""}}},
            {"beside the grandfather the mother's side keeps the whole sixth",
             [](EstateCase& c) { c.grandfather = c.mothersMothersMother = c.fathersFathersMother = true; }, all,
             {{Heir::MothersMothersMother, "4"}, {Heir::FathersFathersMother, ""}}},
            {"the mother's mother excludes the far grandmothers",
             [](EstateCase& c) {
                 c.mothersMother = c.mothersMothersMother = c.fathersMothersMother = c.fathersFathersMother = true;
             },
             all, {{Heir::MothersMother, "4"}, {Heir::MothersMothersMother, ""}, {Heir::FathersMothersMother, ""}, {Heir::FathersFathersMother, ""}}},
            {"the father's mother excludes them too",
             [](EstateCase& c) { c.fathersMother = c.mothersMothersMother = c.fathersFathersMother = true; }, all,
             {{Heir::FathersMother, "4"}, {Heir::MothersMothersMother, ""}, {Heir::FathersFathersMother, ""}}},
            {"the father's mother beside the father excludes nobody",
             [](EstateCase& c) { c.father = c.fathersMother = c.mothersMothersMother = true; }, all,
             {{Heir::FathersMother, ""}, {Heir::MothersMothersMother, "4"}}},
            {"the father leaves only the mother's side",
             [](EstateCase& c) {
                 c.father = c.mothersMothersMother = c.fathersMothersMother = c.fathersFathersMother = true;
             },
             all, {{Heir::MothersMothersMother, "4"}, {Heir::FathersMothersMother, ""}, {Heir::FathersFathersMother, ""}}},
        },
        "24");
    // At 24000 the three far grandmothers take 1333.3333 each in the first pass.
    RuleBench b("24000");
    b.c.mothersMothersMother = b.c.fathersMothersMother = b.c.fathersFathersMother = true;
    for (auto rule : all)
        (b.d.*rule)();
    EXPECT_EQ(b.row(Heir::MothersMothersMother), "1333.3333");
    EXPECT_EQ(b.ledger().FathersMothersMotherShare, b.ledger().MothersMothersMotherShare);
    EXPECT_EQ(b.row(Heir::FathersFathersMother), "1333.3333");
}

TEST(FemaleAndUterineRules, HalfTwoThirdsAndTheCompletingSixth)
{
    runTable(
        {
            {"one daughter", [](EstateCase& c) { c.daughters = heads(1); }, {&Division::DaughtersRule},
             {{Heir::Daughters, "12000"}}},
            {"three daughters", [](EstateCase& c) { c.daughters = heads(3); }, {&Division::DaughtersRule},
             {{Heir::Daughters, "5333.3333"}}},
            {"daughters beside a son", [](EstateCase& c) { c.daughters = heads(2), c.sons = heads(1); },
             {&Division::DaughtersRule}, {{Heir::Daughters, ""}}},
            {"one daughter, two sons' daughters",
             [](EstateCase& c) { c.daughters = heads(1), c.sonsDaughters = heads(2); },
             {&Division::DaughtersRule, &Division::SonsDaughtersRule}, {{Heir::Daughters, "12000"}, {Heir::SonsDaughters, "2000"}}},
            {"two daughters exclude the son's daughter",
             [](EstateCase& c) { c.daughters = heads(2), c.sonsDaughters = heads(1); },
             {&Division::SonsDaughtersRule}, {{Heir::SonsDaughters, ""}}},
            {"two sons' daughters alone", [](EstateCase& c) { c.sonsDaughters = heads(2); },
             {&Division::SonsDaughtersRule}, {{Heir::SonsDaughters, "8000"}}},
            {"a son's son makes her residuary", [](EstateCase& c) { c.sonsDaughters = c.sonsSons = heads(1); },
             {&Division::SonsDaughtersRule}, {{Heir::SonsDaughters, ""}}},
            {"daughter, son's daughter, son's son's daughter",
             [](EstateCase& c) { c.daughters = c.sonsDaughters = c.sonsSonsDaughters = heads(1); },
             {&Division::DaughtersRule, &Division::SonsDaughtersRule, &Division::GreatGranddaughtersRule},
             {{Heir::SonsSonsDaughters, "0"}}},
            {"son's son's daughters alone", [](EstateCase& c) { c.sonsSonsDaughters = heads(2); },
             {&Division::GreatGranddaughtersRule}, {{Heir::SonsSonsDaughters, "8000"}}},
            {"son's son's daughter beside one daughter",
             [](EstateCase& c) { c.daughters = heads(1), c.sonsSonsDaughters = heads(2); },
             {&Division::GreatGranddaughtersRule}, {{Heir::SonsSonsDaughters, "2000"}}},
            {"son's son's daughter beside a son's son's son",
             [](EstateCase& c) { c.sonsSonsSons = c.sonsSonsDaughters = heads(1); },
             {&Division::GreatGranddaughtersRule}, {{Heir::SonsSonsDaughters, ""}}},
            {"one full sister", [](EstateCase& c) { c.fullSisters = heads(1); }, {&Division::FullSistersRule},
             {{Heir::FullSisters, "12000"}}},
            {"full sisters beside a full brother",
             [](EstateCase& c) { c.fullSisters = heads(2), c.fullBrothers = heads(1); },
             {&Division::FullSistersRule}, {{Heir::FullSisters, ""}}},
            {"full sister beside the grandfather", [](EstateCase& c) { c.fullSisters = heads(1), c.grandfather = true; },
             {&Division::FullSistersRule}, {{Heir::FullSisters, ""}}},
            {"one full sister, two paternal sisters",
             [](EstateCase& c) { c.fullSisters = heads(1), c.paternalSisters = heads(2); },
             {&Division::FullSistersRule, &Division::PaternalSistersRule}, {{Heir::FullSisters, "12000"}, {Heir::PaternalSisters, "2000"}}},
            {"two full sisters exclude the paternal sister",
             [](EstateCase& c) { c.fullSisters = heads(2), c.paternalSisters = heads(1); },
             {&Division::PaternalSistersRule}, {{Heir::PaternalSisters, ""}}},
            {"three paternal sisters", [](EstateCase& c) { c.paternalSisters = heads(3); },
             {&Division::PaternalSistersRule}, {{Heir::PaternalSisters, "5333.3333"}}},
            {"one uterine brother, one uterine sister",
             [](EstateCase& c) { c.uterineBrothers = c.uterineSisters = heads(1); }, {&Division::UterineSiblingsRule},
             {{Heir::UterineSiblings, "4000"}}},
            {"a single uterine sister", [](EstateCase& c) { c.uterineSisters = heads(1); },
             {&Division::UterineSiblingsRule}, {{Heir::UterineSiblings, "4000"}}},
            {"uterine siblings beside a daughter",
             [](EstateCase& c) { c.uterineSisters = heads(2), c.daughters = heads(1); },
             {&Division::UterineSiblingsRule}, {{Heir::UterineSiblings, ""}}},
        },
        "24000");
}

TEST(SumAssignedShares, AddsEveryFixedShareTimesItsHeads)
{
    RuleBench b;
    b.c.wives = heads(3);
    b.ledger().WifeShare = money("1");
    b.ledger().MotherShare = money("4");
    b.d.SumAssignedShares();
    EXPECT_EQ(b.ledger().FixedSharesTotal, money("7"));

    // Sons', brothers' and paternal brothers' amounts never count; every
    // class's amount counts once per head.
    RuleBench s("100");
    s.c.sons = heads(2), s.c.daughters = heads(3), s.c.uterineBrothers = heads(1), s.c.uterineSisters = heads(2);
    s.c.paternalSisters = heads(2), s.c.fullBrothers = heads(4), s.c.paternalBrothers = heads(5);
    s.ledger().SonShare = money("10");
    s.ledger().FullBrotherShare = money("10");
    s.ledger().PaternalBrotherShare = money("10");
    s.ledger().DaughterShare = money("5");
    s.ledger().UterineSiblingShare = money("0.3333");
    s.ledger().PaternalSisterShare = money("1.25");
    s.ledger().GrandfatherShare = money("0.0001");
    s.d.SumAssignedShares();
    EXPECT_EQ(s.ledger().FixedSharesTotal, money("18.5000"));  // 15 + 0.9999 + 2.5 + 0.0001
}

}  // namespace
