// Qismar: the residuary heirs: sisters beside female descendants, males with
// the females of their degree at two to one, the grandfather beside siblings
// with his floor of a sixth, the chain of sole residuaries, and the third
// that uterine and full siblings share beside a husband and a mother. The
// residue is always EstateValue - FixedSharesTotal.
#include "engine/internal/division_state.h"

#include <utility>

namespace qismar::detail {

namespace {

constexpr Currency kOne = Currency::fromRaw(Currency::kScale);
constexpr Currency kTwo = Currency::fromRaw(2 * Currency::kScale);

bool positive(HeadCount h) { return h.positive(); }

Currency nonNegative(Currency v) { return v.raw() < 0 ? Currency{} : v; }
// A rest never below 0; a rest above 0 is at most the estate and fits an amount.
Currency nonNegative(WideAmount v) { return v.isNegative() ? Currency{} : v.amount(); }

}  // namespace

Currency Division::ResiduePer(Currency units) const
{
    // (estate-raw - total-raw) / units-raw x 10000, rounded once; a negative
    // value is taken as 0.
    return nonNegative(roundToCurrency((ext(EstateValue) - ext(ledger.FixedSharesTotal)) / ext(units) * 10000.0L));
}

void Division::SplitResidue(HeadCount males, HeadCount females, Currency& maleShare, Currency& femaleShare)
{
    ledger.ResidueShareCount = addExact(twice(males.money()), females.money());
    Store(femaleShare, ResiduePer(ledger.ResidueShareCount), [&] { return ResidueQ(ledger.ResidueShareCount); });
    // The male amount is exactly twice the rounded female amount.
    Store(maleShare, twice(femaleShare), [&] { return Exact(femaleShare) * Rational(2); });
}

bool Division::FemaleDescendantPresent() const noexcept
{
    return positive(c.daughters) || positive(c.sonsDaughters) || positive(c.sonsSonsDaughters);
}

bool Division::MaleDescendantPresent() const noexcept
{
    return positive(c.sons) || positive(c.sonsSons) || positive(c.sonsSonsSons);
}

// ---- Sisters beside female descendants -----------------------------------------

void Division::FullSistersWithDaughters()
{
    if (!c.sons.isZero() || !c.fullBrothers.isZero() || !positive(c.fullSisters) || !FemaleDescendantPresent() ||
        c.father)
        return;
    if (!c.sonsSons.isZero() || !c.sonsSonsSons.isZero() || c.grandfather)
        return;
    Store(ledger.FullSisterShare, ResiduePer(c.fullSisters.money()), [&] { return ResidueQ(c.fullSisters.money()); });
    // The estate counts as fully assigned from here on in this pass. Fixed
    // shares that already exceed it stay as they are, so that the driver
    // still raises the base.
    if (ledger.FixedSharesTotal < EstateValue) {
        ledger.FixedSharesTotal = EstateValue;
        if (trace && exactPass)
            Exact(ledger.FixedSharesTotal) = trace->estateValue;
    }
    WriteEntry(Heir::FullSisters, ledger.FullSisterShare, Source::ResidueBeside);
}

void Division::PaternalSistersWithDaughters()
{
    if (!c.sons.isZero() || !c.fullBrothers.isZero() || !c.paternalBrothers.isZero() || !c.fullSisters.isZero() ||
        !positive(c.paternalSisters) || !FemaleDescendantPresent() || c.father)
        return;
    if (!c.sonsSons.isZero() || !c.sonsSonsSons.isZero() || c.grandfather)
        return;
    Store(ledger.PaternalSisterShare, ResiduePer(c.paternalSisters.money()),
          [&] { return ResidueQ(c.paternalSisters.money()); });
    if (ledger.FixedSharesTotal < EstateValue) {
        ledger.FixedSharesTotal = EstateValue;
        if (trace && exactPass)
            Exact(ledger.FixedSharesTotal) = trace->estateValue;
    }
    WriteEntry(Heir::PaternalSisters, ledger.PaternalSisterShare, Source::ResidueBeside);
}

// ---- Descendants at two to one ---------------------------------------------------

void Division::ChildrenResidue()
{
    if (!(positive(c.daughters) && positive(c.sons)))
        return;
    SplitResidue(c.sons, c.daughters, ledger.SonShare, ledger.DaughterShare);
    WriteEntry(Heir::Sons, ledger.SonShare, Source::ResidueMale);
    WriteEntry(Heir::Daughters, ledger.DaughterShare, Source::ResidueFemale);
}

void Division::GrandchildrenResidue()
{
    if (c.sons.isZero() && positive(c.sonsDaughters) && positive(c.sonsSons)) {
        SplitResidue(c.sonsSons, c.sonsDaughters, ledger.SonsSonShare, ledger.SonsDaughterShare);
        WriteEntry(Heir::SonsSons, ledger.SonsSonShare, Source::ResidueMale);
        WriteEntry(Heir::SonsDaughters, ledger.SonsDaughterShare, Source::ResidueFemale);
    }
    // Without sons' sons, the sons' sons' sons make the sons' daughters
    // residuaries, unless these already hold a fixed share; the females of
    // their own degree, the sons' sons' daughters, share with them too, each
    // female taking what a son's daughter takes.
    if (c.sons.isZero() && positive(c.sonsDaughters) && c.sonsSons.isZero() && positive(c.sonsSonsSons) &&
        ledger.SonsDaughterShare.isZero()) {
        GreatGrandsonFlag = false;
        SplitResidue(c.sonsSonsSons, c.sonsDaughters + c.sonsSonsDaughters, ledger.GreatGrandsonShare,
                     ledger.SonsDaughterShare);
        Store(ledger.GreatGranddaughterShare, ledger.SonsDaughterShare, [&] { return Exact(ledger.SonsDaughterShare); });
        WriteEntry(Heir::SonsSonsSons, ledger.GreatGrandsonShare, Source::ResidueMale);
        WriteEntry(Heir::SonsDaughters, ledger.SonsDaughterShare, Source::ResidueFemale);
        if (positive(c.sonsSonsDaughters))
            WriteEntry(Heir::SonsSonsDaughters, ledger.GreatGranddaughterShare, Source::ResidueFemale);
    }
}

void Division::GreatGrandchildrenResidue()
{
    if (!positive(c.sonsSonsSons) || !positive(c.sonsSonsDaughters) || !c.sons.isZero() || !c.sonsSons.isZero() ||
        !GreatGrandsonFlag)
        return;
    SplitResidue(c.sonsSonsSons, c.sonsSonsDaughters, ledger.GreatGrandsonShare, ledger.GreatGranddaughterShare);
    WriteEntry(Heir::SonsSonsSons, ledger.GreatGrandsonShare, Source::ResidueMale);
    WriteEntry(Heir::SonsSonsDaughters, ledger.GreatGranddaughterShare, Source::ResidueFemale);
}

// ---- Brothers with their sisters ------------------------------------------------

void Division::FullSiblingsResidue()
{
    if (c.father || c.grandfather || !c.sons.isZero() || !c.sonsSons.isZero() || !c.sonsSonsSons.isZero() ||
        !positive(c.fullBrothers) || !positive(c.fullSisters))
        return;
    SplitResidue(c.fullBrothers, c.fullSisters, ledger.FullBrotherShare, ledger.FullSisterShare);
    WriteEntry(Heir::FullBrothers, ledger.FullBrotherShare, Source::ResidueMale);
    WriteEntry(Heir::FullSisters, ledger.FullSisterShare, Source::ResidueFemale);
}

void Division::PaternalSiblingsResidue()
{
    if (c.father || c.grandfather || !c.sons.isZero() || !c.sonsSons.isZero() || !c.sonsSonsSons.isZero() ||
        !c.fullBrothers.isZero() || !positive(c.paternalBrothers) || !positive(c.paternalSisters))
        return;
    // A full sister beside a female descendant has taken the residue.
    if (positive(c.fullSisters) && FemaleDescendantPresent())
        return;
    SplitResidue(c.paternalBrothers, c.paternalSisters, ledger.PaternalBrotherShare, ledger.PaternalSisterShare);
    WriteEntry(Heir::PaternalBrothers, ledger.PaternalBrotherShare, Source::ResidueMale);
    WriteEntry(Heir::PaternalSisters, ledger.PaternalSisterShare, Source::ResidueFemale);
}

// ---- The grandfather beside siblings -----------------------------------------------

template <class FixedUnit>
bool Division::GrandfatherWithSiblings(const SiblingKind& kind, FixedUnit fixedUnit)
{
    Currency siblingUnit;  // the amount of one sister, half a brother's
    // Sisters alone beside him (no brother of their kind, no female
    // descendant) take their fixed share and he takes the rest; otherwise he
    // shares the residue as one more brother.
    const bool fixedSisters = kind.brothers.isZero() && !FemaleDescendantPresent();
    Rational unitQ;  // the exact side of siblingUnit
    int sistersK = 0;
    if (fixedSisters) {
        const HeadCount n = kind.sisters;
        const auto [unit, k] = fixedUnit(n);
        siblingUnit = unit;
        sistersK = k;
        ledger.FixedSharesTotal =
            WideAmount::rounded(ext(ledger.FixedSharesTotal) + ext(n) * ext(siblingUnit) / Currency::kScale);
        // Below 0 where the fixed shares claim more than the estate (the
        // floor below then gives him his sixth), by at most two thirds of it.
        ledger.GrandfatherShare = subtractExact(EstateValue, ledger.FixedSharesTotal).amount();
        if (trace && exactPass) {
            unitQ = k == 0 ? Rational() : DividedQ(k, n);
            Exact(ledger.FixedSharesTotal) += HeadsQ(n) * unitQ;
            Mirror(ledger.GrandfatherShare, trace->estateValue - Exact(ledger.FixedSharesTotal));
        } else if (trace) {
            Unworked(ledger.GrandfatherShare);
        }
    } else {
        ledger.ResidueShareCount = addExact(twice(addExact(kind.brothers.money(), kOne)), kind.sisters.money());
        siblingUnit = ResiduePer(ledger.ResidueShareCount);
        ledger.GrandfatherShare = twice(siblingUnit);
        kind.brothersShare = ledger.GrandfatherShare;
        if (trace && exactPass) {
            unitQ = ResidueQ(ledger.ResidueShareCount);
            Mirror(ledger.GrandfatherShare, unitQ * Rational(2));
            Mirror(kind.brothersShare, unitQ * Rational(2));
        } else if (trace) {
            Unworked(ledger.GrandfatherShare);
            Unworked(kind.brothersShare);
        }
    }

    // He never takes less than a sixth of the estate, compared unrounded.
    const Extended sixth = 4.0L / ext(ProblemBase) * ext(EstateValue) * 10000.0L;
    const bool floor = ext(ledger.GrandfatherShare) < sixth;
    if (floor) {
        Store(ledger.GrandfatherShare, roundToCurrency(sixth), [&] { return ShareQ(4); }, 4);
        ledger.FixedSharesTotal = addExact(ledger.FixedSharesTotal, ledger.GrandfatherShare);
        if (trace && exactPass)
            Exact(ledger.FixedSharesTotal) += Exact(ledger.GrandfatherShare);
        if (!fixedSisters) {
            // The siblings share what is left without him.
            siblingUnit = ResiduePer(subtractExact(ledger.ResidueShareCount, kTwo));
            if (trace && exactPass)
                unitQ = ResidueQ(subtractExact(ledger.ResidueShareCount, kTwo));
        }
        Store(kind.brothersShare, twice(siblingUnit), [&] { return unitQ * Rational(2); });
    }

    // He shares as a brother, takes the sixth that is better for him, or
    // takes the rest beside sisters who hold their fixed share.
    WriteEntry(Heir::Grandfather, ledger.GrandfatherShare,
               floor ? Source::GrandfatherSixth : fixedSisters ? Source::GrandfatherRest : Source::GrandfatherSharing);
    if (positive(kind.brothers))
        WriteEntry(kind.brothersRow, kind.brothersShare,
                   !floor ? Source::GrandfatherSharing : kind.sisters.isZero() ? Source::ResidueAlone : Source::ResidueMale);
    if (positive(kind.sisters)) {
        // A sister's unit is no ledger entry: its exact side is kept here.
        Write(kind.sistersRow, siblingUnit);
        if (trace && exactPass)
            Record(kind.sistersRow, unitQ,
                   fixedSisters ? Source::Fixed : !floor ? Source::GrandfatherSharing : Source::ResidueFemale, sistersK);
        else if (trace)
            Unworked(kind.sistersRow);
    }
    return floor && fixedSisters;
}

void Division::GrandfatherWithFullSiblings()
{
    GrandfatherSixthBesideFullSister = false;
    if (c.father || !c.grandfather || !c.sons.isZero() || !c.sonsSons.isZero() || !c.sonsSonsSons.isZero())
        return;
    if (!(positive(c.fullBrothers) || positive(c.fullSisters)))
        return;
    GrandfatherSixthBesideFullSister = GrandfatherWithSiblings(SiblingKind{c.fullBrothers, c.fullSisters, ledger.FullBrotherShare, Heir::FullBrothers, Heir::FullSisters},
                            [this](HeadCount n) {
                                // The sister's unit and the sisters' share in parts of 24.
                                if (n.isOne())
                                    return std::pair{Share(12), 12};  // one sister: a half
                                if (n.persons() > 1)
                                    return std::pair{DividedShare(16, n), 16};  // several: two thirds
                                return std::pair{Currency{}, 0};
                            });
}

void Division::GrandfatherWithPaternalSiblings()
{
    if (c.father || !c.grandfather || !c.sons.isZero() || !c.sonsSons.isZero() || !c.sonsSonsSons.isZero())
        return;
    if (!(c.fullBrothers.isZero() && c.fullSisters.persons() < 2))
        return;
    if (c.fullSisters.isOne() && FemaleDescendantPresent())
        return;
    if (!(positive(c.paternalBrothers) || positive(c.paternalSisters)))
        return;
    // Beside the full sister's half, the rule with full siblings may already
    // have raised the grandfather to his sixth and counted it among the fixed
    // shares; this rule decides his share again, so that sixth is taken out
    // first, or it would be counted twice and raise the base too far.
    if (GrandfatherSixthBesideFullSister) {
        ledger.FixedSharesTotal = subtractExact(ledger.FixedSharesTotal, ledger.GrandfatherShare);
        if (trace && exactPass)
            Exact(ledger.FixedSharesTotal) -= Exact(ledger.GrandfatherShare);
    }
    GrandfatherWithSiblings(
        SiblingKind{c.paternalBrothers, c.paternalSisters, ledger.PaternalBrotherShare, Heir::PaternalBrothers, Heir::PaternalSisters},
        [this](HeadCount n) {
            std::pair<Currency, int> unit{Currency{}, 0};
            if (n.isOne() && c.fullSisters.isZero())
                unit = {Share(12), 12};
            if (positive(n) && c.fullSisters.isOne())
                unit = {DividedShare(4, n), 4};  // beside one full sister: the completing sixth
            if (n.persons() > 1 && c.fullSisters.isZero())
                unit = {DividedShare(16, n), 16};
            return unit;
        });
}

// ---- The nearest male residuary ------------------------------------------------------

void Division::SoleResiduary()
{
    const ShareLedger& L = ledger;
    const bool noDescendantServed = L.GreatGrandsonShare.isZero() && L.SonsSonShare.isZero() && L.SonShare.isZero();

    // The whole residue to one class of heads.
    const auto residue = [this](Heir row, HeadCount heads) {
        Write(row, ResiduePer(heads.money()));
        if (trace && exactPass)
            Record(row, ResidueQ(heads.money()), Source::ResidueAlone);
        else if (trace)
            Unworked(row);
    };
    // The father's or the grandfather's fixed share plus the residue.
    const auto rest = [this](Heir row, const Currency& share, Source source) {
        Write(row, nonNegative(subtractExact(EstateValue, subtractExact(ledger.FixedSharesTotal, share))));
        if (trace && exactPass) {
            Record(row, RestQ(share), source, ExactK(share));
            FixedPart(row, Exact(share));
        } else if (trace) {
            Unworked(row);
            UnworkedFixedPart(row);
        }
    };

    if (positive(c.sons) && L.SonShare.isZero()) {
        residue(Heir::Sons, c.sons);
        return;
    }
    if (positive(c.sonsSons) && L.SonsSonShare.isZero() && L.SonShare.isZero()) {
        residue(Heir::SonsSons, c.sonsSons);
        return;
    }
    if (positive(c.sonsSonsSons) && noDescendantServed) {
        residue(Heir::SonsSonsSons, c.sonsSonsSons);
        return;
    }
    if (c.father && noDescendantServed) {
        // His fixed share plus the residue (never below 0).
        rest(Heir::Father, L.FatherShare, Source::FatherRest);
        return;
    }
    if (c.grandfather && c.fullBrothers.isZero() && c.paternalBrothers.isZero() && c.fullSisters.isZero() &&
        c.paternalSisters.isZero() && noDescendantServed) {
        rest(Heir::Grandfather, L.GrandfatherShare, Source::GrandfatherRest);
        return;
    }
    if (positive(c.fullBrothers) && c.fullSisters.isZero() && !c.grandfather && noDescendantServed) {
        residue(Heir::FullBrothers, c.fullBrothers);
        return;
    }
    if (positive(c.paternalBrothers) && c.paternalSisters.isZero() && !c.grandfather && c.fullBrothers.isZero() &&
        noDescendantServed && L.FullBrotherShare.isZero()) {
        residue(Heir::PaternalBrothers, c.paternalBrothers);
        return;
    }

    // The distant residuaries: nephews, uncles and cousins, the nearest of
    // whom takes the residue (the heir table lists them nearest first). The
    // grandfather excludes them all; where he stands beside lone sisters he
    // has already taken the rest.
    if (!noDescendantServed || !L.FullBrotherShare.isZero() || !L.PaternalBrotherShare.isZero() || c.grandfather)
        return;
    constexpr const auto& distant = kHeirsOfClass<HeirClass::DistantResiduary>;
    bool served = false;
    forEachIndex<distant>([&](auto i) {
        if (const HeadCount heads = HeadsOf(c, distant[i]); !served && positive(heads)) {
            residue(distant[i], heads);
            served = true;
        }
    });
}

// ---- The shared third -----------------------------------------------------------------

void Division::SharedThird()
{
    // The sixth of an ascendant woman, the mother's or a grandmother's, is
    // what leaves nothing for the full brothers beside the husband and the
    // uterine siblings' third.
    if (!(c.mother || AnyGrandmotherBox()) || !c.spouse || !c.isWoman() || !positive(c.fullBrothers))
        return;
    if (!((c.uterineBrothers + c.uterineSisters).persons() > 1))
        return;
    if (c.father || c.grandfather || c.children || c.grandchildren)
        return;
    const HeadCount heads = c.uterineBrothers + c.uterineSisters + c.fullSisters + c.fullBrothers;
    // A third of the estate, shared equally by head: (8 / base x estate) / heads x 10^8.
    Store(ledger.UterineSiblingShare,
          roundToCurrency(8.0L / ext(ProblemBase) * ext(EstateValue) / ext(heads) * 100000000.0L),
          [&] { return DividedQ(8, heads); }, 8);
    WriteEntry(Heir::UterineSiblings, ledger.UterineSiblingShare, Source::SharedThird);
    WriteEntry(Heir::FullBrothers, ledger.UterineSiblingShare, Source::SharedThird);
    if (positive(c.fullSisters))
        WriteEntry(Heir::FullSisters, ledger.UterineSiblingShare, Source::SharedThird);
}

}  // namespace qismar::detail
