// Qismar: the paternal cousins dialog.
#pragma once


#include "entry/counting_dialog.h"

class QLineEdit;

namespace qismar {

// "أبناء العم": sons of full and of paternal uncles; total into Edit4.
class TfmSonOfUncle : public TCountingDialog {
    Q_OBJECT
public:
    TfmSonOfUncle();
    ~TfmSonOfUncle() override;
    QLineEdit* Edit1 = nullptr;  // sons of full paternal uncles
    QLineEdit* Edit2 = nullptr;  // sons of paternal half-uncles
protected:
    QLineEdit* totalEdit() const override;
};

// The program-wide reference to the one TfmSonOfUncle.
extern TfmSonOfUncle* fmSonOfUncle;

}  // namespace qismar
