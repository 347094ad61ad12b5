#include "ui/digit_edit.h"

#include "ui/digit_validator.h"

#include <QFocusEvent>
#include <QMouseEvent>

namespace qismar::ui {

DigitEdit::DigitEdit(const QString& text, const QString& refill, QWidget* parent)
    : QLineEdit(text, parent), validator_(new DigitValidator(this))
{
    setLayoutDirection(Qt::LeftToRight);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    validator_->setPrevious(text);
    setValidator(validator_);
    connect(this, &QLineEdit::textChanged, this, [this, refill](const QString& now) {
        if (now.isEmpty() && !refill.isEmpty()) {
            setText(refill);
            return;
        }
        validator_->setPrevious(now);
    });
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
