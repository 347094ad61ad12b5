#include "entry/son_of_uncle_dialog.h"

#include "entry/entry_window.h"
#include "entry/law_excerpts.h"
#include "ui/ui_common.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

namespace qismar {

TfmSonOfUncle* fmSonOfUncle = nullptr;

TfmSonOfUncle::TfmSonOfUncle() : TCountingDialog(QStringLiteral("أبناء العم"), 190, 164)
{
    setObjectName(QStringLiteral("fmSonOfUncle"));
    Edit1 = addCountEdit("Edit1", 48, 32, 41, 21, QStringLiteral("عدد أبناء الأعمام الأشقاء"), "asbh_b", "asbh_e");
    addLabel("Label1", QStringLiteral("شقيق"), 112, 41);
    Edit2 = addCountEdit("Edit2", 48, 56, 41, 21, QStringLiteral("عدد أبناء الأعمام لأب"), "asbh_b", "asbh_e");
    addLabel("Label2", QStringLiteral("لأب"), 112, 64);
    addDoneButton(72, 88, 33, 25, true);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Button1);
    fmSonOfUncle = this;
}

TfmSonOfUncle::~TfmSonOfUncle()
{
    if (fmSonOfUncle == this)
        fmSonOfUncle = nullptr;
}

QLineEdit* TfmSonOfUncle::totalEdit() const { return entryWindow().Edit4; }

}  // namespace qismar
