// Qismar: the grandfather dialog.
#pragma once


#include "entry/heir_dialog.h"

class QPushButton;
class QRadioButton;

namespace qismar {

// "جد": which grandfather survives.
class TfmJd : public THeirDialog {
    Q_OBJECT
public:
    TfmJd();
    ~TfmJd() override;
    QRadioButton* RadioButton1 = nullptr;  // "أبو الأب"
    QRadioButton* RadioButton2 = nullptr;  // "أبو أبي الأب"
    QPushButton* Button1 = nullptr;        // "تم"
    void Button1Click() override;
    // Clears both radio buttons.
    void clearChoice();
};

// The program-wide reference to the one TfmJd.
extern TfmJd* fmJd;

}  // namespace qismar
