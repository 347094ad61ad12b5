// Qismar: the grandfather dialog.
#pragma once

#include "engine/estate_case.h"
#include "entry/heir_dialog.h"

class QPushButton;
class QRadioButton;

namespace qismar {

// "جد": which grandfather survives. Either one inherits the same; the case
// holds only that a grandfather survives, the dialog which one was chosen.
class GrandfatherDialog : public HeirDialog {
    Q_OBJECT
public:
    GrandfatherDialog();
    QRadioButton* fathersFather = nullptr;        // "أبو الأب"
    QRadioButton* fathersFathersFather = nullptr;  // "أبو أبي الأب"
    QPushButton* doneButton = nullptr;            // "تم"

    // Shows the grandfather of `c`: no choice without one; the father's
    // father when there is one and nothing was chosen yet.
    void showCase(const EstateCase& c);
    // Lets the user choose; "تم" writes into `c` whether a grandfather was chosen.
    void edit(EstateCase& c);
    // Clears both choices.
    void clearChoice();
    void finish() override;

private:
    bool chosen_ = false;
};

}  // namespace qismar
