#include "entry/heir_dialog.h"

#include "ui/frame.h"
#include "ui/picture.h"
#include "ui/toggles.h"
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

QCheckBox* HeirDialog::addCheckBox(const char* name, const QString& caption, int x, int y, int w, int h)
{
    auto* box = ui::named(new ui::CheckBox(caption, this), name);
    box->setGeometry(x, y, w, h);
    return box;
}

QRadioButton* HeirDialog::addRadioButton(const char* name, const QString& caption, int x, int y, int w, int h)
{
    auto* button = ui::named(new ui::RadioButton(caption, this), name);
    button->setGeometry(x, y, w, h);
    return button;
}

QPushButton* HeirDialog::addButton(const char* name, const QString& caption, int x, int y, int w, int h)
{
    auto* button = ui::named(new QPushButton(caption, this), name);
    button->setGeometry(x, y, w, h);
    return button;
}

QGroupBox* HeirDialog::addFrame(const char* name, const QString& caption, int x, int y, int w, int h)
{
    auto* frame = ui::named(new ui::Frame(caption, this), name);
    frame->setGeometry(x, y, w, h);
    ui::setTextColor(frame, ui::kTextYellow);
    frame->setAccessibleName(caption);
    return frame;
}

HeirDialog::HeirDialog(const QString& caption, int layoutWidth, int layoutHeight)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(caption);
    setLayoutDirection(Qt::RightToLeft);
    setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 11));
    ui::setLayoutSize(this, layoutWidth, layoutHeight);
    ui::centreOnScreen(this);
    background = ui::named(ui::Picture::background(QStringLiteral(":/pictures/dialog.svg"), this), "background");
    // The picture takes part in the mouse movements of the guidance notices.
    background->setAttribute(Qt::WA_TransparentForMouseEvents, false);
}

QPushButton* HeirDialog::addDoneButton(int x, int y, int w, int h)
{
    QPushButton* button = addButton("doneButton", QStringLiteral("تم"), x, y, w, h);
    button->setDefault(true);
    connect(button, &QPushButton::clicked, this, [this] { ui::guarded([this] { finish(); }); });
    return button;
}

void HeirDialog::reject()
{
    // Escape and a close request of the window system do what "تم" does:
    // it is the dialog's way out.
    ui::guarded([this] { finish(); }, this);
}

void HeirDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The first field takes the focus, its content selected, so that the
    // dialog can be filled from the keyboard at once.
    if (QWidget* first = firstField())
        first->setFocus(Qt::TabFocusReason);
}

void HeirDialog::closeDialog()
{
    if (isVisible())
        done(QDialog::Accepted);
}

}  // namespace qismar
