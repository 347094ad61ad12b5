// libFuzzer target: arbitrary bytes go through qismar-cli's line parser and
// the engine, and also, read as a structured case, straight into the engine.
// A case that is read is written again and must read back as itself.
// Every input must end in one well-formed result object, a message or a
// clear error: never a crash, a hang, undefined behaviour or another exception.
#include <cstdint>
#include <cstdlib>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>
#include <nlohmann/json.hpp>

#include "casefile/case_file.h"
#include "cli/case_json.h"
#include "engine/division.h"
#include "engine/invariants.h"
#include "engine/preparation.h"
#include "engine/later_deaths.h"
#include "engine/uncertain_heir.h"

#include <algorithm>

namespace {

void checkLine(const std::uint8_t* data, std::size_t size)
{
    std::string line(reinterpret_cast<const char*>(data), size);
    if (const auto nl = line.find('\n'); nl != std::string::npos)
        line.resize(nl);  // qismar-cli never hands a line end to the parser
    std::string out;
    // Every other input is answered with its explanation too.
    qismar::cli::Options options;
    options.explain = size % 2 == 1;
    const bool ok = qismar::cli::processLine(line, out, options);
    // Exactly one object, on one line, that parses back.
    if (out.empty() || out.back() != '\n' || out.find('\n') != out.size() - 1)
        std::abort();
    const auto j = nlohmann::json::parse(out, nullptr, false);
    if (j.is_discarded() || !j.is_object())
        std::abort();
    if (ok != (j.contains("outcome") || j.contains("problems")) || ok == j.contains("error"))
        std::abort();
    // Explained, a case carries its explanation; one with an heir not yet
    // known carries one per outcome, one with later deaths one per problem.
    const bool explained = j.contains("explain") || (j.contains("outcomes") && j.contains("fractions")) ||
                           (j.contains("problems") && j["combined"].contains("explain"));
    if (ok && options.explain != explained)
        std::abort();
    // What the reader takes, the writer gives back exactly (an heir not
    // yet known and the details included).
    qismar::CaseRecord c;
    qismar::CaseError error;
    if (qismar::readCaseObject(line, c, error)) {
        std::string text;
        try {
            text = qismar::writeCaseObject(c);
        } catch (const qismar::EngineError&) {
            return;  // counts that add up beyond the range are not written
        }
        qismar::CaseRecord back;
        if (!qismar::readCaseObject(text, back, error) || !(back == c) || qismar::writeCaseObject(back) != text)
            std::abort();
    }
}

qismar::HeadCount count(FuzzedDataProvider& p)
{
    // Mostly small classes, sometimes very large ones, seldom the extremes.
    switch (p.ConsumeIntegralInRange(0, 9)) {
    case 0: return qismar::HeadCount(p.ConsumeIntegralInRange<std::int64_t>(0, qismar::Currency::kMaxWhole));
    case 1: return qismar::HeadCount(p.ConsumeIntegralInRange<std::int64_t>(0, p.ConsumeBool() ? 100000 : qismar::kMaxCount));
    case 2: case 3: return qismar::HeadCount(p.ConsumeIntegralInRange<std::int64_t>(1, 300));
    default: return qismar::HeadCount(p.ConsumeIntegralInRange<std::int64_t>(0, 4));
    }
}

// The same case with one heir not yet known: nobody is paid now more than
// an outcome gives him (an unborn or a missing heir), what is paid now and
// the reserve are the estate, and no top-up is negative.
void checkUncertain(FuzzedDataProvider& p, const qismar::EstateCase& c)
{
    using namespace qismar;
    UncertainHeir h;
    h.kind = static_cast<UncertainKind>(p.ConsumeIntegralInRange(0, 2));
    h.line = static_cast<KinLine>(p.ConsumeIntegralInRange(0, 5));
    h.missing = heirAt(p.ConsumeIntegralInRange(0, kHeirCount - 1));
    if (RefuseUncertain(c, h)) {
        try {
            DivideUncertain(c, h);
        } catch (const std::invalid_argument&) {
            return;
        }
        std::abort();  // a refused relation must not be divided
    }
    const UncertainDivision d = DivideUncertain(c, h);
    if (d.outcome != Outcome::Divided)
        return;
    const std::size_t known = h.kind == UncertainKind::Missing ? 1 : 0;
    __int128 paid = 0;
    for (int i = 0; i < kHeirCount; ++i) {
        const RowText& now = d.now[i];
        if (now.kind != RowText::Kind::Amount)
            continue;
        if (now.amount.raw() < 0)
            std::abort();
        // The heir of undetermined sex and the others take their shares in
        // one of the divisions: nothing is held back for the other.
        for (std::size_t o = 0; h.kind != UncertainKind::UndeterminedSex && o < d.outcomes.size(); ++o) {
            const RowText& there = d.outcomes[o].result.rows[i];
            if (d.outcomes[o].result.outcome == Outcome::Divided && there.kind == RowText::Kind::Amount &&
                there.amount < now.amount)
                std::abort();
            if (o < d.topUps.size() && d.topUps[o][i] && d.topUps[o][i]->raw() < 0)
                std::abort();
        }
        const EstateCase& heads = h.kind == UncertainKind::UndeterminedSex
                                      ? d.outcomes[d.now == d.outcomes[0].result.rows ? 0 : 1].estateCase
                                      : d.outcomes[known].estateCase;
        paid += static_cast<__int128>(now.amount.raw()) * HeadsOf(heads, heirAt(i)).persons();
    }
    // The reserve is what the payments leave, never below nothing: where
    // the outcomes' rounding pays out a few ten-thousandths more than the
    // estate, it is nothing.
    if (d.reserve) {
        const __int128 net = d.net.raw();
        if (d.reserve->raw() < 0 || (d.reserve->raw() > 0 && paid + d.reserve->raw() != net) ||
            (d.reserve->raw() == 0 && paid > net + static_cast<__int128>(PersonsInCase(c).persons()) + 1))
            std::abort();
    }
}

// The same case where one head died before the division, leaving a few
// relatives, some of them persons of the case: refused with a reason, or
// divided so that the persons' exact fractions add up to 1, no amount is
// negative and the amounts add up to the estate within the rounding.
void checkLaterDeath(FuzzedDataProvider& p, const qismar::EstateCase& c)
{
    using namespace qismar;
    // One of the relatives present dies; what the input no longer says
    // gives him a mother and a brother, so that most cases divide.
    std::vector<Heir> present;
    for (const HeirInfo& info : kHeirs)
        if (RelativePresent(c, info.heir))
            present.push_back(info.heir);
    if (present.empty() || c.estate.isZero())
        return;
    const HeirInfo& held = heirInfo(present[std::size_t(p.ConsumeIntegralInRange<int>(0, int(present.size()) - 1))]);
    LaterDeath death;
    death.heir = std::string(held.caseFields()[std::size_t(p.ConsumeIntegralInRange<int>(0, held.fieldCount - 1))].json);
    EstateCase& own = death.ownCase;
    own.mother = !p.ConsumeBool();
    own.father = p.ConsumeBool();
    own.spouse = p.ConsumeBool();
    own.sons = HeadCount(p.ConsumeIntegralInRange<std::int64_t>(0, 3));
    own.daughters = HeadCount(p.ConsumeIntegralInRange<std::int64_t>(0, 3));
    own.fullBrothers = HeadCount(p.ConsumeIntegralInRange<std::int64_t>(1, 3));
    own.fullSisters = HeadCount(p.ConsumeIntegralInRange<std::int64_t>(0, 3));
    own.deriveEntryWindowState();
    if (p.ConsumeBool())
        death.same.emplace_back("mother", p.ConsumeBool() ? "wives" : "mother");
    if (p.ConsumeBool())
        death.same.emplace_back("fullBrothers", "sons");
    if (p.ConsumeBool())
        death.same.emplace_back("fullSisters", "daughters");
    const SuccessiveDivision d = DivideSuccessive(c, {death});
    if (d.refusal) {
        if (d.refusal->english.empty() || d.refusal->arabic.empty())
            std::abort();
        return;
    }
    Rational fractions{0};
    bool exact = true;
    __int128 total = 0, heads = 0;
    for (const CombinedPersons& g : d.persons) {
        if (g.heads <= 0 || g.amount.raw() < 0)
            std::abort();
        exact = exact && g.fraction.valid();
        fractions += g.fraction.times(g.heads);
        total += static_cast<__int128>(g.amount.raw()) * g.heads;
        heads += g.heads;
    }
    if (exact && fractions.valid() && !(fractions == Rational{1}))
        std::abort();
    const __int128 estate = d.problems.front().estateCase.estate.raw();
    const __int128 gap = total > estate ? total - estate : estate - total;
    if (gap > 4 * heads + 100)
        std::abort();
}

void checkCase(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider p(data, size);
    qismar::EstateCase c;
    c.deceased = p.ConsumeBool() ? qismar::Deceased::Man : qismar::Deceased::Woman;
    c.estate = qismar::Currency::fromWhole(p.ConsumeBool() ? p.ConsumeIntegralInRange<std::int64_t>(0, 1000000)
                                                           : p.ConsumeIntegralInRange<std::int64_t>(0, qismar::Currency::kMaxWhole));
    c.father = p.ConsumeBool();
    c.mother = p.ConsumeBool();
    c.spouse = p.ConsumeBool();
    c.grandfather = p.ConsumeBool();
    c.wives = qismar::HeadCount(p.ConsumeIntegralInRange<std::int64_t>(1, 4));
    for (qismar::HeadCount* k : {&c.sons, &c.daughters, &c.sonsSons, &c.sonsDaughters, &c.sonsSonsSons,
                                &c.sonsSonsDaughters, &c.fullSisters, &c.fullBrothers, &c.paternalBrothers,
                                &c.paternalSisters, &c.uterineSisters, &c.uterineBrothers, &c.fullBrothersSons,
                                &c.paternalBrothersSons, &c.fullUncles, &c.paternalUncles, &c.fullUnclesSons,
                                &c.paternalUnclesSons})
        if (p.ConsumeBool())
            *k = count(p);
    c.mothersMother = p.ConsumeBool();
    c.fathersMother = p.ConsumeBool();
    c.mothersMothersMother = p.ConsumeBool();
    c.fathersMothersMother = p.ConsumeBool();
    c.fathersFathersMother = p.ConsumeBool();
    // Sometimes the estate is prepared first: costs, debts and bequests.
    qismar::EstateCase prepared = c;
    if (p.ConsumeBool()) {
        const std::int64_t limit = std::max<std::int64_t>(c.estate.raw() / qismar::Currency::kScale, 1);
        prepared.funeral = qismar::Currency::fromWhole(p.ConsumeIntegralInRange<std::int64_t>(0, limit));
        prepared.debts = qismar::Currency::fromWhole(p.ConsumeIntegralInRange<std::int64_t>(0, limit));
        prepared.bequests = qismar::Currency::fromWhole(p.ConsumeIntegralInRange<std::int64_t>(0, limit));
        prepared.heirsConsent = p.ConsumeBool();
    }
    try {
        c.deriveEntryWindowState();
        prepared.deriveEntryWindowState();
        // Never a negative estate, and the gross estate accounted for; the
        // division of a prepared case is the division of its net estate.
        if (prepared.estate.raw() > 0 && qismar::HasPreparation(prepared)) {
            const qismar::PreparedEstate ready = qismar::PrepareEstate(prepared);
            if (ready.net.raw() < 0 || (ready.bequestsCarriedOut > ready.third && !prepared.heirsConsent))
                std::abort();
            if (!ready.consumedByDebts &&
                qismar::addExact(qismar::addExact(qismar::addExact(ready.funeral, ready.debts), ready.bequestsCarriedOut),
                                 ready.net) != ready.gross)
                std::abort();
            const qismar::DivisionResult divided = qismar::DivideEstate(prepared);
            if ((divided.outcome == qismar::Outcome::Consumed) != (ready.consumedByDebts || ready.net.isZero()))
                std::abort();
            if (divided.outcome != qismar::Outcome::Consumed) {
                qismar::EstateCase net = c;
                net.estate = ready.net;
                if (!(qismar::Divide(net).rows == divided.rows))
                    std::abort();
            }
        }
        const qismar::DivisionResult r = qismar::Divide(c);
        if ((r.outcome == qismar::Outcome::NoEstate) != c.estate.isZero())
            std::abort();
        // Only a case without any relative is a case without heirs.
        if (r.outcome == qismar::Outcome::NoHeirs && !qismar::PersonsInCase(c).isZero())
            std::abort();
        // Every divided case: rows exactly for the present relatives, no
        // negative amount, the estate accounted for, males not below the
        // females they share with.
        if (r.outcome == qismar::Outcome::Divided && !qismar::CheckDivision(c, r).empty())
            std::abort();
        // Its explanation agrees with the amounts, adds up to the whole
        // estate, and explains every exclusion; explaining changes nothing.
        qismar::Explanation e;
        const qismar::DivisionResult explained = qismar::DivideExplained(c, e);
        if (!(explained.rows == r.rows) || explained.problemBase != r.problemBase)
            std::abort();
        if (r.outcome == qismar::Outcome::Divided && !qismar::CheckExplanation(c, r, e).empty())
            std::abort();
        checkUncertain(p, c);
        checkLaterDeath(p, c);
    } catch (const qismar::EngineError& e) {
        // A clear refusal is an acceptable end; a division that does not
        // settle is not, nor a refusal for range: the estate and the costs,
        // debts and bequests here are each within the largest amount.
        if (e.code() == qismar::ErrorCode::TooManyPasses || e.code() == qismar::ErrorCode::BaseBelowOne ||
            e.code() == qismar::ErrorCode::OutOfRange || e.code() == qismar::ErrorCode::EstateTooLarge)
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    checkLine(data, size);
    checkCase(data, size);
    return 0;
}
