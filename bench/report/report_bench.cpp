// The report of a division of 30 heirs: building its document model, and
// writing it as an A4 PDF (layout, Arabic shaping, font embedding, the text
// of every glyph, the file written whole and synced to the disk),
// offscreen. Target: well under a second for the PDF.
#include <QDate>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "results/division_report.h"
#include "engine/preparation.h"

namespace {

using namespace qismar;

HeadCount heads(std::int64_t n) { return HeadCount(n); }

// Thirty heirs: four wives, the parents, five sons and five daughters, two
// sons' sons and two sons' daughters, three full brothers and three full
// sisters, a uterine brother and sister, and two grandmothers; the estate
// near 10^14, with costs, debts and bequests.
EstateCase thirtyHeirs()
{
    EstateCase c;
    c.estate = Currency::fromWhole(98765432109876);
    c.spouse = true;
    c.wives = heads(4);
    c.father = true;
    c.mother = true;
    c.sons = heads(5);
    c.daughters = heads(5);
    c.sonsSons = heads(2);
    c.sonsDaughters = heads(2);
    c.fullBrothers = heads(3);
    c.fullSisters = heads(3);
    c.uterineBrothers = heads(1);
    c.uterineSisters = heads(1);
    c.mothersMother = true;
    c.fathersMother = true;
    c.funeral = Currency::fromWhole(12345678);
    c.debts = Currency::fromWhole(987654321);
    c.bequests = Currency::fromWhole(40000000000000);
    c.deriveEntryWindowState();
    return c;
}

struct Division {
    EstateCase estateCase = thirtyHeirs();
    Explanation explanation;
    DivisionResult result = DivideEstate(estateCase, &explanation);
};

void BM_BuildReport(benchmark::State& state)
{
    const Division d;
    for (auto _ : state)
        benchmark::DoNotOptimize(results::buildDivisionReport(d.estateCase, d.result, d.explanation, QDate(2025, 3, 16)));
}
BENCHMARK(BM_BuildReport)->Unit(benchmark::kMicrosecond);

void BM_WriteReportPdf(benchmark::State& state)
{
    const Division d;
    const results::DivisionReport report =
        results::buildDivisionReport(d.estateCase, d.result, d.explanation, QDate(2025, 3, 16));
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    QString error;
    for (auto _ : state)
        if (!results::writeReportPdf(report, path, &error))
            state.SkipWithError(error.toUtf8().constData());
}
BENCHMARK(BM_WriteReportPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
