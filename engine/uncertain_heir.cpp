// Qismar: the division of a case with one uncertain heir.
#include "engine/uncertain_heir.h"

#include <stdexcept>

#include "engine/preparation.h"

namespace qismar {
namespace {

struct LineCounts {
    HeadCount EstateCase::*male;
    HeadCount EstateCase::*female;
    Heir maleHeir;
    Heir femaleHeir;
};

LineCounts countsOf(KinLine line)
{
    switch (line) {
    case KinLine::Child: return {&EstateCase::sons, &EstateCase::daughters, Heir::Sons, Heir::Daughters};
    case KinLine::SonsChild: return {&EstateCase::sonsSons, &EstateCase::sonsDaughters, Heir::SonsSons, Heir::SonsDaughters};
    case KinLine::SonsSonsChild:
        return {&EstateCase::sonsSonsSons, &EstateCase::sonsSonsDaughters, Heir::SonsSonsSons, Heir::SonsSonsDaughters};
    case KinLine::FullSibling:
        return {&EstateCase::fullBrothers, &EstateCase::fullSisters, Heir::FullBrothers, Heir::FullSisters};
    case KinLine::PaternalSibling:
        return {&EstateCase::paternalBrothers, &EstateCase::paternalSisters, Heir::PaternalBrothers, Heir::PaternalSisters};
    case KinLine::UterineSibling:
        return {&EstateCase::uterineBrothers, &EstateCase::uterineSisters, Heir::UterineSiblings, Heir::UterineSiblings};
    }
    return {&EstateCase::sons, &EstateCase::daughters, Heir::Sons, Heir::Daughters};
}

EstateCase withOneMore(EstateCase c, HeadCount EstateCase::*field)
{
    c.*field = c.*field + HeadCount(1);
    c.deriveEntryWindowState();
    return c;
}

// The amount of one head in a row, when the row holds one.
std::optional<Currency> amountOf(const RowText& row)
{
    if (row.kind == RowText::Kind::Amount)
        return row.amount;
    return std::nullopt;
}

}  // namespace

std::optional<UncertainRefusal> RefuseUncertain(const EstateCase& c, const UncertainHeir& h)
{
    if (h.kind == UncertainKind::Missing) {
        if (!RelativePresent(c, h.missing))
            return UncertainRefusal{
                "\u0627\u0644\u0645\u0641\u0642\u0648\u062F \u0644\u064A\u0633 \u0645\u0646 \u0627\u0644\u0648\u0631\u062B\u0629 "
                "\u0627\u0644\u0645\u062F\u062E\u0644\u064A\u0646: " + std::string(heirInfo(h.missing).plural.empty()
                                                                        ? heirInfo(h.missing).singular
                                                                        : heirInfo(h.missing).plural),
                "the missing heir is one head of " + std::string(heirInfo(h.missing).name) +
                    ", who are not in the case"};
        return std::nullopt;
    }
    if (h.kind == UncertainKind::UndeterminedSex && h.line == KinLine::UterineSibling)
        return UncertainRefusal{
            "\u0627\u0644\u0625\u062E\u0648\u0629 \u0644\u0623\u0645 \u0644\u0627 \u064A\u062E\u062A\u0644\u0641 "
            "\u0625\u0631\u062B\u0647\u0645 \u0628\u0627\u0644\u0630\u0643\u0648\u0631\u0629 "
            "\u0648\u0627\u0644\u0623\u0646\u0648\u062B\u0629",
            "an heir of undetermined sex cannot be a uterine sibling: their shares do not depend on sex"};
    if (h.kind == UncertainKind::Unborn && h.line == KinLine::SonsSonsChild)
        return UncertainRefusal{
            "\u0644\u0627 \u064A\u0624\u062E\u0630 \u0627\u0644\u062D\u0645\u0644 \u0641\u064A \u0647\u0630\u0647 "
            "\u0627\u0644\u062F\u0631\u062C\u0629",
            "an unborn child is a child, a son's child or a sibling, not a son's son's child"};
    if (h.line == KinLine::Child && c.isWoman() && h.kind == UncertainKind::Unborn)
        return UncertainRefusal{
            "\u0644\u0627 \u064A\u0643\u0648\u0646 \u0644\u0644\u0645\u062A\u0648\u0641\u0627\u0629 "
            "\u062D\u0645\u0644 \u0628\u0639\u062F \u0648\u0641\u0627\u062A\u0647\u0627",
            "a deceased woman cannot leave an unborn child of her own"};
    if ((h.line == KinLine::FullSibling || h.line == KinLine::PaternalSibling) && c.father &&
        h.kind == UncertainKind::Unborn)
        return UncertainRefusal{
            "\u0644\u0627 \u064A\u0643\u0648\u0646 \u0627\u0644\u062D\u0645\u0644 \u0623\u062E\u0627\u064B "
            "\u0634\u0642\u064A\u0642\u0627\u064B \u0623\u0648 \u0644\u0623\u0628 "
            "\u0648\u0627\u0644\u0623\u0628 \u062D\u064A",
            "an unborn full or paternal sibling cannot be while the father is alive"};
    if (h.line == KinLine::UterineSibling && !c.mother && h.kind == UncertainKind::Unborn)
        return UncertainRefusal{
            "\u0644\u0627 \u064A\u0643\u0648\u0646 \u0627\u0644\u062D\u0645\u0644 \u0623\u062E\u0627\u064B "
            "\u0644\u0623\u0645 \u0648\u0627\u0644\u0623\u0645 \u063A\u064A\u0631 \u0645\u0648\u062C\u0648\u062F\u0629",
            "an unborn uterine sibling needs the mother in the case"};
    return std::nullopt;
}

std::vector<UncertainOutcome> UncertainOutcomeCases(const EstateCase& c, const UncertainHeir& h)
{
    std::vector<UncertainOutcome> out;
    const LineCounts lc = countsOf(h.line);
    switch (h.kind) {
    case UncertainKind::Unborn: {
        EstateCase none = c;
        none.deriveEntryWindowState();
        out.push_back({"stillborn", none, {}});
        out.push_back({"boy", withOneMore(c, lc.male), {}});
        out.push_back({"girl", withOneMore(c, lc.female), {}});
        break;
    }
    case UncertainKind::Missing: {
        EstateCase alive = c;
        alive.deriveEntryWindowState();
        EstateCase dead = c;
        const HeirInfo& info = heirInfo(h.missing);
        if (const CaseField& f = info.fields[0]; f.flag != nullptr && !info.counted())
            dead.*f.flag = false;
        else if (h.missing == Heir::Wives && c.wives.persons() <= 1)
            dead.spouse = false;
        else if (h.missing == Heir::Wives)
            dead.wives = HeadCount(c.wives.persons() - 1);
        else
            for (const CaseField& f : info.caseFields())
                if (f.isCount() && (c.*f.count).positive()) {
                    dead.*f.count = HeadCount((c.*f.count).persons() - 1);
                    break;
                }
        dead.deriveEntryWindowState();
        out.push_back({"alive", alive, {}});
        out.push_back({"dead", dead, {}});
        break;
    }
    case UncertainKind::UndeterminedSex:
        out.push_back({"male", withOneMore(c, lc.male), {}});
        out.push_back({"female", withOneMore(c, lc.female), {}});
        break;
    }
    return out;
}

UncertainDivision DivideUncertain(const EstateCase& c, const UncertainHeir& h)
{
    if (auto refusal = RefuseUncertain(c, h))
        throw std::invalid_argument(refusal->english);
    UncertainDivision d;
    d.kind = h.kind;
    d.outcomes = UncertainOutcomeCases(c, h);

    // The estate is prepared once, before every outcome.
    Currency net = c.estate;
    if (HasPreparation(c)) {
        d.preparation = PrepareEstate(c);
        net = d.preparation->net;
        if (net == Currency{}) {
            d.outcome = Outcome::Consumed;
            return d;
        }
    }
    d.net = net;
    for (UncertainOutcome& o : d.outcomes) {
        o.estateCase.estate = net;
        o.estateCase.funeral = o.estateCase.debts = o.estateCase.bequests = Currency{};
        o.estateCase.heirsConsent = false;
        o.result = Divide(o.estateCase);
        if (o.result.outcome != Outcome::Divided) {
            d.outcome = o.result.outcome;
            if (d.outcome == Outcome::NoHeirs && &o != &d.outcomes.front())
                continue;  // an outcome may have no heir where another has
            if (d.outcome != Outcome::NoHeirs)
                return d;
        }
    }
    bool anyDivided = false;
    for (const UncertainOutcome& o : d.outcomes)
        anyDivided = anyDivided || o.result.outcome == Outcome::Divided;
    if (!anyDivided)
        return d;
    d.outcome = Outcome::Divided;

    // The heirs known now: those of the case without the uncertain head.
    std::size_t base = 0;
    if (h.kind == UncertainKind::Missing)
        base = 1;
    if (h.kind == UncertainKind::UndeterminedSex) {
        // The heir takes the lesser of his two shares and the others their
        // shares in that same division.
        const LineCounts lc = countsOf(h.line);
        const Currency male = d.outcomes[0].result.rows[static_cast<int>(lc.maleHeir)].value();
        const Currency female = d.outcomes[1].result.rows[static_cast<int>(lc.femaleHeir)].value();
        base = female < male ? 1 : 0;
        d.sameEitherWay = male == female;
        d.now = d.outcomes[base].result.rows;
    } else {
        const EstateCase& known = d.outcomes[base].estateCase;
        __int128 paid = 0;
        for (int i = 0; i < kHeirCount; ++i) {
            const Heir heir = static_cast<Heir>(i);
            if (!RelativePresent(known, heir))
                continue;
            std::optional<Currency> least;
            bool nothing = false;
            for (const UncertainOutcome& o : d.outcomes) {
                if (o.result.outcome != Outcome::Divided) {
                    nothing = true;
                    continue;
                }
                const std::optional<Currency> a = amountOf(o.result.rows[i]);
                if (!a) {
                    nothing = true;
                    break;
                }
                least = least ? std::min(*least, *a) : *a;
            }
            if (nothing || !least) {
                d.now[i] = RowText::nothingForHim();
                continue;
            }
            d.now[i] = RowText::of(*least);
            paid += static_cast<__int128>(least->raw()) * HeadsOf(known, heir).persons();
        }
        const __int128 left = static_cast<__int128>(net.raw()) - paid;
        d.reserve = Currency::fromRaw(static_cast<std::int64_t>(left < 0 ? 0 : left));
    }

    const auto percentOf = [&](Currency amount) {
        return roundToCurrency(static_cast<long double>(amount.raw()) / static_cast<long double>(net.raw()) * 100.0L *
                               10000.0L);
    };
    for (int i = 0; i < kHeirCount; ++i)
        if (d.now[i].kind == RowText::Kind::Amount)
            d.nowPercentages[i] = percentOf(d.now[i].amount);
    if (d.reserve)
        d.reservePercent = percentOf(*d.reserve);

    for (const UncertainOutcome& o : d.outcomes) {
        auto& top = d.topUps.emplace_back();
        // The heir of undetermined sex and the others are paid in full now:
        // nothing follows in either outcome.
        if (o.result.outcome != Outcome::Divided || h.kind == UncertainKind::UndeterminedSex)
            continue;
        for (int i = 0; i < kHeirCount; ++i)
            if (const auto a = amountOf(o.result.rows[i]))
                top[i] = Currency::fromRaw(a->raw() - d.now[i].value().raw());
    }
    return d;
}

namespace {
// The exact fraction of one head of a row in an explained division.
std::optional<Rational> fractionOf(const Explanation& e, int row)
{
    for (const HeirExplanation& x : e.heirs)
        if (static_cast<int>(x.row) == row)
            return x.fraction;
    return std::nullopt;
}
}  // namespace

UncertainDivision DivideUncertainExplained(const EstateCase& c, const UncertainHeir& h, UncertainFractions& fractions)
{
    UncertainDivision d = DivideUncertain(c, h);
    fractions = {};
    if (d.outcome != Outcome::Divided)
        return d;
    fractions.exact = true;
    for (const UncertainOutcome& o : d.outcomes) {
        Explanation& e = fractions.explanations.emplace_back();
        if (o.result.outcome == Outcome::Divided) {
            DivideExplained(o.estateCase, e);
            fractions.exact = fractions.exact && e.exact;
        }
    }
    const std::size_t chosen = (h.kind == UncertainKind::Missing) ? 1 : 0;
    const EstateCase& known = d.outcomes[chosen].estateCase;
    Rational paid{0};
    for (int i = 0; i < kHeirCount; ++i) {
        if (d.now[i].kind != RowText::Kind::Amount)
            continue;
        std::optional<Rational> least;
        if (h.kind == UncertainKind::UndeterminedSex) {
            // The rows now are one outcome's: its fractions.
            const std::size_t used = d.now == d.outcomes[0].result.rows ? 0 : 1;
            least = fractionOf(fractions.explanations[used], i);
        } else {
            for (std::size_t o = 0; o < d.outcomes.size(); ++o) {
                if (d.outcomes[o].result.outcome != Outcome::Divided)
                    continue;
                const std::optional<Rational> f = fractionOf(fractions.explanations[o], i);
                if (f && (!least || *f < *least))
                    least = f;
            }
        }
        if (!least) {
            fractions.exact = false;
            continue;
        }
        fractions.now[i] = least;
        const HeadCount n = h.kind == UncertainKind::UndeterminedSex
                                ? HeadsOf(d.outcomes[d.now == d.outcomes[0].result.rows ? 0 : 1].estateCase, static_cast<Heir>(i))
                                : HeadsOf(known, static_cast<Heir>(i));
        paid += least->times(n.persons());
    }
    fractions.reserve = Rational{1} - paid;
    fractions.exact = fractions.exact && fractions.reserve.valid();
    return d;
}

}  // namespace qismar
