// Qismar: what an amount field accepts, however the text comes in.
#pragma once

#include <QString>
#include <QValidator>

namespace qismar::ui {

// Accepts an amount of money as a person types it: digits (Western,
// Arabic-Indic or Persian), the grouping marks "," and "٬" anywhere among
// the digits of the whole part, and one decimal point ("." or "٫") followed
// by at most four digits, the precision of amounts. The text is rewritten
// as it is typed: Western digits grouped in threes with ",", the point as
// ".", no leading zeros (a digit typed into "0" replaces it), the caret kept
// after the same digit. Anything else, and a whole part beyond the largest
// amount, is refused whole, the field keeps what it held, and refused()
// says in Arabic what is allowed.
class AmountValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

    // The text the field held before the change being validated.
    void setPrevious(const QString& previous) { previous_ = previous; }

    // The amount of a text this validator wrote (or a plain one): digits
    // and at most one ".", without grouping marks; empty when it is none.
    static QString plainAmount(const QString& text);

    // What an amount field allows, in Arabic.
    static QString allowedText();

signals:
    // A change was refused; `hint` says why and what is allowed.
    void refused(const QString& hint) const;

private:
    QString previous_;
};

}  // namespace qismar::ui
