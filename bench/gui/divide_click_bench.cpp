// Time from a click on "  قسم" to the results window shown and painted, over
// a mix of cases entered in the real windows. Each iteration closes the
// results window with "تم" (which clears the case) and enters the case again
// outside the timed part.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTest>
#include <benchmark/benchmark.h>
#include <algorithm>
#include <chrono>
#include <functional>

#include "entry/entry_windows.h"
#include "ui/ui_common.h"

using namespace qismar;
using Clock = std::chrono::steady_clock;

namespace {

// Ticks a box as it stands after its dialog's "تم", without opening the dialog.
void tick(QCheckBox* box)
{
    const QSignalBlocker blocker(box);
    box->setChecked(true);
}

void set(QLineEdit* edit, const char* text) { edit->setText(QString::fromLatin1(text)); }

struct Case {
    const char* name;
    std::function<void()> enter;
};

const Case kCases[] = {
    {"husband_two_full_sisters",
     [] {
         fmMain->RadioButton2->setChecked(true);
         tick(fmMain->chkZoj);
         tick(fmMain->chkAk);
         set(fmBrothers->Edit1, "2");
         set(fmMain->Edit11, "2");
         set(fmMain->edttarikh, "28000");
     }},
    {"wife_daughter_return",
     [] {
         fmMain->RadioButton1->setChecked(true);
         tick(fmMain->chkZoj);
         tick(fmMain->chkSons);
         set(fmSon->Edit2, "1");
         set(fmMain->Edit9, "1");
         set(fmMain->edttarikh, "24000");
     }},
    {"father_full_brother",
     [] {
         tick(fmMain->chkAb);
         tick(fmMain->chkAk);
         set(fmBrothers->Edit2, "1");
         set(fmMain->Edit11, "1");
         set(fmMain->edttarikh, "1000");
     }},
    {"grandfather_with_siblings",
     [] {
         tick(fmMain->chkjd);
         fmJd->RadioButton1->setChecked(true);
         tick(fmMain->chkOm);
         tick(fmMain->chkAk);
         set(fmBrothers->Edit2, "2");
         set(fmBrothers->Edit1, "1");
         set(fmBrothers->Edit4, "1");
         set(fmMain->Edit11, "4");
         set(fmMain->edttarikh, "987654");
     }},
    {"every_class_present",
     [] {
         fmMain->RadioButton1->setChecked(true);
         for (QCheckBox* box : fmMain->heirBoxes())
             tick(box);
         set(fmMain->Edit1, "4");
         set(fmSon->Edit2, "3");
         for (QLineEdit* e : fmSonOfSon->countEdits())
             set(e, "2");
         for (QLineEdit* e : fmBrothers->countEdits())
             set(e, "1");
         set(fmSonOfBrother->Edit2, "2");
         set(fmUncle->Edit1, "1");
         set(fmSonOfUncle->Edit2, "5");
         fmGrandMother->CheckBox1->setChecked(true);
         fmGrandMother->CheckBox2->setChecked(true);
         fmJd->RadioButton2->setChecked(true);
         set(fmMain->edttarikh, "123456789");
     }},
    {"distant_cousins_only",
     [] {
         tick(fmMain->chkEbnAm);
         set(fmSonOfUncle->Edit1, "3");
         set(fmSonOfUncle->Edit2, "2");
         set(fmMain->Edit4, "5");
         set(fmMain->edttarikh, "50");
     }},
};

// Notes the moment the results window is first painted after being shown,
// then presses its "تم" from the event loop.
class ShownProbe : public QObject {
public:
    explicit ShownProbe(QWidget* window) : window_(window) { window->installEventFilter(this); }
    ~ShownProbe() override { window_->removeEventFilter(this); }
    Clock::time_point shownAt{};
    bool shown = false;
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Paint && !shown) {
            shown = true;
            shownAt = Clock::now();
            QMetaObject::invokeMethod(fmDivision->Button1, &QPushButton::click, Qt::QueuedConnection);
        }
        return false;
    }
private:
    QWidget* window_;
};

void DivideClick(benchmark::State& state, const Case& c)
{
    double worst = 0;
    for (auto _ : state) {
        c.enter();
        ShownProbe probe(fmDivision);
        const Clock::time_point clicked = Clock::now();
        QTest::mouseClick(fmMain->BitBtn2, Qt::LeftButton);
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
    createEntryWindows();
    fmMain->show();
    if (!QTest::qWaitForWindowExposed(fmMain))
        return 1;

    for (const Case& c : kCases)
        benchmark::RegisterBenchmark(c.name, DivideClick, c)->UseManualTime()->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
