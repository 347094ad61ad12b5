// The results window and whole divisions entered through the windows: tick
// the relatives, fill the dialogs, press "  قسم", read the lines, press "تم".
#include <unistd.h>

#include <cerrno>

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>

#include "casefile/case_file.h"
#include "casefile/file_writer.h"
#include "results/amount_cell.h"
#include "results/amount_text.h"
#include "tests/entry/gui_test_support.h"
#include "engine/preparation.h"
#include "results/problem_window.h"
#include "tests/results/result_cases.h"
#include "ui/ui_common.h"

namespace qismar::testing {
namespace {

// How the window says that one male relative receives nothing.
QString nothingForHim() { return QStringLiteral("لا شيء له"); }

// The program's settings (the decimals of the amounts) kept apart from the
// user's while the tests run.
const bool kSettingsOfTheTests = [] {
    QStandardPaths::setTestModeEnabled(true);
    return true;
}();

// The column of a report table by its header.
std::size_t column(const results::ReportTable& t, const QString& header)
{
    const qsizetype i = t.header.indexOf(header);
    EXPECT_GE(i, 0) << header;
    return std::size_t(std::max<qsizetype>(i, 0));
}

struct Line {
    Heir row;
    QString caption, count;
    QString amount;  // the exact text of the amount of each head
    QString shown;   // what the box shows
    QString classTotal, percentage;  // exact texts; empty when the box is hidden
    int top;
};

// The lines the results window shows, top to bottom.
std::vector<Line> visibleLines(const DivisionWindow* window)
{
    std::vector<Line> lines;
    for (Heir row : window->shownRows()) {
        EXPECT_TRUE(window->caption(row)->isVisible()) << heirInfo(row).key;
        EXPECT_EQ(window->caption(row)->y(), window->amount(row)->y()) << heirInfo(row).key;
        lines.push_back({row, window->caption(row)->text(), window->count(row)->text(), window->amount(row)->exact(),
                         window->amount(row)->text(),
                         window->classTotal(row)->isVisible() ? window->classTotal(row)->exact() : QString(),
                         window->percentage(row)->isVisible() ? window->percentage(row)->exact() : QString(),
                         window->amount(row)->y()});
    }
    return lines;
}

// Every line one step below the one before, from the top of the lines.
void expectStackedFromTheTop(const std::vector<Line>& lines)
{
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].top, lines[0].top + DivisionWindow::kLineStep * int(i)) << heirInfo(lines[i].row).key;
    if (!lines.empty()) {
        EXPECT_LE(lines[0].top, 4);
    }
}

// The value a screen reader reads from a box.
QString accessibleValue(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Value) : QString();
}

// Presses the keys of one of the window's shortcuts, as a user does.
void pressShortcut(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    // A window's shortcuts answer while it is the active window.
    window->activateWindow();
    QApplication::processEvents();
    QTest::keyClick(window, key, modifiers);
}

class Division : public EntryWindows {
protected:
    // Ticks a counting box and fills its dialog.
    void tick(HeirGroup group, std::vector<TypedCount> counts)
    {
        ModalScript script;
        script.on<CountingDialog>(fillCounts(std::move(counts)));
        click(entry().box(group));
        EXPECT_SCRIPT_DONE(script);
        EXPECT_TRUE(entry().box(group)->isChecked());
    }
    void estate(const QString& value) { typeOver(entry().estateEdit, value); }

    // Presses "  قسم"; `read` looks at the results window, which is then closed with "تم".
    void divide(const std::function<void(DivisionWindow*)>& read)
    {
        ModalScript script;
        script.on<DivisionWindow>([&read](DivisionWindow* window) {
            read(window);
            if (window->isVisible())
                click(window->doneButton);
        });
        click(entry().divideButton);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_FALSE(results().isVisible());
    }
    // Presses "  قسم" where a message box answers; returns its text.
    QMessageBox::Icon divideExpectingMessage(QString* text)
    {
        ModalScript script;
        script.messageBox();
        click(entry().divideButton);
        EXPECT_SCRIPT_DONE(script);
        if (script.boxes().size() != 1)
            return QMessageBox::NoIcon;
        *text = script.boxes()[0].text;
        return script.boxes()[0].icon;
    }
    void expectNoResults()
    {
        EXPECT_FALSE(results().holdsDivision());
        for (int i = 0; i < kHeirCount; ++i) {
            EXPECT_TRUE(results().amounts[std::size_t(i)]->exact().isEmpty()) << heirInfo(heirAt(i)).key;
            EXPECT_TRUE(results().percentages[std::size_t(i)]->exact().isEmpty());
            EXPECT_TRUE(results().amounts[std::size_t(i)]->isHidden());
            EXPECT_TRUE(results().captions[std::size_t(i)]->isHidden());
            EXPECT_TRUE(results().percentages[std::size_t(i)]->isHidden());
        }
        EXPECT_TRUE(results().undistributedAmount->exact().isEmpty());
    }
    void expectEmptyCase()
    {
        for (QCheckBox* box : entry().heirBoxes())
            EXPECT_FALSE(box->isChecked()) << box->objectName();
        for (QCheckBox* box : grandmothersDialog().boxes())
            EXPECT_FALSE(box->isChecked()) << box->objectName();
        for (int i = 0; i < kHeirGroupCount; ++i) {
            CountingDialog& shown = dialog(static_cast<HeirGroup>(i));
            for (QLineEdit* count : shown.countEdits())
                EXPECT_EQ(count->text(), QStringLiteral("0")) << shown.objectName() << "." << count->objectName();
        }
        for (QLineEdit* count : {entry().childrenCount, entry().grandchildrenCount, entry().siblingsCount,
                                 entry().nephewsCount, entry().unclesCount, entry().cousinsCount, entry().grandmothersCount})
            EXPECT_EQ(count->text(), QStringLiteral("0")) << count->objectName();
        EXPECT_EQ(entry().wivesCount->text(), QStringLiteral("1"));
        // The case keeps the deceased, the estate and its preparation, and no heir.
        EstateCase heirless;
        heirless.deceased = entry().estateCase().deceased;
        heirless.estate = entry().estateCase().estate;
        heirless.funeral = entry().estateCase().funeral;
        heirless.debts = entry().estateCase().debts;
        heirless.bequests = entry().estateCase().bequests;
        heirless.heirsConsent = entry().estateCase().heirsConsent;
        EXPECT_EQ(entry().estateCase(), heirless);
        EXPECT_FALSE(grandfatherDialog().fathersFather->isChecked() || grandfatherDialog().fathersFathersFather->isChecked());
        expectNoResults();
    }
    // The percentage text that the engine gives a row for the case as entered.
    QString enginePercentage(Heir row)
    {
        const DivisionResult expected = Divide(entry().caseToDivide());
        const auto& p = expected.percentages[std::size_t(index(row))];
        return p ? QString::fromStdString(formatAmount(*p)) + QStringLiteral("%") : QString();
    }
};

