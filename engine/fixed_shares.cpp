// Qismar: the fixed shares: spouses, parents, the grandfather beside
// descendants, the grandmothers, daughters and sons' daughters, sisters and
// uterine siblings. Every share is k parts of ProblemBase taken from
// EstateValue (24 parts: 12 a half, 8 a third, 6 a quarter, 4 a sixth, 3 an
// eighth, 16 two thirds).
#include "engine/division_internal.h"

namespace qismar::detail {

Currency Division::Share(int k) const
{
    // (k / base) x estate x 10000, in this order, rounded once.
    return roundToCurrency(static_cast<Extended>(k) / ext(ProblemBase) * ext(EstateValue) * 10000.0L);
}

Currency Division::DividedShare(int k, HeadCount heads) const
{
    // ((k / base) x estate) / heads x 10^8, rounded once.
    return roundToCurrency(static_cast<Extended>(k) / ext(ProblemBase) * ext(EstateValue) / ext(heads) *
                           100000000.0L);
}

// ---- The exact side of an explained division --------------------------------

Rational& Division::Exact(const Currency& entry) const noexcept
{
    return trace->ledger[std::size_t(&entry - &ledger.HusbandShare)];
}

std::uint8_t& Division::ExactK(const Currency& entry) const noexcept
{
    return trace->ledgerK[std::size_t(&entry - &ledger.HusbandShare)];
}

void Division::Mirror(const Currency& entry, Rational exact, int k) noexcept
{
    Exact(entry) = exact;
    ExactK(entry) = std::uint8_t(k);
}

void Division::Record(Heir row, Rational exact, Source source, int k) noexcept
{
    trace->rows[std::size_t(index(row))] = exact;
    trace->sources[std::size_t(index(row))] = {source, std::uint8_t(k)};
}

void Division::Record(Heir row, const Currency& entry, Source source) noexcept
{
    Record(row, Exact(entry), source, ExactK(entry));
}

Rational Division::BaseQ() const noexcept { return HeadsQ(ProblemBase); }

Rational Division::HeadsQ(Currency heads) noexcept
{
    // Counts are whole numbers of persons.
    return heads.raw() % Currency::kScale == 0 ? Rational(heads.raw() / Currency::kScale)
                                               : Rational::of(heads.raw(), Currency::kScale);
}

Rational Division::ShareQ(int k) const noexcept
{
    // k / base of EstateValue; the base is a whole number.
    if (!ProblemBase.isWhole())
        return Rational(k) / BaseQ() * trace->estateValue;
    return Rational::scaled(trace->estateValue, k, ProblemBase.raw() / Currency::kScale);
}

Rational Division::DividedQ(int k, HeadCount heads) const noexcept
{
    if (!ProblemBase.isWhole() || heads.isZero())
        return ShareQ(k) / HeadsQ(heads);
    return Rational::scaled(trace->estateValue, k, Rational::Int(ProblemBase.raw() / Currency::kScale) * heads.persons());
}

Rational Division::ResidueQ(Currency units) const noexcept
{
    const Rational residue = (trace->estateValue - Exact(ledger.FixedSharesTotal)).nonNegative();
    if (!units.isWhole() || units.isZero())
        return residue / HeadsQ(units);
    return Rational::scaled(residue, 1, units.raw() / Currency::kScale);
}

// ---- Spouses ---------------------------------------------------------------

void Division::HusbandRule()
{
    if (!(c.isWoman() && c.spouse))
        return;
    const int k = HasDescendants() ? 6 : 12;
    ledger.HusbandShare = Share(k);
    Write(Heir::Husband, ledger.HusbandShare);
    if (trace) {
        Mirror(ledger.HusbandShare, ShareQ(k), k);
        Record(Heir::Husband, ledger.HusbandShare, Source::Fixed);
    }
}

void Division::WivesRule()
{
    if (!(c.isMan() && c.spouse))
        return;
    const int k = HasDescendants() ? 3 : 6;
    ledger.WifeShare = DividedShare(k, c.wives);
    Write(Heir::Wives, ledger.WifeShare);
    if (trace) {
        Mirror(ledger.WifeShare, DividedQ(k, c.wives), k);
        Record(Heir::Wives, ledger.WifeShare, Source::Fixed);
    }
}

// ---- Parents and the grandfather beside descendants --------------------------

void Division::FatherWithDescendantsRule()
{
    if (!(c.father && HasDescendants()))
        return;
    ledger.FatherShare = Share(4);
    Write(Heir::Father, ledger.FatherShare);
    if (trace) {
        Mirror(ledger.FatherShare, ShareQ(4), 4);
        Record(Heir::Father, ledger.FatherShare, Source::Fixed);
    }
}

void Division::GrandfatherWithDescendantsRule()
{
    if (c.father || !c.grandfather || !HasDescendants())
        return;
    // Beside a male descendant he always takes a sixth: the son, the son's
    // son or the great-grandson excludes every brother and sister. Beside
    // female descendants only, full or paternal siblings make him share with
    // them instead (the grandfather-with-siblings rules).
    if (!MaleDescendantPresent() &&
        (!c.fullSisters.isZero() || !c.fullBrothers.isZero() || !c.paternalBrothers.isZero() ||
         !c.paternalSisters.isZero()))
        return;
    ledger.GrandfatherShare = Share(4);
    Write(Heir::Grandfather, ledger.GrandfatherShare);
    if (trace) {
        Mirror(ledger.GrandfatherShare, ShareQ(4), 4);
        Record(Heir::Grandfather, ledger.GrandfatherShare, Source::Fixed);
    }
}

void Division::MotherRule()
{
    if (!c.mother)
        return;
    int k = 8;
    if (HasDescendants())
        k = 4;
    else if (c.siblings && c.siblingTotal.persons() >= 2)
        k = 4;
    ledger.MotherShare = Share(k);
    if (trace)
        Mirror(ledger.MotherShare, ShareQ(k), k);
    // Both parents with a spouse: the mother's third becomes a third of what
    // the spouse leaves. Where two or more siblings already reduce her to a
    // sixth, that sixth stands and the father takes the rest as residuary.
    if (k == 8)
        ParentsWithSpouseRule();
    Write(Heir::Mother, ledger.MotherShare);
    if (trace)
        Record(Heir::Mother, ledger.MotherShare, k == 8 && ExactK(ledger.MotherShare) != 8 ? Source::Umariyya : Source::Fixed);
}

void Division::ParentsWithSpouseRule()
{
    if (HasDescendants() || !c.father || !c.mother || !c.spouse)
        return;
    const int mother = c.isMan() ? 6 : 4;
    const int father = c.isMan() ? 12 : 8;
    ledger.MotherShare = Share(mother);
    ledger.FatherShare = Share(father);
    Write(Heir::Father, ledger.FatherShare);
    if (trace) {
        // The mother's share as a part of the whole estate; the father
        // takes what is left as residuary.
        Mirror(ledger.MotherShare, ShareQ(mother), mother);
        Mirror(ledger.FatherShare, ShareQ(father), 0);
        Record(Heir::Father, ledger.FatherShare, Source::FatherRest);
        trace->fixedPart[std::size_t(index(Heir::Father))] = Rational();
    }
}

// ---- Grandmothers ------------------------------------------------------------

void Division::MothersMotherRule()
{
    if (c.mother || !c.mothersMother)
        return;
    const int k = !c.father && c.fathersMother ? 2 : 4;
    ledger.MothersMotherShare = Share(k);
    Write(Heir::MothersMother, ledger.MothersMotherShare);
    if (trace) {
        // The grandmothers' sixth, shared or whole.
        Mirror(ledger.MothersMotherShare, ShareQ(k), 4);
        Record(Heir::MothersMother, ledger.MothersMotherShare, Source::Fixed);
    }
}

void Division::FathersMotherRule()
{
    if (c.mother || c.father || !c.fathersMother)
        return;
    const int k = c.mothersMother ? 2 : 4;
    ledger.FathersMotherShare = Share(k);
    Write(Heir::FathersMother, ledger.FathersMotherShare);
    if (trace) {
        Mirror(ledger.FathersMotherShare, ShareQ(k), 4);
        Record(Heir::FathersMother, ledger.FathersMotherShare, Source::Fixed);
    }
}

void Division::MothersMothersMotherRule()
{
    if (c.mother || !MothersMothersMotherBox())
        return;
    Currency share = Share(4);
    int sharers = 1;  // the grandmothers who share the sixth with her
    if (!c.father) {
        const bool fathersMothersMother = FathersMothersMotherBox();
        const bool fathersFathersMother = FathersFathersMotherBox();
        if (fathersMothersMother && fathersFathersMother) {
            // A third of the sixth: (4 / base) x estate / 3 x 10000.
            share = roundToCurrency(4.0L / ext(ProblemBase) * ext(EstateValue) / 3.0L * 10000.0L);
            sharers = 3;
        } else if (fathersMothersMother != fathersFathersMother) {
            share = Share(2);
            sharers = 2;
        }
    }
    ledger.MothersMothersMotherShare = share;
    Write(Heir::MothersMothersMother, ledger.MothersMothersMotherShare);
    if (trace) {
        Mirror(ledger.MothersMothersMotherShare, ShareQ(4) / Rational(sharers), 4);
        Record(Heir::MothersMothersMother, ledger.MothersMothersMotherShare, Source::Fixed);
    }
}

void Division::FarPaternalGrandmother(bool ticked, bool otherFarPaternalTicked, Currency& share, Heir row)
{
    if (c.mother || c.father || !ticked)
        return;
    Currency amount = Share(4);
    if (otherFarPaternalTicked)
        amount = Share(2);
    // Beside the mother's mother's mother she takes exactly what that
    // grandmother has just been given in this pass.
    const bool copied = MothersMothersMotherBox();
    if (copied)
        amount = ledger.MothersMothersMotherShare;
    share = amount;
    Write(row, share);
    if (trace) {
        Mirror(share, copied ? Exact(ledger.MothersMothersMotherShare) : ShareQ(otherFarPaternalTicked ? 2 : 4), 4);
        Record(row, share, Source::Fixed);
    }
}

void Division::FathersMothersMotherRule()
{
    FarPaternalGrandmother(FathersMothersMotherBox(), FathersFathersMotherBox(), ledger.FathersMothersMotherShare,
                           Heir::FathersMothersMother);
}

void Division::FathersFathersMotherRule()
{
    FarPaternalGrandmother(FathersFathersMotherBox(), FathersMothersMotherBox(), ledger.FathersFathersMotherShare,
                           Heir::FathersFathersMother);
}

// ---- Daughters, sons' daughters, sisters, uterine siblings ------------------------

void Division::DaughtersRule()
{
    if (c.daughters.isZero() || !c.sons.isZero())
        return;
    if (c.daughters.isOne()) {
        ledger.DaughterShare = Share(12);
        if (trace)
            Mirror(ledger.DaughterShare, ShareQ(12), 12);
    } else if (c.daughters.persons() > 1) {
        ledger.DaughterShare = DividedShare(16, c.daughters);
        if (trace)
            Mirror(ledger.DaughterShare, DividedQ(16, c.daughters), 16);
    }
    Write(Heir::Daughters, ledger.DaughterShare);
    if (trace)
        Record(Heir::Daughters, ledger.DaughterShare, Source::Fixed);
}

void Division::SonsDaughtersRule()
{
    if (c.sonsDaughters.isZero() || !c.sons.isZero() || !c.sonsSons.isZero() || !(c.daughters.persons() < 2))
        return;
    if (c.daughters.isZero()) {
        if (c.sonsDaughters.isOne()) {
            ledger.SonsDaughterShare = Share(12);
            if (trace)
                Mirror(ledger.SonsDaughterShare, ShareQ(12), 12);
        } else if (c.sonsDaughters.persons() > 1) {
            ledger.SonsDaughterShare = DividedShare(16, c.sonsDaughters);
            if (trace)
                Mirror(ledger.SonsDaughterShare, DividedQ(16, c.sonsDaughters), 16);
        }
    } else if (c.daughters.isOne()) {
        // The sixth that completes the two thirds.
        ledger.SonsDaughterShare = DividedShare(4, c.sonsDaughters);
        if (trace)
            Mirror(ledger.SonsDaughterShare, DividedQ(4, c.sonsDaughters), 4);
    }
    Write(Heir::SonsDaughters, ledger.SonsDaughterShare);
    if (trace)
        Record(Heir::SonsDaughters, ledger.SonsDaughterShare, Source::Fixed);
}

void Division::GreatGranddaughtersRule()
{
    const HeadCount heads = c.sonsSonsDaughters;
    if (heads.isZero() || !c.sons.isZero() || !c.sonsSons.isZero() || !c.sonsSonsSons.isZero() ||
        !(c.daughters.persons() < 2) || !(c.sonsDaughters.persons() < 2))
        return;
    const bool noDaughter = c.daughters.isZero(), oneDaughter = c.daughters.isOne();
    const bool noSonsDaughter = c.sonsDaughters.isZero(), oneSonsDaughter = c.sonsDaughters.isOne();
    if (noDaughter && noSonsDaughter) {
        if (heads.isOne()) {
            ledger.GreatGranddaughterShare = Share(12);
            if (trace)
                Mirror(ledger.GreatGranddaughterShare, ShareQ(12), 12);
        } else if (heads.persons() > 1) {
            ledger.GreatGranddaughterShare = DividedShare(16, heads);
            if (trace)
                Mirror(ledger.GreatGranddaughterShare, DividedQ(16, heads), 16);
        }
    } else if ((oneDaughter && noSonsDaughter) || (noDaughter && oneSonsDaughter)) {
        ledger.GreatGranddaughterShare = DividedShare(4, heads);
        if (trace)
            Mirror(ledger.GreatGranddaughterShare, DividedQ(4, heads), 4);
    }
    // One daughter and one son's daughter have completed the two thirds:
    // no share is computed and the row receives the entry as it stands.
    Write(Heir::SonsSonsDaughters, ledger.GreatGranddaughterShare);
    if (trace)
        Record(Heir::SonsSonsDaughters, ledger.GreatGranddaughterShare, Source::Fixed);
}

void Division::FullSistersRule()
{
    if (c.father || c.grandfather || !c.fullSisters.positive() || !c.fullBrothers.isZero() ||
        c.grandchildren || c.children)
        return;
    const bool one = c.fullSisters.isOne();
    ledger.FullSisterShare = one ? Share(12) : DividedShare(16, c.fullSisters);
    Write(Heir::FullSisters, ledger.FullSisterShare);
    if (trace) {
        Mirror(ledger.FullSisterShare, one ? ShareQ(12) : DividedQ(16, c.fullSisters), one ? 12 : 16);
        Record(Heir::FullSisters, ledger.FullSisterShare, Source::Fixed);
    }
}

void Division::PaternalSistersRule()
{
    if (c.father || c.grandfather || !(c.fullSisters.persons() < 2) || c.paternalSisters.isZero() ||
        !c.fullBrothers.isZero() || !c.paternalBrothers.isZero() || c.grandchildren || c.children)
        return;
    int k;
    if (c.fullSisters.isOne()) {
        // Beside one full sister: the sixth that completes the two thirds.
        k = 4;
        ledger.PaternalSisterShare = DividedShare(4, c.paternalSisters);
    } else {
        k = c.paternalSisters.isOne() ? 12 : 16;
        ledger.PaternalSisterShare = c.paternalSisters.isOne() ? Share(12) : DividedShare(16, c.paternalSisters);
    }
    Write(Heir::PaternalSisters, ledger.PaternalSisterShare);
    if (trace) {
        Mirror(ledger.PaternalSisterShare, DividedQ(k, c.paternalSisters), k);
        Record(Heir::PaternalSisters, ledger.PaternalSisterShare, Source::Fixed);
    }
}

void Division::UterineSiblingsRule()
{
    if (c.father || c.grandfather || c.children || c.grandchildren)
        return;
    if (!(c.uterineSisters.positive() || c.uterineBrothers.positive()))
        return;
    const HeadCount heads = c.uterineSisters + c.uterineBrothers;
    if (heads.isZero())
        return;
    const int k = heads.isOne() ? 4 : 8;
    ledger.UterineSiblingShare = heads.isOne() ? Share(4) : DividedShare(8, heads);
    Write(Heir::UterineSiblings, ledger.UterineSiblingShare);
    if (trace) {
        Mirror(ledger.UterineSiblingShare, DividedQ(k, heads), k);
        Record(Heir::UterineSiblings, ledger.UterineSiblingShare, Source::Fixed);
    }
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
    if (trace) {
        // The same terms, exactly; most entries are 0 in any one case.
        Rational total;
        const auto add = [&](HeadCount heads, const Currency& entry) {
            const Rational& exact = Exact(entry);
            if (!exact.isZero())
                total += heads.isOne() ? exact : exact.times(heads.persons());
        };
        add(c.wives, L.WifeShare);
        for (const Currency* single : {&L.HusbandShare, &L.FatherShare, &L.GrandfatherShare, &L.MotherShare})
            add(HeadCount(1), *single);
        add(c.daughters, L.DaughterShare);
        add(c.uterineBrothers + c.uterineSisters, L.UterineSiblingShare);
        add(c.fullSisters, L.FullSisterShare);
        add(c.sonsDaughters, L.SonsDaughterShare);
        add(c.sonsSons, L.SonsSonShare);
        add(c.sonsSonsDaughters, L.GreatGranddaughterShare);
        add(c.sonsSonsSons, L.GreatGrandsonShare);
        for (const Currency* single : {&L.MothersMotherShare, &L.FathersMotherShare, &L.MothersMothersMotherShare,
                                       &L.FathersMothersMotherShare, &L.FathersFathersMotherShare})
            add(HeadCount(1), *single);
        add(c.paternalSisters, L.PaternalSisterShare);
        Exact(ledger.FixedSharesTotal) = total;
    }
}

}  // namespace qismar::detail
