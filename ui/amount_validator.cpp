#include "ui/amount_validator.h"

#include <algorithm>

#include "engine/currency.h"
#include "ui/ui_common.h"

namespace qismar::ui {

namespace {

bool groupingMark(QChar c) { return c == QLatin1Char(',') || c == QChar(0x066C); }
bool decimalPoint(QChar c) { return c == QLatin1Char('.') || c == QChar(0x066B); }

// The whole part grouped in threes from the right.
QString grouped(const QString& digits)
{
    QString out;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out.append(QLatin1Char(','));
        out.append(digits.at(i));
    }
    return out;
}

QString largestWhole() { return QString::number(Currency::kMaxWhole); }

}  // namespace

QString AmountValidator::allowedText()
{
    return QStringLiteral("المبلغ أرقام، وله فاصل عشري واحد (. أو ٫) بعده أربعة أرقام على الأكثر، "
                          "ويجوز فصل الآلاف بالفاصلة؛ وأكبر مبلغ %1")
        .arg(grouped(largestWhole()));
}

QString AmountValidator::plainAmount(const QString& text)
{
    QString out;
    bool point = false;
    for (QChar c : text) {
        if (groupingMark(c))
            continue;
        if (decimalPoint(c)) {
            if (point)
                return QString();
            point = true;
            out.append(QLatin1Char('.'));
            continue;
        }
        const QChar digit = asciiDigit(c);
        if (digit.isNull())
            return QString();
        out.append(digit);
    }
    return out;
}

QValidator::State AmountValidator::validate(QString& input, int& pos) const
{
    // The caret follows the digits and the point before it.
    qsizetype marksBefore = 0;
    QString whole, fraction;
    bool point = false;
    const auto refuse = [this] {
        emit refused(allowedText());
        return Invalid;
    };
    for (qsizetype i = 0; i < input.size(); ++i) {
        const QChar c = input.at(i);
        if (groupingMark(c)) {
            if (point)
                return refuse();
            continue;
        }
        if (decimalPoint(c)) {
            if (point)
                return refuse();
            point = true;
        } else {
            const QChar digit = asciiDigit(c);
            if (digit.isNull())
                return refuse();
            (point ? fraction : whole).append(digit);
        }
        if (i < pos)
            ++marksBefore;
    }
    if (fraction.size() > 4)
        return refuse();
    // A digit typed in front of a lone "0" replaces it as well.
    if (previous_ == QLatin1String("0") && !point && whole.size() > 1 && whole.endsWith(QLatin1Char('0'))
        && marksBefore == whole.size() - 1)
        whole.chop(1);
    qsizetype zeros = 0;
    while (zeros + 1 < whole.size() && whole.at(zeros) == QLatin1Char('0'))
        ++zeros;
    whole.remove(0, zeros);
    marksBefore -= std::min(zeros, marksBefore);
    const QString largest = largestWhole();
    if (whole.size() > largest.size() || (whole.size() == largest.size() && whole > largest))
        return refuse();
    if (whole.isEmpty() && point) {
        whole = QStringLiteral("0");
        ++marksBefore;
    }
    QString shown = grouped(whole);
    if (point)
        shown += QLatin1Char('.') + fraction;
    qsizetype caret = 0;
    for (qsizetype seen = 0; caret < shown.size() && seen < marksBefore; ++caret)
        if (shown.at(caret) != QLatin1Char(','))
            ++seen;
    input = shown;
    pos = int(caret);
    if (input.isEmpty())
        return Intermediate;
    return input.endsWith(QLatin1Char('.')) ? Intermediate : Acceptable;
}

void AmountValidator::fixup(QString& input) const
{
    const QString plain = plainAmount(input);
    if (plain.endsWith(QLatin1Char('.')))
        input = plain.chopped(1);
}

}  // namespace qismar::ui
