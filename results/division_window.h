// Qismar: the results window.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <vector>

#include "division.h"
#include "result_rows.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;

namespace qismar {

// "قسمة الأنصبة": the results window.
class TfmDivision : public QDialog {
    Q_OBJECT
public:
    TfmDivision();
    ~TfmDivision() override;

    QWidget* Image1 = nullptr;
    QPushButton* Button1 = nullptr;  // "تم"
    // The 27 lines in the order of the rows (index(Row)): amount edit n<k>
    // (edtNebnAmLiAb for the paternal uncle's sons), caption label nd<k>,
    // percentage text ns<k>.
    std::array<QLineEdit*, kRowCount> amounts{};
    std::array<QLabel*, kRowCount> captions{};
    std::array<QLabel*, kRowCount> percentages{};

    // The last line, shown only when the rows leave part of the estate
    // undistributed: "الباقي دون توزيع", its amount and its percentage.
    QLineEdit* undistributedAmount = nullptr;
    QLabel* undistributedCaption = nullptr;
    QLabel* undistributedPercentage = nullptr;

    QLineEdit* amount(Row row) const { return amounts[static_cast<std::size_t>(index(row))]; }
    QLabel* caption(Row row) const { return captions[static_cast<std::size_t>(index(row))]; }
    QLabel* percentage(Row row) const { return percentages[static_cast<std::size_t>(index(row))]; }

    // The rows as the amount edits hold them; throws for a text that is not a row's text.
    ResultRows currentRows() const;
    // Writes the rows and the percentages that a division produced.
    void applyDivision(const DivisionResult& result);
    // Empties the amount edits of the given rows.
    void clearRows(const std::vector<Row>& rows);

    // Run before the window is drawn whenever it is shown: turns "0" and the
    // engine's "لا شيئ له" into "لا شيء له", stacks the non-empty lines from the top and sizes the window.
    void FormShow();
    void HideAllLines();
    // "تم": closes the window and clears the whole case.
    void Button1Click();

    // The height of the window as the layout measures it (with a frame).
    int layoutHeight() const;

    // The percentage text of a line between two divisions: 19 blanks.
    static QString blankPercentage();

protected:
    void showEvent(QShowEvent* event) override;
    // Escape and close requests of the window system do what "تم" does:
    // close the window and clear the case.
    void reject() override;
};

// The program-wide reference to the one TfmDivision.
extern TfmDivision* fmDivision;

}  // namespace qismar
