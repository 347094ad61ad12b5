#include "entry/heir_dialog.h"

#include "entry/entry_window.h"
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

TfmMain& THeirDialog::entryWindow()
{
    if (!fmMain)
        throw ui::UiError(QStringLiteral("نافذة إدخال الورثة غير موجودة"));
    return *fmMain;
}

QCheckBox* THeirDialog::addCheckBox(const char* name, const QString& caption, int x, int y, int w, int h)
{
    auto* box = ui::named(new ui::CheckBox(caption, this), name);
    box->setGeometry(x, y, w, h);
    return box;
}

QRadioButton* THeirDialog::addRadioButton(const char* name, const QString& caption, int x, int y, int w, int h)
{
    auto* button = ui::named(new ui::RadioButton(caption, this), name);
    button->setGeometry(x, y, w, h);
    return button;
}

QPushButton* THeirDialog::addButton(const char* name, const QString& caption, int x, int y, int w, int h)
{
    auto* button = ui::named(new QPushButton(caption, this), name);
    button->setGeometry(x, y, w, h);
    return button;
}

QGroupBox* THeirDialog::addFrame(const char* name, const QString& caption, int x, int y, int w, int h)
{
    auto* frame = ui::named(new ui::Frame(caption, this), name);
    frame->setGeometry(x, y, w, h);
    ui::setTextColor(frame, ui::kTextYellow);
    frame->setAccessibleName(caption);
    return frame;
}

THeirDialog::THeirDialog(const QString& caption, int layoutWidth, int layoutHeight)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(caption);
    setLayoutDirection(Qt::RightToLeft);
    setFont(ui::layoutFont(QStringLiteral("MS Sans Serif"), 11));
    ui::setLayoutSize(this, layoutWidth, layoutHeight);
    ui::centreOnScreen(this);
    Image1 = ui::named(ui::Picture::background(QStringLiteral(":/pictures/dialog.svg"), this), "Image1");
    // The picture takes part in the mouse movements of the guidance notices.
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents, false);
}

void THeirDialog::reject()
{
    // Escape and a close request of the window system do what "تم" does:
    // it is the dialog's way out.
    ui::guarded([this] { Button1Click(); }, this);
}

void THeirDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The first field takes the focus, its content selected, so that the
    // dialog can be filled from the keyboard at once.
    if (QWidget* first = firstField())
        first->setFocus(Qt::TabFocusReason);
}

void THeirDialog::closeDialog()
{
    if (isVisible())
        done(QDialog::Accepted);
}

}  // namespace qismar
