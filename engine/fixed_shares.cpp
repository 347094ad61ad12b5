// Qismar: the fixed shares: spouses, parents, the grandfather beside
// descendants, the grandmothers, daughters and sons' daughters, sisters and
// uterine siblings. Every share is k parts of ProblemBase taken from
// EstateValue (24 parts: 12 a half, 8 a third, 6 a quarter, 4 a sixth, 3 an
// eighth, 16 two thirds).
#include "engine/internal/division_state.h"

#include <bit>
#include <cstddef>

namespace qismar::detail {

namespace {
constexpr Currency kTwentyFour = Currency::fromRaw(24 * Currency::kScale);
}  // namespace

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

Rational& Division::Exact(const WideAmount&) const noexcept
{
    if (trace->fixedSharesTotalPending)
        SumExactShares();
    return trace->fixedSharesTotal;
}

void Division::Mirror(const Currency& entry, const Rational& exact, int k) noexcept
{
    // A total still to be added up is added up from the entries it was made of.
    if (trace->fixedSharesTotalPending)
        SumExactShares();
    const auto slot = std::size_t(&entry - &ledger.HusbandShare);
    trace->ledger[slot] = exact;
    trace->ledgerK[slot] = std::uint8_t(k);
    trace->ledgerWritten |= std::uint32_t(1) << slot;
    trace->ledgerUnworked &= ~(std::uint32_t(1) << slot);
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
    // Before any return of the surplus, of the whole estate; in the first
    // pass, at a base of 24, read from a table.
    if (OfWholeEstate()) {
        if (ProblemBase == kTwentyFour && k >= 0 && k <= 24)
            return kPartsOf24[std::size_t(k)];
        return Rational::of64(k, ProblemBase.raw() / Currency::kScale);
    }
    return Rational::scaled(trace->estateValue, k, ProblemBase.raw() / Currency::kScale);
}

Rational Division::DividedQ(int k, HeadCount heads) const noexcept
{
    // One head takes the k parts (read from a table in the first pass).
    if (heads.isOne())
        return ShareQ(k);
    if (!ProblemBase.isWhole() || heads.isZero())
        return ShareQ(k) / HeadsQ(heads);
    // The base is at most kMaxPasses above 24 and the heads at most
    // kMaxCount: their product fits 64 bits.
    if (OfWholeEstate())
        return Rational::of64(k, ProblemBase.raw() / Currency::kScale * heads.persons());
    return Rational::scaled(trace->estateValue, k, Rational::Int(ProblemBase.raw() / Currency::kScale) * heads.persons());
}

Rational Division::ResidueQ(Currency units) const noexcept
{
    std::int64_t total, over;
    Rational perUnit;
    if (units.isWhole() && !units.isZero() && SmallExactTotal(total, over)) {
        const std::int64_t perUnitOf = units.raw() / Currency::kScale;
        // Of the whole estate (before any return of the surplus), the usual
        // case: (1 - total / over) / units.
        std::int64_t den;
        if (OfWholeEstate() && !__builtin_mul_overflow(over, perUnitOf, &den) && den > 0)
            return total >= over ? Rational() : Rational::of64(over - total, den);
        if (Rational::smallDifference(trace->estateValue, total, over, Rational(), perUnitOf, perUnit))
            return perUnit.nonNegative();
    }
    const Rational residue = (trace->estateValue - Exact(ledger.FixedSharesTotal)).nonNegative();
    if (!units.isWhole() || units.isZero())
        return residue / HeadsQ(units);
    return Rational::scaled(residue, 1, units.raw() / Currency::kScale);
}

Rational Division::RestQ(const Currency& share) const noexcept
{
    std::int64_t total, over;
    Rational rest;
    if (SmallExactTotal(total, over)) {
        // Of the whole estate (before any return of the surplus), the usual
        // case: 1 - total / over + share, over over x the share's denominator.
        const Rational& exact = Exact(share);
        std::int64_t left, right, num, den;
        if (OfWholeEstate() && exact.small() &&
            !__builtin_mul_overflow(over - total, std::int64_t(exact.den()), &left) &&
            !__builtin_mul_overflow(std::int64_t(exact.num()), over, &right) &&
            !__builtin_add_overflow(left, right, &num) &&
            !__builtin_mul_overflow(over, std::int64_t(exact.den()), &den))
            return num <= 0 ? Rational() : Rational::of64(num, den);
        if (Rational::smallDifference(trace->estateValue, total, over, exact, 1, rest))
            return rest.nonNegative();
    }
    rest = trace->estateValue - (Exact(ledger.FixedSharesTotal) - Exact(share));
    return rest.nonNegative();
}

// ---- Spouses ---------------------------------------------------------------

void Division::HusbandRule()
{
    if (!(c.isWoman() && c.spouse))
        return;
    const int k = HasDescendants() ? 6 : 12;
    Assign(Heir::Husband, ledger.HusbandShare, Share(k), [&] { return ShareQ(k); }, k);
}

void Division::WivesRule()
{
    if (!(c.isMan() && c.spouse))
        return;
    const int k = HasDescendants() ? 3 : 6;
    Assign(Heir::Wives, ledger.WifeShare, DividedShare(k, c.wives), [&] { return DividedQ(k, c.wives); }, k);
}

// ---- Parents and the grandfather beside descendants --------------------------

void Division::FatherWithDescendantsRule()
{
    if (!(c.father && HasDescendants()))
        return;
    Assign(Heir::Father, ledger.FatherShare, Share(4), [&] { return ShareQ(4); }, 4);
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
    Assign(Heir::Grandfather, ledger.GrandfatherShare, Share(4), [&] { return ShareQ(4); }, 4);
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
    Store(ledger.MotherShare, Share(k), [&] { return ShareQ(k); }, k);
    // Both parents with a spouse: the mother's third becomes a third of what
    // the spouse leaves. Where two or more siblings already reduce her to a
    // sixth, that sixth stands and the father takes the rest as residuary.
    if (k == 8)
        ParentsWithSpouseRule();
    // Her row is written only now, and its source read from the share that
    // stands: a third of the whole, or a third of what the spouse leaves.
    Write(Heir::Mother, ledger.MotherShare);
    if (trace) {
        if (exactPass)
            Record(Heir::Mother, ledger.MotherShare,
                   k == 8 && ExactK(ledger.MotherShare) != 8 ? Source::Umariyya : Source::Fixed);
        else
            Unworked(Heir::Mother);
    }
}

void Division::ParentsWithSpouseRule()
{
    if (HasDescendants() || !c.father || !c.mother || !c.spouse)
        return;
    const int mother = c.isMan() ? 6 : 4;
    const int father = c.isMan() ? 12 : 8;
    // The mother's share as a part of the whole estate; the father takes
    // what is left as residuary.
    Store(ledger.MotherShare, Share(mother), [&] { return ShareQ(mother); }, mother);
    Assign(Heir::Father, ledger.FatherShare, Share(father), [&] { return ShareQ(father); }, 0, Source::FatherRest);
    if (trace) {
        if (exactPass)
            FixedPart(Heir::Father, Rational());
        else
            UnworkedFixedPart(Heir::Father);
    }
}

// ---- Grandmothers ------------------------------------------------------------
// Their exact side names the grandmothers' sixth (4 parts), shared or whole.

void Division::MothersMotherRule()
{
    if (c.mother || !c.mothersMother)
        return;
    const int k = !c.father && c.fathersMother ? 2 : 4;
    Assign(Heir::MothersMother, ledger.MothersMotherShare, Share(k), [&] { return ShareQ(k); }, 4);
}

void Division::FathersMotherRule()
{
    if (c.mother || c.father || !c.fathersMother)
        return;
    const int k = c.mothersMother ? 2 : 4;
    Assign(Heir::FathersMother, ledger.FathersMotherShare, Share(k), [&] { return ShareQ(k); }, 4);
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
    Assign(Heir::MothersMothersMother, ledger.MothersMothersMotherShare, share,
           [&] { return ShareQ(4) / Rational(sharers); }, 4);
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
    Assign(row, share, amount, [&] {
        return copied ? Exact(ledger.MothersMothersMotherShare) : ShareQ(otherFarPaternalTicked ? 2 : 4);
    }, 4);
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
    // One daughter: a half; several: two thirds among them.
    if (c.daughters.isOne())
        Store(ledger.DaughterShare, Share(12), [&] { return ShareQ(12); }, 12);
    else if (c.daughters.persons() > 1)
        Store(ledger.DaughterShare, DividedShare(16, c.daughters), [&] { return DividedQ(16, c.daughters); }, 16);
    WriteEntry(Heir::Daughters, ledger.DaughterShare, Source::Fixed);
}

void Division::SonsDaughtersRule()
{
    if (c.sonsDaughters.isZero() || !c.sons.isZero() || !c.sonsSons.isZero() || !(c.daughters.persons() < 2))
        return;
    if (c.daughters.isZero()) {
        if (c.sonsDaughters.isOne())
            Store(ledger.SonsDaughterShare, Share(12), [&] { return ShareQ(12); }, 12);
        else if (c.sonsDaughters.persons() > 1)
            Store(ledger.SonsDaughterShare, DividedShare(16, c.sonsDaughters),
                  [&] { return DividedQ(16, c.sonsDaughters); }, 16);
    } else if (c.daughters.isOne()) {
        // The sixth that completes the two thirds.
        Store(ledger.SonsDaughterShare, DividedShare(4, c.sonsDaughters), [&] { return DividedQ(4, c.sonsDaughters); },
              4);
    }
    WriteEntry(Heir::SonsDaughters, ledger.SonsDaughterShare, Source::Fixed);
}

void Division::GreatGranddaughtersRule()
{
    const HeadCount heads = c.sonsSonsDaughters;
    if (heads.isZero() || !c.sons.isZero() || !c.sonsSons.isZero() || !c.sonsSonsSons.isZero() ||
        !(c.daughters.persons() < 2) || !(c.sonsDaughters.persons() < 2))
        return;
    const bool noDaughter = c.daughters.isZero(), oneDaughter = c.daughters.isOne();
    const bool noSonsDaughter = c.sonsDaughters.isZero(), oneSonsDaughter = c.sonsDaughters.isOne();
    Currency& entry = ledger.GreatGranddaughterShare;
    if (noDaughter && noSonsDaughter) {
        if (heads.isOne())
            Store(entry, Share(12), [&] { return ShareQ(12); }, 12);
        else if (heads.persons() > 1)
            Store(entry, DividedShare(16, heads), [&] { return DividedQ(16, heads); }, 16);
    } else if ((oneDaughter && noSonsDaughter) || (noDaughter && oneSonsDaughter)) {
        Store(entry, DividedShare(4, heads), [&] { return DividedQ(4, heads); }, 4);
    }
    // One daughter and one son's daughter have completed the two thirds:
    // no share is computed and the row receives the entry as it stands.
    WriteEntry(Heir::SonsSonsDaughters, entry, Source::Fixed);
}

void Division::FullSistersRule()
{
    if (c.father || c.grandfather || !c.fullSisters.positive() || !c.fullBrothers.isZero() ||
        c.grandchildren || c.children)
        return;
    if (c.fullSisters.isOne())
        Assign(Heir::FullSisters, ledger.FullSisterShare, Share(12), [&] { return ShareQ(12); }, 12);
    else
        Assign(Heir::FullSisters, ledger.FullSisterShare, DividedShare(16, c.fullSisters),
               [&] { return DividedQ(16, c.fullSisters); }, 16);
}

void Division::PaternalSistersRule()
{
    if (c.father || c.grandfather || !(c.fullSisters.persons() < 2) || c.paternalSisters.isZero() ||
        !c.fullBrothers.isZero() || !c.paternalBrothers.isZero() || c.grandchildren || c.children)
        return;
    int k;
    Currency share;
    if (c.fullSisters.isOne()) {
        // Beside one full sister: the sixth that completes the two thirds.
        k = 4;
        share = DividedShare(4, c.paternalSisters);
    } else {
        k = c.paternalSisters.isOne() ? 12 : 16;
        share = c.paternalSisters.isOne() ? Share(12) : DividedShare(16, c.paternalSisters);
    }
    Assign(Heir::PaternalSisters, ledger.PaternalSisterShare, share, [&] { return DividedQ(k, c.paternalSisters); },
           k);
}

void Division::UterineSiblingsRule()
{
    if (c.father || c.grandfather || c.children || c.grandchildren)
        return;
    if (!(c.uterineSisters.positive() || c.uterineBrothers.positive()))
        return;
    const HeadCount heads = HeadsOf(c, Heir::UterineSiblings);
    if (heads.isZero())
        return;
    // One of them: a sixth; several: a third among them, male and female alike.
    const int k = heads.isOne() ? 4 : 8;
    Assign(Heir::UterineSiblings, ledger.UterineSiblingShare, heads.isOne() ? Share(4) : DividedShare(8, heads),
           [&] { return DividedQ(k, heads); }, k);
}

// ---- Running total -------------------------------------------------------------

void Division::SumAssignedShares()
{
    // Each ledger entry times the heads of its relative, in raw units times
    // raw units, summed in extended precision, divided by 10000 and rounded
    // once at the end. The order of the additions is part of the result. The
    // total may claim more than the estate, up to 40 parts of 24: it is held
    // wide, so that the base is raised for the largest estates too.
    const auto heads = [this](Heir row) { return ext(HeadsOf(c, row)); };
    const ShareLedger& L = ledger;
    // An entry of 0 adds exactly nothing, and most entries of a case are 0:
    // they are passed over, which leaves every sum as it was.
    Extended sum = heads(Heir::Wives) * ext(L.WifeShare);
    if (L.HusbandShare.raw() != 0)
        sum = sum + ext(L.HusbandShare) * heads(Heir::Husband);
    if (L.FatherShare.raw() != 0)
        sum = sum + ext(L.FatherShare) * heads(Heir::Father);
    if (L.GrandfatherShare.raw() != 0)
        sum = sum + ext(L.GrandfatherShare) * heads(Heir::Grandfather);
    if (L.MotherShare.raw() != 0)
        sum = sum + ext(L.MotherShare) * heads(Heir::Mother);
    if (L.DaughterShare.raw() != 0)
        sum = sum + heads(Heir::Daughters) * ext(L.DaughterShare);
    if (L.UterineSiblingShare.raw() != 0)
        sum = sum + heads(Heir::UterineSiblings) * ext(L.UterineSiblingShare);
    if (L.FullSisterShare.raw() != 0)
        sum = sum + heads(Heir::FullSisters) * ext(L.FullSisterShare);
    if (L.SonsDaughterShare.raw() != 0)
        sum = sum + heads(Heir::SonsDaughters) * ext(L.SonsDaughterShare);
    if (L.SonsSonShare.raw() != 0)
        sum = sum + heads(Heir::SonsSons) * ext(L.SonsSonShare);
    if (L.GreatGranddaughterShare.raw() != 0)
        sum = sum + heads(Heir::SonsSonsDaughters) * ext(L.GreatGranddaughterShare);
    if (L.GreatGrandsonShare.raw() != 0)
        sum = sum + heads(Heir::SonsSonsSons) * ext(L.GreatGrandsonShare);
    if (L.MothersMotherShare.raw() != 0)
        sum = sum + ext(L.MothersMotherShare) * heads(Heir::MothersMother);
    if (L.FathersMotherShare.raw() != 0)
        sum = sum + ext(L.FathersMotherShare) * heads(Heir::FathersMother);
    if (L.MothersMothersMotherShare.raw() != 0)
        sum = sum + ext(L.MothersMothersMotherShare) * heads(Heir::MothersMothersMother);
    if (L.FathersMothersMotherShare.raw() != 0)
        sum = sum + ext(L.FathersMothersMotherShare) * heads(Heir::FathersMothersMother);
    if (L.FathersFathersMotherShare.raw() != 0)
        sum = sum + ext(L.FathersFathersMotherShare) * heads(Heir::FathersFathersMother);
    if (L.PaternalSisterShare.raw() != 0)
        sum = sum + heads(Heir::PaternalSisters) * ext(L.PaternalSisterShare);
    ledger.FixedSharesTotal = WideAmount::rounded(sum / Extended(Currency::kScale));
    // The same terms exactly are added up only when a rule reads their
    // total: in most passes none does, and a pass that returns the surplus
    // would add them again for nothing.
    if (trace)
        trace->fixedSharesTotalPending = true;
}

void Division::SumExactShares() const noexcept
{
    // The terms of SumAssignedShares, exactly; most entries are 0 in any one
    // case.
    std::int64_t num, den;
    if (SmallExactTotal(num, den)) {
        trace->fixedSharesTotal = Rational::of(num, den);
        trace->fixedSharesTotalPending = false;
        return;
    }
    Rational total;
    ForEachSummedEntry([&](std::int64_t heads, const Rational& exact) {
        if (!exact.isZero())
            total += heads == 1 ? exact : exact.times(heads);
    });
    trace->fixedSharesTotal = total;
    trace->fixedSharesTotalPending = false;
}

bool Division::SmallExactTotal(std::int64_t& num, std::int64_t& den) const noexcept
{
    if (!trace->fixedSharesTotalPending) {
        const Rational& total = trace->fixedSharesTotal;
        if (!total.valid() || !fits64(total.num()) || !fits64(total.den()))
            return false;
        num = std::int64_t(total.num());
        den = std::int64_t(total.den());
        return true;
    }
    // Terms that a pass without its exact side wrote have no exact value.
    if (trace->ledgerUnworked != 0)
        trace->incomplete = true;
    // Small terms, the usual case, are added up over a common denominator in
    // 64 bits, not reduced; where that does not overflow, neither does any
    // step of adding them term by term, which gives the same sum.
    std::int64_t sum = 0, over = 1;
    bool small = true;
    ForEachSummedEntry([&](std::int64_t n, const Rational& exact) {
        // A term of 0 adds nothing either way (its denominator is 1).
        std::int64_t term;
        small = small && exact.small() && !__builtin_mul_overflow(std::int64_t(exact.num()), n, &term);
        if (!small)
            return;
        const auto d = std::int64_t(exact.den());
        if (d == over)
            small = !__builtin_add_overflow(sum, term, &sum);
        else
            small = !__builtin_mul_overflow(sum, d, &sum) && !__builtin_mul_overflow(term, over, &term) &&
                    !__builtin_add_overflow(sum, term, &sum) && !__builtin_mul_overflow(over, d, &over);
    });
    num = sum;
    den = over;
    return small;
}

namespace {

// The terms of SumAssignedShares: each ledger slot it adds up and the
// relative whose heads multiply it.
struct SummedTerm {
    std::size_t slot;
    Heir heir;
};
constexpr std::size_t slotOf(std::size_t offset) { return offset / sizeof(Currency); }
constexpr std::array kSummedTerms = {
    SummedTerm{slotOf(offsetof(ShareLedger, WifeShare)), Heir::Wives},
    SummedTerm{slotOf(offsetof(ShareLedger, HusbandShare)), Heir::Husband},
    SummedTerm{slotOf(offsetof(ShareLedger, FatherShare)), Heir::Father},
    SummedTerm{slotOf(offsetof(ShareLedger, GrandfatherShare)), Heir::Grandfather},
    SummedTerm{slotOf(offsetof(ShareLedger, MotherShare)), Heir::Mother},
    SummedTerm{slotOf(offsetof(ShareLedger, DaughterShare)), Heir::Daughters},
    SummedTerm{slotOf(offsetof(ShareLedger, UterineSiblingShare)), Heir::UterineSiblings},
    SummedTerm{slotOf(offsetof(ShareLedger, FullSisterShare)), Heir::FullSisters},
    SummedTerm{slotOf(offsetof(ShareLedger, SonsDaughterShare)), Heir::SonsDaughters},
    SummedTerm{slotOf(offsetof(ShareLedger, SonsSonShare)), Heir::SonsSons},
    SummedTerm{slotOf(offsetof(ShareLedger, GreatGranddaughterShare)), Heir::SonsSonsDaughters},
    SummedTerm{slotOf(offsetof(ShareLedger, GreatGrandsonShare)), Heir::SonsSonsSons},
    SummedTerm{slotOf(offsetof(ShareLedger, MothersMotherShare)), Heir::MothersMother},
    SummedTerm{slotOf(offsetof(ShareLedger, FathersMotherShare)), Heir::FathersMother},
    SummedTerm{slotOf(offsetof(ShareLedger, MothersMothersMotherShare)), Heir::MothersMothersMother},
    SummedTerm{slotOf(offsetof(ShareLedger, FathersMothersMotherShare)), Heir::FathersMothersMother},
    SummedTerm{slotOf(offsetof(ShareLedger, FathersFathersMotherShare)), Heir::FathersFathersMother},
    SummedTerm{slotOf(offsetof(ShareLedger, PaternalSisterShare)), Heir::PaternalSisters},
};

// For each slot: the counts whose persons are the heads of its relative
// (HeadsOf), and how many of them there are (none for a relative who is
// always one). Counts not used name some count all the same, so that both
// are read without a branch.
struct SlotHeads {
    HeadCount EstateCase::*first = &EstateCase::sons;
    HeadCount EstateCase::*second = &EstateCase::sons;
    int counts = 0;
};
constexpr auto kSlotHeads = [] {
    std::array<SlotHeads, Trace::kLedgerSlots> heads{};
    for (const SummedTerm& term : kSummedTerms) {
        SlotHeads& h = heads[term.slot];
        for (const CaseField& f : heirInfo(term.heir).caseFields()) {
            if (f.isCount())
                (h.counts++ == 0 ? h.first : h.second) = f.count;
        }
    }
    return heads;
}();
static_assert([] {
    for (const SlotHeads& h : kSlotHeads)
        if (h.counts > 2)
            return false;
    return true;
}(), "the heads of a relative are at most two counts");
// The slots that SumAssignedShares adds up.
constexpr std::uint32_t kSummedSlots = [] {
    std::uint32_t mask = 0;
    for (const SummedTerm& term : kSummedTerms)
        mask |= std::uint32_t(1) << term.slot;
    return mask;
}();

}  // namespace

template <class Term>
void Division::ForEachSummedEntry(Term term) const noexcept
{
    // The terms of SumAssignedShares written since the ledger was reset, in
    // the order of their slots: exactly, they add up to the same in any
    // order. No count holds more than kMaxCount persons, so that two of them
    // add up without overflow.
    for (std::uint32_t written = trace->ledgerWritten & kSummedSlots; written != 0; written &= written - 1) {
        const auto slot = std::size_t(std::countr_zero(written));
        const SlotHeads& h = kSlotHeads[slot];
        // Without a branch: both counts are read, and taken as many times as
        // they count.
        const std::int64_t heads = std::int64_t(h.counts == 0) + std::int64_t(h.counts > 0) * (c.*h.first).persons() +
                                   std::int64_t(h.counts > 1) * (c.*h.second).persons();
        term(heads, trace->ledger[slot]);
    }
}

}  // namespace qismar::detail
