#include "entry/son_of_son_dialog.h"

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

TfmSonOfSon* fmSonOfSon = nullptr;

TfmSonOfSon::TfmSonOfSon() : TCountingDialog(QStringLiteral("أحفاد"), 398, 232)
{
    setObjectName(QStringLiteral("fmSonOfSon"));
    GroupBox1 = addFrame("GroupBox1", QStringLiteral("أبناء الأبناء"), 200, 48, 137, 89);
    GroupBox2 = addFrame("GroupBox2", QStringLiteral("أبناء أبناء الأبناء"), 48, 48, 145, 89);
    for (QGroupBox* frame : {GroupBox1, GroupBox2})
        frame->setCursor(Qt::ArrowCursor);
    Edit1 = addCountEdit("Edit1", 224, 72, 41, 21, QStringLiteral("عدد أبناء الابن"), "asbh_b", "asbh_e");
    Edit2 = addCountEdit("Edit2", 224, 96, 41, 21, QStringLiteral("عدد بنات الابن"), "bentebn_b", "bentebn_e");
    addDoneButton(176, 152, 41, 25, false);
    addLabel("StaticText1", QStringLiteral("ذكور"), 288, 72);
    addLabel("StaticText2", QStringLiteral("إناث"), 288, 96);
    Edit3 = addCountEdit("Edit3", 88, 72, 41, 21, QStringLiteral("عدد أبناء ابن الابن"), "asbh_b", "asbh_e");
    Edit4 = addCountEdit("Edit4", 88, 96, 41, 21, QStringLiteral("عدد بنات ابن الابن"), "bentebn_b", "bentebn_e");
    addLabel("StaticText3", QStringLiteral("ذكور"), 144, 72);
    addLabel("StaticText4", QStringLiteral("إناث"), 144, 96);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Button1);
    setTabOrder(Button1, Edit3);
    setTabOrder(Edit3, Edit4);

    // Moving over the picture writes a notice into the entry window's guidance text.
    Image1->setMouseTracking(true);
    Image1->installEventFilter(this);
    fmSonOfSon = this;
}

TfmSonOfSon::~TfmSonOfSon()
{
    if (fmSonOfSon == this)
        fmSonOfSon = nullptr;
}

QLineEdit* TfmSonOfSon::totalEdit() const { return entryWindow().Edit10; }

bool TfmSonOfSon::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Image1 && event->type() == QEvent::MouseMove && fmMain)
        fmMain->setGuidance(QStringLiteral("أبناء وبنات البنت لا يرثون\nأبناء وبنات بنت الابن لا يرثون"));
    return TCountingDialog::eventFilter(watched, event);
}

}  // namespace qismar
