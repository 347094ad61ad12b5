// Qismar: what a number field accepts, however the text comes in.
#pragma once

#include <QString>
#include <QValidator>

namespace qismar::ui {

// Accepts a whole number written in digits. Typed keys, pasted and dropped
// text and the text of input methods all pass through it: the Arabic-Indic
// digits of an Arabic keyboard become the same ASCII digits, leading zeros
// go (a digit typed into "0" replaces it), and a text with anything but
// digits is refused whole, leaving the field as it was.
class DigitValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

    // The text the field held before the change being validated.
    void setPrevious(const QString& previous) { previous_ = previous; }

private:
    QString previous_;
};

}  // namespace qismar::ui
