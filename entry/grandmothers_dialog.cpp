#include "entry/grandmothers_dialog.h"

#include <QCheckBox>
#include <QFrame>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include "ui/ui_common.h"

namespace qismar {

namespace {

// The case's field of each box, in the order of boxes().
constexpr bool EstateCase::*kGrandmothers[] = {&EstateCase::mothersMother, &EstateCase::fathersMother,
                                               &EstateCase::mothersMothersMother, &EstateCase::fathersMothersMother,
                                               &EstateCase::fathersFathersMother};

}  // namespace

GrandmothersDialog::GrandmothersDialog() : HeirDialog(QStringLiteral("الجدة"), 382, 263)
{
    setObjectName(QStringLiteral("grandmothersDialog"));
    nearPanel = ui::named(new QFrame(this), "nearPanel");
    farPanel = ui::named(new QFrame(this), "farPanel");
    nearPanel->setGeometry(192, 64, 129, 97);
    farPanel->setGeometry(48, 64, 129, 97);
    for (QFrame* panel : {nearPanel, farPanel}) {
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        panel->setLineWidth(1);
        panel->setAutoFillBackground(true);
    }
    mothersMother = addCheckBox("mothersMotherBox", QStringLiteral("أم الأم"), 240, 80, 49, 25);
    fathersMother = addCheckBox("fathersMotherBox", QStringLiteral("أم الأب"), 232, 112, 57, 25);
    doneButton = addDoneButton(160, 176, 49, 25);
    // (The box ends a pixel above the one below it.)
    mothersMothersMother = addCheckBox("mothersMothersMotherBox", QStringLiteral("أم أم الأم"), 56, 72, 97, 32);
    fathersMothersMother = addCheckBox("fathersMothersMotherBox", QStringLiteral("أم أم الأب"), 56, 104, 97, 17);
    fathersFathersMother = addCheckBox("fathersFathersMotherBox", QStringLiteral("أم أبي الأب"), 56, 128, 97, 17);
    nearChoice = addRadioButton("nearChoice", QStringLiteral("جدة قريبة"), 208, 40, 113, 17);
    farChoice = addRadioButton("farChoice", QStringLiteral("جدة بعيدة"), 64, 40, 113, 17);
    nearChoice->setChecked(true);
    for (QCheckBox* far : {mothersMothersMother, fathersMothersMother, fathersFathersMother})
        far->setEnabled(false);
    QWidget* order[] = {mothersMother, fathersMother, doneButton, mothersMothersMother, fathersMothersMother,
                        fathersFathersMother, nearChoice, farChoice};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    connect(nearChoice, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen)
            ui::guarded([this] { nearChosen(); });
    });
    connect(farChoice, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen)
            ui::guarded([this] { farChosen(); });
    });

    // The notice about a far grandmother entered twice appears on a mouse
    // movement over the dialog, its picture or the far grandmothers' panel.
    setMouseTracking(true);
    for (QWidget* surface : {background, static_cast<QWidget*>(farPanel)}) {
        surface->setMouseTracking(true);
        surface->installEventFilter(this);
    }
}

QString GrandmothersDialog::sameGrandmotherNotice()
{
    return QStringLiteral("تنبيه:\nإذا كانت أم أم الأم هي نفسها أم أبي الأب فيجب إدخالها بصفة واحدة فقط:\nهي أم أم الأم");
}

void GrandmothersDialog::nearChosen()
{
    mothersMother->setEnabled(true);
    fathersMother->setEnabled(true);
    for (QCheckBox* far : {mothersMothersMother, fathersMothersMother, fathersFathersMother}) {
        far->setEnabled(false);
        far->setChecked(false);
    }
}

void GrandmothersDialog::farChosen()
{
    for (QCheckBox* far : {mothersMothersMother, fathersMothersMother, fathersFathersMother})
        far->setEnabled(true);
    for (QCheckBox* near : {mothersMother, fathersMother}) {
        near->setEnabled(false);
        near->setChecked(false);
    }
}

void GrandmothersDialog::showCase(const EstateCase& c)
{
    const bool near = c.mothersMother || c.fathersMother;
    const bool far = c.mothersMothersMother || c.fathersMothersMother || c.fathersFathersMother;
    // Choosing the group runs its behaviour: the other group is greyed.
    if (near)
        nearChoice->setChecked(true);
    else if (far)
        farChoice->setChecked(true);
    const std::array<QCheckBox*, 5> all = boxes();
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i]->setChecked(c.*kGrandmothers[i]);
}

void GrandmothersDialog::edit(EstateCase& c)
{
    showCase(c);
    taken_ = false;
    exec();
    if (!taken_)
        return;
    const std::array<QCheckBox*, 5> all = boxes();
    for (std::size_t i = 0; i < all.size(); ++i)
        c.*kGrandmothers[i] = all[i]->isChecked();
}

void GrandmothersDialog::finish()
{
    taken_ = true;
    closeDialog();
}

void GrandmothersDialog::noticeOnMouseMove()
{
    // Once shown, the notice stays for the rest of the run.
    if (mothersMothersMother->isChecked() && fathersFathersMother->isChecked())
        setToolTip(sameGrandmotherNotice());
}

bool GrandmothersDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && (watched == background || watched == farPanel))
        noticeOnMouseMove();
    return HeirDialog::eventFilter(watched, event);
}

void GrandmothersDialog::mouseMoveEvent(QMouseEvent* event)
{
    noticeOnMouseMove();
    HeirDialog::mouseMoveEvent(event);
}

}  // namespace qismar
