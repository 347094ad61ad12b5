// Qismar: the working state of one division and its share rules.
//
// This header is the engine's inside, open to the engine's own tests so that
// each rule can be checked on a prepared ledger. Front ends use division.h.
#pragma once

#include "division.h"

namespace qismar::detail {

using Extended = long double;

inline Extended ext(Currency c) noexcept { return static_cast<Extended>(c.raw()); }

// One Currency entry per class of heir, each mirroring the amount last
// written into that heir's row, plus the residuary rules' unit count and the
// running total of assigned shares.
struct ShareLedger {
    Currency HusbandShare;
    Currency WifeShare;
    Currency FatherShare;
    Currency MotherShare;
    Currency SonShare;
    Currency DaughterShare;
    Currency SonsSonShare;
    Currency SonsDaughterShare;
    Currency FullBrotherShare;
    Currency FullSisterShare;
    Currency GrandfatherShare;
    Currency UterineSiblingShare;
    Currency MothersMotherShare;
    Currency FathersMotherShare;
    Currency PaternalSisterShare;
    Currency PaternalBrotherShare;
    Currency MothersMothersMotherShare;
    Currency FathersMothersMotherShare;
    Currency FathersFathersMotherShare;
    Currency GreatGranddaughterShare;
    Currency GreatGrandsonShare;

    Currency ResidueShareCount;
    Currency FixedSharesTotal;
};

class Division {
public:
    using Percentages = std::array<std::optional<Currency>, kRowCount>;

    Division(const EstateCase& estateCase, ResultRows& rows, Percentages& percentages) noexcept;

    // The Divide button's whole behaviour over the case; returns the outcome.
    Outcome BitBtn2Click();

    // The driver's steps and helpers.
    void MarkPresentRelatives();
    void ResetShareLedger() noexcept;
    void LaterRules();
    void ComputeDistributedTotal();
    void FillPercentages();

    // Spouse, parent and grandmother shares.
    void HusbandRule();
    void WivesRule();
    void FatherWithDescendantsRule();
    void GrandfatherWithDescendantsRule();
    void MotherRule();
    void ParentsWithSpouseRule();
    void MothersMotherRule();
    void FathersMotherRule();
    void MothersMothersMotherRule();
    void FathersMothersMotherRule();
    void FathersFathersMotherRule();

    // Daughters', sisters' and uterine siblings' fixed shares.
    void DaughtersRule();
    void UterineSiblingsRule();
    void FullSistersRule();
    void SonsDaughtersRule();
    void GreatGranddaughtersRule();
    void PaternalSistersRule();

    // Running total of assigned shares.
    void SumAssignedShares();

    // Residuaries.
    void FullSistersWithDaughters();
    void PaternalSistersWithDaughters();
    void ChildrenResidue();
    void GrandchildrenResidue();
    void GreatGrandchildrenResidue();
    void FullSiblingsResidue();
    void PaternalSiblingsResidue();
    void GrandfatherWithFullSiblings();
    void GrandfatherWithPaternalSiblings();
    void SoleResiduary();
    void SharedThird();

    // Working values, open to the tests.
    ShareLedger ledger;
    Currency ProblemBase;
    Currency EstateValue;
    Currency DistributedTotal;
    Currency SpousesTotal;
    bool SpouseDeductionPending = true;
    bool GreatGrandsonFlag = true;
    // The tolerance of every comparison of a total with the estate, in raw
    // units: 0.005 plus 0.0001 for each person of the case.
    Extended Tolerance = 50;

    // What the rows leave of the entered estate, when beyond Tolerance.
    std::optional<Currency> Undistributed;
    std::optional<Currency> UndistributedPercent;

    // The number of persons in the case (see Tolerance).
    static Currency PersonsInCase(const EstateCase& estateCase);
    // An amount as a percentage of the entered estate, rounded once.
    Currency Percentage(Currency amount) const;

private:
    // k parts of the base, taken from EstateValue.
    Currency Share(int k) const;
    // k parts of the base divided among `heads`.
    Currency DividedShare(int k, Currency heads) const;
    // (EstateValue - FixedSharesTotal) / units, never below 0: fixed shares
    // that round a hair above the estate leave nothing, not a debt.
    Currency ResiduePer(Currency units) const;
    // Male and female amounts of a 2:1 split of the residue.
    void SplitResidue(Currency males, Currency females, Currency& maleShare, Currency& femaleShare);
    // The mother of the father's mother and the mother of the father's
    // father: a sixth, shared with the other of them or with the mother's
    // mother's mother.
    void FarPaternalGrandmother(bool ticked, bool otherFarPaternalTicked, Currency& share, Row row);
    // The grandfather beside full or paternal siblings: the common scheme
    // of both rules; `fixedUnit(n)` gives a sister's fixed share for n sisters.
    struct SiblingKind {
        Currency brothers;
        Currency sisters;
        Currency& brothersShare;
        Row brothersRow;
        Row sistersRow;
    };
    template <class FixedUnit>
    void GrandfatherWithSiblings(const SiblingKind& kind, FixedUnit fixedUnit);
    bool HasDescendants() const noexcept { return c.children || c.grandchildren; }
    bool MaleDescendantPresent() const noexcept;
    // The grandmother boxes as the grandmother rules read them: a near
    // grandmother who inherits (the mother's mother, or the father's mother
    // without the father) excludes the far ones, and the grandfather excludes
    // his own mother.
    bool NearGrandmotherInherits() const noexcept { return c.mothersMother || (c.fathersMother && !c.father); }
    bool MothersMothersMotherBox() const noexcept { return c.mothersMothersMother && !NearGrandmotherInherits(); }
    bool FathersMothersMotherBox() const noexcept { return c.fathersMothersMother && !NearGrandmotherInherits(); }
    bool FathersFathersMotherBox() const noexcept
    {
        return c.fathersFathersMother && !NearGrandmotherInherits() && !c.grandfather;
    }
    bool AnyGrandmotherBox() const noexcept
    {
        return c.mothersMother || c.fathersMother || c.mothersMothersMother || c.fathersMothersMother ||
               c.fathersFathersMother;
    }
    bool FemaleDescendantPresent() const noexcept;
    void Write(Row row, Currency amount) noexcept { rows[index(row)] = RowText::of(amount); }

    const EstateCase& c;
    ResultRows& rows;
    Percentages& percentages;
};

}  // namespace qismar::detail
