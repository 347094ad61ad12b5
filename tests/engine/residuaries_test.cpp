// The residuary rules, on a prepared pass: a case, EstateValue, the base and
// whatever the fixed-share rules left in the ledger.
#include <gtest/gtest.h>

#include "tests/engine/test_support.h"

using namespace qismar;
using namespace qismar::testing;

namespace {

TEST(DescendantResidue, TwoToOneWithTheRoundedFemaleShare)
{
    struct Case {
        const char* estate;
        const char* assigned;  // FixedSharesTotal before the rule
        long sons, daughters;
        const char* son;
        const char* daughter;
    };
    const Case cases[] = {
        {"100", "0", 1, 2, "50", "25"},
        {"100", "12.5", 2, 1, "35", "17.5"},
        {"10", "0", 1, 2, "5", "2.5"},
        // The male takes exactly twice the rounded female amount.
        {"1", "0", 1, 1, "0.6666", "0.3333"},
        // Residues of 2, 6 and 10 raw over four units: 0.5, 1.5 and 2.5 raw
        // a daughter, rounded to even.
        {"0.0002", "0", 1, 2, "0", "0"},
        {"0.0006", "0", 1, 2, "0.0004", "0.0002"},
        // Fixed shares a hair above the estate leave nothing, never a debt.
        {"24", "24.0003", 1, 1, "0", "0"},
        {"0.001", "0", 1, 2, "0.0004", "0.0002"},
    };
    for (const Case& k : cases) {
        RuleBench b(k.estate);
        b.c.sons = heads(k.sons);
        b.c.daughters = heads(k.daughters);
        b.ledger().FixedSharesTotal = money(k.assigned);
        b.d.ChildrenResidue();
        EXPECT_EQ(b.row(Heir::Sons), k.son) << k.estate << " " << k.assigned;
        EXPECT_EQ(b.row(Heir::Daughters), k.daughter) << k.estate << " " << k.assigned;
        EXPECT_EQ(b.ledger().ResidueShareCount, units(2 * k.sons + k.daughters));
    }
}

TEST(DescendantResidue, GrandchildrenAndGreatGrandchildren)
{
    // Two daughters hold two thirds; a son's daughter beside a son's son's
    // son shares the rest with him, and so do the females of his own degree:
    // each son's son's daughter takes what the son's daughter takes.
    RuleBench b("24");
    b.c.daughters = heads(2), b.c.sonsDaughters = heads(1), b.c.sonsSonsSons = heads(1),
    b.c.sonsSonsDaughters = heads(2);
    b.ledger().FixedSharesTotal = money("16");
    b.d.GrandchildrenResidue();
    EXPECT_EQ(b.ledger().ResidueShareCount, units(5));
    EXPECT_EQ(b.row(Heir::SonsDaughters), "1.6");
    EXPECT_EQ(b.row(Heir::SonsSonsDaughters), "1.6");
    EXPECT_EQ(b.ledger().GreatGranddaughterShare, money("1.6"));
    EXPECT_EQ(b.row(Heir::SonsSonsSons), "3.2");
    EXPECT_FALSE(b.d.GreatGrandsonFlag);
    // Without son's son's daughters their row stays empty.
    RuleBench alone("24");
    alone.c.daughters = heads(2), alone.c.sonsDaughters = heads(1), alone.c.sonsSonsSons = heads(1);
    alone.ledger().FixedSharesTotal = money("16");
    alone.d.GrandchildrenResidue();
    EXPECT_EQ(alone.row(Heir::SonsDaughters), "2.6667");
    EXPECT_EQ(alone.row(Heir::SonsSonsSons), "5.3334");
    EXPECT_EQ(alone.row(Heir::SonsSonsDaughters), "");

    // A son's daughter who holds a fixed share is not made residuary.
    RuleBench fixed("24");
    fixed.c.daughters = heads(1), fixed.c.sonsDaughters = heads(1), fixed.c.sonsSonsSons = heads(1);
    fixed.ledger().SonsDaughterShare = money("4");
    fixed.d.GrandchildrenResidue();
    EXPECT_EQ(fixed.row(Heir::SonsSonsSons), "");
    EXPECT_TRUE(fixed.d.GreatGrandsonFlag);

    RuleBench great("100");
    great.c.sonsSonsSons = heads(1), great.c.sonsSonsDaughters = heads(2);
    great.d.GreatGrandchildrenResidue();
    EXPECT_EQ(great.row(Heir::SonsSonsSons), "50");
    EXPECT_EQ(great.row(Heir::SonsSonsDaughters), "25");

    RuleBench sonsSons("90");
    sonsSons.c.sonsSons = heads(1), sonsSons.c.sonsDaughters = heads(1);
    sonsSons.d.GrandchildrenResidue();
    EXPECT_EQ(sonsSons.row(Heir::SonsSons), "60");
    EXPECT_EQ(sonsSons.row(Heir::SonsDaughters), "30");
}

TEST(SiblingResidue, SistersBesideDaughters)
{
    RuleBench b("100");
    b.c.daughters = heads(1), b.c.fullSisters = heads(2);
    b.ledger().FixedSharesTotal = money("50");
    b.d.FullSistersWithDaughters();
    EXPECT_EQ(b.row(Heir::FullSisters), "25");
    EXPECT_EQ(b.ledger().FixedSharesTotal, money("100"));

    RuleBench withFather("100");
    withFather.c.daughters = heads(1), withFather.c.fullSisters = heads(2), withFather.c.father = true;
    withFather.ledger().FixedSharesTotal = money("50");
    withFather.d.FullSistersWithDaughters();
    EXPECT_EQ(withFather.row(Heir::FullSisters), "");
    EXPECT_EQ(withFather.ledger().FixedSharesTotal, money("50"));

    RuleBench paternal("100");
    paternal.c.daughters = heads(1), paternal.c.paternalSisters = heads(1);
    paternal.ledger().FixedSharesTotal = money("50");
    paternal.d.PaternalSistersWithDaughters();
    EXPECT_EQ(paternal.row(Heir::PaternalSisters), "50");

    // Fixed shares beyond the estate are kept, so that the driver raises the
    // base; the sisters get nothing meanwhile.
    RuleBench beyond("24");
    beyond.c.daughters = heads(3), beyond.c.paternalSisters = heads(2);
    beyond.ledger().FixedSharesTotal = money("26");
    beyond.d.PaternalSistersWithDaughters();
    EXPECT_EQ(beyond.row(Heir::PaternalSisters), "0");
    EXPECT_EQ(beyond.ledger().FixedSharesTotal, money("26"));
    beyond.c.fullSisters = heads(2), beyond.c.paternalSisters = HeadCount{};
    beyond.d.FullSistersWithDaughters();
    EXPECT_EQ(beyond.row(Heir::FullSisters), "0");
    EXPECT_EQ(beyond.ledger().FixedSharesTotal, money("26"));

    // A sister beside a son's son's daughter only, and beside a son's son.
    RuleBench great("100");
    great.c.sonsSonsDaughters = heads(1), great.c.fullSisters = heads(1);
    great.ledger().FixedSharesTotal = money("50");
    great.d.FullSistersWithDaughters();
    EXPECT_EQ(great.row(Heir::FullSisters), "50");
    RuleBench sonsSon("100");
    sonsSon.c.sonsDaughters = heads(1), sonsSon.c.sonsSons = heads(1), sonsSon.c.fullSisters = heads(1);
    sonsSon.d.FullSistersWithDaughters();
    EXPECT_EQ(sonsSon.row(Heir::FullSisters), "");
}

TEST(SiblingResidue, BrothersWithTheirSisters)
{
    RuleBench full("90");
    full.c.fullBrothers = heads(2), full.c.fullSisters = heads(1);
    full.d.FullSiblingsResidue();
    EXPECT_EQ(full.row(Heir::FullSisters), "18");
    EXPECT_EQ(full.row(Heir::FullBrothers), "36");
    EXPECT_EQ(full.ledger().FixedSharesTotal, Currency{});

    RuleBench paternal("90");
    paternal.c.paternalBrothers = heads(1), paternal.c.paternalSisters = heads(1);
    paternal.d.PaternalSiblingsResidue();
    EXPECT_EQ(paternal.row(Heir::PaternalBrothers), "60");
    EXPECT_EQ(paternal.row(Heir::PaternalSisters), "30");

    // A full sister beside a daughter has the residue.
    RuleBench blocked("90");
    blocked.c.paternalBrothers = heads(1), blocked.c.paternalSisters = heads(1), blocked.c.fullSisters = heads(1),
    blocked.c.daughters = heads(1);
    blocked.d.PaternalSiblingsResidue();
    EXPECT_EQ(blocked.row(Heir::PaternalBrothers), "");

    RuleBench grandfather("90");
    grandfather.c.fullBrothers = heads(2), grandfather.c.fullSisters = heads(1), grandfather.c.grandfather = true;
    grandfather.d.FullSiblingsResidue();
    EXPECT_EQ(grandfather.row(Heir::FullBrothers), "");
}

TEST(SharedThird, UterineAndFullSiblingsShareByHead)
{
    struct Case {
        Deceased deceased;
        long uterineBrothers, fullBrothers, fullSisters;
        const char* share;  // "" when the rule does not apply
    };
    const Case cases[] = {
        {Deceased::Woman, 2, 1, 0, "2.6667"},
        {Deceased::Woman, 2, 1, 1, "2"},
        {Deceased::Woman, 1, 1, 0, ""},  // one uterine sibling
        {Deceased::Man, 2, 1, 0, ""},    // a wife, not a husband
        {Deceased::Woman, 2, 0, 1, ""},  // no full brother
    };
    for (const Case& k : cases) {
        RuleBench b("24");
        b.c.deceased = k.deceased;
        b.c.spouse = b.c.mother = true;
        b.c.uterineBrothers = heads(k.uterineBrothers), b.c.fullBrothers = heads(k.fullBrothers),
        b.c.fullSisters = heads(k.fullSisters);
        b.c.deriveEntryWindowState();
        b.d.SharedThird();
        EXPECT_EQ(b.row(Heir::UterineSiblings), k.share);
        EXPECT_EQ(b.row(Heir::FullBrothers), k.share);
        EXPECT_EQ(b.row(Heir::FullSisters), k.fullSisters ? k.share : "");
    }
}

TEST(GrandfatherWithSiblings, FixedSistersSharingAndTheSixthFloor)
{
    RuleBench sister("24");
    sister.c.grandfather = true, sister.c.fullSisters = heads(1);
    sister.d.GrandfatherWithFullSiblings();
    EXPECT_EQ(sister.row(Heir::FullSisters), "12");
    EXPECT_EQ(sister.row(Heir::Grandfather), "12");
    EXPECT_EQ(sister.ledger().FixedSharesTotal, money("12"));

    RuleBench brothers("24");
    brothers.c.grandfather = true, brothers.c.fullBrothers = heads(2);
    brothers.d.GrandfatherWithFullSiblings();
    EXPECT_EQ(brothers.ledger().ResidueShareCount, units(6));
    EXPECT_EQ(brothers.row(Heir::Grandfather), "8");
    EXPECT_EQ(brothers.row(Heir::FullBrothers), "8");

    // Wife 6 and mother 4 assigned: his share as a brother, 3.5, is below
    // the sixth; he takes 4 and the brothers share the rest.
    RuleBench floor("24");
    floor.c.grandfather = true, floor.c.fullBrothers = heads(3);
    floor.ledger().FixedSharesTotal = money("10");
    floor.d.GrandfatherWithFullSiblings();
    EXPECT_EQ(floor.row(Heir::Grandfather), "4");
    EXPECT_EQ(floor.ledger().FixedSharesTotal, money("14"));
    EXPECT_EQ(floor.row(Heir::FullBrothers), "3.3334");

    RuleBench daughter("24");
    daughter.c.grandfather = true, daughter.c.fullSisters = heads(1), daughter.c.daughters = heads(1);
    daughter.ledger().FixedSharesTotal = money("12");
    daughter.d.GrandfatherWithFullSiblings();
    EXPECT_EQ(daughter.ledger().ResidueShareCount, units(3));
    EXPECT_EQ(daughter.row(Heir::Grandfather), "8");  // 12 / 3 x 2 is 8: above the sixth
    EXPECT_EQ(daughter.row(Heir::FullSisters), "4");

    // One full sister takes a half, then the paternal sister the completing
    // sixth; he keeps the rest.
    RuleBench both("24");
    both.c.grandfather = true, both.c.fullSisters = heads(1), both.c.paternalSisters = heads(1);
    both.d.GrandfatherWithFullSiblings();
    both.d.GrandfatherWithPaternalSiblings();
    EXPECT_EQ(both.row(Heir::FullSisters), "12");
    EXPECT_EQ(both.row(Heir::PaternalSisters), "4");
    EXPECT_EQ(both.row(Heir::Grandfather), "8");
    EXPECT_EQ(both.ledger().FixedSharesTotal, money("16"));

    RuleBench paternalBrother("24");
    paternalBrother.c.grandfather = true, paternalBrother.c.fullSisters = heads(1),
    paternalBrother.c.paternalBrothers = heads(1);
    paternalBrother.d.GrandfatherWithFullSiblings();
    paternalBrother.d.GrandfatherWithPaternalSiblings();
    EXPECT_EQ(paternalBrother.ledger().ResidueShareCount, units(4));
    EXPECT_EQ(paternalBrother.row(Heir::FullSisters), "12");
    EXPECT_EQ(paternalBrother.row(Heir::Grandfather), "6");
    EXPECT_EQ(paternalBrother.row(Heir::PaternalBrothers), "6");

    // Wife 6 and mother 4 assigned: the full sister's half leaves him 2, so
    // the rule with full siblings raises him to 4 and counts it (26). The
    // rule with paternal siblings decides his share again from the 22 without
    // it: as a brother he would get 1, so he takes the sixth once (26 again)
    // and the paternal brother gets nothing.
    RuleBench counted("24");
    counted.c.grandfather = true, counted.c.fullSisters = counted.c.paternalBrothers = heads(1);
    counted.ledger().FixedSharesTotal = money("10");
    counted.d.GrandfatherWithFullSiblings();
    EXPECT_EQ(counted.ledger().FixedSharesTotal, money("26"));
    counted.d.GrandfatherWithPaternalSiblings();
    EXPECT_EQ(counted.ledger().FixedSharesTotal, money("26"));
    EXPECT_EQ(counted.row(Heir::Grandfather), "4");
    EXPECT_EQ(counted.row(Heir::PaternalBrothers), "0");
    // A floor reached by the paternal rule alone is added as before.
    RuleBench later("24");
    later.c.grandfather = true, later.c.fullSisters = later.c.paternalBrothers = heads(1);
    later.ledger().FixedSharesTotal = money("6");
    later.d.GrandfatherWithFullSiblings();  // 18 assigned, he keeps 6: no floor here
    later.d.GrandfatherWithPaternalSiblings();  // as a brother 3: the sixth, 22
    EXPECT_EQ(later.ledger().FixedSharesTotal, money("22"));
    EXPECT_EQ(later.row(Heir::Grandfather), "4");
    EXPECT_EQ(later.row(Heir::PaternalBrothers), "2");

    for (auto setup : {+[](EstateCase& c) { c.fullSisters = heads(2), c.paternalBrothers = heads(1); },
                       +[](EstateCase& c) {
                           c.fullSisters = heads(1), c.sonsDaughters = heads(1), c.paternalBrothers = heads(1);
                       }}) {
        RuleBench none("24");
        none.c.grandfather = true;
        setup(none.c);
        none.d.GrandfatherWithPaternalSiblings();
        EXPECT_EQ(none.row(Heir::PaternalBrothers), "");
        EXPECT_EQ(none.row(Heir::Grandfather), "");
    }
}

TEST(SoleResiduary, NearestMaleTakesTheResidue)
{
    struct Case {
        const char* name;
        const char* estate;
        void (*setup)(RuleBench&);
        Heir row;
        const char* text;
    };
    const Case cases[] = {
        {"three sons beside a wife's eighth", "100",
         [](RuleBench& b) { b.c.sons = heads(3), b.ledger().FixedSharesTotal = money("12.5"); }, Heir::Sons, "29.1667"},
        {"father: his sixth plus the residue", "60",
         [](RuleBench& b) {
             b.c.father = true, b.ledger().FatherShare = money("10"), b.ledger().FixedSharesTotal = money("50");
         },
         Heir::Father, "20"},
        {"grandfather: his sixth plus the residue", "24",
         [](RuleBench& b) {
             b.c.grandfather = true, b.ledger().GrandfatherShare = money("4"),
             b.ledger().FixedSharesTotal = money("20");
         },
         Heir::Grandfather, "8"},
        {"father: fixed shares beyond the estate leave him nothing, not a debt", "24",
         [](RuleBench& b) {
             b.c.father = true, b.ledger().FatherShare = money("4"), b.ledger().FixedSharesTotal = money("29");
         },
         Heir::Father, "0"},
        {"grandfather likewise", "24",
         [](RuleBench& b) {
             b.c.grandfather = true, b.ledger().GrandfatherShare = money("4"),
             b.ledger().FixedSharesTotal = money("28.5");
         },
         Heir::Grandfather, "0"},
        {"sons beside fixed shares a hair above the estate", "24",
         [](RuleBench& b) { b.c.sons = heads(7), b.ledger().FixedSharesTotal = money("24.0004"); }, Heir::Sons, "0"},
        {"two full brothers", "60", [](RuleBench& b) { b.c.fullBrothers = heads(2); }, Heir::FullBrothers, "30"},
        {"the grandfather keeps the full brothers out of this chain", "60",
         [](RuleBench& b) { b.c.fullBrothers = heads(2), b.c.grandfather = true; }, Heir::FullBrothers, ""},
        {"paternal brother", "60", [](RuleBench& b) { b.c.paternalBrothers = heads(3); }, Heir::PaternalBrothers, "20"},
        {"full nephew before a paternal uncle", "60",
         [](RuleBench& b) { b.c.fullBrothersSons = heads(1), b.c.paternalUncles = heads(1); }, Heir::FullBrothersSons, "60"},
        {"paternal uncle alone", "60", [](RuleBench& b) { b.c.paternalUncles = heads(1); }, Heir::PaternalUncles, "60"},
        {"cousins by the father only", "60", [](RuleBench& b) { b.c.paternalUnclesSons = heads(4); }, Heir::PaternalUnclesSons,
         "15"},
        {"a full uncle after the sister took the residue", "60",
         [](RuleBench& b) { b.c.fullUncles = heads(1), b.ledger().FixedSharesTotal = money("60"); }, Heir::FullUncles, "0"},
        // The grandfather excludes nephews, uncles and cousins.
        {"grandfather beside a full uncle", "60",
         [](RuleBench& b) { b.c.fullUncles = heads(1), b.c.grandfather = true, b.c.fullSisters = heads(1); },
         Heir::FullUncles, ""},
        {"sons sharing with daughters", "60", [](RuleBench& b) { b.c.sons = heads(1), b.ledger().SonShare = money("20"); },
         Heir::Sons, ""},
        {"a brother served beside the grandfather keeps the nephews out", "60",
         [](RuleBench& b) { b.c.fullBrothersSons = heads(1), b.ledger().FullBrotherShare = money("5"); }, Heir::FullBrothersSons,
         ""},
    };
    for (const Case& k : cases) {
        RuleBench b(k.estate);
        k.setup(b);
        b.d.SoleResiduary();
        EXPECT_EQ(b.row(k.row), k.text) << k.name;
    }

    // Only the first branch that holds writes.
    RuleBench first("60");
    first.c.sons = heads(1), first.c.father = true, first.c.fullBrothers = heads(1);
    first.d.SoleResiduary();
    EXPECT_EQ(first.row(Heir::Sons), "60");
    EXPECT_EQ(first.row(Heir::Father), "");
    EXPECT_EQ(first.row(Heir::FullBrothers), "");
}

}  // namespace