TEST_F(Division, HusbandAndTwoFullSistersThenASecondDivisionFromAnEmptyCase)
{
    click(entry().womanButton);
    click(entry().spouseBox);
    tick(HeirGroup::Siblings, {{&EstateCase::fullSisters, QStringLiteral("2")}});
    estate(QStringLiteral("28000"));
    const QString husbandShare = enginePercentage(Heir::Husband);
    const QString sisterShare = enginePercentage(Heir::FullSisters);
    ASSERT_FALSE(husbandShare.isEmpty());

    divide([&](DivisionWindow* window) {
        const std::vector<Line> lines = visibleLines(window);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].row, Heir::Husband);
        EXPECT_EQ(lines[0].caption, QStringLiteral("الزوج"));
        EXPECT_EQ(lines[0].count, QStringLiteral("1"));
        EXPECT_EQ(lines[0].amount, QStringLiteral("12000"));
        EXPECT_EQ(lines[0].shown, QStringLiteral("12,000.00"));
        EXPECT_EQ(lines[0].classTotal, QStringLiteral("12000"));
        EXPECT_EQ(lines[0].percentage, husbandShare);
        EXPECT_EQ(lines[1].row, Heir::FullSisters);
        EXPECT_EQ(lines[1].caption, QStringLiteral("لكل أخت شقيقة"));
        EXPECT_EQ(lines[1].count, QStringLiteral("2"));
        EXPECT_EQ(lines[1].amount, QStringLiteral("8000"));
        EXPECT_EQ(lines[1].classTotal, QStringLiteral("16000"));
        EXPECT_EQ(lines[1].percentage, sisterShare);
        expectStackedFromTheTop(lines);
        // The heirs' total closes the lines: three heads, the whole estate.
        ASSERT_TRUE(window->totalAmount->isVisible());
        EXPECT_EQ(window->totalAmount->y(), lines[1].top + DivisionWindow::kLineStep);
        EXPECT_EQ(window->totalCount->text(), QStringLiteral("3"));
        EXPECT_EQ(window->totalAmount->exact(), QStringLiteral("28000"));
        EXPECT_EQ(window->totalPercentage->exact(), QStringLiteral("100%"));
        EXPECT_FALSE(window->undistributedAmount->isVisible());
        EXPECT_EQ(window->windowTitle(), QStringLiteral("قسمة الأنصبة"));
        EXPECT_TRUE(window->estateText->text().contains(QStringLiteral("28,000")));
        // A screen reader reads the exact amount, then the whole line.
        EXPECT_EQ(window->amount(Heir::Husband)->accessibleDescription(),
                  QStringLiteral("المبلغ الدقيق 12000؛ الزوج: العدد 1، نصيب الفرد 12000.00، نصيب الفئة 12000.00، النسبة ") +
                      husbandShare);
        // The 'awl in one sentence above the lines; the rounding under them.
        EXPECT_EQ(window->problemText->text(), QStringLiteral("عالت المسألة من 6 إلى 7، فنقص نصيب كل صاحب فرض بنسبة ذلك"));
        EXPECT_TRUE(window->problemText->isVisible());
        EXPECT_LT(window->problemText->geometry().bottom(), window->linesArea->y());
        EXPECT_EQ(window->roundingText->text(), results::roundingNote(2));
        EXPECT_GT(window->roundingText->y(), window->linesArea->geometry().bottom());
        // "تم" closes the window and clears the case for the next one.
        click(window->doneButton);
        EXPECT_FALSE(window->isVisible());
    });
    expectEmptyCase();
    EXPECT_TRUE(entry().womanButton->isChecked());
    EXPECT_EQ(entry().estateEdit->text(), QStringLiteral("28,000"));

    // A man with one wife and one daughter: the wife keeps an eighth.
    click(entry().manButton);
    click(entry().spouseBox);
    tick(HeirGroup::Children, {{&EstateCase::daughters, QStringLiteral("1")}});
    estate(QStringLiteral("24000"));
    divide([](DivisionWindow* window) {
        const std::vector<Line> lines = visibleLines(window);
        ASSERT_EQ(lines.size(), 2u);
        // One wife and one daughter: named, not "لكل ...".
        EXPECT_EQ(lines[0].caption, QStringLiteral("الزوجة"));
        EXPECT_EQ(lines[0].amount, QStringLiteral("3000"));
        EXPECT_EQ(lines[1].caption, QStringLiteral("البنت"));
        EXPECT_EQ(lines[1].amount, QStringLiteral("21000"));
    });
    expectEmptyCase();
}

TEST_F(Division, ExcludedRelativeIsShownWithNothingForHimAndWhoExcludesHim)
{
    click(entry().fatherBox);
    tick(HeirGroup::Siblings, {{&EstateCase::fullBrothers, QStringLiteral("1")}});
    estate(QStringLiteral("1000"));
    divide([](DivisionWindow* window) {
        const std::vector<Line> lines = visibleLines(window);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].caption, QStringLiteral("الأب"));
        EXPECT_EQ(lines[0].amount, QStringLiteral("1000"));
        EXPECT_EQ(lines[1].caption, QStringLiteral("الأخ الشقيق"));
        EXPECT_EQ(lines[1].amount, nothingForHim());
        // No percentage box and no class total beside "لا شيء له", which
        // takes the room of both amounts.
        EXPECT_TRUE(lines[1].percentage.isEmpty());
        EXPECT_TRUE(lines[1].classTotal.isEmpty());
        EXPECT_GT(window->amount(Heir::FullBrothers)->width(), window->amount(Heir::Father)->width());
        // Who excludes him, from the explanation.
        EXPECT_TRUE(window->amount(Heir::FullBrothers)->toolTip().contains(QStringLiteral("بالأب")))
            << window->amount(Heir::FullBrothers)->toolTip();
        EXPECT_TRUE(window->amount(Heir::FullBrothers)->accessibleDescription().contains(nothingForHim()));
        EXPECT_EQ(window->totalCount->text(), QStringLiteral("2"));
        EXPECT_EQ(window->totalAmount->exact(), QStringLiteral("1000"));
    });
}

TEST_F(Division, WhatTheRowsLeaveIsShownAsTheLastLineAndClearedWithTheCase)
{
    // A husband alone keeps his half; the other half is not divided here.
    click(entry().womanButton);
    click(entry().spouseBox);
    estate(QStringLiteral("24000"));
    divide([](DivisionWindow* window) {
        const std::vector<Line> lines = visibleLines(window);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].amount, QStringLiteral("12000"));
        ASSERT_TRUE(window->undistributedAmount->isVisible());
        EXPECT_EQ(window->undistributedCaption->text(), QStringLiteral("الباقي دون توزيع"));
        EXPECT_EQ(window->undistributedAmount->exact(), QStringLiteral("12000"));
        EXPECT_EQ(window->undistributedPercentage->exact(), QStringLiteral("50%"));
        EXPECT_TRUE(window->undistributedCaption->toolTip().contains(QStringLiteral("ذوي الأرحام")));
        EXPECT_TRUE(window->undistributedAmount->toolTip().contains(QStringLiteral("ذوي الأرحام")));
        // The heirs took half; the remainder is the last line, below their total.
        EXPECT_EQ(window->totalAmount->exact(), QStringLiteral("12000"));
        EXPECT_EQ(window->totalPercentage->exact(), QStringLiteral("50%"));
        EXPECT_GT(window->totalAmount->y(), window->amount(Heir::Husband)->y());
        EXPECT_GT(window->undistributedAmount->y(), window->totalAmount->y());
    });
    EXPECT_TRUE(results().undistributedAmount->exact().isEmpty());

    // A case that the heirs take whole shows no such line.
    tick(HeirGroup::Children, {{&EstateCase::sons, QStringLiteral("1")}});
    estate(QStringLiteral("100"));
    divide([](DivisionWindow* window) { EXPECT_FALSE(window->undistributedAmount->isVisible()); });
}

TEST_F(Division, AnEstateTooSmallForItsHeirsIsRefusedInArabic)
{
    tick(HeirGroup::Children, {{&EstateCase::sons, QStringLiteral("20000")}});
    estate(QStringLiteral("100"));
    QString text;
    EXPECT_EQ(divideExpectingMessage(&text), QMessageBox::Critical);
    EXPECT_EQ(text, QStringLiteral("التركة أصغر من أن تُقسم على هذا العدد من الورثة"));
    EXPECT_FALSE(results().isVisible());
}

TEST_F(Division, OneHeirMakesTheSmallestWindow)
{
    tick(HeirGroup::Children, {{&EstateCase::sons, QStringLiteral("3")}});
    estate(QStringLiteral("900"));
    divide([](DivisionWindow* window) {
        const std::vector<Line> lines = visibleLines(window);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].caption, QStringLiteral("لكل ابن"));
        EXPECT_EQ(lines[0].count, QStringLiteral("3"));
        EXPECT_EQ(lines[0].amount, QStringLiteral("300"));
        EXPECT_EQ(lines[0].classTotal, QStringLiteral("900"));
        // The line and the total, nothing to scroll, and the buttons below them.
        EXPECT_EQ(window->linesBox->height(), 2 * DivisionWindow::kLineStep + 4);
        EXPECT_EQ(window->linesArea->height(), window->linesBox->height());
        EXPECT_EQ(window->linesArea->verticalScrollBar()->maximum(), 0);
        EXPECT_GT(window->doneButton->y(), window->linesArea->geometry().bottom());
        EXPECT_LT(window->height(), 300);
    });
}

TEST_F(Division, ChoiceOfGrandfatherDoesNotChangeTheDivision)
{
    auto withGrandfather = [this](QRadioButton* GrandfatherDialog::*choice) {
        ModalScript script;
        script.on<GrandfatherDialog>([choice](GrandfatherDialog* dialog) {
            click(dialog->*choice);
            click(dialog->doneButton);
        });
        click(entry().grandfatherBox);
        EXPECT_SCRIPT_DONE(script);
        click(entry().motherBox);
        tick(HeirGroup::Siblings, {{&EstateCase::fullBrothers, QStringLiteral("2")}});
        estate(QStringLiteral("36000"));
        std::vector<std::pair<QString, QString>> shown;
        divide([&shown](DivisionWindow* window) {
            for (const Line& line : visibleLines(window))
                shown.emplace_back(line.caption, line.amount);
        });
        return shown;
    };
    const auto near = withGrandfather(&GrandfatherDialog::fathersFather);
    const auto far = withGrandfather(&GrandfatherDialog::fathersFathersFather);
    EXPECT_EQ(near.size(), 3u);
    EXPECT_EQ(near, far);
}

