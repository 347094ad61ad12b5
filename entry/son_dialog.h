// Qismar: the children dialog.
#pragma once


#include "entry/counting_dialog.h"

class QLabel;
class QLineEdit;

namespace qismar {

// "أبناء  ": sons and daughters; total into fmMain's Edit9.
class TfmSon : public TCountingDialog {
    Q_OBJECT
public:
    TfmSon();
    ~TfmSon() override;
    QLineEdit* Edit1 = nullptr;  // sons
    QLineEdit* Edit2 = nullptr;  // daughters
    QLabel* Label1 = nullptr;    // "ذكور"
    QLabel* Label2 = nullptr;    // "إناث"
protected:
    QLineEdit* totalEdit() const override;
};

// The program-wide reference to the one TfmSon.
extern TfmSon* fmSon;

}  // namespace qismar
