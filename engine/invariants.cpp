#include "engine/invariants.h"

#include <algorithm>

namespace qismar {

namespace {

std::string rowName(Heir row) { return std::string(heirInfo(row).key); }

}  // namespace

namespace {
bool hasArabicLetter(std::string_view utf8)
{
    // Arabic letters are U+0621 to U+064A: UTF-8 lead byte 0xD8 or 0xD9.
    for (unsigned char ch : utf8)
        if (ch == 0xD8 || ch == 0xD9)
            return true;
    return false;
}

}  // namespace

std::string CheckExplanation(const EstateCase& c, const DivisionResult& r, const Explanation& e)
{
    if (!e.exact)
        return "no exact explanation";
    // One entry per row of the result, in its order.
    std::vector<Heir> rows;
    for (int i = 0; i < kHeirCount; ++i)
        if (!r.rows[std::size_t(i)].isEmpty())
            rows.push_back(heirAt(i));
    if (rows.size() != e.heirs.size())
        return "not one entry per row";
    Rational total;
    std::int64_t holding = 0;
    for (const HeirExplanation& h : e.heirs)
        if (!h.fraction.isZero())
            holding += HeadsOf(c, h.row).persons();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const HeirExplanation& h = e.heirs[i];
        const std::string at = rowName(h.row) + ": ";
        if (h.row != rows[i])
            return at + "out of order";
        if (!h.fraction.valid() || h.fraction.isNegative())
            return at + "a fraction that is not a fraction of the estate";
        const Rational heads(HeadsOf(c, h.row).persons());
        if (!(h.classFraction == h.fraction * heads))
            return at + "the class fraction is not the heads' fractions";
        total += h.classFraction;
        // The amount is its exact fraction of the estate, within the
        // rounding of the amounts: 0.0001 for each head holding an amount.
        const RowText& text = r.rows[std::size_t(index(h.row))];
        const Rational amount = Rational::of(text.value().raw(), 1);
        const Rational exact = h.fraction * Rational::of(c.estate.raw(), 1);
        const Rational gap = amount - exact;
        const Rational bound = Rational(std::max<std::int64_t>(holding, 1));
        if (gap > bound || Rational() - gap > bound)
            return at + "the amount " + text.text() + " is not its fraction " + h.fraction.text() + " of the estate";
        // Excluded relatives name who excludes them; nobody who receives
        // anything is excluded.
        const std::vector<Heir> excluders = ExcludersOf(c, h.row);
        if (h.status == HeirStatus::Excluded && (h.excludedBy.empty() || h.excludedBy != excluders))
            return at + "excluded without an excluder";
        if (!h.fraction.isZero() && !excluders.empty())
            return at + "receives " + h.fraction.text() + " although excluded";
        if ((h.status == HeirStatus::Excluded || h.status == HeirStatus::NothingLeft) != h.fraction.isZero())
            return at + "the status does not match the fraction";
        if (h.reason.empty() || !hasArabicLetter(h.reason))
            return at + "no Arabic reason";
        for (unsigned char ch : h.reason)
            if (ch == '"' || ch == '\\' || ch < 0x20)
                return at + "a reason that would need escaping in JSON";
        if (h.shares && e.correction && !(Rational(*h.shares) == h.fraction * Rational(*e.correction)))
            return at + "the shares are not the fraction of the correction";
    }
    // The fractions and the undistributed fraction make the whole estate.
    if (!(total + e.undistributed.value_or(Rational()) == Rational(1)))
        return "the fractions do not add up to 1";
    if (e.undistributed.has_value() != r.undistributed.has_value())
        return "an undistributed fraction " + e.undistributed.value_or(Rational()).text() + " where the amounts " +
               (r.undistributed ? "leave " + formatAmount(*r.undistributed) : "leave nothing");
    if (e.awl.has_value() && !(*e.awl > e.origin))
        return "a raise that does not raise";
    // The correction is given whenever it fits in 64 bits.
    Rational::Int correction = 1;
    for (const HeirExplanation& h : e.heirs)
        if (!h.fraction.isZero())
            correction = lcm(correction, h.fraction.den());
    if (e.undistributed)
        correction = lcm(correction, e.undistributed->den());
    const bool fits = correction > 0 && correction <= INT64_MAX;
    if (e.correction.has_value() != fits || (fits && *e.correction != std::int64_t(correction)))
        return "the correction is not the least common denominator";
    return {};
}


std::string CheckDivision(const EstateCase& c, const DivisionResult& r)
{
    if (r.outcome != Outcome::Divided)
        return "the case was not divided";

    __int128 total = 0;  // raw amount x whole heads, exact
    std::int64_t headsHolding = 0;
    for (int i = 0; i < kHeirCount; ++i) {
        const Heir row = heirAt(i);
        const RowText& text = r.rows[i];
        if (text.isEmpty() == RelativePresent(c, row))
            return rowName(row) + (text.isEmpty() ? ": a present relative has no row" : ": a row for an absent relative");
        if (r.percentages[i].has_value() != (text.kind == RowText::Kind::Amount))
            return rowName(row) + ": a percentage without an amount, or an amount without one";
        if (text.kind != RowText::Kind::Amount)
            continue;
        if (text.amount.raw() < 0)
            return rowName(row) + ": a negative amount " + formatAmount(text.amount);
        const std::int64_t heads = HeadsOf(c, row).persons();
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

    for (const HeirInfo& male : kHeirs) {
        if (!male.sister)
            continue;
        const RowText& m = r.rows[index(male.heir)];
        const RowText& f = r.rows[index(*male.sister)];
        if (m.kind == RowText::Kind::Amount && f.kind == RowText::Kind::Amount && m.amount < f.amount)
            return rowName(male.heir) + " holds less than " + rowName(*male.sister);
    }
    return {};
}

}  // namespace qismar