TEST_F(Division, EstateOfZeroAndACaseWithoutHeirsAreRefusedWithAWarning)
{
    click(entry().fatherBox);
    QString text;
    {
        ModalScript script;
        script.messageBox();
        click(entry().divideButton);
        EXPECT_SCRIPT_DONE(script);
        ASSERT_EQ(script.boxes().size(), 1u);
        EXPECT_EQ(script.boxes()[0].icon, QMessageBox::Warning);
        EXPECT_EQ(script.boxes()[0].text, QStringLiteral("من فضلك أدخل قيمة التركة"));
        // The standard button speaks Arabic too.
        EXPECT_NE(script.boxes()[0].okText, QStringLiteral("OK"));
        EXPECT_FALSE(script.boxes()[0].okText.isEmpty());
    }
    EXPECT_FALSE(results().holdsDivision());
    click(entry().fatherBox);

    estate(QStringLiteral("1000"));
    EXPECT_EQ(divideExpectingMessage(&text), QMessageBox::Warning);
    EXPECT_EQ(text, QStringLiteral("من فضلك حدد الورثة"));
    EXPECT_FALSE(results().isVisible());

    // The next division with heirs sets the spouse's share aside again.
    click(entry().spouseBox);
    tick(HeirGroup::Children, {{&EstateCase::daughters, QStringLiteral("1")}});
    estate(QStringLiteral("24000"));
    divide([](DivisionWindow* window) {
        const std::vector<Line> lines = visibleLines(window);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].amount, QStringLiteral("3000"));
        EXPECT_EQ(lines[1].amount, QStringLiteral("21000"));
    });
}

TEST_F(Division, TextsThatAreNotAnEstateOrAnAmountAreReportedAndChangeNothing)
{
    click(entry().fatherBox);
    struct Case {
        const char* name;
        std::function<void()> enter;
        QString inMessage;
    };
    // A user cannot type or paste anything but digits (the fields refuse
    // it), nor close the preparation with an amount beyond the money range;
    // these texts are put there from code, to show that the division still
    // refuses them.
    const Case cases[] = {
        {"estate beyond the money range",
         // (The field refuses it as it is typed; a text set from code, as
         // an old file could hold, is refused at "قسم".)
         [this] { entry().estateEdit->setText(QStringLiteral("99999999999999999999")); },
         QStringLiteral("التركة أكبر من أن تُقسم: أكبر تركة تُقسم 922337203685477")},
        {"estate that is not a number", [this] { entry().estateEdit->setText(QStringLiteral("ألف")); },
         QStringLiteral("قيمة التركة")},
        {"negative estate", [this] { entry().estateEdit->setText(QStringLiteral("-500")); },
         QStringLiteral("قيمة التركة")},
        {"debts beyond the money range",
         [this] {
             typeOver(entry().estateEdit, QStringLiteral("1000"));
             preparation().debtsEdit->setText(QStringLiteral("99999999999999999999"));
         },
         QStringLiteral("تجهيز التركة: مبلغ «الديون» أكبر من أكبر مبلغ")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.enter();
        QString text;
        EXPECT_EQ(divideExpectingMessage(&text), QMessageBox::Critical);
        EXPECT_FALSE(text.isEmpty());
        if (!c.inMessage.isEmpty()) {
            EXPECT_TRUE(text.contains(c.inMessage)) << text;
        }
        expectNoResults();
        EXPECT_TRUE(entry().fatherBox->isChecked());
        EXPECT_TRUE(entry().estateCase().father);
    }
}

TEST_F(Division, DoneClearsABigCaseButKeepsTheSexAndTheEstate)
{
    click(entry().manButton);
    click(entry().fatherBox);
    click(entry().motherBox);
    click(entry().spouseBox);
    typeOver(entry().wivesCount, QStringLiteral("3"));
    tick(HeirGroup::Children, {{&EstateCase::sons, QStringLiteral("2")}, {&EstateCase::daughters, QStringLiteral("1")}});
    tick(HeirGroup::Grandchildren, {{&EstateCase::sonsSons, QStringLiteral("1")}, {&EstateCase::sonsSonsDaughters, QStringLiteral("2")}});
    tick(HeirGroup::Siblings, {{&EstateCase::fullSisters, QStringLiteral("1")}, {&EstateCase::uterineBrothers, QStringLiteral("1")}});
    tick(HeirGroup::Nephews, {{&EstateCase::fullBrothersSons, QStringLiteral("1")}});
    tick(HeirGroup::Uncles, {{&EstateCase::paternalUncles, QStringLiteral("2")}});
    tick(HeirGroup::Cousins, {{&EstateCase::fullUnclesSons, QStringLiteral("1")}});
    {
        ModalScript script;
        script.on<GrandmothersDialog>([](GrandmothersDialog* dialog) {
            click(dialog->fathersMother);
            click(dialog->doneButton);
        });
        click(entry().grandmothersBox);
        EXPECT_SCRIPT_DONE(script);
    }
    estate(QStringLiteral("120000"));
    divide([](DivisionWindow* window) {
        const std::vector<Line> lines = visibleLines(window);
        EXPECT_GE(lines.size(), 10u);
        expectStackedFromTheTop(lines);
        for (const Line& line : lines)
            EXPECT_FALSE(line.amount.isEmpty());
        // The wives' count and the class total of the three.
        EXPECT_EQ(window->count(Heir::Wives)->text(), QStringLiteral("3"));
        EXPECT_EQ(AmountOfRowText(window->classTotal(Heir::Wives)->exact().toStdString()).raw(),
                  AmountOfRowText(window->amount(Heir::Wives)->exact().toStdString()).raw() * 3);
    });
    expectEmptyCase();
    EXPECT_EQ(entry().grandmothersCount->text(), QStringLiteral("0"));
    EXPECT_TRUE(entry().manButton->isChecked());
    EXPECT_EQ(entry().estateEdit->text(), QStringLiteral("120,000"));
}

TEST_F(Division, DoneShowsNoLawExcerptEvenInTheHowInheritsMode)
{
    click(entry().fatherBox);
    click(entry().spouseBox);
    estate(QStringLiteral("600"));
    click(entry().howInheritsButton);
    ASSERT_TRUE(howInheritsOn());
    ModalScript script;
    script.on<DivisionWindow>([](DivisionWindow* window) { click(window->doneButton); });
    click(entry().divideButton);
    EXPECT_SCRIPT_DONE(script);
    EXPECT_FALSE(entry().fatherBox->isChecked());
    EXPECT_FALSE(entry().spouseBox->isChecked());
    // The mode is still on for the next click on an heir.
    EXPECT_TRUE(howInheritsOn());
}

TEST_F(Division, DoneClearsTheCaseWhileEscapeAndTheCloseBoxKeepIt)
{
    const struct {
        const char* name;
        std::function<void(DivisionWindow*)> end;
        bool clears;
    } ways[] = {
        {"تم", [](DivisionWindow* w) { click(w->doneButton); }, true},
        {"Enter", [](DivisionWindow* w) { QTest::keyClick(w, Qt::Key_Return); }, true},
        {"Enter on an amount", [](DivisionWindow* w) { QTest::keyClick(w->amount(Heir::Father), Qt::Key_Enter); }, true},
        {"Escape", [](DivisionWindow* w) { QTest::keyClick(w, Qt::Key_Escape); }, false},
        {"close box", [](DivisionWindow* w) { w->close(); }, false},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        entry().clearCase();
        click(entry().fatherBox);
        click(entry().motherBox);
        estate(QStringLiteral("600"));
        const EstateCase typed = entry().estateCase();
        int done = 0;
        const QMetaObject::Connection counting =
            QObject::connect(&results(), &DivisionWindow::caseDone, [&done] { ++done; });
        ModalScript script;
        script.on<DivisionWindow>([&way](DivisionWindow* window) {
            ASSERT_TRUE(window->amount(Heir::Father)->isVisible());
            way.end(window);
        });
        click(entry().divideButton);
        EXPECT_SCRIPT_DONE(script);
        QObject::disconnect(counting);
        EXPECT_FALSE(results().isVisible());
        EXPECT_EQ(done, way.clears ? 1 : 0);
        if (way.clears) {
            expectEmptyCase();
        } else {
            EXPECT_EQ(entry().estateCase(), typed);
            EXPECT_TRUE(entry().fatherBox->isChecked());
            EXPECT_TRUE(entry().motherBox->isChecked());
            EXPECT_FALSE(results().holdsDivision());
        }
    }
}

TEST_F(Division, ACaseClearedByDoneComesBackOnceWithCtrlZUntilAnythingIsTyped)
{
    const auto press = [this](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        entry().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&entry()));
        QTest::keyClick(&entry(), key, modifiers);
    };
    click(entry().fatherBox);
    tick(HeirGroup::Children, {{&EstateCase::daughters, QStringLiteral("2")}});
    estate(QStringLiteral("9000"));
    const EstateCase typed = entry().estateCase();
    divide([](DivisionWindow*) {});
    expectEmptyCase();
    EXPECT_EQ(entry().guidance->text(), QStringLiteral("مُسحت المسألة. لاستعادتها اضغط Ctrl+Z (استعادة المسألة السابقة)"));
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(entry().estateCase(), typed);
    EXPECT_TRUE(entry().fatherBox->isChecked());
    EXPECT_EQ(entry().childrenCount->text(), QStringLiteral("2"));
    // Once only: a second Ctrl+Z changes nothing.
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(entry().estateCase(), typed);

    // After anything is typed the cleared case is gone for good.
    divide([](DivisionWindow*) {});
    click(entry().motherBox);
    EXPECT_NE(entry().guidance->text(), QStringLiteral("مُسحت المسألة. لاستعادتها اضغط Ctrl+Z (استعادة المسألة السابقة)"));
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(entry().motherBox->isChecked());
    EXPECT_FALSE(entry().fatherBox->isChecked());
    EXPECT_FALSE(entry().restorePreviousCase());
}

