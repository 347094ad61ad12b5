#include "entry/uncle_dialog.h"

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

TfmUncle* fmUncle = nullptr;

TfmUncle::TfmUncle() : TCountingDialog(QStringLiteral("الأعمام"), 188, 163)
{
    setObjectName(QStringLiteral("fmUncle"));
    Edit1 = addCountEdit("Edit1", 48, 24, 41, 21, QStringLiteral("عدد الأعمام الأشقاء"), "asbh_b", "asbh_e");
    addLabel("Label1", QStringLiteral("شقيق"), 112, 33);
    Edit2 = addCountEdit("Edit2", 48, 48, 41, 21, QStringLiteral("عدد الأعمام لأب"), "asbh_b", "asbh_e");
    addLabel("Label2", QStringLiteral("لأب"), 112, 56);
    addDoneButton(72, 80, 33, 25, true);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Button1);
    fmUncle = this;
}

TfmUncle::~TfmUncle()
{
    if (fmUncle == this)
        fmUncle = nullptr;
}

QLineEdit* TfmUncle::totalEdit() const { return entryWindow().Edit5; }

}  // namespace qismar
