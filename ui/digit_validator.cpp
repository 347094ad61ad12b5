#include "ui/digit_validator.h"

#include "ui/ui_common.h"

namespace qismar::ui {

QValidator::State DigitValidator::validate(QString& input, int& pos) const
{
    QString digits;
    digits.reserve(input.size());
    for (QChar c : input) {
        const QChar digit = asciiDigit(c);
        if (digit.isNull())
            return Invalid;
        digits.append(digit);
    }
    // A digit typed in front of a lone "0" replaces it as well.
    if (previous_ == QLatin1String("0") && digits.size() > 1 && digits.endsWith(QLatin1Char('0'))
        && pos == digits.size() - 1)
        digits.chop(1);
    qsizetype zeros = 0;
    while (zeros + 1 < digits.size() && digits.at(zeros) == QLatin1Char('0'))
        ++zeros;
    digits.remove(0, zeros);
    pos = int(qBound<qsizetype>(0, pos - zeros, digits.size()));
    input = digits;
    return input.isEmpty() ? Intermediate : Acceptable;
}

void DigitValidator::fixup(QString& input) const
{
    QString digits;
    for (QChar c : input) {
        const QChar digit = asciiDigit(c);
        if (!digit.isNull())
            digits.append(digit);
    }
    input = digits;
}

}  // namespace qismar::ui
