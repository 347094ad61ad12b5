#include "ui/digit_edit.h"

#include "ui/amount_validator.h"
#include "ui/digit_validator.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QToolTip>

namespace qismar::ui {

DigitEdit::DigitEdit(const QString& text, const QString& refill, QWidget* parent)
    : QLineEdit(text, parent), validator_(new DigitValidator(this))
{
    validator_->setPrevious(text);
    setValidator(validator_);
    followChanges(refill);
}

DigitEdit::DigitEdit(const QString& text, const QString& refill, QWidget* parent, Amount)
    : QLineEdit(text, parent), amounts_(new AmountValidator(this))
{
    amounts_->setPrevious(text);
    setValidator(amounts_);
    connect(amounts_, &AmountValidator::refused, this, [this](const QString& hint) { showHint(hint); });
    followChanges(refill);
}

void DigitEdit::followChanges(const QString& refill)
{
    setLayoutDirection(Qt::LeftToRight);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(this, &QLineEdit::textChanged, this, [this, refill](const QString& now) {
        if (now.isEmpty() && !refill.isEmpty()) {
            setText(refill);
            return;
        }
        if (validator_)
            validator_->setPrevious(now);
        if (amounts_)
            amounts_->setPrevious(now);
    });
}

void DigitEdit::showHint(const QString& hint)
{
    hint_ = hint;
    // Beside the field, right under it, for as long as the tip lasts.
    QToolTip::showText(mapToGlobal(QPoint(0, height())), hint, this);
}

void DigitEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (event->reason() == Qt::MouseFocusReason)
        selectOnRelease_ = true;  // the press that gave the focus also places the caret
    else if (event->reason() != Qt::PopupFocusReason)  // back from the context menu: as it was
        selectAll();
}

void DigitEdit::mouseReleaseEvent(QMouseEvent* event)
{
    QLineEdit::mouseReleaseEvent(event);
    // A click that gives the focus selects the content, unless it dragged
    // a selection of its own.
    if (selectOnRelease_ && !hasSelectedText())
        selectAll();
    selectOnRelease_ = false;
}

}  // namespace qismar::ui