TEST_F(Division, TheResultsWindowSavesTheCaseAsEntered)
{
    click(entry().fatherBox);
    estate(QStringLiteral("500"));
    const QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("from-results.qismar"));
    // Its button is there and asks whoever holds the case to save it; the
    // entry window answers with its own file dialog. (The button is pressed
    // from code here: a dialog opened from a step of a script is not one
    // the script can answer.)
    divide([](DivisionWindow* window) {
        EXPECT_TRUE(window->saveCaseButton->isVisible());
        EXPECT_EQ(window->saveCaseButton->text(), QStringLiteral("حفظ المسألة"));
        QTest::keyClick(window, Qt::Key_Escape);
    });
    ModalScript script;
    script.on<QFileDialog>([&file](QFileDialog* dialog) {
        dialog->selectFile(file);
        pressAccept(dialog);
    });
    results().requestCaseSave();
    EXPECT_SCRIPT_DONE(script);
    CaseRecord saved;
    CaseError error;
    ASSERT_TRUE(readCaseFile(QFile::encodeName(file).toStdString(), saved, error)) << error.message;
    EXPECT_TRUE(saved.estate.father);
    EXPECT_EQ(saved.estate.estate, Currency::fromWhole(500));
    EXPECT_TRUE(entry().fatherBox->isChecked());
    EXPECT_FALSE(entry().hasUnsavedCase());
}

// ---------------------------------------------------------------- the window on its own

// The results window shown for cases set from code (as the entry window
// would read them), without the entry windows.
class ResultsWindow : public ::testing::Test {
protected:
    void SetUp() override { window_ = std::make_unique<DivisionWindow>(); }
    void TearDown() override
    {
        DivisionWindow::choosePdfPath = saved_;
        window_.reset();
    }

    // Shows the division of `c`, runs `read` in the window, then closes it with "تم".
    void show(const EstateCase& c, const std::function<void(DivisionWindow*)>& read)
    {
        Explanation explanation;
        const DivisionResult result = DivideEstate(c, &explanation);
        ASSERT_EQ(result.outcome, Outcome::Divided);
        window_->showDivision(c, result, explanation);
        ModalScript script;
        script.on<DivisionWindow>([&read](DivisionWindow* window) {
            read(window);
            if (window->isVisible())
                click(window->doneButton);
        });
        window_->exec();
        EXPECT_SCRIPT_DONE(script);
    }

    std::unique_ptr<DivisionWindow> window_;
    std::function<QString(QWidget*, const QString&)> saved_ = DivisionWindow::choosePdfPath;
};

TEST_F(ResultsWindow, AZeroAmountShowsAsNothingForHimAndAbsentRelativesHaveNoLine)
{
    // The father's row at zero, the uterine sisters' at 250.5 each, the
    // son's son's son marked as receiving nothing; every other row empty.
    EstateCase c;
    c.estate = Currency::fromWhole(501);
    c.father = true;
    c.uterineSisters = heads(2);
    c.sonsSonsSons = heads(1);
    c.deriveEntryWindowState();
    DivisionResult result;
    result.outcome = Outcome::Divided;
    result.rows[std::size_t(index(Heir::Father))] = RowText::of(Currency());
    result.rows[std::size_t(index(Heir::UterineSiblings))] = RowText::of(parseAmount("250.5"));
    result.rows[std::size_t(index(Heir::SonsSonsSons))] = RowText::nothingForHim();
    window_->showDivision(c, result, Explanation{});
    ModalScript script;
    script.on<DivisionWindow>([](DivisionWindow* window) {
        const std::vector<Line> lines = visibleLines(window);
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[0].row, Heir::Father);
        EXPECT_EQ(lines[0].amount, nothingForHim());
        EXPECT_TRUE(lines[0].classTotal.isEmpty());
        EXPECT_EQ(lines[1].row, Heir::UterineSiblings);
        EXPECT_EQ(lines[1].amount, QStringLiteral("250.5"));
        EXPECT_EQ(lines[1].classTotal, QStringLiteral("501"));
        EXPECT_EQ(lines[2].row, Heir::SonsSonsSons);
        EXPECT_EQ(lines[2].amount, nothingForHim());
        expectStackedFromTheTop(lines);
        // The total counts every head, the excluded too, and the amounts of the others.
        EXPECT_EQ(window->totalCount->text(), QStringLiteral("4"));
        EXPECT_EQ(window->totalAmount->exact(), QStringLiteral("501"));
        click(window->doneButton);
    });
    window_->exec();
    EXPECT_SCRIPT_DONE(script);
    // "تم" lets the division go: its report can no longer be made.
    EXPECT_FALSE(window_->holdsDivision());
    EXPECT_THROW(window_->report(), ui::UiError);
}

TEST_F(ResultsWindow, ShowsTheLinesOfTheReportsTableInLayoutWithoutFaults)
{
    // The window renders the results table of the report it prints and
    // copies: the same heirs in the same order, the same counts and the
    // same exact amounts, total and remainder included.
    const struct {
        const char* name;
        EstateCase estateCase;
    } cases[] = {{"'awl", awlCase()},           {"radd", raddCase()},         {"exclusion", exclusionCase()},
                 {"prepared", preparedCase()}, {"largest", largestCase()}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        show(k.estateCase, [](DivisionWindow* window) {
            const results::ReportSection& section = *window->report().results;
            const std::vector<Line> lines = visibleLines(window);
            ASSERT_EQ(section.table.rows.size(), lines.size() + std::size_t(section.table.footerRows));
            const std::size_t perHead = column(section.table, QStringLiteral("نصيب الفرد"));
            const std::size_t classTotal = column(section.table, QStringLiteral("نصيب الفئة"));
            const std::size_t percent = column(section.table, QStringLiteral("نسبة الفرد"));
            for (std::size_t i = 0; i < lines.size(); ++i) {
                const results::ReportRow& row = section.table.rows[i];
                SCOPED_TRACE(row[0].exact.toStdString());
                EXPECT_EQ(lines[i].count, row[1].exact);
                EXPECT_EQ(lines[i].amount, row[perHead].exact);
                EXPECT_EQ(lines[i].classTotal, row[classTotal].paid.isEmpty() ? QString() : row[classTotal].exact);
                EXPECT_EQ(lines[i].percentage, row[percent].exact);
                // The amount shown is the report's amount to pay.
                if (!row[perHead].paid.isEmpty())
                    EXPECT_TRUE(lines[i].shown.startsWith(row[perHead].text)) << lines[i].shown;
            }
            const results::ReportRow& total = section.table.rows[lines.size()];
            EXPECT_EQ(window->totalCount->text(), total[1].exact);
            EXPECT_EQ(window->totalAmount->exact(), total[classTotal].exact);
            EXPECT_EQ(window->totalAmount->text(), total[classTotal].text);
            EXPECT_EQ(window->totalPercentage->exact(), total[percent].exact);
            EXPECT_EQ(window->undistributedAmount->isVisible(), section.table.footerRows == 2);
            // Nothing outside the window or over another control, no text
            // cut, and the window within its screen (one of 1024 x 600 in
            // the run on a small screen).
            const QStringList faults = layoutFaults(window, window->screen()->availableGeometry().size());
            EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n'));
        });
    }
}

