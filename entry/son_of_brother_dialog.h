// Qismar: the nephews dialog.
#pragma once


#include "entry/counting_dialog.h"

class QLineEdit;

namespace qismar {

// "أبناء الإخوة": sons of full and of paternal brothers; total into Edit2.
class TfmSonOfBrother : public TCountingDialog {
    Q_OBJECT
public:
    TfmSonOfBrother();
    ~TfmSonOfBrother() override;
    QLineEdit* Edit2 = nullptr;  // sons of full brothers
    QLineEdit* Edit3 = nullptr;  // sons of paternal half-brothers
protected:
    QLineEdit* totalEdit() const override;
};

// The program-wide reference to the one TfmSonOfBrother.
extern TfmSonOfBrother* fmSonOfBrother;

}  // namespace qismar
