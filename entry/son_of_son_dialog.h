// Qismar: the grandchildren dialog.
#pragma once


#include "entry/counting_dialog.h"

class QGroupBox;
class QLineEdit;
class QEvent;

namespace qismar {

// "أحفاد": the son's children and the son's son's children; total into Edit10.
class TfmSonOfSon : public TCountingDialog {
    Q_OBJECT
public:
    TfmSonOfSon();
    ~TfmSonOfSon() override;
    QGroupBox* GroupBox1 = nullptr;  // "أبناء الأبناء"
    QGroupBox* GroupBox2 = nullptr;  // "أبناء أبناء الأبناء"
    QLineEdit* Edit1 = nullptr;      // son's sons
    QLineEdit* Edit2 = nullptr;      // son's daughters
    QLineEdit* Edit3 = nullptr;      // son's son's sons
    QLineEdit* Edit4 = nullptr;      // son's son's daughters
protected:
    QLineEdit* totalEdit() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The program-wide reference to the one TfmSonOfSon.
extern TfmSonOfSon* fmSonOfSon;

}  // namespace qismar