TEST_F(ResultsWindow, LongAmountsAreGroupedNeverCutAndCopiedExactly)
{
    struct Case {
        const char* name;
        std::int64_t estate, sons;
        QString exact, shown;
    };
    const Case cases[] = {
        // Shown to the cent; a third of 8,101,851,778 is 2,700,617,259.33
        // and one of the three takes the cent left; a seventh of
        // 99,999,999,999,999 is 14,285,714,285,714.14 and 1 over, 1/7 of a
        // cent each: 7 x .14 = .98, two of them take a cent more (the
        // engine's seven amounts add up to .0003 over the estate).
        {"a thousand million and more", 8101851778, 1, QStringLiteral("8101851778"), QStringLiteral("8,101,851,778.00")},
        {"thirds of it", 8101851778, 3, QStringLiteral("2700617259.3333"),
         QStringLiteral("2,700,617,259.33 ويزاد 1 منهم 0.01")},
        {"near 10^14", 99999999999999, 7, QStringLiteral("14285714285714.1429"),
         QStringLiteral("14,285,714,285,714.14 ويزاد 2 منهم 0.01")},
        {"below a thousand", 999, 1, QStringLiteral("999"), QStringLiteral("999.00")},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        EstateCase c;
        c.estate = Currency::fromWhole(k.estate);
        c.sons = heads(k.sons);
        c.deriveEntryWindowState();
        show(c, [&k](DivisionWindow* window) {
            results::AmountCell* cell = window->amount(Heir::Sons);
            EXPECT_EQ(cell->exact(), k.exact);
            EXPECT_EQ(cell->text(), k.shown);
            // The whole text fits its box: nothing is cut off.
            const int room = cell->width() - 8;
            EXPECT_LE(cell->fontMetrics().horizontalAdvance(cell->text()), room);
            results::AmountCell* total = window->classTotal(Heir::Sons);
            EXPECT_LE(total->fontMetrics().horizontalAdvance(total->text()), total->width() - 8);
            // What is copied and what a screen reader reads is the engine's
            // text, which is also the tip of every amount.
            EXPECT_EQ(accessibleValue(cell), k.exact);
            EXPECT_EQ(cell->toolTip(), QStringLiteral("المبلغ الدقيق: ") + k.exact);
            EXPECT_TRUE(total->accessibleDescription().contains(total->exact())) << total->accessibleDescription();
            EXPECT_TRUE(window->percentage(Heir::Sons)->accessibleDescription().contains(
                window->percentage(Heir::Sons)->exact()));
            QGuiApplication::clipboard()->clear();
            cell->setFocus();
            QTest::keySequence(cell, QKeySequence::Copy);
            EXPECT_EQ(QGuiApplication::clipboard()->text(), k.exact);
            EXPECT_EQ(accessibleValue(window->percentage(Heir::Sons)), window->percentage(Heir::Sons)->exact());
        });
    }
}

TEST_F(ResultsWindow, TheLargestCaseFitsTheScreenAndItsLinesScroll)
{
    show(largestCase(), [](DivisionWindow* window) {
        const QRect screen = window->screen()->availableGeometry();
        EXPECT_LE(window->frameGeometry().height(), screen.height());
        EXPECT_LE(window->height() + ui::kFrameHeight, screen.height());
        EXPECT_LE(window->width(), screen.width());
        // The 26 lines of a man's relatives and the total do not fit: they
        // scroll, and the last of them can be brought into view.
        EXPECT_EQ(window->shownRows().size(), std::size_t(kHeirCount - 1));
        QScrollBar* bar = window->linesArea->verticalScrollBar();
        ASSERT_GT(bar->maximum(), 0);
        EXPECT_EQ(bar->value(), 0);
        window->linesArea->ensureWidgetVisible(window->totalAmount);
        EXPECT_EQ(bar->value(), bar->maximum());
        const QPoint inView = window->totalAmount->mapTo(window->linesArea->viewport(), QPoint(0, 0));
        EXPECT_GE(inView.y(), 0);
        EXPECT_LE(inView.y() + window->totalAmount->height(), window->linesArea->viewport()->height());
        // The buttons stay on the screen below the lines.
        EXPECT_LE(window->doneButton->geometry().bottom(), window->height());
        EXPECT_TRUE(window->doneButton->isVisible());
        // Amounts near 10^14 in full, to the cent.
        const results::AmountCell* father = window->amount(Heir::Father);
        EXPECT_TRUE(father->text().startsWith(results::groupedAmount(father->exact()).section(QLatin1Char('.'), 0, 0)))
            << father->text();
        EXPECT_LE(father->fontMetrics().horizontalAdvance(father->text()), father->width() - 8);
    });
}

TEST_F(ResultsWindow, ThePreparationOfTheEstateIsShownAboveTheDivision)
{
    show(preparedCase(), [](DivisionWindow* window) {
        const QString text = window->estateText->text();
        // Gross, funeral, debts, the bequests cut to the third, the net estate.
        for (const char* piece : {"100,000", "5,000", "15,000", "26,666.6667", "40,000", "53,333.3333"})
            EXPECT_TRUE(text.contains(QString::fromLatin1(piece))) << piece;
        EXPECT_TRUE(text.contains(QStringLiteral("لم يجيزوا")));
        EXPECT_TRUE(text.contains(QStringLiteral("النسب المئوية من صافي التركة")));
        EXPECT_LT(window->estateText->geometry().bottom(), window->linesArea->y());
        // The percentages are those of the net estate: the wife's eighth is 12.5%.
        EXPECT_EQ(window->amount(Heir::Wives)->exact(), QStringLiteral("6666.6667"));
        EXPECT_EQ(window->percentage(Heir::Wives)->exact(), QStringLiteral("12.5%"));
        EXPECT_EQ(window->totalAmount->exact(), QStringLiteral("53333.3333"));
    });
}

