// Qismar: the division driver, the marking of present relatives, the
// distributed total and the percentage column.
#include "engine/internal/division_state.h"

#include <bit>
#include <type_traits>

namespace qismar {

namespace detail {

namespace {

constexpr Currency kStartingBase = Currency::fromRaw(24 * Currency::kScale);
constexpr Currency kBaseStep = Currency::fromRaw(Currency::kScale);
constexpr Extended kFixedTolerance = 50;  // 0.005

// The terms of the distributed total in the order in which they are added:
// these single heirs before the sum is scaled, the rest amount times heads.
// Every addition rounds, so this order is part of the result.
constexpr std::array kAddedBeforeScaling = {Heir::Father, Heir::Mother, Heir::MothersMothersMother,
                                            Heir::FathersMothersMother, Heir::FathersFathersMother};
constexpr std::array kAddedPerHead = {
    Heir::Sons,          Heir::Daughters,        Heir::SonsSons,         Heir::SonsDaughters,
    Heir::SonsSonsSons,  Heir::SonsSonsDaughters, Heir::FullBrothers,    Heir::FullSisters,
    Heir::Grandfather,   Heir::UterineSiblings,  Heir::MothersMother,    Heir::FathersMother,
    Heir::PaternalSisters, Heir::FullUncles,     Heir::FullBrothersSons, Heir::PaternalBrothersSons,
    Heir::PaternalBrothers, Heir::PaternalUncles, Heir::FullUnclesSons,  Heir::PaternalUnclesSons};
static_assert(kAddedBeforeScaling.size() + kAddedPerHead.size() + 2 == kHeirCount,
              "every relative but the spouses is one term of the distributed total");

}  // namespace

Division::Division(const EstateCase& estateCase, ResultRows& rowsIn, Percentages& percentagesOut) noexcept
    : c(estateCase), rows(rowsIn), percentages(percentagesOut)
{
}

Outcome Division::run()
{
    // An estate of 0 is refused before anything is changed.
    if (c.estate.isZero())
        return Outcome::NoEstate;

    // Anything negative (or no wife at all) would make a share divide by
    // zero or by a negative head count.
    if (c.estate.raw() < 0 || c.siblingTotal.persons() < 0 || c.wives.persons() <= 0)
        throw EngineError(ErrorCode::InvalidCount);
    bool negative = false, tooLarge = false;
    forEachIndex<kCountFields>([&](auto i) {
        const std::int64_t persons = (c.*kCountFields[i].count).persons();
        negative |= persons < 0;
        tooLarge |= persons > kMaxCount;
    });
    if (negative)
        throw EngineError(ErrorCode::InvalidCount);
    // No count may hold more persons than kMaxCount, so that no total of
    // persons or of residue units can leave the range of money.
    if (tooLarge)
        throw EngineError(ErrorCode::CountTooLarge);

    // Per-head amounts are rounded to 0.0001, so a class of many heads can
    // miss the estate by up to half a raw unit a head: the tolerance grows
    // with the number of persons, so that rounding noise never moves the base.
    const std::int64_t personCount = PersonsInCase(c).persons();
    Tolerance = kFixedTolerance + Extended(personCount);

    // Less than 0.01 for each person would leave amounts that are rounding
    // noise: such an estate is refused before any pass.
    if (c.estate.raw() < 100 * personCount)
        throw EngineError(ErrorCode::EstateTooSmall);

    // Every present relative's row says "nothing for him" until a rule
    // gives him an amount; the exact side starts from the whole estate.
    MarkPresentRelatives();
    if (trace) {
        // Only the rows that the last division noted hold anything.
        for (std::uint32_t noted = trace->rowsRecorded; noted != 0; noted &= noted - 1) {
            const auto i = std::size_t(std::countr_zero(noted));
            trace->rows[i] = Rational();
            trace->sources[i] = RowSource{};
        }
        trace->rowsRecorded = 0;
        trace->ledgerUnworked = 0;
        trace->rowsUnworked = 0;
        trace->fixedPartsUnworked = 0;
        trace->incomplete = false;
        trace->estateValue = 1;
        trace->spousesSetAside = false;
        trace->fixedSharesTotalPending = false;
    }

    // The first pass divides the whole estate at a base of 24.
    EstateValue = c.estate;
    GreatGrandsonFlag = true;
    SpouseDeductionPending = true;
    ProblemBase = kStartingBase;

    WideAmount lastDistributed;
    bool fullPass = true;
    // Whether the next pass looks as if it settles the division: it then
    // works out its exact side (a guess: where it is wrong, the division is
    // made again with every pass worked out).
    bool nextLooksFinal = false;
    for (int pass = 1;; ++pass) {
        if (pass > kMaxPasses)
            throw EngineError(ErrorCode::TooManyPasses);
        if (trace) {
            // No rule reads the exact total of the fixed shares before
            // SumAssignedShares sets it again: that of the last pass, if
            // never read, is not added up.
            trace->fixedSharesTotalPending = false;
            if (fullPass)
                trace->lastFullBase = int(ProblemBase.raw() / Currency::kScale);
            // Most divisions are settled by their first pass; a pass after
            // it works out its exact side when it looks as if it settles the
            // division.
            exactPass = (pass == 1) | exactEveryPass | nextLooksFinal;
        }
        PassRules(fullPass);

        // Fixed shares beyond the entered estate: raise the base (the 'awl).
        if (ext(ledger.FixedSharesTotal) > ext(c.estate) + Tolerance) {
            // Fixed shares shrink with the base they are parts of.
            // (Compared multiplied out, without a division.)
            if (trace)
                nextLooksFinal = ext(ledger.FixedSharesTotal) * ext(ProblemBase) <=
                                 (ext(c.estate) + Tolerance) * (ext(ProblemBase) + ext(kBaseStep));
            ProblemBase = addExact(ProblemBase, kBaseStep);
            fullPass = true;
            continue;
        }

        ComputeDistributedTotal();
        lastDistributed = DistributedTotal;

        // Below the starting base the spouses' amounts stand aside.
        if (ProblemBase < kStartingBase) {
            DistributedTotal = subtractExact(DistributedTotal, SpousesTotal);
            if (ext(DistributedTotal) <= Tolerance)
                break;
        }

        // Nothing left over: the division is settled.
        if (ext(EstateValue) <= ext(DistributedTotal) + Tolerance)
            break;

        // Return of the surplus (the radd): set the spouses' total aside
        // once and lower the base.
        const Extended estateBefore = ext(EstateValue);
        if (SpouseDeductionPending) {
            SpouseDeductionPending = false;
            EstateValue = subtractExact(EstateValue, SpousesTotal);
            if (trace) {
                constexpr std::uint32_t spouses =
                    std::uint32_t(1) << index(Heir::Wives) | std::uint32_t(1) << index(Heir::Husband);
                if ((trace->rowsUnworked & spouses) != 0)
                    trace->incomplete = true;
                // The spouses' total exactly, from the rows it was read from.
                trace->spousesTotal = HeadsQ(HeadsOf(c, Heir::Wives)) * trace->rows[std::size_t(index(Heir::Wives))] +
                                      trace->rows[std::size_t(index(Heir::Husband))];
                trace->estateValue -= trace->spousesTotal;
                trace->spousesSetAside = true;
            }
        }
        if (ProblemBase.raw() - kBaseStep.raw() < kBaseStep.raw())
            throw EngineError(ErrorCode::BaseBelowOne);
        if (trace && !exactEveryPass && estateBefore > 0) {
            // The shares beside the spouses grow with what they are taken
            // from and as the base shrinks (and nothing beside the spouses
            // also settles it): in the next pass they come to about
            // beside / scale, compared here multiplied out, without a
            // division (scale is above 0).
            const Extended beside = (ext(lastDistributed) - ext(SpousesTotal)) * ext(EstateValue) * ext(ProblemBase);
            const Extended scale = estateBefore * (ext(ProblemBase) - ext(kBaseStep));
            nextLooksFinal = beside <= Tolerance * scale || (ext(EstateValue) - Tolerance) * scale <= beside;
        }
        ProblemBase = subtractExact(ProblemBase, kBaseStep);
        fullPass = false;
    }

    // The pass that settled the division did not work out its exact side,
    // or what is left of a pass that did not is still in the trace: the
    // trace is incomplete.
    if (trace && (!exactPass || trace->ledgerUnworked != 0 || trace->rowsUnworked != 0 || trace->fixedPartsUnworked != 0))
        trace->incomplete = true;

    FillPercentages();

    if (ext(lastDistributed) >= kFixedTolerance) {
        // What the rows leave of the estate beyond the rounding tolerance is
        // reported, never silently dropped.
        const WideAmount left = subtractExact(c.estate, lastDistributed);
        if (ext(left) > Tolerance) {
            Undistributed = left.amount();
            UndistributedPercent = Percentage(*Undistributed);
        }
        return Outcome::Divided;
    }
    // Relatives were entered and none of them received anything: the estate
    // is too small for them, not a case without heirs.
    if (personCount > 0)
        throw EngineError(ErrorCode::EstateTooSmall);
    return Outcome::NoHeirs;
}

void Division::PassRules(bool fullPass)
{
    // A full pass starts from an empty ledger and settles the spouses; a
    // return pass keeps them as they were.
    if (fullPass) {
        ResetShareLedger();
        HusbandRule();
        WivesRule();
    }
    LaterRules();
}

void Division::LaterRules()
{
    FatherWithDescendantsRule();
    GrandfatherWithDescendantsRule();
    MotherRule();
    DaughtersRule();
    UterineSiblingsRule();
    FullSistersRule();
    SonsDaughtersRule();
    GreatGranddaughtersRule();
    MothersMotherRule();
    FathersMotherRule();
    MothersMothersMotherRule();
    FathersMothersMotherRule();
    FathersFathersMotherRule();
    PaternalSistersRule();
    SumAssignedShares();
    FullSistersWithDaughters();
    PaternalSistersWithDaughters();
    ChildrenResidue();
    GrandchildrenResidue();
    GreatGrandchildrenResidue();
    FullSiblingsResidue();
    PaternalSiblingsResidue();
    GrandfatherWithFullSiblings();
    GrandfatherWithPaternalSiblings();
    SoleResiduary();
    SharedThird();
}

void Division::MarkPresentRelatives()
{
    // While a trace is kept, the rows marked are noted in it too.
    const auto mark = [this](auto present) {
        forEachIndex<kHeirs>([&](auto i) {
            if (RelativePresent(c, kHeirs[i].heir)) {
                rows[index(kHeirs[i].heir)] = RowText::nothingForHim();
                if constexpr (!std::is_same_v<decltype(present), std::nullptr_t>)
                    *present |= std::uint32_t(1) << index(kHeirs[i].heir);
            }
        });
    };
    if (trace) {
        trace->rowsPresent = 0;
        mark(&trace->rowsPresent);
    } else {
        mark(nullptr);
    }
}

void Division::ResetShareLedger() noexcept
{
    const Currency keepCount = ledger.ResidueShareCount;
    const WideAmount keepTotal = ledger.FixedSharesTotal;
    ledger = ShareLedger{};
    ledger.ResidueShareCount = keepCount;
    ledger.FixedSharesTotal = keepTotal;
    if (trace) {
        // An entry not written since this reset reads as 0 (Division::Exact),
        // so the entries themselves are left as they are; the exact total of
        // the fixed shares is kept, as it is not in `ledger`.
        trace->ledgerK.fill(0);
        trace->ledgerWritten = 0;
        trace->ledgerUnworked = 0;
    }
}

void Division::ComputeDistributedTotal()
{
    // Every amount times its heads, in raw units times raw units, summed in
    // extended precision and rounded once. The order of the additions is part
    // of the result (each one rounds), so it is kept exactly as it is. The
    // total is held wide: with a billion heads each rounded up by half a raw
    // unit, the rows of the largest estate add up to more than one amount.
    const auto amount = [this](Heir row) { return ext(rows[index(row)].value()); };
    const auto heads = [this](Heir row) { return ext(HeadsOf(c, row)); };
    constexpr Extended kScale = Currency::kScale;

    SpousesTotal =
        roundToCurrency((heads(Heir::Wives) * amount(Heir::Wives) + amount(Heir::Husband) * heads(Heir::Husband)) / kScale);

    // A row of 0 adds exactly nothing, and most rows of a case are 0: they
    // are passed over, which leaves every sum as it was.
    const auto zero = [this](Heir row) { return rows[index(row)].value().raw() == 0; };
    Extended sum = ext(SpousesTotal);
    forEachIndex<kAddedBeforeScaling>([&](auto i) {
        if (!zero(kAddedBeforeScaling[i]))
            sum = sum + amount(kAddedBeforeScaling[i]);
    });
    sum = sum * kScale;
    forEachIndex<kAddedPerHead>([&](auto i) {
        if (!zero(kAddedPerHead[i]))
            sum = sum + amount(kAddedPerHead[i]) * heads(kAddedPerHead[i]);
    });
    DistributedTotal = WideAmount::rounded(sum / kScale);
}

void Division::FillPercentages()
{
    for (int i = 0; i < kHeirCount; ++i) {
        const RowText& row = rows[i];
        if (row.kind != RowText::Kind::Amount)
            continue;
        percentages[i] = Percentage(row.amount);
    }
}

Currency Division::Percentage(Currency amount) const
{
    // The percentage of the entered estate, not of EstateValue, which the
    // return of the surplus may have reduced.
    return roundToCurrency(ext(amount) / ext(c.estate) * 100.0L * 10000.0L);
}

}  // namespace detail

DivisionResult Divide(const EstateCase& estateCase)
{
    return Divide(estateCase, nullptr);
}

DivisionResult Divide(const EstateCase& estateCase, detail::Trace* trace)
{
    DivisionResult result;
    detail::Division division(estateCase, result.rows, result.percentages);
    division.trace = trace;
    division.ProblemBase = Currency::fromRaw(24 * Currency::kScale);
    try {
        result.outcome = division.run();
        if (trace && trace->incomplete) {
            // The pass that settled the division was not worked out, or a
            // pass without its exact side left a value the trace needs: the
            // division is made again, every pass worked out.
            result = DivisionResult{};
            detail::Division again(estateCase, result.rows, result.percentages);
            again.trace = trace;
            again.exactEveryPass = true;
            again.ProblemBase = Currency::fromRaw(24 * Currency::kScale);
            result.outcome = again.run();
            result.problemBase = again.ProblemBase;
            result.undistributed = again.Undistributed;
            result.undistributedPercent = again.UndistributedPercent;
            return result;
        }
    } catch (const EngineError& error) {
        // Up to the largest estate, with every count checked, no amount
        // leaves the range; above it the estate is what must be smaller.
        if (error.code() == ErrorCode::OutOfRange && estateCase.estate > kLargestEstate)
            throw EngineError(ErrorCode::EstateTooLarge);
        throw;
    }
    result.problemBase = division.ProblemBase;
    result.undistributed = division.Undistributed;
    result.undistributedPercent = division.UndistributedPercent;
    return result;
}

}  // namespace qismar
