// Benchmarks of the division engine and of qismar-cli's line processing.
//
//   engine_bench                       run the benchmarks
//   engine_bench --write-cases=F [N]   write N (default 100000) case lines to F
//                                      for timing the qismar-cli program itself
//   engine_bench --write-full-cases=F [N]   the same cases with every field
//                                      written, those at their initial value too
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "casefile/case_file.h"
#include "cli/case_json.h"
#include "bench/engine/case_mix.h"
#include "engine/division.h"
#include "engine/explanation.h"
#include "engine/heirs.h"
#include "engine/preparation.h"
#include "engine/uncertain_heir.h"

// The replaced operators allocate with malloc and free with free; the
// compiler cannot see that they belong together.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

// Every heap allocation of the process is counted, so that a benchmark can
// show that a division allocates nothing.
static std::atomic<std::size_t> g_allocations{0};

void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

using qismar::bench::makeCaseMix;

const std::vector<qismar::bench::MixedCase>& mix()
{
    static const auto cases = makeCaseMix(4096);
    return cases;
}

void BM_Divide(benchmark::State& state)
{
    const auto& cases = mix();
    std::size_t i = 0, divided = 0, passesBase = 0;
    // Warm up, then count every allocation made while dividing.
    for (const auto& m : cases)
        benchmark::DoNotOptimize(qismar::Divide(m.estateCase));
    const std::size_t before = g_allocations.load();
    for (auto _ : state) {
        const qismar::DivisionResult r = qismar::Divide(cases[i].estateCase);
        benchmark::DoNotOptimize(r);
        divided += r.outcome == qismar::Outcome::Divided;
        passesBase += static_cast<std::size_t>(r.problemBase.raw());
        if (++i == cases.size())
            i = 0;
    }
    const std::size_t allocations = g_allocations.load() - before;
    state.SetItemsProcessed(state.iterations());
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["cases_in_mix"] = static_cast<double>(cases.size());
    if (allocations != 0)
        state.SkipWithError("a division allocated on the heap");
}
BENCHMARK(BM_Divide);