TEST_F(ResultsWindow, TheTableOfTheProblemForAwlRaddAndExclusion)
{
    struct Expected {
        Heir row;
        QString share, status, partShares, shares, fraction, classFraction;
    };
    struct Case {
        const char* name;
        EstateCase estateCase;
        QString sentence;  // of the problem
        QString problemHeader, sharesHeader;
        std::vector<Expected> heirs;
        QString reasonOfLast;
    };
    // Worked by hand: husband 1/2, mother 1/6, two full sisters 2/3 make 6
    // raised to 8; mother 1/6 and two daughters 2/3 make 6 returned to 5;
    // the father's sixth beside a son, who takes the rest and excludes the
    // brothers and the uncle (the brothers, excluded, exclude nobody).
    const Case cases[] = {
        {"'awl",
         awlCase(),
         QStringLiteral("فعالت من 6 إلى 8"),
         QStringLiteral("السهام من 8 بالعول"),
         QStringLiteral("سهام الفرد من 8"),
         {{Heir::Husband, QStringLiteral("1/2"), QStringLiteral("فرض"), QStringLiteral("3"), QStringLiteral("3"),
           QStringLiteral("3/8"), QStringLiteral("3/8")},
          {Heir::Mother, QStringLiteral("1/6"), QStringLiteral("فرض"), QStringLiteral("1"), QStringLiteral("1"),
           QStringLiteral("1/8"), QStringLiteral("1/8")},
          {Heir::FullSisters, QStringLiteral("2/3"), QStringLiteral("فرض"), QStringLiteral("4"), QStringLiteral("2"),
           QStringLiteral("1/4"), QStringLiteral("1/2")}},
         QString()},
        {"radd",
         raddCase(),
         QStringLiteral("فصار أصل المسألة 5 بالرد"),
         QStringLiteral("السهام من 5 بالرد"),
         QStringLiteral("سهام الفرد من 5"),
         {{Heir::Mother, QStringLiteral("1/6"), QStringLiteral("فرض"), QStringLiteral("1"), QStringLiteral("1"),
           QStringLiteral("1/5"), QStringLiteral("1/5")},
          {Heir::Daughters, QStringLiteral("2/3"), QStringLiteral("فرض"), QStringLiteral("4"), QStringLiteral("2"),
           QStringLiteral("2/5"), QStringLiteral("4/5")}},
         QString()},
        {"exclusion",
         exclusionCase(),
         QStringLiteral("أصل المسألة 6"),
         QStringLiteral("السهام من 6"),
         QStringLiteral("سهام الفرد من 6"),
         {{Heir::Father, QStringLiteral("1/6"), QStringLiteral("فرض"), QStringLiteral("1"), QStringLiteral("1"),
           QStringLiteral("1/6"), QStringLiteral("1/6")},
          {Heir::Mother, QStringLiteral("1/6"), QStringLiteral("فرض"), QStringLiteral("1"), QStringLiteral("1"),
           QStringLiteral("1/6"), QStringLiteral("1/6")},
          {Heir::Sons, QStringLiteral("—"), QStringLiteral("تعصيب بالنفس"), QStringLiteral("4"), QStringLiteral("4"),
           QStringLiteral("2/3"), QStringLiteral("2/3")},
          {Heir::FullBrothers, QStringLiteral("—"), QStringLiteral("محجوب"), QStringLiteral("0"), QStringLiteral("0"),
           QStringLiteral("0"), QStringLiteral("0")},
          {Heir::PaternalUncles, QStringLiteral("—"), QStringLiteral("محجوب"), QStringLiteral("0"), QStringLiteral("0"),
           QStringLiteral("0"), QStringLiteral("0")}},
         QStringLiteral("محجوب بالابن والأب")},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        show(k.estateCase, [&k](DivisionWindow* window) {
            ModalScript script;
            script.on<ProblemWindow>([&k](ProblemWindow* problem) {
                EXPECT_EQ(problem->windowTitle(), QStringLiteral("بيان المسألة"));
                EXPECT_TRUE(problem->sentences->text().contains(k.sentence)) << problem->sentences->text();
                QTableWidget* table = problem->table;
                ASSERT_EQ(table->rowCount(), int(k.heirs.size()));
                ASSERT_EQ(table->columnCount(), 10);
                // A long name on two lines; read whole by a screen reader.
                EXPECT_EQ(table->horizontalHeaderItem(4)->text().replace(QLatin1Char('\n'), QLatin1Char(' ')),
                          k.problemHeader);
                EXPECT_EQ(table->horizontalHeaderItem(5)->text().replace(QLatin1Char('\n'), QLatin1Char(' ')),
                          k.sharesHeader);
                EXPECT_EQ(table->horizontalHeaderItem(5)->data(Qt::AccessibleTextRole).toString(), k.sharesHeader);
                for (int r = 0; r < table->rowCount(); ++r) {
                    const Expected& e = k.heirs[std::size_t(r)];
                    SCOPED_TRACE(heirInfo(e.row).key);
                    EXPECT_EQ(table->item(r, 2)->text(), e.share);
                    EXPECT_EQ(table->item(r, 3)->text(), e.status);
                    EXPECT_EQ(table->item(r, 4)->text(), e.partShares);
                    EXPECT_EQ(table->item(r, 5)->text(), e.shares);
                    EXPECT_EQ(table->item(r, 6)->text(), e.fraction);
                    EXPECT_EQ(table->item(r, 7)->text(), e.classFraction);
                    EXPECT_FALSE(table->item(r, 9)->text().isEmpty());
                }
                if (!k.reasonOfLast.isEmpty()) {
                    EXPECT_EQ(table->item(table->rowCount() - 1, 9)->text(), k.reasonOfLast);
                }
                // Within the screen; Escape closes it and leaves the results.
                const QRect screen = problem->screen()->availableGeometry();
                EXPECT_LE(problem->height() + ui::kFrameHeight, screen.height());
                EXPECT_LE(problem->width(), screen.width());
                QTest::keyClick(problem, Qt::Key_Escape);
                EXPECT_FALSE(problem->isVisible());
            });
            pressShortcut(window, Qt::Key_B, Qt::ControlModifier);
            EXPECT_SCRIPT_DONE(script);
            EXPECT_TRUE(window->isVisible());
        });
    }
}

TEST_F(ResultsWindow, EveryControlHasAnArabicAccessibleName)
{
    auto arabic = [](const QString& text) {
        return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x0600 && c.unicode() <= 0x06FF; });
    };
    show(exclusionCase(), [&arabic](DivisionWindow* window) {
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (!w->isVisible() || !(qobject_cast<QPushButton*>(w) || qobject_cast<QLineEdit*>(w)))
                continue;
            EXPECT_TRUE(arabic(w->accessibleName())) << w->objectName() << ": " << w->accessibleName();
        }
        // Each button names its keys.
        for (QPushButton* b : {window->printButton, window->pdfButton, window->copyButton, window->problemButton})
            EXPECT_TRUE(b->toolTip().contains(QStringLiteral("Ctrl+"))) << b->objectName();
        ModalScript script;
        script.on<ProblemWindow>([&arabic](ProblemWindow* problem) {
            for (QWidget* w : {static_cast<QWidget*>(problem->table), static_cast<QWidget*>(problem->sentences),
                               static_cast<QWidget*>(problem->doneButton)})
                EXPECT_TRUE(arabic(w->accessibleName())) << w->objectName();
            click(problem->doneButton);
        });
        click(window->problemButton);
        EXPECT_SCRIPT_DONE(script);
    });
}

TEST_F(ResultsWindow, CopyPutsTheReportOnTheClipboardAsTextAndAsATable)
{
    show(awlCase(), [](DivisionWindow* window) {
        QGuiApplication::clipboard()->clear();
        pressShortcut(window, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        ASSERT_NE(data, nullptr);
        ASSERT_TRUE(data->hasText());
        ASSERT_TRUE(data->hasHtml());
        // Amounts to pay beside the exact ones, as numbers a spreadsheet reads.
        EXPECT_TRUE(data->text().contains(QStringLiteral("الزوج\t1\tالنصف\t3\t30000.00\t30000\t30000.00\t30000\t37.5%")))
            << data->text();
        EXPECT_TRUE(data->html().contains(QStringLiteral("<table")));
        EXPECT_TRUE(data->html().contains(QStringLiteral(">30000<")));
    });
}

TEST_F(ResultsWindow, SavePdfWritesTheReportAndReportsWhatItCannotWrite)
{
    const QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("قسمة.pdf"));
    DivisionWindow::choosePdfPath = [good](QWidget*, const QString& suggested) {
        EXPECT_TRUE(suggested.endsWith(QLatin1String(".pdf")));
        return good;
    };
    show(awlCase(), [&good](DivisionWindow* window) {
        EXPECT_FALSE(window->savedText->isVisible());
        pressShortcut(window, Qt::Key_S, Qt::ControlModifier);
        // The window says where the report was written, the name kept whole.
        EXPECT_TRUE(window->savedText->isVisible());
        EXPECT_TRUE(window->savedText->text().startsWith(QStringLiteral("حُفظ التقرير في الملف: ")));
        EXPECT_TRUE(window->savedText->text().contains(QChar(0x2068) + QDir::toNativeSeparators(good) + QChar(0x2069)));
        EXPECT_EQ(window->lastPdfPath(), good);
        const QStringList faults = layoutFaults(window, window->screen()->availableGeometry().size());
        EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n'));
    });
    QFile pdf(good);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF-"));

    // A folder that is not there, and a disk that fills up while the report
    // is written over an older one: one Arabic error box with the reason,
    // the window still there, and the older report as it was.
    const QString old = dir.filePath(QStringLiteral("old.pdf"));
    {
        QFile file(old);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("an older report");
    }
    std::size_t room = 0;
    const FileSystemCalls fillingDisk{[&room](int fd, const void* data, std::size_t n) -> ssize_t {
        if (room == 0) {
            errno = ENOSPC;
            return -1;
        }
        const ssize_t done = ::write(fd, data, std::min(n, room));
        room -= std::size_t(std::max<ssize_t>(done, 0));
        return done;
    }};
    struct Case {
        const char* name;
        QString path;
        FileSystemCalls calls;
        QString reason;
    };
    const Case cases[] = {
        {"a missing folder", dir.filePath(QStringLiteral("لا يوجد/قسمة.pdf")), {}, QStringLiteral("المجلد غير موجود")},
        {"a disk that fills up", old, fillingDisk, QStringLiteral("لا توجد مساحة كافية على القرص")},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        DivisionWindow::choosePdfPath = [&k](QWidget*, const QString&) { return k.path; };
        room = 16384;
        const ReplacedFileSystemCalls calls(k.calls);
        show(awlCase(), [&k](DivisionWindow* window) {
            ModalScript script;
            script.messageBox();
            click(window->pdfButton);
            EXPECT_SCRIPT_DONE(script);
            ASSERT_EQ(script.boxes().size(), 1u);
            EXPECT_EQ(script.boxes()[0].icon, QMessageBox::Critical);
            EXPECT_TRUE(script.boxes()[0].text.contains(QStringLiteral("تعذر"))) << script.boxes()[0].text;
            EXPECT_TRUE(script.boxes()[0].text.contains(QFileInfo(k.path).fileName())) << script.boxes()[0].text;
            EXPECT_TRUE(script.boxes()[0].text.contains(k.reason)) << script.boxes()[0].text;
            // The window is still there, with its results.
            EXPECT_TRUE(window->isVisible());
            EXPECT_FALSE(window->amount(Heir::Husband)->exact().isEmpty());
        });
    }
    EXPECT_FALSE(QFileInfo::exists(cases[0].path));
    QFile kept(old);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("an older report"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("old.pdf"), QStringLiteral("قسمة.pdf")}));

    // Cancelling the file dialog writes nothing.
    DivisionWindow::choosePdfPath = [](QWidget*, const QString&) { return QString(); };
    show(awlCase(), [](DivisionWindow* window) {
        ModalScript script;
        click(window->pdfButton);
        EXPECT_SCRIPT_DONE(script);
    });
}

