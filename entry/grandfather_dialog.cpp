#include "entry/grandfather_dialog.h"

#include <QPushButton>
#include <QRadioButton>

#include "ui/ui_common.h"

namespace qismar {

GrandfatherDialog::GrandfatherDialog() : HeirDialog(QStringLiteral("جد"), 149, 170)
{
    setObjectName(QStringLiteral("grandfatherDialog"));
    // It opens beside the entry window's grandfather box.
    move(393, 182);
    fathersFather = addRadioButton("fathersFatherChoice", QStringLiteral("أبو الأب"), 40, 40, 73, 17);
    fathersFathersFather = addRadioButton("fathersFathersFatherChoice", QStringLiteral("أبو أبي الأب"), 32, 64, 81, 17);
    doneButton = addDoneButton(56, 96, 33, 25);
    setTabOrder(fathersFather, fathersFathersFather);
    setTabOrder(fathersFathersFather, doneButton);
}

void GrandfatherDialog::showCase(const EstateCase& c)
{
    const bool chosen = fathersFather->isChecked() || fathersFathersFather->isChecked();
    if (!c.grandfather)
        clearChoice();
    else if (!chosen)
        fathersFather->setChecked(true);
}

void GrandfatherDialog::edit(EstateCase& c)
{
    showCase(c);
    chosen_ = false;
    exec();
    c.grandfather = chosen_;
}

void GrandfatherDialog::clearChoice()
{
    ui::clearRadioButtons(fathersFather, fathersFathersFather);
}

void GrandfatherDialog::finish()
{
    // Closed without a choice, there is no grandfather.
    chosen_ = fathersFather->isChecked() || fathersFathersFather->isChecked();
    closeDialog();
}

}  // namespace qismar
