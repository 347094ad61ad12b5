// Qismar: the results window.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <vector>

#include "engine/division.h"
#include "engine/estate_case.h"
#include "engine/explanation.h"
#include "engine/result_rows.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QShowEvent;

namespace qismar {

class TfmProblem;
namespace results {
class AmountCell;
struct DivisionReport;
}

// "قسمة الأنصبة": the results window. One line for each present relative:
// the caption, the count, the amount of each head, the class's total and
// the percentage; below them the heirs' total and what the rows leave
// undistributed; above them the estate divided (and, when the estate was
// prepared, its costs, debts and bequests). Its buttons show the table of
// the problem, print the report, save it as PDF and copy it; "تم" ends the
// division.
class TfmDivision : public QDialog {
    Q_OBJECT
public:
    TfmDivision();
    ~TfmDivision() override;

    QWidget* Image1 = nullptr;
    QPushButton* Button1 = nullptr;     // "تم"
    QPushButton* btnProblem = nullptr;  // "بيان المسألة"
    QPushButton* btnPrint = nullptr;    // "طباعة"
    QPushButton* btnPdf = nullptr;      // "حفظ PDF"
    QPushButton* btnCopy = nullptr;     // "نسخ"

    QLabel* estateText = nullptr;       // the estate divided, and the estate's preparation
    QScrollArea* linesArea = nullptr;   // the lines, scrolled when they do not fit the screen
    QWidget* linesBox = nullptr;        // what linesArea scrolls
    QWidget* headerBox = nullptr;       // the names of the columns

    // The 27 lines in the order of the rows (index(Heir)), made when the
    // window is first shown (null before): the amount of each head n<k> (edtNebnAmLiAb for the paternal uncle's sons), the caption
    // nd<k>, the count nc<k>, the class total nt<k> and the percentage ns<k>.
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

    results::AmountCell* amount(Heir row) const { return amounts[std::size_t(index(row))]; }
    QLabel* caption(Heir row) const { return captions[std::size_t(index(row))]; }
    QLabel* count(Heir row) const { return counts[std::size_t(index(row))]; }
    results::AmountCell* classTotal(Heir row) const { return classTotals[std::size_t(index(row))]; }
    results::AmountCell* percentage(Heir row) const { return percentages[std::size_t(index(row))]; }

    // The result rows as the window holds them between two divisions (the
    // next division starts from them; unticking a relative empties his).
    const ResultRows& currentRows() const noexcept { return rows_; }
    void setRows(const ResultRows& rows);
    // Takes the division of a case: its rows, percentages and explanation.
    void applyDivision(const EstateCase& estateCase, const DivisionResult& result, const Explanation& explanation);
    // Empties the given rows.
    void clearRows(const std::vector<Heir>& rows);

    // Run before the window is drawn whenever it is shown: fills the lines
    // that have something to show, stacks them from the top and sizes the
    // window to them, never taller than the screen.
    void FormShow();
    void HideAllLines();
    // "تم": closes the window, empties the results and asks for the case to
    // be cleared (caseDone).
    void Button1Click();

    // The report of the division shown.
    results::DivisionReport report() const;
    // "بيان المسألة", "طباعة", "حفظ PDF" and "نسخ".
    void showProblem();
    void printReport();
    void saveReportPdf();
    void copyReport();

    // The window of "بيان المسألة" (made when first shown).
    TfmProblem* problemWindow() const noexcept { return problem_; }

    // The rows whose lines are shown, top to bottom.
    std::vector<Heir> shownRows() const;
    // The distance between the tops of two lines.
    static constexpr int kLineStep = 24;

    // Where "حفظ PDF" writes: asks the user (the program's file dialog,
    // which adds ".pdf" to a name typed without an ending and asks before
    // replacing a file) unless a test puts an answer here. The answer is
    // written as it is; an empty one cancels.
    static std::function<QString(QWidget* parent, const QString& suggested)> choosePdfPath;

signals:
    // "تم" was pressed (or Escape, or the close box): the case is done with.
    void caseDone();

protected:
    void showEvent(QShowEvent* event) override;
    // Escape and close requests of the window system do what "تم" does.
    void reject() override;

private:
    // Makes the controls of the lines, once.
    void buildLines();
    void layOut();

    ResultRows rows_{};
    std::array<std::optional<Currency>, kHeirCount> percentages_{};
    std::optional<Currency> undistributed_;
    std::optional<Currency> undistributedPercent_;
    EstateCase case_;
    DivisionResult result_;
    Explanation explanation_;
    bool divided_ = false;
    TfmProblem* problem_ = nullptr;
};

// The program-wide reference to the one TfmDivision.
extern TfmDivision* fmDivision;

}  // namespace qismar
