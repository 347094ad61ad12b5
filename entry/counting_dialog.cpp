#include "entry/counting_dialog.h"

#include "ui/digit_edit.h"
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

namespace {

// The layout places a label 13 pixels high.
constexpr int kLayoutLabelHeight = 13;

}  // namespace

TCountingDialog::TCountingDialog(const QString& caption, int layoutWidth, int layoutHeight)
    : THeirDialog(caption, layoutWidth, layoutHeight)
{
    // The dialog's surface shows the help cursor in the "كيف يرث؟" mode.
    markForHelpCursor(this);
}

QWidget* TCountingDialog::firstField() const
{
    return counts_.empty() ? nullptr : counts_.front();
}

QLineEdit* TCountingDialog::addCountEdit(const char* name, int x, int y, int w, int h,
                                         const QString& accessibleName, const char* beginKey,
                                         const char* endKey)
{
    auto* edit = ui::named(new ui::DigitEdit(QStringLiteral("0"), QStringLiteral("0"), this), name);
    edit->setGeometry(x, y, w, h);
    edit->setAccessibleName(accessibleName);
    showExcerptOnClick(edit, QString::fromLatin1(beginKey), QString::fromLatin1(endKey));
    markForHelpCursor(edit);
    counts_.push_back(edit);
    return edit;
}

QPushButton* TCountingDialog::addDoneButton(int x, int y, int w, int h, bool redCaption)
{
    Button1 = addButton("Button1", QStringLiteral("تم"), x, y, w, h);
    Button1->setCursor(Qt::ArrowCursor);
    if (redCaption)
        ui::setTextColor(Button1, ui::kTextRed);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, [this] { ui::guarded([this] { Button1Click(); }); });
    return Button1;
}

QLabel* TCountingDialog::addLabel(const char* name, const QString& text, int x, int y)
{
    auto* label = ui::named(new QLabel(text, this), name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->adjustSize();
    // The layout places a label 13 pixels high; the substitute face is
    // taller, so the label is centred where the layout's text stands.
    label->move(x, y + (kLayoutLabelHeight - label->height()) / 2);
    label->setCursor(Qt::ArrowCursor);
    return label;
}

void TCountingDialog::resetCounts()
{
    for (QLineEdit* edit : counts_)
        edit->setText(QStringLiteral("0"));
}

void TCountingDialog::Button1Click()
{
    // The dialog closes even when a count cannot be read.
    closeDialog();
    HeadCount total;
    for (QLineEdit* edit : counts_)
        total = total + ui::readCount(edit, edit->accessibleName());
    totalEdit()->setText(QString::number(total.persons()));
}

}  // namespace qismar