// The same mix, each division explained: the exact fractions kept beside
// the amounts, the statuses, the problem and the sentences.
void BM_DivideExplained(benchmark::State& state)
{
    const auto& cases = mix();
    std::size_t i = 0;
    qismar::Explanation explanation;
    for (auto _ : state) {
        benchmark::DoNotOptimize(qismar::DivideExplained(cases[i].estateCase, explanation));
        benchmark::DoNotOptimize(explanation);
        if (++i == cases.size())
            i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DivideExplained);

// The same mix with an uncertain heir beside the heirs of each case: an
// unborn child of the deceased man (three divisions) and a child of
// undetermined sex (two); compare with BM_Divide, the plain figure.
void BM_DivideUncertain(benchmark::State& state, qismar::UncertainKind kind)
{
    std::vector<qismar::EstateCase> cases;
    for (const auto& m : mix()) {
        qismar::EstateCase c = m.estateCase;
        c.deceased = qismar::Deceased::Man;
        c.deriveEntryWindowState();
        if (!qismar::RefuseUncertain(c, {kind, qismar::KinLine::Child}))
            cases.push_back(c);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(qismar::DivideUncertain(cases[i], {kind, qismar::KinLine::Child}));
        if (++i == cases.size())
            i = 0;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["cases_in_mix"] = static_cast<double>(cases.size());
}
BENCHMARK_CAPTURE(BM_DivideUncertain, unborn_child, qismar::UncertainKind::Unborn);
BENCHMARK_CAPTURE(BM_DivideUncertain, undetermined_child, qismar::UncertainKind::UndeterminedSex);

// Cases whose base rises, and cases whose surplus is returned over many
// passes, separately: the two loops of the driver.
void BM_DivideLoops(benchmark::State& state, int loop)
{
    qismar::EstateCase c;
    c.estate = qismar::Currency::fromWhole(24000);
    if (loop == 0) {
        c.deceased = qismar::Deceased::Woman;  // husband, mother, sisters, uterine: base 40
        c.spouse = c.mother = true;
        c.fullSisters = qismar::HeadCount(2);
        c.uterineBrothers = qismar::HeadCount(2);
    } else {
        c.mothersMothersMother = c.fathersMothersMother = c.fathersFathersMother = true;  // base 24 down to 4
    }
    c.deriveEntryWindowState();
    for (auto _ : state)
        benchmark::DoNotOptimize(qismar::Divide(c));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(BM_DivideLoops, raise_base_24_to_40, 0);
BENCHMARK_CAPTURE(BM_DivideLoops, return_base_24_to_4, 1);

// qismar-cli's whole loop over a 100 000-line input held in memory: reading,
// parsing, dividing and writing the JSON objects.
void BM_CliLines(benchmark::State& state, bool explain)
{
    static const std::string input = [] {
        std::string text;
        for (const auto& m : makeCaseMix(100000, 0xC11))
            text += m.jsonLine + "\n";
        return text;
    }();
    for (auto _ : state) {
        FILE* in = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
        FILE* out = std::fopen("/dev/null", "w");
        qismar::cli::Options options;
        options.explain = explain;
        const int status = qismar::cli::run(in, out, stderr, options);
        std::fclose(in);
        std::fclose(out);
        if (status != 0)
            state.SkipWithError("a line failed");
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK_CAPTURE(BM_CliLines, plain, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CliLines, explain, true)->Unit(benchmark::kMillisecond);

// The field of a case that names a row holding an amount when the case is
// divided (the first such row), or "" when none does.
std::string inheritingField(const qismar::EstateCase& c)
{
    qismar::DivisionResult r;
    try {
        r = qismar::DivideEstate(c);
    } catch (const qismar::EngineError&) {
        return {};
    }
    for (const qismar::HeirInfo& info : qismar::kHeirs) {
        if (r.rows[std::size_t(qismar::index(info.heir))].kind != qismar::RowText::Kind::Amount)
            continue;
        if (info.heir == qismar::Heir::Husband || info.heir == qismar::Heir::Wives)
            return "spouse";
        if (info.heir == qismar::Heir::UterineSiblings)
            return c.uterineSisters.positive() ? "uterineSisters" : "uterineBrothers";
        return std::string(info.fields[0].json);
    }
    return {};
}

// Lines of the mix with one or two later deaths: the dead head the first
// row of his problem that receives something, his own heirs another case
// of the mix (its relatives only). Only lines that qismar-cli divides.
std::string successiveLines(std::size_t problems, std::size_t count)
{
    const auto cases = makeCaseMix(count * 4, 0xD21);
    std::string text;
    std::size_t made = 0;
    for (std::size_t i = 0; i + problems <= cases.size() && made < count; i += problems) {
        qismar::CaseRecord record;
        record.estate = cases[i].estateCase;
        const qismar::EstateCase* holder = &record.estate;
        for (std::size_t k = 1; k < problems; ++k) {
            qismar::LaterDeath d;
            d.problem = int(k);
            d.heir = inheritingField(*holder);
            qismar::EstateCase own = cases[i + k].estateCase;
            own.deceased = qismar::Deceased::Man;
            own.funeral = own.debts = own.bequests = qismar::Currency{};
            own.heirsConsent = false;
            d.ownCase = own;
            record.laterDeaths.push_back(d);
            holder = &record.laterDeaths.back().ownCase;
        }
        std::string line;
        try {
            line = qismar::writeCaseObject(record);
        } catch (const qismar::EngineError&) {
            continue;
        }
        std::string out;
        if (!qismar::cli::processLine(line, out))
            continue;
        text += line + "\n";
        ++made;
    }
    return text;
}

// qismar-cli's whole loop over lines with two and three problems each;
// compare with BM_CliLines, the plain figure per line.
void BM_CliLaterDeaths(benchmark::State& state, std::size_t problems, bool explain)
{
    constexpr std::size_t kLines = 20000;
    static std::string inputs[4];
    std::string& input = inputs[problems];
    if (input.empty())
        input = successiveLines(problems, kLines);
    const auto lines = static_cast<std::size_t>(std::count(input.begin(), input.end(), '\n'));
    for (auto _ : state) {
        FILE* in = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
        FILE* out = std::fopen("/dev/null", "w");
        qismar::cli::Options options;
        options.explain = explain;
        const int status = qismar::cli::run(in, out, stderr, options);
        std::fclose(in);
        std::fclose(out);
        if (status != 0)
            state.SkipWithError("a line failed");
    }
    state.SetItemsProcessed(std::int64_t(state.iterations() * lines));
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK_CAPTURE(BM_CliLaterDeaths, two_problems, 2, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CliLaterDeaths, three_problems, 3, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CliLaterDeaths, two_problems_explain, 2, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CliLaterDeaths, three_problems_explain, 3, true)->Unit(benchmark::kMillisecond);

int writeCases(const char* path, std::size_t count)
{
    FILE* f = std::fopen(path, "w");
    if (!f) {
        std::perror(path);
        return 1;
    }
    for (const auto& m : makeCaseMix(count, 0xC11)) {
        std::fputs(m.jsonLine.c_str(), f);
        std::fputc('\n', f);
    }
    return std::fclose(f) == 0 ? 0 : 1;
}

// A case with every field of a case object written, in the order of the
// writer: the format, the deceased, the amounts of the estate and its
// preparation, then every box and count of the heir table.
std::string fullCaseLine(const qismar::EstateCase& c)
{
    using namespace qismar;
    std::string j = "{\"format\": 1, \"deceased\": ";
    j += c.isMan() ? "\"man\"" : "\"woman\"";
    for (const auto& [name, amount] : {std::pair{"estate", c.estate}, std::pair{"funeral", c.funeral},
                                       std::pair{"debts", c.debts}, std::pair{"bequests", c.bequests}})
        j += std::string(", \"") + name + "\": \"" + std::to_string(amount.whole()) + "\"";
    j += std::string(", \"heirsConsent\": ") + (c.heirsConsent ? "true" : "false");
    std::vector<std::string_view> written;
    for (const HeirInfo& heir : kHeirs)
        for (const CaseField& f : heir.caseFields()) {
            if (std::find(written.begin(), written.end(), f.json) != written.end())
                continue;
            written.push_back(f.json);
            j += ", \"" + std::string(f.json) + "\": ";
            j += f.isCount() ? std::to_string((c.*f.count).persons()) : (c.*f.flag ? "true" : "false");
        }
    j += '}';
    return j;
}

int writeFullCases(const char* path, std::size_t count)
{
    FILE* f = std::fopen(path, "w");
    if (!f) {
        std::perror(path);
        return 1;
    }
    for (const auto& m : makeCaseMix(count, 0xC11)) {
        std::fputs(fullCaseLine(m.estateCase).c_str(), f);
        std::fputc('\n', f);
    }
    return std::fclose(f) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strncmp(argv[1], "--write-full-cases=", 19) == 0)
        return writeFullCases(argv[1] + 19, argc >= 3 ? std::strtoul(argv[2], nullptr, 10) : 100000);
    if (argc >= 2 && std::strncmp(argv[1], "--write-cases=", 14) == 0)
        return writeCases(argv[1] + 14, argc >= 3 ? std::strtoul(argv[2], nullptr, 10) : 100000);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
