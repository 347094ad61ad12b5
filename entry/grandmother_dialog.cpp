#include "entry/grandmother_dialog.h"

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

TfmGrandMother* fmGrandMother = nullptr;

TfmGrandMother::TfmGrandMother() : THeirDialog(QStringLiteral("الجدة"), 382, 263)
{
    setObjectName(QStringLiteral("fmGrandMother"));
    Panel1 = ui::named(new QFrame(this), "Panel1");
    Panel2 = ui::named(new QFrame(this), "Panel2");
    Panel1->setGeometry(192, 64, 129, 97);
    Panel2->setGeometry(48, 64, 129, 97);
    for (QFrame* panel : {Panel1, Panel2}) {
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        panel->setLineWidth(1);
        panel->setAutoFillBackground(true);
    }
    CheckBox1 = addCheckBox("CheckBox1", QStringLiteral("أم الأم"), 240, 80, 49, 25);
    CheckBox2 = addCheckBox("CheckBox2", QStringLiteral("أم الأب"), 232, 112, 57, 25);
    Button1 = addButton("Button1", QStringLiteral("تم"), 160, 176, 49, 25);
    CheckBox3 = addCheckBox("CheckBox3", QStringLiteral("أم أم الأم"), 56, 72, 97, 33);
    CheckBox4 = addCheckBox("CheckBox4", QStringLiteral("أم أم الأب"), 56, 104, 97, 17);
    CheckBox5 = addCheckBox("CheckBox5", QStringLiteral("أم أبي الأب"), 56, 128, 97, 17);
    RadioButton1 = addRadioButton("RadioButton1", QStringLiteral("جدة قريبة"), 208, 40, 113, 17);
    RadioButton2 = addRadioButton("RadioButton2", QStringLiteral("جدة بعيدة"), 64, 40, 113, 17);
    RadioButton1->setChecked(true);
    for (QCheckBox* far : {CheckBox3, CheckBox4, CheckBox5})
        far->setEnabled(false);
    QWidget* order[] = {CheckBox1, CheckBox2, Button1, CheckBox3, CheckBox4, CheckBox5, RadioButton1, RadioButton2};
    for (int i = 0; i + 1 < 8; ++i)
        setTabOrder(order[i], order[i + 1]);

    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen)
            ui::guarded([this] { RadioButton1Click(); });
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen)
            ui::guarded([this] { RadioButton2Click(); });
    });
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { ui::guarded([this] { Button1Click(); }); });

    // The notice about a far grandmother entered twice appears on a mouse
    // movement over the dialog, its picture or the far grandmothers' panel.
    setMouseTracking(true);
    for (QWidget* surface : {Image1, static_cast<QWidget*>(Panel2)}) {
        surface->setMouseTracking(true);
        surface->installEventFilter(this);
    }
    fmGrandMother = this;
}

TfmGrandMother::~TfmGrandMother()
{
    if (fmGrandMother == this)
        fmGrandMother = nullptr;
}

QString TfmGrandMother::sameGrandmotherNotice()
{
    return QStringLiteral("تنبيه:\nإذا كانت أم أم الأم هي نفسها أم أبي الأب فيجب إدخالها بصفة واحدة فقط:\nهي أم أم الأم");
}

void TfmGrandMother::RadioButton1Click()
{
    CheckBox1->setEnabled(true);
    CheckBox2->setEnabled(true);
    for (QCheckBox* far : {CheckBox3, CheckBox4, CheckBox5}) {
        far->setEnabled(false);
        far->setChecked(false);
    }
}

void TfmGrandMother::RadioButton2Click()
{
    for (QCheckBox* far : {CheckBox3, CheckBox4, CheckBox5})
        far->setEnabled(true);
    for (QCheckBox* near : {CheckBox1, CheckBox2}) {
        near->setEnabled(false);
        near->setChecked(false);
    }
}

void TfmGrandMother::Button1Click()
{
    closeDialog();
    int count = 0;
    for (QCheckBox* box : boxes())
        count += box->isChecked() ? 1 : 0;
    TfmMain& entry = entryWindow();
    entry.Edit3->setText(QString::number(count));
    if (count == 0)
        entry.setTicked(entry.chkjadh, false);
}

void TfmGrandMother::noticeOnMouseMove()
{
    // Once shown, the notice stays for the rest of the run.
    if (CheckBox3->isChecked() && CheckBox5->isChecked())
        setToolTip(sameGrandmotherNotice());
}

bool TfmGrandMother::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && (watched == Image1 || watched == Panel2))
        noticeOnMouseMove();
    return THeirDialog::eventFilter(watched, event);
}

void TfmGrandMother::mouseMoveEvent(QMouseEvent* event)
{
    noticeOnMouseMove();
    THeirDialog::mouseMoveEvent(event);
}

}  // namespace qismar
