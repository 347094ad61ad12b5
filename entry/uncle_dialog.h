// Qismar: the paternal uncles dialog.
#pragma once


#include "entry/counting_dialog.h"

class QLineEdit;

namespace qismar {

// "الأعمام": full and paternal uncles; total into Edit5.
class TfmUncle : public TCountingDialog {
    Q_OBJECT
public:
    TfmUncle();
    ~TfmUncle() override;
    QLineEdit* Edit1 = nullptr;  // full paternal uncles
    QLineEdit* Edit2 = nullptr;  // paternal half-uncles
protected:
    QLineEdit* totalEdit() const override;
};

// The program-wide reference to the one TfmUncle.
extern TfmUncle* fmUncle;

}  // namespace qismar
