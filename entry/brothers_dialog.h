// Qismar: the siblings dialog.
#pragma once


#include "entry/counting_dialog.h"

class QLineEdit;

namespace qismar {

// "إخوة": full, paternal and maternal brothers and sisters; total into Edit11.
class TfmBrothers : public TCountingDialog {
    Q_OBJECT
public:
    TfmBrothers();
    ~TfmBrothers() override;
    QLineEdit* Edit1 = nullptr;  // full sisters
    QLineEdit* Edit2 = nullptr;  // full brothers
    QLineEdit* Edit3 = nullptr;  // paternal half-brothers
    QLineEdit* Edit4 = nullptr;  // paternal half-sisters
    QLineEdit* Edit5 = nullptr;  // maternal half-sisters
    QLineEdit* Edit6 = nullptr;  // maternal half-brothers
protected:
    QLineEdit* totalEdit() const override;
};

// The program-wide reference to the one TfmBrothers.
extern TfmBrothers* fmBrothers;

}  // namespace qismar
