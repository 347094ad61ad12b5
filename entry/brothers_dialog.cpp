#include "entry/brothers_dialog.h"

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

TfmBrothers* fmBrothers = nullptr;

TfmBrothers::TfmBrothers() : TCountingDialog(QStringLiteral("إخوة"), 209, 234)
{
    setObjectName(QStringLiteral("fmBrothers"));
    Edit1 = addCountEdit("Edit1", 32, 56, 33, 21, QStringLiteral("عدد الأخوات الشقيقات"), "oktsh_b", "oktsh_e");
    Edit2 = addCountEdit("Edit2", 80, 56, 33, 21, QStringLiteral("عدد الإخوة الأشقاء"), "asbh_b", "asbh_e");
    Edit3 = addCountEdit("Edit3", 80, 88, 33, 21, QStringLiteral("عدد الإخوة لأب"), "asbh_b", "asbh_e");
    Edit4 = addCountEdit("Edit4", 32, 88, 33, 21, QStringLiteral("عدد الأخوات لأب"), "oktliab_b", "oktliab_e");
    Edit5 = addCountEdit("Edit5", 32, 120, 33, 21, QStringLiteral("عدد الأخوات لأم"), "ebnom_b", "ebnom_e");
    Edit6 = addCountEdit("Edit6", 80, 120, 33, 21, QStringLiteral("عدد الإخوة لأم"), "ebnom_b", "ebnom_e");
    addDoneButton(72, 152, 57, 25, false);
    // The grid's headings: sex above the columns, line of kinship beside the rows.
    addLabel("Label1", QStringLiteral("ذكور"), 89, 32);
    addLabel("Label2", QStringLiteral("إناث"), 44, 32);
    addLabel("Label3", QStringLiteral("أشقاء"), 139, 58);
    addLabel("Label4", QStringLiteral("لأب"), 153, 90);
    addLabel("Label5", QStringLiteral("لأم"), 155, 122);
    QWidget* order[] = {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Button1};
    for (int i = 0; i + 1 < 7; ++i)
        setTabOrder(order[i], order[i + 1]);
    fmBrothers = this;
}

TfmBrothers::~TfmBrothers()
{
    if (fmBrothers == this)
        fmBrothers = nullptr;
}

QLineEdit* TfmBrothers::totalEdit() const { return entryWindow().Edit11; }

}  // namespace qismar