TEST_F(ResultsWindow, TheFileDialogAddsTheEndingBeforeItAsksToReplaceAFile)
{
    const QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("old.pdf"));
    const auto writeOld = [&old] {
        QFile file(old);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("an older report");
    };
    const auto oldBytes = [&old] {
        QFile file(old);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    // The program's own dialog, as "حفظ PDF" opens it.
    DivisionWindow::choosePdfPath = saved_;
    struct Case {
        const char* name;
        QMessageBox::StandardButton answer;
        bool replaced;
    };
    for (const Case& k : {Case{"kept", QMessageBox::No, false}, Case{"replaced", QMessageBox::Yes, true}}) {
        SCOPED_TRACE(k.name);
        writeOld();
        QString question;
        show(awlCase(), [&](DivisionWindow* window) {
            ModalScript script;
            script.on<QFileDialog>([&](QFileDialog* dialog) {
                EXPECT_EQ(dialog->windowTitle(), QStringLiteral("حفظ تقرير القسمة"));
                EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
                EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
                EXPECT_TRUE(dialog->nameFilters().value(0).contains(QStringLiteral("*.pdf")));
                dialog->setDirectory(dir.path());
                typeFileName(dialog, QStringLiteral("old"));
                pressAccept(dialog);
                // After "لا" the dialog waits for another name.
                if (dialog->isVisible())
                    static_cast<QDialog*>(dialog)->reject();
            });
            script.on<QMessageBox>([&](QMessageBox* box) {
                question = box->text();
                click(box->button(k.answer));
            });
            click(window->pdfButton);
            EXPECT_SCRIPT_DONE(script);
        });
        EXPECT_TRUE(question.contains(QStringLiteral("old.pdf"))) << question;
        EXPECT_EQ(oldBytes().startsWith("%PDF-"), k.replaced);
        // Nothing is written under the name as typed.
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("old"))));
    }
}

// Whether a shared library of this name is mapped into the process.
bool libraryLoaded(const char* name)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(name);
}

// The decimals of the amounts to pay: each setting shows the amounts to
// its unit, adding up to the estate divided, and is kept for the next run.
// Three sons share 100 and a husband... a man leaves three sons and 100:
// 33.3333 each by the engine; 33 and one 1 more, 33.3 and one 0.1 more,
// 33.33 and one 0.01 more, 33.333 and one 0.001 more.
TEST_F(ResultsWindow, TheDecimalsOfTheAmountsAreChosenAndKept)
{
    EstateCase c;
    c.estate = Currency::fromWhole(100);
    c.sons = heads(3);
    c.deriveEntryWindowState();
    const struct {
        int decimals;
        const char* perHead;
        const char* total;
    } cases[] = {{0, "33 ويزاد 1 منهم 1", "100"},
                 {1, "33.3 ويزاد 1 منهم 0.1", "100.0"},
                 {3, "33.333 ويزاد 1 منهم 0.001", "100.000"},
                 {2, "33.33 ويزاد 1 منهم 0.01", "100.00"}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.decimals);
        show(c, [&k](DivisionWindow* window) {
            window->decimalsBox->setCurrentIndex(k.decimals);
            EXPECT_EQ(window->decimals(), k.decimals);
            EXPECT_EQ(window->amount(Heir::Sons)->text(), QString::fromUtf8(k.perHead));
            EXPECT_EQ(window->amount(Heir::Sons)->exact(), QStringLiteral("33.3333"));
            EXPECT_EQ(window->classTotal(Heir::Sons)->text(), QString::fromUtf8(k.total));
            EXPECT_EQ(window->totalAmount->text(), QString::fromUtf8(k.total));
            EXPECT_EQ(window->report().amounts->decimals, k.decimals);
            EXPECT_EQ(window->roundingText->text(), results::roundingNote(k.decimals));
            const QStringList faults = layoutFaults(window, window->screen()->availableGeometry().size());
            EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n'));
        });
        // A window made afterwards (the next run) starts with the setting.
        DivisionWindow next;
        EXPECT_EQ(next.decimals(), k.decimals);
        EXPECT_EQ(next.decimalsBox->currentIndex(), k.decimals);
    }
}

// What the rows leave, with the amounts to pay: a husband alone and an
// estate of 100.01: half is 50.005 for each, rounded to the cent by the
// largest remainder: 50.01 to the first (the husband), 50.00 left, 100.01 in all.
TEST_F(ResultsWindow, TheAmountsShownAndTheRemainderAddUpToTheEstate)
{
    EstateCase c;
    c.deceased = Deceased::Woman;
    c.spouse = true;
    c.estate = Currency::fromRaw(1000100);
    c.deriveEntryWindowState();
    show(c, [](DivisionWindow* window) {
        EXPECT_EQ(window->amount(Heir::Husband)->text(), QStringLiteral("50.01"));
        EXPECT_EQ(window->amount(Heir::Husband)->exact(), QStringLiteral("50.005"));
        EXPECT_EQ(window->undistributedAmount->text(), QStringLiteral("50.00"));
        EXPECT_EQ(window->undistributedAmount->exact(), QStringLiteral("50.005"));
        EXPECT_TRUE(window->estateText->text().contains(QStringLiteral("100.01")));
        EXPECT_TRUE(window->undistributedAmount->toolTip().contains(QStringLiteral("50.005")));
    });
}

// Read as a screen reader reads it: the father's father's mother's line,
// the exact text of every amount and percentage, and the column names over
// their columns with or without a scroll bar.
TEST_F(ResultsWindow, AScreenReaderReadsEveryCellAndTheColumnsStandOverTheirCells)
{
    EstateCase c;
    c.estate = Currency::fromWhole(2400);
    c.fathersFathersMother = true;
    c.sons = heads(3);
    c.deriveEntryWindowState();
    for (const EstateCase& k : {c, largestCase()}) {
        show(k, [](DivisionWindow* window) {
            const QLabel* caption = window->caption(Heir::FathersFathersMother);
            ASSERT_TRUE(caption->isVisible());
            EXPECT_EQ(caption->text(), QStringLiteral("أم أبي الأب"));
            EXPECT_EQ(caption->accessibleName(), QStringLiteral("أم أبي الأب"));
            for (Heir row : window->shownRows())
                for (results::AmountCell* cell : {window->amount(row), window->classTotal(row), window->percentage(row)}) {
                    if (!cell->isVisible())
                        continue;
                    SCOPED_TRACE(cell->objectName().toStdString());
                    EXPECT_FALSE(cell->accessibleName().isEmpty());
                    EXPECT_EQ(accessibleValue(cell), cell->exact());
                    EXPECT_TRUE(cell->accessibleDescription().contains(cell->exact())) << cell->accessibleDescription();
                }
            for (results::AmountCell* cell : {window->totalAmount, window->totalPercentage})
                EXPECT_TRUE(cell->accessibleDescription().contains(cell->exact())) << cell->objectName();
            // Each column's name centred over its cells, to the pixel.
            const auto centre = [](const QWidget* w) { return w->mapToGlobal(w->rect().center()).x(); };
            const Heir row = window->shownRows().front();
            const struct {
                const char* header;
                QWidget* cell;
            } columns[] = {{"headCaption", window->caption(row)}, {"headCount", window->count(row)},
                           {"headTotal", window->totalAmount}, {"headPercent", window->totalPercentage}};
            for (const auto& column : columns) {
                const QLabel* header = window->headerBox->findChild<QLabel*>(QString::fromLatin1(column.header));
                ASSERT_NE(header, nullptr);
                EXPECT_EQ(centre(header), centre(column.cell)) << column.header;
            }
        });
    }
}

