// Qismar: the window "بيان المسألة", the table of the problem of a division.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;

namespace qismar {

namespace results {
struct DivisionReport;
}

// Shows how a division came about, as a textbook of the science of shares
// sets it out: the estate's preparation, the origin of the problem, its
// raise ('awl) or return (radd) and its correction, then the table of the
// heirs with their fixed shares, how each inherits, the shares of each part
// in the problem, the shares of each head in the corrected problem, the
// fractions of the estate and the reason.
class ProblemWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProblemWindow(QWidget* parent = nullptr);

    QLabel* sentences = nullptr;     // the preparation and the problem, in sentences
    QTableWidget* table = nullptr;   // the table of the problem
    QPushButton* doneButton = nullptr;  // "تم"

    // Fills the window from the report of the division shown.
    void showReport(const results::DivisionReport& report);
};

}  // namespace qismar
