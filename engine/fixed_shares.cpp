// Qismar: the fixed shares: spouses, parents, the grandfather beside
// descendants, the grandmothers, daughters and sons' daughters, sisters and
// uterine siblings. Every share is k parts of ProblemBase taken from
// EstateValue (24 parts: 12 a half, 8 a third, 6 a quarter, 4 a sixth, 3 an
// eighth, 16 two thirds).
#include "division_internal.h"

namespace qismar::detail {

namespace {

constexpr Currency kOne = Currency::fromRaw(Currency::kScale);
constexpr Currency kTwo = Currency::fromRaw(2 * Currency::kScale);

}  // namespace

Currency Division::Share(int k) const
{
    // (k / base) x estate x 10000, in this order, rounded once.
    return roundToCurrency(static_cast<Extended>(k) / ext(ProblemBase) * ext(EstateValue) * 10000.0L);
}

Currency Division::DividedShare(int k, Currency heads) const
{
    // ((k / base) x estate) / heads x 10^8, rounded once.
    return roundToCurrency(static_cast<Extended>(k) / ext(ProblemBase) * ext(EstateValue) / ext(heads) *
                           100000000.0L);
}

// ---- Spouses ---------------------------------------------------------------

void Division::HusbandRule()
{
    if (!(c.isWoman() && c.spouse))
        return;
    ledger.HusbandShare = Share(HasDescendants() ? 6 : 12);
    Write(Row::n1, ledger.HusbandShare);
}

void Division::WivesRule()
{
    if (!(c.isMan() && c.spouse))
        return;
    ledger.WifeShare = DividedShare(HasDescendants() ? 3 : 6, c.wives);
    Write(Row::n2, ledger.WifeShare);
}

// ---- Parents and the grandfather beside descendants --------------------------

void Division::FatherWithDescendantsRule()
{
    if (!(c.father && HasDescendants()))
        return;
    ledger.FatherShare = Share(4);
    Write(Row::n3, ledger.FatherShare);
}

void Division::GrandfatherWithDescendantsRule()
{
    if (c.father || !c.grandfather || !HasDescendants())
        return;
    // Beside a male descendant he always takes a sixth: the son, the son's
    // son or the great-grandson excludes every brother and sister. Beside
    // female descendants only, full or paternal siblings make him share with
    // them instead (the grandfather-with-siblings rules); the four counts are
    // read as whole numbers.
    if (!MaleDescendantPresent() &&
        (c.fullSisters.whole() != 0 || c.fullBrothers.whole() != 0 || c.paternalBrothers.whole() != 0 ||
         c.paternalSisters.whole() != 0))
        return;
    ledger.GrandfatherShare = Share(4);
    Write(Row::n11, ledger.GrandfatherShare);
}

void Division::MotherRule()
{
    if (!c.mother)
        return;
    int k = 8;
    if (HasDescendants())
        k = 4;
    else if (c.siblings && c.siblingTotal.whole() >= 2)
        k = 4;
    ledger.MotherShare = Share(k);
    // Both parents with a spouse: the mother's third becomes a third of what
    // the spouse leaves. Where two or more siblings already reduce her to a
    // sixth, that sixth stands and the father takes the rest as residuary.
    if (k == 8)
        ParentsWithSpouseRule();
    Write(Row::n4, ledger.MotherShare);
}

void Division::ParentsWithSpouseRule()
{
    if (HasDescendants() || !c.father || !c.mother || !c.spouse)
        return;
    if (c.isMan()) {
        ledger.MotherShare = Share(6);
        ledger.FatherShare = Share(12);
    } else {
        ledger.MotherShare = Share(4);
        ledger.FatherShare = Share(8);
    }
    Write(Row::n3, ledger.FatherShare);
}

// ---- Grandmothers ------------------------------------------------------------

void Division::MothersMotherRule()
{
    if (c.mother || !c.mothersMother)
        return;
    ledger.MothersMotherShare = Share(!c.father && c.fathersMother ? 2 : 4);
    Write(Row::n13, ledger.MothersMotherShare);
}

void Division::FathersMotherRule()
{
    if (c.mother || c.father || !c.fathersMother)
        return;
    ledger.FathersMotherShare = Share(c.mothersMother ? 2 : 4);
    Write(Row::n14, ledger.FathersMotherShare);
}

void Division::MothersMothersMotherRule()
{
    if (c.mother || !MothersMothersMotherBox())
        return;
    Currency share = Share(4);
    if (!c.father) {
        const bool fathersMothersMother = FathersMothersMotherBox();
        const bool fathersFathersMother = FathersFathersMotherBox();
        if (fathersMothersMother && fathersFathersMother)
            // A third of the sixth: (4 / base) x estate / 3 x 10000.
            share = roundToCurrency(4.0L / ext(ProblemBase) * ext(EstateValue) / 3.0L * 10000.0L);
        else if (fathersMothersMother != fathersFathersMother)
            share = Share(2);
    }
    ledger.MothersMothersMotherShare = share;
    Write(Row::n24, ledger.MothersMothersMotherShare);
}

void Division::FarPaternalGrandmother(bool ticked, bool otherFarPaternalTicked, Currency& share, Row row)
{
    if (c.mother || c.father || !ticked)
        return;
    Currency amount = Share(4);
    if (otherFarPaternalTicked)
        amount = Share(2);
    // Beside the mother's mother's mother she takes exactly what that
    // grandmother has just been given in this pass.
    if (MothersMothersMotherBox())
        amount = ledger.MothersMothersMotherShare;
    share = amount;
    Write(row, share);
}

void Division::FathersMothersMotherRule()
{
    FarPaternalGrandmother(FathersMothersMotherBox(), FathersFathersMotherBox(), ledger.FathersMothersMotherShare,
                           Row::n25);
}

void Division::FathersFathersMotherRule()
{
    FarPaternalGrandmother(FathersFathersMotherBox(), FathersMothersMotherBox(), ledger.FathersFathersMotherShare,
                           Row::n26);
}

// ---- Daughters, sons' daughters, sisters, uterine siblings ------------------------

void Division::DaughtersRule()
{
    if (c.daughters.isZero() || !c.sons.isZero())
        return;
    if (c.daughters == kOne)
        ledger.DaughterShare = Share(12);
    else if (c.daughters > kOne)
        ledger.DaughterShare = DividedShare(16, c.daughters);
    Write(Row::n6, ledger.DaughterShare);
}

void Division::SonsDaughtersRule()
{
    if (c.sonsDaughters.isZero() || !c.sons.isZero() || !c.sonsSons.isZero() || !(c.daughters < kTwo))
        return;
    if (c.daughters.isZero()) {
        if (c.sonsDaughters == kOne)
            ledger.SonsDaughterShare = Share(12);
        else if (c.sonsDaughters > kOne)
            ledger.SonsDaughterShare = DividedShare(16, c.sonsDaughters);
    } else if (c.daughters == kOne) {
        // The sixth that completes the two thirds.
        ledger.SonsDaughterShare = DividedShare(4, c.sonsDaughters);
    }
    Write(Row::n8, ledger.SonsDaughterShare);
}

void Division::GreatGranddaughtersRule()
{
    const Currency heads = c.sonsSonsDaughters;
    if (heads.isZero() || !c.sons.isZero() || !c.sonsSons.isZero() || !c.sonsSonsSons.isZero() ||
        !(c.daughters < kTwo) || !(c.sonsDaughters < kTwo))
        return;
    const bool noDaughter = c.daughters.isZero(), oneDaughter = c.daughters == kOne;
    const bool noSonsDaughter = c.sonsDaughters.isZero(), oneSonsDaughter = c.sonsDaughters == kOne;
    if (noDaughter && noSonsDaughter) {
        if (heads == kOne)
            ledger.GreatGranddaughterShare = Share(12);
        else if (heads > kOne)
            ledger.GreatGranddaughterShare = DividedShare(16, heads);
    } else if ((oneDaughter && noSonsDaughter) || (noDaughter && oneSonsDaughter)) {
        ledger.GreatGranddaughterShare = DividedShare(4, heads);
    }
    // One daughter and one son's daughter have completed the two thirds:
    // no share is computed and the row receives the entry as it stands.
    Write(Row::n27, ledger.GreatGranddaughterShare);
}

void Division::FullSistersRule()
{
    if (c.father || c.grandfather || !(c.fullSisters.raw() > 0) || !c.fullBrothers.isZero() ||
        c.grandchildren || c.children)
        return;
    ledger.FullSisterShare = c.fullSisters == kOne ? Share(12) : DividedShare(16, c.fullSisters);
    Write(Row::n10, ledger.FullSisterShare);
}

void Division::PaternalSistersRule()
{
    if (c.father || c.grandfather || !(c.fullSisters < kTwo) || c.paternalSisters.isZero() ||
        !c.fullBrothers.isZero() || !c.paternalBrothers.isZero() || c.grandchildren || c.children)
        return;
    if (c.fullSisters == kOne)
        // Beside one full sister: the sixth that completes the two thirds.
        ledger.PaternalSisterShare = DividedShare(4, c.paternalSisters);
    else
        ledger.PaternalSisterShare =
            c.paternalSisters == kOne ? Share(12) : DividedShare(16, c.paternalSisters);
    Write(Row::n15, ledger.PaternalSisterShare);
}

void Division::UterineSiblingsRule()
{
    if (c.father || c.grandfather || c.children || c.grandchildren)
        return;
    if (!(c.uterineSisters.raw() > 0 || c.uterineBrothers.raw() > 0))
        return;
    const Currency heads = addExact(c.uterineSisters, c.uterineBrothers);
    if (heads.isZero())
        return;
    ledger.UterineSiblingShare = heads == kOne ? Share(4) : DividedShare(8, heads);
    Write(Row::n12, ledger.UterineSiblingShare);
}

// ---- Running total -------------------------------------------------------------

void Division::SumAssignedShares()
{
    // count-raw x amount-raw, and single amount-raw x 10000, summed in
    // extended precision, divided by 10000 and rounded once at the end.
    constexpr Extended kScale = Currency::kScale;
    const ShareLedger& L = ledger;
    Extended sum = ext(c.wives) * ext(L.WifeShare);
    sum = sum + ext(L.HusbandShare) * kScale;
    sum = sum + ext(L.FatherShare) * kScale;
    sum = sum + ext(L.GrandfatherShare) * kScale;
    sum = sum + ext(L.MotherShare) * kScale;
    sum = sum + ext(c.daughters) * ext(L.DaughterShare);
    sum = sum + (ext(c.uterineBrothers) + ext(c.uterineSisters)) * ext(L.UterineSiblingShare);
    sum = sum + ext(c.fullSisters) * ext(L.FullSisterShare);
    sum = sum + ext(c.sonsDaughters) * ext(L.SonsDaughterShare);
    sum = sum + ext(c.sonsSons) * ext(L.SonsSonShare);
    sum = sum + ext(c.sonsSonsDaughters) * ext(L.GreatGranddaughterShare);
    sum = sum + ext(c.sonsSonsSons) * ext(L.GreatGrandsonShare);
    sum = sum + ext(L.MothersMotherShare) * kScale;
    sum = sum + ext(L.FathersMotherShare) * kScale;
    sum = sum + ext(L.MothersMothersMotherShare) * kScale;
    sum = sum + ext(L.FathersMothersMotherShare) * kScale;
    sum = sum + ext(L.FathersFathersMotherShare) * kScale;
    sum = sum + ext(c.paternalSisters) * ext(L.PaternalSisterShare);
    ledger.FixedSharesTotal = roundToCurrency(sum / kScale);
}

}  // namespace qismar::detail
