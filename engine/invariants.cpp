#include "invariants.h"

namespace qismar {

namespace {

constexpr Currency kOne = Currency::fromRaw(Currency::kScale);

std::string rowName(Row row) { return rowInfo(row).control; }

}  // namespace

Currency HeadsOfRow(const EstateCase& c, Row row) noexcept
{
    switch (row) {
    case Row::n2: return c.wives;
    case Row::n5: return c.sons;
    case Row::n6: return c.daughters;
    case Row::n7: return c.sonsSons;
    case Row::n8: return c.sonsDaughters;
    case Row::n9: return c.fullBrothers;
    case Row::n10: return c.fullSisters;
    case Row::n12: return Currency::fromRaw(c.uterineSisters.raw() + c.uterineBrothers.raw());
    case Row::n15: return c.paternalSisters;
    case Row::n16: return c.paternalBrothers;
    case Row::n17: return c.fullBrothersSons;
    case Row::n18: return c.paternalBrothersSons;
    case Row::n19: return c.fullUncles;
    case Row::n20: return c.paternalUncles;
    case Row::n21: return c.fullUnclesSons;
    case Row::edtNebnAmLiAb: return c.paternalUnclesSons;
    case Row::n27: return c.sonsSonsDaughters;
    case Row::n28: return c.sonsSonsSons;
    default: return kOne;
    }
}

bool RelativePresent(const EstateCase& c, Row row) noexcept
{
    switch (row) {
    case Row::n1: return c.spouse && c.isWoman();
    case Row::n2: return c.spouse && c.isMan();
    case Row::n3: return c.father;
    case Row::n4: return c.mother;
    case Row::n11: return c.grandfather;
    case Row::n13: return c.mothersMother;
    case Row::n14: return c.fathersMother;
    case Row::n24: return c.mothersMothersMother;
    case Row::n25: return c.fathersMothersMother;
    case Row::n26: return c.fathersFathersMother;
    default: return HeadsOfRow(c, row).raw() > 0;
    }
}

std::string CheckDivision(const EstateCase& c, const DivisionResult& r)
{
    if (r.outcome != Outcome::Divided)
        return "the case was not divided";

    __int128 total = 0;  // raw amount x whole heads, exact
    std::int64_t headsHolding = 0;
    for (int i = 0; i < kRowCount; ++i) {
        const Row row = rowAt(i);
        const RowText& text = r.rows[i];
        if (text.isEmpty() == RelativePresent(c, row))
            return rowName(row) + (text.isEmpty() ? ": a present relative has no row" : ": a row for an absent relative");
        if (r.percentages[i].has_value() != (text.kind == RowText::Kind::Amount))
            return rowName(row) + ": a percentage without an amount, or an amount without one";
        if (text.kind != RowText::Kind::Amount)
            continue;
        if (text.amount.raw() < 0)
            return rowName(row) + ": a negative amount " + formatAmount(text.amount);
        const std::int64_t heads = HeadsOfRow(c, row).raw() / Currency::kScale;
        total += static_cast<__int128>(text.amount.raw()) * heads;
        if (!text.amount.isZero())
            headsHolding += heads;
    }
    if (r.undistributed) {
        if (r.undistributed->raw() <= 0)
            return "an undistributed amount that is not positive";
        total += r.undistributed->raw();
    }
    const __int128 gap = total - c.estate.raw();
    const __int128 bound = 50 + static_cast<__int128>(headsHolding);
    if (gap > bound || -gap > bound)
        return "the amounts and the undistributed amount miss the estate by " +
               std::to_string(static_cast<long long>(gap)) + " raw units";

    const struct {
        Row male, female;
    } pairs[] = {{Row::n5, Row::n6}, {Row::n7, Row::n8}, {Row::n28, Row::n27}, {Row::n9, Row::n10},
                 {Row::n16, Row::n15}};
    for (const auto& p : pairs) {
        const RowText& m = r.rows[index(p.male)];
        const RowText& f = r.rows[index(p.female)];
        if (m.kind == RowText::Kind::Amount && f.kind == RowText::Kind::Amount && m.amount < f.amount)
            return rowName(p.male) + " holds less than " + rowName(p.female);
    }
    return {};
}

}  // namespace qismar
