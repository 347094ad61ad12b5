// Qismar: the division driver, the marking of present relatives, the
// distributed total and the percentage column.
#include "engine/division_internal.h"

namespace qismar {

namespace detail {

namespace {

constexpr Currency kStartingBase = Currency::fromRaw(24 * Currency::kScale);
constexpr Currency kBaseStep = Currency::fromRaw(Currency::kScale);
constexpr Extended kFixedTolerance = 50;  // 0.005

}  // namespace

Division::Division(const EstateCase& estateCase, ResultRows& rowsIn, Percentages& percentagesOut) noexcept
    : c(estateCase), rows(rowsIn), percentages(percentagesOut)
{
}

Currency Division::PersonsInCase(const EstateCase& k)
{
    const Currency one = Currency::fromRaw(Currency::kScale);
    Currency n;
    for (HeadCount count : {k.sons, k.daughters, k.sonsSons, k.sonsDaughters, k.sonsSonsSons,
                           k.sonsSonsDaughters, k.fullSisters, k.fullBrothers, k.paternalBrothers,
                           k.paternalSisters, k.uterineSisters, k.uterineBrothers, k.fullBrothersSons,
                           k.paternalBrothersSons, k.fullUncles, k.paternalUncles, k.fullUnclesSons,
                           k.paternalUnclesSons})
        n = addExact(n, count.money());
    if (k.spouse)
        n = addExact(n, k.isMan() ? k.wives.money() : one);
    for (bool ticked : {k.father, k.mother, k.grandfather, k.mothersMother, k.fathersMother,
                        k.mothersMothersMother, k.fathersMothersMother, k.fathersFathersMother})
        if (ticked)
            n = addExact(n, one);
    return n;
}

Outcome Division::BitBtn2Click()
{
    // 1. An estate of 0 is refused before anything is changed.
    if (c.estate.isZero())
        return Outcome::NoEstate;

    // Anything negative (or no wife at all) would make a share divide by
    // zero or by a negative head count.
    if (c.estate.raw() < 0)
        throw EngineError(ErrorCode::InvalidCount);
    for (HeadCount v : {c.siblingTotal, c.sons, c.daughters, c.sonsSons, c.sonsDaughters,
                       c.sonsSonsSons, c.sonsSonsDaughters, c.fullSisters, c.fullBrothers,
                       c.paternalBrothers, c.paternalSisters, c.uterineSisters, c.uterineBrothers,
                       c.fullBrothersSons, c.paternalBrothersSons, c.fullUncles, c.paternalUncles,
                       c.fullUnclesSons, c.paternalUnclesSons})
        if (v.persons() < 0)
            throw EngineError(ErrorCode::InvalidCount);
    if (c.wives.persons() <= 0)
        throw EngineError(ErrorCode::InvalidCount);
    // No count may hold more persons than kMaxCount, so that no total of
    // persons or of residue units can leave the range of money.
    for (HeadCount v : {c.wives, c.sons, c.daughters, c.sonsSons, c.sonsDaughters, c.sonsSonsSons,
                       c.sonsSonsDaughters, c.fullSisters, c.fullBrothers, c.paternalBrothers, c.paternalSisters,
                       c.uterineSisters, c.uterineBrothers, c.fullBrothersSons, c.paternalBrothersSons, c.fullUncles,
                       c.paternalUncles, c.fullUnclesSons, c.paternalUnclesSons})
        if (v.persons() > kMaxCount)
            throw EngineError(ErrorCode::CountTooLarge);

    // Per-head amounts are rounded to 0.0001, so a class of many heads can
    // miss the estate by up to half a raw unit a head: the tolerance grows
    // with the number of persons, so that rounding noise never moves the base.
    const Currency persons = PersonsInCase(c);
    Tolerance = kFixedTolerance + ext(persons) / Currency::kScale;

    // Less than 0.01 for each person would leave amounts that are rounding
    // noise: such an estate is refused before any pass.
    const std::int64_t personCount = persons.raw() / Currency::kScale;
    if (c.estate.raw() < 100 * personCount)
        throw EngineError(ErrorCode::EstateTooSmall);

    // 2.
    MarkPresentRelatives();
    if (trace) {
        trace->rows.fill(Rational());
        trace->sources.fill(RowSource{});
        trace->estateValue = 1;
        trace->spousesSetAside = false;
    }

    // 3.
    EstateValue = c.estate;
    GreatGrandsonFlag = true;
    SpouseDeductionPending = true;
    ProblemBase = kStartingBase;

    Currency lastDistributed;
    bool fullPass = true;
    for (int pass = 1;; ++pass) {
        if (pass > kMaxPasses)
            throw EngineError(ErrorCode::TooManyPasses);
        // 4. A full pass starts from an empty ledger and settles the spouses;
        // a return pass keeps them as they were.
        if (fullPass) {
            ResetShareLedger();
            HusbandRule();
            WivesRule();
            if (trace)
                trace->lastFullBase = int(ProblemBase.raw() / Currency::kScale);
        }
        // 5.
        LaterRules();

        // 6. Fixed shares beyond the entered estate: raise the base.
        if (ext(ledger.FixedSharesTotal) > ext(c.estate) + Tolerance) {
            ProblemBase = addExact(ProblemBase, kBaseStep);
            fullPass = true;
            continue;
        }

        // 7.
        ComputeDistributedTotal();
        lastDistributed = DistributedTotal;

        // 8. Below the starting base the spouses' amounts stand aside.
        if (ProblemBase < kStartingBase) {
            DistributedTotal = subtractExact(DistributedTotal, SpousesTotal);
            if (ext(DistributedTotal) <= Tolerance)
                break;
        }

        // 9. Nothing left over: the division is settled.
        if (ext(EstateValue) <= ext(DistributedTotal) + Tolerance)
            break;

        // 10. Return of the surplus: set the spouses' total aside once and
        // lower the base.
        if (SpouseDeductionPending) {
            SpouseDeductionPending = false;
            EstateValue = subtractExact(EstateValue, SpousesTotal);
            if (trace) {
                // The spouses' total exactly, from the rows it was read from.
                trace->spousesTotal = HeadsQ(c.wives) * trace->rows[std::size_t(index(Heir::Wives))] +
                                      trace->rows[std::size_t(index(Heir::Husband))];
                trace->estateValue -= trace->spousesTotal;
                trace->spousesSetAside = true;
            }
        }
        if (ProblemBase.raw() - kBaseStep.raw() < kBaseStep.raw())
            throw EngineError(ErrorCode::BaseBelowOne);
        ProblemBase = subtractExact(ProblemBase, kBaseStep);
        fullPass = false;
    }

    // 11.
    FillPercentages();

    // 12.
    if (ext(lastDistributed) >= kFixedTolerance) {
        // What the rows leave of the estate beyond the rounding tolerance is
        // reported, never silently dropped.
        const Currency left = subtractExact(c.estate, lastDistributed);
        if (ext(left) > Tolerance) {
            Undistributed = left;
            UndistributedPercent = Percentage(left);
        }
        return Outcome::Divided;
    }
    // Relatives were entered and none of them received anything: the estate
    // is too small for them, not a case without heirs.
    if (personCount > 0)
        throw EngineError(ErrorCode::EstateTooSmall);
    return Outcome::NoHeirs;
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
    const auto mark = [this](Heir row) { rows[index(row)] = RowText::nothingForHim(); };
    if (!c.fullSisters.isZero()) mark(Heir::FullSisters);
    if (!c.fullBrothers.isZero()) mark(Heir::FullBrothers);
    if (!c.paternalBrothers.isZero()) mark(Heir::PaternalBrothers);
    if (!c.paternalSisters.isZero()) mark(Heir::PaternalSisters);
    if (!c.uterineSisters.isZero() || !c.uterineBrothers.isZero()) mark(Heir::UterineSiblings);
    if (!c.sonsSons.isZero()) mark(Heir::SonsSons);
    if (!c.sonsDaughters.isZero()) mark(Heir::SonsDaughters);
    if (!c.sonsSonsSons.isZero()) mark(Heir::SonsSonsSons);
    if (!c.sonsSonsDaughters.isZero()) mark(Heir::SonsSonsDaughters);
    if (c.spouse && c.isMan()) mark(Heir::Wives);
    if (c.father) mark(Heir::Father);
    if (c.mother) mark(Heir::Mother);
    if (c.spouse && c.isWoman()) mark(Heir::Husband);
    if (c.mothersMother) mark(Heir::MothersMother);
    if (c.fathersMother) mark(Heir::FathersMother);
    if (c.grandfather) mark(Heir::Grandfather);
    if (!c.fullBrothersSons.isZero()) mark(Heir::FullBrothersSons);
    if (!c.paternalBrothersSons.isZero()) mark(Heir::PaternalBrothersSons);
    if (!c.fullUncles.isZero()) mark(Heir::FullUncles);
    if (!c.paternalUncles.isZero()) mark(Heir::PaternalUncles);
    if (!c.fullUnclesSons.isZero()) mark(Heir::FullUnclesSons);
    if (!c.paternalUnclesSons.isZero()) mark(Heir::PaternalUnclesSons);
    if (c.mothersMothersMother) mark(Heir::MothersMothersMother);
    if (c.fathersMothersMother) mark(Heir::FathersMothersMother);
    if (c.fathersFathersMother) mark(Heir::FathersFathersMother);
}

void Division::ResetShareLedger() noexcept
{
    const Currency keepCount = ledger.ResidueShareCount;
    const Currency keepTotal = ledger.FixedSharesTotal;
    ledger = ShareLedger{};
    ledger.ResidueShareCount = keepCount;
    ledger.FixedSharesTotal = keepTotal;
    if (trace) {
        const Rational keepExactTotal = Exact(ledger.FixedSharesTotal);
        trace->ledger.fill(Rational());
        trace->ledgerK.fill(0);
        Exact(ledger.FixedSharesTotal) = keepExactTotal;
    }
}

void Division::ComputeDistributedTotal()
{
    const auto amount = [this](Heir row) { return ext(rows[index(row)].value()); };
    constexpr Extended kScale = Currency::kScale;

    SpousesTotal = roundToCurrency((ext(c.wives) * amount(Heir::Wives) + amount(Heir::Husband) * kScale) / kScale);

    Extended sum = ext(SpousesTotal);
    sum = sum + amount(Heir::Father);
    sum = sum + amount(Heir::Mother);
    sum = sum + amount(Heir::MothersMothersMother);
    sum = sum + amount(Heir::FathersMothersMother);
    sum = sum + amount(Heir::FathersFathersMother);
    sum = sum * kScale;
    sum = sum + amount(Heir::Sons) * ext(c.sons);
    sum = sum + amount(Heir::Daughters) * ext(c.daughters);
    sum = sum + amount(Heir::SonsSons) * ext(c.sonsSons);
    sum = sum + amount(Heir::SonsDaughters) * ext(c.sonsDaughters);
    sum = sum + amount(Heir::SonsSonsSons) * ext(c.sonsSonsSons);
    sum = sum + amount(Heir::SonsSonsDaughters) * ext(c.sonsSonsDaughters);
    sum = sum + amount(Heir::FullBrothers) * ext(c.fullBrothers);
    sum = sum + amount(Heir::FullSisters) * ext(c.fullSisters);
    sum = sum + amount(Heir::Grandfather) * kScale;
    sum = sum + amount(Heir::UterineSiblings) * (ext(c.uterineSisters) + ext(c.uterineBrothers));
    sum = sum + amount(Heir::MothersMother) * kScale;
    sum = sum + amount(Heir::FathersMother) * kScale;
    sum = sum + amount(Heir::PaternalSisters) * ext(c.paternalSisters);
    sum = sum + amount(Heir::FullUncles) * ext(c.fullUncles);
    sum = sum + amount(Heir::FullBrothersSons) * ext(c.fullBrothersSons);
    sum = sum + amount(Heir::PaternalBrothersSons) * ext(c.paternalBrothersSons);
    sum = sum + amount(Heir::PaternalBrothers) * ext(c.paternalBrothers);
    sum = sum + amount(Heir::PaternalUncles) * ext(c.paternalUncles);
    sum = sum + amount(Heir::FullUnclesSons) * ext(c.fullUnclesSons);
    sum = sum + amount(Heir::PaternalUnclesSons) * ext(c.paternalUnclesSons);
    DistributedTotal = roundToCurrency(sum / kScale);
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
    result.outcome = division.BitBtn2Click();
    result.problemBase = division.ProblemBase;
    result.undistributed = division.Undistributed;
    result.undistributedPercent = division.UndistributedPercent;
    return result;
}

}  // namespace qismar
