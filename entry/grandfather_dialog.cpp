#include "entry/grandfather_dialog.h"

#include "entry/entry_window.h"
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

TfmJd* fmJd = nullptr;

TfmJd::TfmJd() : THeirDialog(QStringLiteral("جد"), 149, 170)
{
    setObjectName(QStringLiteral("fmJd"));
    move(393, 182);
    RadioButton1 = addRadioButton("RadioButton1", QStringLiteral("أبو الأب"), 40, 40, 73, 17);
    RadioButton2 = addRadioButton("RadioButton2", QStringLiteral("أبو أبي الأب"), 32, 64, 81, 17);
    Button1 = addButton("Button1", QStringLiteral("تم"), 56, 96, 33, 25);
    Button1->setDefault(true);
    setTabOrder(RadioButton1, RadioButton2);
    setTabOrder(RadioButton2, Button1);
    connect(Button1, &QPushButton::clicked, this, [this] { ui::guarded([this] { Button1Click(); }); });
    fmJd = this;
}

TfmJd::~TfmJd()
{
    if (fmJd == this)
        fmJd = nullptr;
}

void TfmJd::Button1Click()
{
    if (!RadioButton1->isChecked() && !RadioButton2->isChecked()) {
        TfmMain& entry = entryWindow();
        entry.setTicked(entry.chkjd, false);
    }
    closeDialog();
}

void TfmJd::clearChoice()
{
    ui::clearRadioButtons(RadioButton1, RadioButton2);
}

}  // namespace qismar
