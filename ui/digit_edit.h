// Qismar: an edit for a whole number typed as digits.
#pragma once

#include <QLineEdit>
#include <QString>

namespace qismar::ui {

class AmountValidator;
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

    // An edit for an amount of money instead (AmountValidator): digits in
    // groups, one decimal point. A change it refuses shows why beside the
    // field, in a tip that hint() also gives.
    enum class Amount { Money };
    DigitEdit(const QString& text, const QString& refill, QWidget* parent, Amount);

    // The last hint shown beside the field (empty until one is).
    const QString& hint() const noexcept { return hint_; }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void followChanges(const QString& refill);
    void showHint(const QString& hint);

    DigitValidator* validator_ = nullptr;
    AmountValidator* amounts_ = nullptr;
    QString hint_;
    bool selectOnRelease_ = false;
};

}  // namespace qismar::ui
