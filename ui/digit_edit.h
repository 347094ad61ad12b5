// Qismar: an edit for a whole number typed as digits.
#pragma once

#include <QLineEdit>
#include <QString>

namespace qismar::ui {

class DigitValidator;

// An edit for a whole number: every way text comes in goes through one
// DigitValidator. Taking the focus selects the content, so that typing
// replaces it; Ctrl+A, copy, paste and undo keep their usual meaning. When
// `refill` is not empty, the edit is refilled with it as soon as its text
// becomes empty.
class DigitEdit : public QLineEdit {
    Q_OBJECT
public:
    DigitEdit(const QString& text, const QString& refill, QWidget* parent);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    DigitValidator* validator_;
    bool selectOnRelease_ = false;
};

}  // namespace qismar::ui
