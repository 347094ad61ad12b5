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
    if (ok != j.contains("outcome") || ok == j.contains("error"))
        std::abort();
    if (ok && options.explain != j.contains("explain"))
        std::abort();
    // What the reader takes, the writer gives back exactly.
    qismar::EstateCase c;
    std::string error;
    if (qismar::readCaseObject(line, c, error)) {
        const std::string text = qismar::writeCaseObject(c);
        qismar::EstateCase back;
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
