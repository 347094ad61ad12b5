// Qismar: the working state of one division and its share rules.
//
// The engine's inside: the engine's sources and the engine's own tests (which
// check each rule on a prepared ledger) include it; every other part of the
// program goes through engine/division.h and engine/explanation.h. Only a
// target that defines QISMAR_ENGINE_INTERNAL can include it (see
// engine/CMakeLists.txt).
#pragma once

#ifndef QISMAR_ENGINE_INTERNAL
#error "engine/internal/ is private to the engine and its tests: include engine/division.h or engine/explanation.h"
#endif

#include <array>
#include <cstddef>

#include "engine/division.h"
#include "engine/rational.h"
#include "engine/wide_amount.h"

namespace qismar::detail {

using Extended = long double;

inline Extended ext(Currency c) noexcept { return static_cast<Extended>(c.raw()); }
// A total that may pass the range of one amount: the same extended value.
inline Extended ext(WideAmount w) noexcept { return w.raw(); }
// A count as the money arithmetic takes it: its persons as raw units of money.
inline Extended ext(HeadCount h) { return ext(h.money()); }

// One Currency entry per class of heir, each mirroring the amount last
// written into that heir's row, plus the residuary rules' unit count and the
// running total of assigned shares. That total is wide: before the base is
// raised, the fixed shares may claim up to 40 parts of 24 of the estate.
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
    // Last: the entries above are the Currency slots of the trace.
    WideAmount FixedSharesTotal;
};

// How a row received the amount it holds at the end of a division.
// k parts of 24 as reduced fractions, for k from 0 to 24: every fixed share
// of the engine is one of them.
inline constexpr std::array<Rational, 25> kPartsOf24 = [] {
    std::array<Rational, 25> t{};
    for (int k = 0; k <= 24; ++k)
        t[std::size_t(k)] = Rational::of64(k, 24);
    return t;
}();

enum class Source : std::uint8_t {
    None,                // never written: the mark of a present relative stands
    Fixed,               // a fixed share; the class's share is k parts of 24
    Umariyya,            // the mother's third of what the spouse leaves (k of 24 of the whole)
    ResidueAlone,        // the whole residue, the class by itself
    ResidueMale,         // the males' part of a residue shared two to one
    ResidueFemale,       // the females' part of a residue shared two to one
    ResidueBeside,       // sisters taking the residue beside female descendants
    FatherRest,          // the father: his fixed share, if any, and the residue
    GrandfatherRest,     // the grandfather likewise, or the rest beside lone sisters
    SharedThird,         // the third shared by uterine and full siblings
    GrandfatherSharing,  // the grandfather sharing the residue with siblings as a brother
    GrandfatherSixth,    // the grandfather's floor of a sixth beside siblings
};

struct RowSource {
    Source source = Source::None;
    std::uint8_t k = 0;
};

// The exact side of a division that is to be explained: every amount the
// rules store, mirrored by its exact fraction of the entered estate, and how
// each row got its amount. It is filled only when asked for; a division
// without it computes nothing of this.
struct Trace {
    static constexpr int kLedgerSlots = offsetof(ShareLedger, FixedSharesTotal) / sizeof(Currency);
    std::array<Rational, kLedgerSlots> ledger{};
    Rational fixedSharesTotal;  // the ledger's FixedSharesTotal
    // SumAssignedShares has set FixedSharesTotal, and its exact side is to be
    // added up from `ledger` when it is first read (Division::SumExactShares).
    bool fixedSharesTotalPending = false;
    // The fixed share (k parts of 24) behind a ledger entry, 0 for a residue.
    std::array<std::uint8_t, kLedgerSlots> ledgerK{};
    // One bit for each entry of `ledger` written (by Division::Mirror) since
    // the ledger was last reset: an entry without it is 0, whatever `ledger`
    // still holds there.
    std::uint32_t ledgerWritten = 0;
    static_assert(kLedgerSlots <= 32, "one bit for each ledger entry");
    Rational estateValue = 1;  // EstateValue as a fraction of the entered estate
    Rational spousesTotal;
    std::array<Rational, kHeirCount> rows{};  // per head
    std::array<RowSource, kHeirCount> sources{};
    // One bit for each row noted (by Division::Record) since the division
    // began: a row without it is 0, from no source.
    std::uint32_t rowsRecorded = 0;
    static_assert(kHeirCount <= 32, "one bit for each row");
    // One bit for each row marked "nothing for him" as the division began
    // (a present relative). Every row a rule writes is noted in
    // rowsRecorded, so that the rows of the result that are not empty are
    // those of either.
    std::uint32_t rowsPresent = 0;
    // For the father's and the grandfather's share plus the residue: the
    // fixed share within it.
    std::array<Rational, kHeirCount> fixedPart{};
    int lastFullBase = 24;  // the base of the last full pass (the spouses' shares)
    bool spousesSetAside = false;

