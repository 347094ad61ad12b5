#include "entry/son_of_brother_dialog.h"

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

TfmSonOfBrother* fmSonOfBrother = nullptr;

TfmSonOfBrother::TfmSonOfBrother() : TCountingDialog(QStringLiteral("أبناء الإخوة"), 228, 220)
{
    setObjectName(QStringLiteral("fmSonOfBrother"));
    QLabel* note1 = addLabel("Label5", QStringLiteral("ملحوظة: ابن الأخ لأم لا يرث"), 44, 32);
    QLabel* note2 = addLabel("Label3", QStringLiteral("ملحوظة: بنت الأخ لا ترث"), 69, 56);
    for (QLabel* note : {note1, note2}) {
        ui::setTextColor(note, ui::kTextRed);
        // Centred across the dialog, where the layout's two lines stood.
        note->setGeometry(8, note->y(), width() - 16, note->height());
        note->setAlignment(Qt::AlignCenter);
    }
    Edit2 = addCountEdit("Edit2", 80, 80, 33, 21, QStringLiteral("عدد أبناء الإخوة الأشقاء"), "asbh_b", "asbh_e");
    addLabel("Label1", QStringLiteral("شقيق"), 120, 88);
    Edit3 = addCountEdit("Edit3", 80, 112, 33, 21, QStringLiteral("عدد أبناء الإخوة لأب"), "asbh_b", "asbh_e");
    addLabel("Label2", QStringLiteral("لأب"), 128, 120);
    addDoneButton(88, 144, 49, 25, false);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, Button1);
    fmSonOfBrother = this;
}

TfmSonOfBrother::~TfmSonOfBrother()
{
    if (fmSonOfBrother == this)
        fmSonOfBrother = nullptr;
}

QLineEdit* TfmSonOfBrother::totalEdit() const { return entryWindow().Edit2; }

}  // namespace qismar
