#include "engine/invariants.h"

#include <algorithm>

namespace qismar {

namespace {

std::string rowName(Heir row) { return std::string(heirInfo(row).key); }

// Whether `percent` is the share of `amount` in `estate` in hundredths,
// rounded to 0.0001: within one raw unit of amount x 100 / estate, worked
// exactly in integers.
bool isShareOfEstate(Currency percent, Currency amount, Currency estate)
{
    const __int128 shown = static_cast<__int128>(percent.raw()) * estate.raw();
    const __int128 exact = static_cast<__int128>(amount.raw()) * 100 * Currency::kScale;
    const __int128 gap = shown - exact;
    return gap <= estate.raw() && -gap <= estate.raw();
}

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

namespace {

// Whether a sentence is Arabic and stands in JSON as it is.
std::string checkSentence(const std::string& text)
{
    if (text.empty() || !hasArabicLetter(text))
        return "no Arabic sentence";
    for (unsigned char ch : text)
        if (ch == '"' || ch == '\\' || ch < 0x20)
            return "a sentence that would need escaping in JSON";
    return {};
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
    const auto entryOf = [&e](Heir row) -> const HeirExplanation* {
        for (const HeirExplanation& h : e.heirs)
            if (h.row == row)
                return &h;
        return nullptr;
    };
    Rational total;
    std::int64_t holding = 0;
    for (const HeirExplanation& h : e.heirs)
        if (!h.fraction.isZero())
            holding += HeadsOf(c, h.row).persons();
    const std::int64_t base = r.problemBase.raw() / Currency::kScale;
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
        // Excluded relatives name who excludes them: present relatives who
        // would exclude them and who inherit themselves; nobody who receives
        // anything is excluded, and nobody excluded or left with nothing
        // excludes anyone.
        const std::vector<Heir> excluders = ExcludersOf(c, h.row);
        if (!h.fraction.isZero() && !excluders.empty())
            return at + "receives " + h.fraction.text() + " although excluded";
        if ((h.status == HeirStatus::Excluded) == h.excludedBy.empty())
            return at + "excluded without an excluder, or an excluder without the exclusion";
        for (Heir excluder : h.excludedBy) {
            const HeirExplanation* x = entryOf(excluder);
            if (std::find(excluders.begin(), excluders.end(), excluder) == excluders.end())
                return at + "excluded by " + rowName(excluder) + ", who does not exclude this relative";
            if (x == nullptr || x->fraction.isZero())
                return at + "excluded by " + rowName(excluder) + ", who receives nothing";
        }
        if (h.status == HeirStatus::NothingLeft)
            for (Heir excluder : excluders)
                if (const HeirExplanation* x = entryOf(excluder); x != nullptr && !x->fraction.isZero())
                    return at + "nothing left where " + rowName(excluder) + " excludes";
        if ((h.status == HeirStatus::Excluded || h.status == HeirStatus::NothingLeft) != h.fraction.isZero())
            return at + "the status does not match the fraction";
        // The grandfather's sixth reached by the floor of a problem raised by
        // 'awl is a fixed share, not a residue.
        if (h.row == Heir::Grandfather && base > 24 &&
            (h.status == HeirStatus::Residue || h.status == HeirStatus::GrandfatherSharing) &&
            h.fraction == Rational::of(4, base))
            return at + "the grandfather's raised sixth stated as a residue";
        if (const std::string broken = checkSentence(h.reason); !broken.empty())
            return at + broken + " as the reason";
        if (h.shares && e.correction && !(Rational(*h.shares) == h.fraction * Rational(*e.correction)))
            return at + "the shares are not the fraction of the correction";
        if (h.part > i || e.heirs[h.part].part != h.part)
            return at + "a part that does not start at its first row";
        if (!h.originShares)
            return at + "no shares in the problem";
        if (e.heirs[h.part].originShares != h.originShares)
            return at + "the rows of one part carry different shares";
    }
    // The fractions and the undistributed fraction make the whole estate.
    if (!(total + e.undistributed.value_or(Rational()) == Rational(1)))
        return "the fractions do not add up to 1";
    if (e.undistributed.has_value() != r.undistributed.has_value())
        return "an undistributed fraction " + e.undistributed.value_or(Rational()).text() + " where the amounts " +
               (r.undistributed ? "leave " + formatAmount(*r.undistributed) : "leave nothing");
    if (e.sentences.empty())
        return "no sentence on the problem";
    for (const std::string& s : e.sentences)
        if (const std::string broken = checkSentence(s); !broken.empty())
            return broken + " on the problem";

