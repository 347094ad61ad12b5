// Qismar: "بيانات المسألة", what the report says of the deceased and the
// heirs beyond the division.
#pragma once

#include <QDialog>
#include <array>

#include "casefile/case_details.h"
#include "engine/estate_case.h"
#include "engine/heirs.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace qismar {

// The deceased's name, the date and place of death, the court's or file's
// number, the currency's name, and the names of the heirs of the case, one
// line per relative present (the names separated by commas). Every part is
// optional. "تم" keeps what was typed when checkCaseDetails accepts it (an
// error box names the part at fault otherwise, and the dialog stays open);
// "إلغاء", Escape and the close box leave the details as they were.
class CaseDetailsDialog : public QDialog {
    Q_OBJECT
public:
    explicit CaseDetailsDialog(QWidget* parent = nullptr);

    QLineEdit* nameEdit = nullptr;
    QLineEdit* dateEdit = nullptr;       // YYYY-MM-DD
    QLabel* hijriDate = nullptr;         // the day typed, in both calendars
    QLineEdit* placeEdit = nullptr;
    QLineEdit* referenceEdit = nullptr;
    QLineEdit* currencyEdit = nullptr;
    QScrollArea* heirsArea = nullptr;
    QPushButton* doneButton = nullptr;    // "تم"
    QPushButton* cancelButton = nullptr;  // "إلغاء"

    // Shows `details` for the heirs of `estateCase` and lets the user edit
    // them; true, with `details` changed, when "تم" took them.
    bool edit(const EstateCase& estateCase, CaseDetails& details);
    // Fills the controls with `details` for the heirs of `estateCase`.
    void showDetails(const EstateCase& estateCase, const CaseDetails& details);

    // What the controls hold.
    CaseDetails read() const;
    // The line of names of a relative (null when he is not in the case).
    QLineEdit* namesEdit(Heir heir) const { return names_[static_cast<std::size_t>(index(heir))]; }

    // "تم": takes the details when they are sound.
    void finish();

private:
    void showHeirs(const EstateCase& estateCase, const CaseDetails& details);
    void showDate();

    EstateCase case_;
    std::array<QLineEdit*, kHeirCount> names_{};
};

// The names typed on one line: separated by commas (Arabic or Latin), each
// without the blanks around it; empty pieces are dropped.
std::vector<std::string> splitNames(const QString& line);

}  // namespace qismar