    // Passes whose exact side is not worked out. A pass that does not settle
    // the division is overwritten by the next, so only the first pass of a
    // division and the one that looks as if it settles it are worked out
    // exactly; the passes between them only note what they wrote. What they
    // wrote has no exact value: one bit for each ledger entry, row (with its
    // source) and fixed part so written and not worked out since.
    std::uint32_t ledgerUnworked = 0;
    std::uint32_t rowsUnworked = 0;
    std::uint32_t fixedPartsUnworked = 0;
    // The settling pass was not worked out, or an exact value was read, or
    // is left in the trace, that a pass without its exact side wrote: the
    // division is to be made again with every pass worked out.
    bool incomplete = false;
};

class Division {
public:
    using Percentages = std::array<std::optional<Currency>, kHeirCount>;

    Division(const EstateCase& estateCase, ResultRows& rows, Percentages& percentages) noexcept;

    // The whole division of the case, from empty rows; returns the outcome.
    Outcome run();

    // The driver's steps and helpers.
    void MarkPresentRelatives();
    void ResetShareLedger() noexcept;
    // One pass of the rules: a full one, or one that returns the surplus.
    void PassRules(bool fullPass);
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
    // Every row times its heads: a hair above the estate where each head's
    // amount rounds up, beyond one amount at the largest estates.
    WideAmount DistributedTotal;
    Currency SpousesTotal;
    bool SpouseDeductionPending = true;
    bool GreatGrandsonFlag = true;
    // GrandfatherWithFullSiblings added the grandfather's sixth
    // (GrandfatherShare) to FixedSharesTotal in this pass, beside a lone full
    // sister who holds her half: GrandfatherWithPaternalSiblings takes it out
    // again before it decides his share a second time.
    bool GrandfatherSixthBesideFullSister = false;
    // The tolerance of every comparison of a total with the estate, in raw
    // units: 0.005 plus 0.0001 for each person of the case.
    Extended Tolerance = 50;

    // Set by the caller when the division is to be explained.
    Trace* trace = nullptr;
    // While a trace is kept: whether the pass under way works out its exact
    // side (see Trace::ledgerUnworked).
    bool exactPass = true;
    // Whether every pass works out its exact side.
    bool exactEveryPass = false;

    // What the rows leave of the entered estate, when beyond Tolerance.
    std::optional<Currency> Undistributed;
    std::optional<Currency> UndistributedPercent;

    // An amount as a percentage of the entered estate, rounded once.
    Currency Percentage(Currency amount) const;

private:
    // k parts of the base, taken from EstateValue.
    Currency Share(int k) const;
    // k parts of the base divided among `heads`.
    Currency DividedShare(int k, HeadCount heads) const;
    // (EstateValue - FixedSharesTotal) / units, never below 0: fixed shares
    // that round a hair above the estate leave nothing, not a debt.
    Currency ResiduePer(Currency units) const;
    // Male and female amounts of a 2:1 split of the residue.
    void SplitResidue(HeadCount males, HeadCount females, Currency& maleShare, Currency& femaleShare);
    // The mother of the father's mother and the mother of the father's
    // father: a sixth, shared with the other of them or with the mother's
    // mother's mother.
    void FarPaternalGrandmother(bool ticked, bool otherFarPaternalTicked, Currency& share, Heir row);
    // The grandfather beside full or paternal siblings: the common scheme
    // of both rules; `fixedUnit(n)` gives a sister's fixed share for n sisters.
    struct SiblingKind {
        HeadCount brothers;
        HeadCount sisters;
        Currency& brothersShare;
        Heir brothersRow;
        Heir sistersRow;
    };
    // Returns whether the floor added the grandfather's sixth to
    // FixedSharesTotal on the fixed-sisters path.
    template <class FixedUnit>
    bool GrandfatherWithSiblings(const SiblingKind& kind, FixedUnit fixedUnit);
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
    void Write(Heir row, Currency amount) noexcept { rows[index(row)] = RowText::of(amount); }
    // A ledger entry set to `amount`; while a trace is kept, its exact
    // fraction (`exact()`, computed only then) and the fixed share of k parts
    // behind it are noted beside it.
    template <class ExactFraction>
    void Store(Currency& entry, Currency amount, ExactFraction exact, int k = 0) noexcept
    {
        entry = amount;
        if (trace) {
            if (exactPass)
                Mirror(entry, exact(), k);
            else
                Unworked(entry);
        }
    }
    // A ledger entry written into the row of `row`; while a trace is kept,
    // how the row got it.
    void WriteEntry(Heir row, const Currency& entry, Source source) noexcept
    {
        Write(row, entry);
        if (trace) {
            if (exactPass)
                Record(row, entry, source);
            else
                Unworked(row);
        }
    }
    // Both: a share stored in its ledger entry and written into its row.
    template <class ExactFraction>
    void Assign(Heir row, Currency& entry, Currency amount, ExactFraction exact, int k, Source source = Source::Fixed) noexcept
    {
        Store(entry, amount, exact, k);
        WriteEntry(row, entry, source);
    }

