#include "entry/son_dialog.h"

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

TfmSon* fmSon = nullptr;

TfmSon::TfmSon() : TCountingDialog(QStringLiteral("أبناء  "), 170, 158)
{
    setObjectName(QStringLiteral("fmSon"));
    Edit1 = addCountEdit("Edit1", 40, 24, 41, 21, QStringLiteral("عدد الأبناء الذكور"), "asbh_b", "asbh_e");
    Edit2 = addCountEdit("Edit2", 40, 48, 41, 21, QStringLiteral("عدد البنات"), "bent_b", "bent_e");
    addDoneButton(64, 80, 33, 25, true);
    Label1 = addLabel("Label1", QStringLiteral("ذكور"), 104, 33);
    Label2 = addLabel("Label2", QStringLiteral("إناث"), 104, 56);
    showExcerptOnClick(Label2, QStringLiteral("bent_b"), QStringLiteral("bent_e"));
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Button1);
    fmSon = this;
}

TfmSon::~TfmSon()
{
    if (fmSon == this)
        fmSon = nullptr;
}

QLineEdit* TfmSon::totalEdit() const { return entryWindow().Edit9; }

}  // namespace qismar