    // The table: the origin raised or returned, the radd table beside a
    // spouse, each part's shares adding up to the problem.
    if (e.awl && !(*e.awl > e.origin))
        return "a raise that does not raise";
    if (e.awl && e.radd)
        return "a problem both raised and returned";
    const std::int64_t problem = TableProblem(e);
    if (problem <= 0)
        return "no problem";
    if (const auto& t = e.raddTable) {
        const Rational::Int g = gcd(t->remainder, t->raddProblem);
        const Relation relation = t->remainder == t->raddProblem ? Relation::Equal
                                  : g > 1 && t->remainder > 1 && t->raddProblem > 1 ? Relation::Agree
                                                                                  : Relation::Coprime;
        if (!e.radd || *e.radd != t->raddProblem || !e.spouseKeepsShare)
            return "a radd table without its radd";
        if (t->remainder != t->spouseProblem - t->spouseShares || t->relation != relation ||
            Rational::Int(t->combined) != t->spouseProblem * (t->raddProblem / g))
            return "the radd table does not combine its problems";
        const HeirExplanation* spouse = entryOf(c.isMan() ? Heir::Wives : Heir::Husband);
        if (spouse == nullptr || !spouse->originShares ||
            Rational(*spouse->originShares) != Rational(t->spouseShares) * Rational::of(t->combined, t->spouseProblem))
            return "the spouse's shares in the combined problem are not the spouse's problem's";
    }
    Rational::Int tableTotal = 0;
    for (std::size_t i = 0; i < e.heirs.size(); ++i)
        if (e.heirs[i].part == i)
            tableTotal += *e.heirs[i].originShares;
    const Rational left = e.undistributed.value_or(Rational()) * Rational(problem);
    if (!(Rational::of(tableTotal, 1) + left == Rational(problem)))
        return "the parts' shares do not add up to the problem " + std::to_string(problem);

    // The multiplier is the least that makes every head's shares whole; the
    // correction is the problem times it; each part's shares times the
    // multiplier are its heads times each head's shares; the reduction
    // leaves the least common denominator of the fractions.
    Rational::Int multiplier = 1, least = 1;
    const auto keep = [&](Rational v) {
        multiplier = lcm(multiplier, (v * Rational(problem)).den());
        least = lcm(least, v.den());
    };
    for (const HeirExplanation& h : e.heirs)
        if (!h.fraction.isZero())
            keep(h.fraction);
    if (e.undistributed)
        keep(*e.undistributed);
    if (e.multiplier.has_value() != (multiplier > 0 && multiplier <= INT64_MAX) ||
        (e.multiplier && *e.multiplier != std::int64_t(multiplier)))
        return "the multiplier is not the least that gives every head whole shares";
    Rational::Int correction = 0;
    const bool fits = e.multiplier && !__builtin_mul_overflow(Rational::Int(problem), multiplier, &correction) &&
                      correction <= INT64_MAX;
    if (e.correction.has_value() != fits || (fits && *e.correction != std::int64_t(correction)))
        return "the correction is not the problem times the multiplier";
    if (!e.correction)
        return {};
    if (correction % least != 0 || e.reducedBy.value_or(1) != std::int64_t(correction / least))
        return "the reduction does not leave the least common denominator";
    for (std::size_t i = 0; i < e.heirs.size(); ++i) {
        if (e.heirs[i].part != i)
            continue;
        Rational::Int heads = 0;
        for (const HeirExplanation& h : e.heirs)
            if (h.part == i) {
                if (!h.shares)
                    return rowName(h.row) + ": no shares in the correction";
                heads += Rational::Int(HeadsOf(c, h.row).persons()) * *h.shares;
            }
        if (heads != Rational::Int(*e.heirs[i].originShares) * multiplier)
            return rowName(e.heirs[i].row) +
                   ": the part's shares times the multiplier are not its heads' shares";
    }
    // The value of one share is the estate over the correction.
    const Rational value = Rational::of(c.estate.raw(), correction);
    const Rational gap = Rational::of(e.shareValue.value_or(Currency()).raw(), 1) - value;
    if (!e.shareValue || gap > Rational::of(1, 2) || Rational() - gap > Rational::of(1, 2))
        return "the value of one share is not the estate over the correction";
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
        if (!isShareOfEstate(*r.percentages[i], text.amount, c.estate))
            return rowName(row) + ": the percentage " + formatAmount(*r.percentages[i]) + " is not the share of " +
                   formatAmount(text.amount) + " in the estate";
        const std::int64_t heads = HeadsOf(c, row).persons();
        total += static_cast<__int128>(text.amount.raw()) * heads;
        if (!text.amount.isZero())
            headsHolding += heads;
    }
    if (r.undistributed) {
        if (r.undistributed->raw() <= 0)
            return "an undistributed amount that is not positive";
        if (!r.undistributedPercent || !isShareOfEstate(*r.undistributedPercent, *r.undistributed, c.estate))
            return "the undistributed percentage is not the share of the undistributed amount in the estate";
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
