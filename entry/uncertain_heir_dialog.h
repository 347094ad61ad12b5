// Qismar: the dialog of the heir not yet known.
#pragma once

#include <QDialog>
#include <optional>

#include "engine/estate_case.h"
#include "engine/uncertain_heir.h"

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace qismar {

// "وارث لم يتبين حاله": one heir of the case whose state is not known yet,
// an unborn child ("حمل" with the class he would join), a missing heir
// ("مفقود", one head of a relative present in the case) or an heir of
// undetermined sex ("خنثى مشكل" with his class). A case holds one at most:
// the choices exclude each other, and the dialog says so.
class UncertainHeirDialog : public QDialog {
    Q_OBJECT
public:
    explicit UncertainHeirDialog(QWidget* parent = nullptr);

    QLabel* note = nullptr;               // one uncertain heir in a case
    QRadioButton* noneButton = nullptr;   // "لا أحد"
    QRadioButton* unbornButton = nullptr; // "حمل"
    QRadioButton* missingButton = nullptr;       // "مفقود"
    QRadioButton* undeterminedButton = nullptr;  // "خنثى مشكل"
    QComboBox* unbornLine = nullptr;        // the class the unborn child would join
    QComboBox* missingHeir = nullptr;       // the relative of whom the missing heir is one head
    QComboBox* undeterminedLine = nullptr;  // the class of the heir of undetermined sex
    QLabel* refusalText = nullptr;          // why the case cannot hold the choice, when it cannot
    QPushButton* doneButton = nullptr;      // "تم"
    QPushButton* cancelButton = nullptr;    // "إلغاء"

    // Shows `heir` against the relatives of `c` (the missing heir's list
    // holds the relatives present).
    void showChoice(const EstateCase& c, const std::optional<UncertainHeir>& heir);
    // The choice shown.
    std::optional<UncertainHeir> choice() const;
    // Shows the choice and lets the user change it; "تم" writes it into
    // `heir` and returns true, "إلغاء" and Escape leave it as it was.
    bool edit(const EstateCase& c, std::optional<UncertainHeir>& heir);

private:
    // Each list is enabled with its choice; the refusal follows the choice.
    void choiceChanged();
    EstateCase case_;
};

}  // namespace qismar
