// Time from a click on "  قسم" to the results window shown and painted, over
// a mix of cases. Each iteration closes the results window with "تم" (which
// clears the heirs) and puts the case into the entry window again outside
// the timed part.
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <benchmark/benchmark.h>
#include <algorithm>
#include <chrono>
#include <functional>

#include "entry/entry_window.h"
#include "results/division_window.h"
#include "ui/ui_common.h"

using namespace qismar;
using Clock = std::chrono::steady_clock;

namespace {

struct Case {
    const char* name;
    std::function<void(EstateCase&)> fill;
};

HeadCount heads(std::int64_t n) { return HeadCount(n); }

const Case kCases[] = {
    {"husband_two_full_sisters",
     [](EstateCase& c) {
         c.deceased = Deceased::Woman;
         c.spouse = true;
         c.fullSisters = heads(2);
         c.estate = Currency::fromWhole(28000);
     }},
    {"wife_daughter_return",
     [](EstateCase& c) {
         c.spouse = true;
         c.daughters = heads(1);
         c.estate = Currency::fromWhole(24000);
     }},
    {"father_full_brother",
     [](EstateCase& c) {
         c.father = true;
         c.fullBrothers = heads(1);
         c.estate = Currency::fromWhole(1000);
     }},
    {"grandfather_with_siblings",
     [](EstateCase& c) {
         c.grandfather = true;
         c.mother = true;
         c.fullBrothers = heads(2);
         c.fullSisters = heads(1);
         c.paternalSisters = heads(1);
         c.estate = Currency::fromWhole(987654);
     }},
    {"every_class_present",
     [](EstateCase& c) {
         c.father = c.mother = c.spouse = c.grandfather = true;
         c.wives = heads(4);
         c.daughters = heads(3);
         c.sonsSons = c.sonsDaughters = c.sonsSonsSons = c.sonsSonsDaughters = heads(2);
         c.fullSisters = c.fullBrothers = c.paternalBrothers = c.paternalSisters = heads(1);
         c.uterineSisters = c.uterineBrothers = heads(1);
         c.fullBrothersSons = heads(2);
         c.fullUncles = heads(1);
         c.paternalUnclesSons = heads(5);
         c.mothersMother = c.fathersMother = true;
         c.estate = Currency::fromWhole(123456789);
     }},
    {"distant_cousins_only",
     [](EstateCase& c) {
         c.fullUnclesSons = heads(3);
         c.paternalUnclesSons = heads(2);
         c.estate = Currency::fromWhole(50);
     }},
};

// Notes the moment the results window is first painted after being shown,
// then presses its "تم" from the event loop.
class ShownProbe : public QObject {
public:
    explicit ShownProbe(DivisionWindow* window) : window_(window) { window->installEventFilter(this); }
    ~ShownProbe() override { window_->removeEventFilter(this); }
    Clock::time_point shownAt{};
    bool shown = false;
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Paint && !shown) {
            shown = true;
            shownAt = Clock::now();
            QMetaObject::invokeMethod(window_->doneButton, &QPushButton::click, Qt::QueuedConnection);
        }
        return false;
    }
private:
    DivisionWindow* window_;
};

void DivideClick(benchmark::State& state, EntryWindow& entry, const Case& c)
{
    double worst = 0;
    for (auto _ : state) {
        EstateCase estateCase;
        c.fill(estateCase);
        entry.showCase(estateCase);
        ShownProbe probe(&entry.divisionWindow());
        const Clock::time_point clicked = Clock::now();
        QTest::mouseClick(entry.divideButton, Qt::LeftButton);
        if (!probe.shown) {
            state.SkipWithError("the results window was not shown");
            return;
        }
        const double seconds = std::chrono::duration<double>(probe.shownAt - clicked).count();
        worst = std::max(worst, seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["worst_ms"] = worst * 1000;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::installArabic(app);
    EntryWindow entry;
    entry.show();
    if (!QTest::qWaitForWindowExposed(&entry))
        return 1;

    for (const Case& c : kCases)
        benchmark::RegisterBenchmark(c.name, [&entry, &c](benchmark::State& state) { DivideClick(state, entry, c); })
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