// The 'awl and the radd in one line above the lines; nothing when there is neither.
TEST_F(ResultsWindow, TheAwlOrTheRaddIsSaidAboveTheLines)
{
    const struct {
        const char* name;
        EstateCase estateCase;
        const char* line;
    } cases[] = {
        // 1/2 + 1/6 + 2/3 = 8/6.
        {"awl", awlCase(), "عالت المسألة من 6 إلى 8، فنقص نصيب كل صاحب فرض بنسبة ذلك"},
        // 1/6 + 2/3 = 5/6: the sixth left returns to both.
        {"radd", raddCase(), "رُدّ الباقي على الأم والبنات بنسبة فروضهم"},
        {"exclusion", exclusionCase(), ""},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        show(k.estateCase, [&k](DivisionWindow* window) {
            EXPECT_EQ(window->problemText->text(), QString::fromUtf8(k.line));
            EXPECT_EQ(window->problemText->isVisible(), *k.line != 0);
        });
    }
}

TEST_F(ResultsWindow, PrintingIsLoadedOnlyWhenAReportIsPrinted)
{
    // Nothing of the print system is loaded to show the results.
    EXPECT_FALSE(libraryLoaded("libQt6PrintSupport"));
    show(awlCase(), [](DivisionWindow* window) {
        EXPECT_FALSE(libraryLoaded("libQt6PrintSupport"));
        ModalScript script;
        script.on<QDialog>([](QDialog* preview) {
            EXPECT_EQ(preview->objectName(), QStringLiteral("reportPreview"));
            EXPECT_TRUE(preview->windowTitle().contains(QStringLiteral("معاينة")));
            EXPECT_FALSE(preview->accessibleName().isEmpty());
            // Its pages, and "طباعة" in sight within the screen.
            EXPECT_NE(preview->findChild<QLabel*>(QStringLiteral("previewPage1")), nullptr);
            auto* print = preview->findChild<QPushButton*>(QStringLiteral("previewPrint"));
            ASSERT_NE(print, nullptr);
            EXPECT_TRUE(print->isVisible());
            const QRect onScreen(print->mapToGlobal(QPoint(0, 0)), print->size());
            EXPECT_TRUE(preview->screen()->availableGeometry().contains(onScreen)) << onScreen.y();
            QTest::keyClick(preview, Qt::Key_Escape);
        });
        pressShortcut(window, Qt::Key_P, Qt::ControlModifier);
        EXPECT_SCRIPT_DONE(script);
        EXPECT_TRUE(window->isVisible());
    });
    EXPECT_TRUE(libraryLoaded("libQt6PrintSupport"));
    EXPECT_TRUE(libraryLoaded("libqismar_printing"));
}

}  // namespace
}  // namespace qismar::testing

namespace qismar::testing {
namespace {

// Shows the division of a case with an heir not yet known, runs `read` in
// the window, then closes it with "تم".
void showUncertain(DivisionWindow& window, const EstateCase& c, const UncertainHeir& heir,
                   const std::function<void(DivisionWindow*)>& read)
{
    UncertainFractions fractions;
    const UncertainDivision division = DivideUncertainExplained(c, heir, fractions);
    ASSERT_EQ(division.outcome, Outcome::Divided);
    window.showUncertainDivision(c, heir, division, fractions);
    ModalScript script;
    script.on<DivisionWindow>([&read](DivisionWindow* w) {
        read(w);
        if (w->isVisible())
            click(w->doneButton);
    });
    window.exec();
    EXPECT_SCRIPT_DONE(script);
}

TEST_F(ResultsWindow, ShowsTheLinesOfAnHeirNotYetKnownWithTheReserveAndEveryOutcome)
{
    const struct {
        const char* name;
        EstateCase estateCase;
        UncertainHeir heir;
    } cases[] = {{"unborn", unbornCase(), unbornChild()},
                 {"missing", missingCase(), missingSon()},
                 {"undetermined sex", undeterminedCase(), undeterminedChild()}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        showUncertain(*window_, k.estateCase, k.heir, [](DivisionWindow* window) {
            const results::DivisionReport& report = window->report();
            const results::ReportTable& now = report.results->table;
            const std::vector<Line> lines = visibleLines(window);
            // The lines are what is paid now, as the report has it.
            ASSERT_EQ(now.rows.size(), lines.size() + std::size_t(now.footerRows));
            const std::size_t perHead = column(now, QStringLiteral("نصيب الفرد"));
            for (std::size_t i = 0; i < lines.size(); ++i)
                EXPECT_EQ(lines[i].amount, now.rows[i][perHead].exact) << lines[i].caption;
            EXPECT_EQ(window->totalCaption->text(),
                      report.amounts->reserve ? QStringLiteral("مجموع ما يُدفع الآن") : QStringLiteral("مجموع الأنصبة"));
            // The reserve under the total, then the outcomes under it, scrolled with the lines.
            EXPECT_EQ(window->reserveAmount->isVisible(), report.amounts->reserve.has_value());
            if (report.amounts->reserve) {
                EXPECT_EQ(window->reserveCaption->text(), QStringLiteral("موقوف حتى يتبين الحال"));
                EXPECT_EQ(window->reserveAmount->exact(), results::amountText(*report.amounts->reserve));
                EXPECT_EQ(window->reservePercentage->exact(), results::percentShown(*report.amounts->reservePercent));
                EXPECT_EQ(window->reserveAmount->y(), window->totalAmount->y() + DivisionWindow::kLineStep);
                EXPECT_GT(window->outcomesText->y(), window->reserveAmount->y());
            }
            ASSERT_TRUE(window->outcomesText->isVisible());
            EXPECT_EQ(window->outcomesText->parentWidget(), window->linesBox);
            EXPECT_LE(window->outcomesText->geometry().bottom(), window->linesBox->height());
            for (const results::ReportSection& s : report.outcomes)
                EXPECT_TRUE(window->outcomesText->accessibleDescription().contains(s.title)) << s.title;
            const QStringList faults = layoutFaults(window, window->screen()->availableGeometry().size());
            EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n'));
        });
    }
    // An ordinary division after it shows no reserve and no outcomes.
    show(awlCase(), [](DivisionWindow* window) {
        EXPECT_FALSE(window->reserveAmount->isVisible());
        EXPECT_FALSE(window->reserveCaption->isVisible());
        EXPECT_FALSE(window->outcomesText->isVisible());
        EXPECT_EQ(window->totalCaption->text(), QStringLiteral("مجموع الأنصبة"));
    });
}

TEST_F(ResultsWindow, TheProblemOfAnHeirNotYetKnownSaysWhatWasDoneAndShowsEveryOutcome)
{
    // The unborn child: the problems of a stillbirth (wife, father, mother,
    // daughter), of a boy (and the son) and of a girl (the two daughters on
    // one row): 4 + 5 + 4 rows, each named by its outcome.
    showUncertain(*window_, unbornCase(), unbornChild(), [](DivisionWindow* window) {
        ModalScript script;
        script.on<ProblemWindow>([](ProblemWindow* problem) {
            const QString text = problem->sentences->text();
            EXPECT_TRUE(text.contains(QStringLiteral("فقُسمت التركة ثلاث مرات"))) << text;
            EXPECT_TRUE(text.contains(QStringLiteral("ويوقف الباقي (8,900.00) حتى الولادة"))) << text;
            QTableWidget* table = problem->table;
            ASSERT_EQ(table->rowCount(), 13);
            EXPECT_EQ(table->horizontalHeaderItem(0)->text(), QStringLiteral("الحال"));
            const QStringList outcomes{QStringLiteral("إن وُلد الحمل ميتاً"), QStringLiteral("إن وُلد ذكراً"),
                                       QStringLiteral("إن وُلدت أنثى")};
            const int first[] = {0, 4, 9};
            for (int o = 0; o < 3; ++o) {
                EXPECT_EQ(table->item(first[o], 0)->text(), outcomes[o]);
                EXPECT_TRUE(text.contains(outcomes[o] + QStringLiteral(": "))) << outcomes[o];
            }
            // In the girl's problem the two daughters share 2/3 of an 'awl of 27.
            EXPECT_EQ(table->item(12, 1)->text(), QStringLiteral("البنات"));
            EXPECT_EQ(table->item(12, 8)->text(), QStringLiteral("16/27"));
            const QRect screen = problem->screen()->availableGeometry();
            EXPECT_LE(problem->height() + ui::kFrameHeight, screen.height());
            QTest::keyClick(problem, Qt::Key_Escape);
        });
        pressShortcut(window, Qt::Key_B, Qt::ControlModifier);
        EXPECT_SCRIPT_DONE(script);
    });
}

}  // namespace
}  // namespace qismar::testing
