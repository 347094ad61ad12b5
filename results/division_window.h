// Qismar: the results window.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "casefile/case_details.h"
#include "engine/division.h"
#include "engine/estate_case.h"
#include "engine/explanation.h"
#include "engine/later_deaths.h"
#include "engine/result_rows.h"
#include "engine/uncertain_heir.h"
#include "results/division_report.h"

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QShowEvent;
class QTextBrowser;

namespace qismar {

class ProblemWindow;
namespace results {
class AmountCell;
}

// "قسمة الأنصبة": the results window. It renders the results table of the
// division's report: one line for each present relative (the caption, the
// count, the amount of each head, the class's total and the percentage),
// below them the heirs' total and what the rows leave undistributed, above
// them the estate divided (and, when the estate was prepared, its costs,
// debts and bequests). Its buttons show the table of the problem, print the
// report, save it as PDF and copy it; "تم" ends the division, which the
// window announces with caseDone() for whoever holds the case.
class DivisionWindow : public QDialog {
    Q_OBJECT
public:
    DivisionWindow();
    ~DivisionWindow() override;

    QWidget* background = nullptr;
    QPushButton* doneButton = nullptr;     // "تم"
    QPushButton* problemButton = nullptr;  // "بيان المسألة"
    QPushButton* printButton = nullptr;    // "طباعة"
    QPushButton* pdfButton = nullptr;      // "حفظ PDF"
    QPushButton* copyButton = nullptr;     // "نسخ"
    QPushButton* saveCaseButton = nullptr; // "حفظ المسألة": the case, as entered
    QPushButton* laterDeathButton = nullptr; // "وفاة وارث" (قبل القسمة): asks whoever holds the case

    QLabel* estateText = nullptr;       // the estate divided, and the estate's preparation
    QLabel* problemText = nullptr;      // the 'awl or the radd, in one sentence, above the lines
    QLabel* roundingText = nullptr;     // under the lines: the amounts are rounded to the unit
    QLabel* savedText = nullptr;        // after "حفظ PDF": where the report was written
    // Under the lines, for heirs who died before the division: each later
    // problem's table and the combined table (الجامعة).
    QTextBrowser* furtherView = nullptr;
    QComboBox* decimalsBox = nullptr;   // the decimals of the amounts to pay: 0 to 3
    QScrollArea* linesArea = nullptr;   // the lines, scrolled when they do not fit the screen
    QWidget* linesBox = nullptr;        // what linesArea scrolls
    QWidget* headerBox = nullptr;       // the names of the columns

    // The 27 lines in the order of the rows (index(Heir)): the amount of
    // each head, the caption, the count, the class total and the percentage.
    std::array<results::AmountCell*, kHeirCount> amounts{};
    std::array<QLabel*, kHeirCount> captions{};
    std::array<QLabel*, kHeirCount> counts{};
    std::array<results::AmountCell*, kHeirCount> classTotals{};
    std::array<results::AmountCell*, kHeirCount> percentages{};

    // "مجموع الأنصبة": the heads and the amounts of all the lines.
    QLabel* totalCaption = nullptr;
    QLabel* totalCount = nullptr;
    results::AmountCell* totalAmount = nullptr;
    results::AmountCell* totalPercentage = nullptr;
    // "الباقي دون توزيع", shown only when the rows leave part of the estate.
    QLabel* undistributedCaption = nullptr;
    results::AmountCell* undistributedAmount = nullptr;
    results::AmountCell* undistributedPercentage = nullptr;
    // With an heir not yet known: the reserve under the total (the lines
    // then hold what is paid now), and under it the table of each outcome.
    QLabel* reserveCaption = nullptr;
    results::AmountCell* reserveAmount = nullptr;
    results::AmountCell* reservePercentage = nullptr;
    QLabel* outcomesText = nullptr;

    results::AmountCell* amount(Heir row) const { return amounts[std::size_t(index(row))]; }
    QLabel* caption(Heir row) const { return captions[std::size_t(index(row))]; }
    QLabel* count(Heir row) const { return counts[std::size_t(index(row))]; }
    results::AmountCell* classTotal(Heir row) const { return classTotals[std::size_t(index(row))]; }
    results::AmountCell* percentage(Heir row) const { return percentages[std::size_t(index(row))]; }

