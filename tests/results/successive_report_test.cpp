// The report of a division with an heir who died before it: each problem's
// table, the combined table as the textbooks draw it, the sentences of the
// combination, and the same read back from the PDF and shown in the results
// window.
#include <QDate>
#include <QProcess>
#include <QTemporaryDir>
#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include "engine/later_deaths.h"
#include "results/amount_cell.h"
#include "results/division_window.h"
#include "results/successive_report.h"
#include "tests/entry/gui_test_support.h"
#include "tests/results/result_cases.h"

namespace qismar::testing {
namespace {

using results::ReportSection;

// Worked by hand. A man leaves his wife, two sons and a daughter; 24 000.
// Problem 1: the wife 1/8 of 8, the residue 7 in five parts, so the problem
// is corrected to 40: the wife 5, each son 14, the daughter 7.
// One son then dies leaving his mother (the wife), his full brother and his
// full sister (the other son and the daughter). Problem 2: the mother 1/6,
// the residue 5 in three parts, corrected to 18: the mother 3, the brother
// 10, the sister 5. s = 14, c2 = 18, g = 2: problem 1 times 9, problem 2
// times 7, combined origin 360: the wife 45 + 21 = 66, the son 126 + 70 =
// 196, the daughter 63 + 35 = 98; all even, so reduced to 180: 33, 98, 49,
// that is 4 400, 13 066.6666 and 6 533.3333 of 24 000.
struct DeadSon {
    EstateCase first;
    std::vector<LaterDeath> later;
    SuccessiveDivision division;

    DeadSon() : first(deadSonCase()), later(deadSon()), division(DivideSuccessive(first, later)) {}
};

const ReportSection* sectionTitled(const results::DivisionReport& r, const QString& start)
{
    for (const ReportSection* s : r.sections())
        if (s->title.startsWith(start))
            return s;
    return nullptr;
}

TEST(SuccessiveReport, EachProblemThenTheCombinedTableWithItsMultipliers)
{
    const DeadSon c;
    ASSERT_FALSE(c.division.refusal) << c.division.refusal->english;
    // After the reduction by 2.
    EXPECT_EQ(results::problemMultipliers(c.division), (std::vector<Rational>{Rational::of(9, 2), Rational::of(7, 2)}));
    const results::DivisionReport r = results::buildSuccessiveReport(c.later, c.division, QDate(2025, 3, 16));

    ASSERT_TRUE(r.results);
    EXPECT_EQ(r.results->title, QStringLiteral("المسألة الأولى: تركة المتوفى"));
    const ReportSection* second = sectionTitled(r, QStringLiteral("المسألة الثانية"));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->title, QStringLiteral("المسألة الثانية: تركة الابن من المسألة الأولى"));
    // What he received, and who his heirs are in the first problem.
    EXPECT_TRUE(second->paragraphs.join('\n').contains(QStringLiteral("8,400.00"))) << second->paragraphs.join('\n').toStdString();
    EXPECT_TRUE(second->paragraphs.join('\n').contains(QStringLiteral("الأم في هذه المسألة هي الزوجة في المسألة الأولى")));
    EXPECT_TRUE(second->notes.join('\n').contains(QStringLiteral("لا يدخل في هذه القسمة")));

    const ReportSection* combined = sectionTitled(r, QStringLiteral("الجامعة"));
    ASSERT_NE(combined, nullptr);
    EXPECT_EQ(combined->table.header,
              (QStringList{QStringLiteral("الوارث"), QStringLiteral("العدد"), QStringLiteral("المسألة الأولى × 9"),
                           QStringLiteral("المسألة الثانية × 7"), QStringLiteral("الجامعة 360"),
                           QStringLiteral("اختُصرت إلى 180"),
                           QStringLiteral("الكسر من التركة"), QStringLiteral("نصيب الفرد")}));
    // Per person: his shares in each problem, in the combined table, his
    // fraction and his amount; then the total.
    std::vector<QStringList> rows;
    for (const results::ReportRow& row : combined->table.rows) {
        QStringList cells;
        for (std::size_t i = 1; i < row.size(); ++i)
            cells << row[i].exact;
        rows.push_back(cells);
    }
    EXPECT_EQ(rows, (std::vector<QStringList>{
                        {"1", "5", "3", "66", "33", "11/60", "4400"},
                        {"1", "14", "10", "196", "98", "49/90", "13066.6666"},
                        {"1", "7", "5", "98", "49", "49/180", "6533.3333"},
                        {"3", "", "", "360", "180", "1", "23999.9999"},
                    }));
    // The combination in words, also in "بيان المسألة".
    EXPECT_TRUE(combined->paragraphs.join('\n').contains(QStringLiteral("180")));
    ASSERT_TRUE(r.problem);
    EXPECT_TRUE(r.problem->paragraphs.join('\n').contains(QStringLiteral("اختُصرت")));
}

TEST(SuccessiveReport, ThePdfHoldsTheCombinedTableAndTheWindowShowsIt)
{
    const DeadSon c;
    const results::DivisionReport r = results::buildSuccessiveReport(c.later, c.division, QDate(2025, 3, 16));
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("successive.pdf"));
    QString error;
    ASSERT_TRUE(results::writeReportPdf(r, path, &error)) << error;
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(60000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    for (const char* expected : {"13,066.67", "6,533.33", "4,400.00", "49/90"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();

    DivisionWindow window;
    window.showSuccessiveDivision(c.later, c.division);
    window.show();
    ASSERT_TRUE(window.furtherView->isVisible());
    const QString shown = window.furtherView->toPlainText();
    EXPECT_TRUE(shown.contains(QStringLiteral("الجامعة"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("13,066.67"))) << shown.toStdString();
    // The tables fit the view's width: no column behind a scroll bar.
    QApplication::processEvents();
    EXPECT_EQ(window.furtherView->horizontalScrollBar()->maximum(), 0);
    // The lines show the first problem: the son's amount there.
    EXPECT_TRUE(window.amount(Heir::Sons)->isVisible());
    // Every control within the window.
    for (QWidget* w : {static_cast<QWidget*>(window.furtherView), static_cast<QWidget*>(window.doneButton)})
        EXPECT_TRUE(window.rect().contains(QRect(w->mapTo(&window, QPoint(0, 0)), w->size()))) << w->objectName().toStdString();
    window.endDivision();
    EXPECT_FALSE(window.holdsDivision());
}

}  // namespace
}  // namespace qismar::testing