    // The exact side (only while a trace is kept, and read only in a pass
    // that works it out).
    const Rational& Exact(const Currency& ledgerEntry) const noexcept
    {
        const auto slot = std::size_t(&ledgerEntry - &ledger.HusbandShare);
        // An entry that a pass without its exact side wrote has no exact value.
        if ((trace->ledgerUnworked >> slot) & 1)
            trace->incomplete = true;
        // One not written since the ledger was reset is 0.
        return (trace->ledgerWritten >> slot) & 1 ? trace->ledger[slot] : kZeroFraction;
    }
    static constexpr Rational kZeroFraction{};
    Rational& Exact(const WideAmount& fixedSharesTotal) const noexcept;
    std::uint8_t& ExactK(const Currency& ledgerEntry) const noexcept
    {
        return trace->ledgerK[std::size_t(&ledgerEntry - &ledger.HusbandShare)];
    }
    // The exact side of SumAssignedShares, added up when it is first read.
    void SumExactShares() const noexcept;
    // The exact total of the fixed shares as num / den, not necessarily
    // reduced, and not kept; false where it is not small (see
    // Rational::smallDifference).
    bool SmallExactTotal(std::int64_t& num, std::int64_t& den) const noexcept;
    // Calls term(heads, exact) for each entry that SumAssignedShares adds up
    // and that was written since the ledger was reset, with the heads of its
    // relative.
    template <class Term>
    void ForEachSummedEntry(Term term) const noexcept;
    // A ledger entry and its exact fraction, with the fixed share behind it.
    void Mirror(const Currency& ledgerEntry, const Rational& exact, int k = 0) noexcept;
    // Notes how a row got its amount: its exact per-head fraction and source.
    void Record(Heir row, const Rational& exact, Source source, int k = 0) noexcept
    {
        trace->rows[std::size_t(index(row))] = exact;
        trace->sources[std::size_t(index(row))] = {source, std::uint8_t(k)};
        trace->rowsRecorded |= std::uint32_t(1) << index(row);
        trace->rowsUnworked &= ~(std::uint32_t(1) << index(row));
    }
    void Record(Heir row, const Currency& ledgerEntry, Source source) noexcept
    {
        Record(row, Exact(ledgerEntry), source, ExactK(ledgerEntry));
    }
    // In a pass without its exact side: notes what was written.
    void Unworked(const Currency& ledgerEntry) noexcept
    {
        const std::uint32_t bit = std::uint32_t(1) << (&ledgerEntry - &ledger.HusbandShare);
        trace->ledgerWritten |= bit;
        trace->ledgerUnworked |= bit;
    }
    void Unworked(Heir row) noexcept
    {
        trace->rowsRecorded |= std::uint32_t(1) << index(row);
        trace->rowsUnworked |= std::uint32_t(1) << index(row);
    }
    void UnworkedFixedPart(Heir row) noexcept { trace->fixedPartsUnworked |= std::uint32_t(1) << index(row); }
    // The fixed share within a row that also takes the residue.
    void FixedPart(Heir row, const Rational& exact) noexcept
    {
        trace->fixedPart[std::size_t(index(row))] = exact;
        trace->fixedPartsUnworked &= ~(std::uint32_t(1) << index(row));
    }
    // The exact side is of the whole estate (its estateValue is 1) until the
    // spouses' total is set aside.
    bool OfWholeEstate() const noexcept { return !trace->spousesSetAside; }
    Rational BaseQ() const noexcept;
    static Rational HeadsQ(Currency heads) noexcept;
    static Rational HeadsQ(HeadCount heads) noexcept { return Rational(heads.persons()); }
    Rational ShareQ(int k) const noexcept;
    Rational DividedQ(int k, HeadCount heads) const noexcept;
    Rational ResidueQ(Currency units) const noexcept;
    // EstateValue - (FixedSharesTotal - share), never below 0: the fixed
    // share `share` and the residue.
    Rational RestQ(const Currency& share) const noexcept;

    const EstateCase& c;
    ResultRows& rows;
    Percentages& percentages;
};

}  // namespace qismar::detail

namespace qismar {
// Divide, keeping the exact side of the division in `trace` when it is not null.
DivisionResult Divide(const EstateCase& estateCase, detail::Trace* trace);
}  // namespace qismar