    // Takes the division of a case (one that ended in Outcome::Divided) and
    // makes its report, which the window shows when it is next shown.
    // The case's details (the deceased's name, ...) go into the report.
    void showDivision(const EstateCase& estateCase, const DivisionResult& result, const Explanation& explanation,
                      const CaseDetails& details = {});
    // Takes the division of a case with heirs who died before it (one that
    // DivideSuccessive did not refuse): the lines show the first problem,
    // the view under them each later problem and the combined table, and
    // the report all of them.
    void showSuccessiveDivision(const std::vector<LaterDeath>& later, const SuccessiveDivision& division,
                                const CaseDetails& details = {});
    // The same for a case with one heir not yet known, divided by
    // DivideUncertainExplained (Outcome::Divided): the lines show what is
    // paid now, then the reserve and the outcomes.
    void showUncertainDivision(const EstateCase& estateCase, const UncertainHeir& heir,
                               const UncertainDivision& division, const UncertainFractions& fractions,
                               const CaseDetails& details = {});
    // The division with later deaths held, or null.
    const SuccessiveDivision* successiveDivision() const noexcept
    {
        return division_ && division_->successive ? &*division_->successive : nullptr;
    }
    // The decimals of the amounts to pay (0 to 3): kept between runs in the
    // program's settings; a held division is shown again with them.
    int decimals() const noexcept { return decimals_; }
    void setDecimals(int decimals);
    // Whether a division is held (between showDivision and "تم").
    bool holdsDivision() const noexcept { return report_.has_value(); }
    // The report of the division held; throws ui::UiError when none is.
    const results::DivisionReport& report() const;

    // "تم": closes the window, lets the division go and announces that the
    // case is done with (caseDone).
    void endDivision();
    // "بيان المسألة", "طباعة", "حفظ PDF" and "نسخ".
    void showProblem();
    void printReport();
    void saveReportPdf();
    void copyReport();
    // "حفظ المسألة": asks whoever holds the case to save it (saveCaseRequested).
    void requestCaseSave();
    // "وفاة وارث قبل القسمة": asks whoever holds the case to add a head who
    // died before the division (laterDeathRequested); the window closes
    // and the case stays.
    void requestLaterDeath();

    // The window of "بيان المسألة" (made when first shown).
    ProblemWindow* problemWindow() const noexcept { return problem_; }

    // The rows whose lines are shown, top to bottom.
    std::vector<Heir> shownRows() const;
    // The distance between the tops of two lines.
    static constexpr int kLineStep = 24;

    // Where the last "حفظ PDF" wrote, said in the window's line under the table.
    QString lastPdfPath() const { return lastPdf_; }

    // Where "حفظ PDF" writes: asks the user (the program's file dialog,
    // which adds ".pdf" to a name typed without an ending and asks before
    // replacing a file) unless a test puts an answer here. The answer is
    // written as it is; an empty one cancels.
    static std::function<QString(QWidget* parent, const QString& suggested)> choosePdfPath;

signals:
    // "تم" was pressed: the case is done with.
    void caseDone();
    // "حفظ المسألة" was pressed.
    void saveCaseRequested();
    // "وفاة وارث قبل القسمة" was pressed.
    void laterDeathRequested();

protected:
    void showEvent(QShowEvent* event) override;
    // Escape and close requests of the window system close the window and
    // keep the case.
    void reject() override;

private:
    // The widths of the columns, as wide as their widest text.
    struct Columns {
        int caption, count, perHead, amount, percent;
        int xCaption, xCount, xAmount, xTotal, xPercent;
        int linesWidth;
    };

    void createFrame();
    void createHeader();
    void createLines();
    void createButtons();

    // Fills the lines from the report's results table, stacks them from the
    // top and sizes the window to them, never taller than the screen.
    void showLines();
    void hideAllLines();
    Columns measureColumns(const results::ResultsTable& table) const;
    void placeLine(const results::ResultLine& line, const Columns& columns, int top);
    void placeTotal(const results::ResultsTable& table, const Columns& columns, int top);
    void placeUndistributed(const results::ResultsTable& table, const Columns& columns, int top);
    void placeReserve(const results::ResultsTable& table, const Columns& columns, int top);
    // The outcomes' tables under the lines; returns their height.
    int placeOutcomes(const Columns& columns, int top);
    void placeHeader(const Columns& columns);
    void showEstateText();
    void layOut();

    void makeReport();

    // What the report is made of, kept so that it can be made again with
    // other decimals.
    struct Division {
        EstateCase estateCase;
        DivisionResult result;
        Explanation explanation;
        QDate date;
        CaseDetails details;
        std::vector<LaterDeath> later;
        std::optional<SuccessiveDivision> successive;
        // The heir not yet known, when there is one, and his division.
        struct Uncertain {
            UncertainHeir heir;
            UncertainDivision division;
            UncertainFractions fractions;
        };
        std::optional<Uncertain> uncertain;
    };
    std::optional<Division> division_;
    int decimals_ = results::kDefaultDecimals;
    QString lastPdf_;
    std::optional<results::DivisionReport> report_;
    ProblemWindow* problem_ = nullptr;
};

}  // namespace qismar
