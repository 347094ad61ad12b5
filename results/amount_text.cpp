#include "results/amount_text.h"

#include <string>

namespace qismar::results {

namespace {

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Commas between the groups of three of a run of digits.
QString groupDigits(QStringView digits)
{
    QString out;
    out.reserve(digits.size() + digits.size() / 3);
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(',');
        out += digits[i];
    }
    return out;
}

}  // namespace

QString groupedAmount(const QString& exact)
{
    qsizetype i = 0;
    const qsizetype n = exact.size();
    if (i < n && exact[i] == QLatin1Char('-'))
        ++i;
    const qsizetype wholeStart = i;
    while (i < n && isDigit(exact[i]))
        ++i;
    const qsizetype wholeEnd = i;
    if (wholeEnd == wholeStart)
        return exact;
    if (i < n) {
        if (exact[i] != QLatin1Char('.') || i + 1 == n)
            return exact;
        for (qsizetype k = i + 1; k < n; ++k)
            if (!isDigit(exact[k]))
                return exact;
    }
    return exact.left(wholeStart) + groupDigits(QStringView(exact).mid(wholeStart, wholeEnd - wholeStart))
           + exact.mid(wholeEnd);
}

QString withGroupedNumbers(const QString& sentence)
{
    QString out;
    out.reserve(sentence.size() + 8);
    const qsizetype n = sentence.size();
    qsizetype i = 0;
    while (i < n) {
        if (!isDigit(sentence[i])) {
            out += sentence[i++];
            continue;
        }
        const qsizetype start = i;
        while (i < n && isDigit(sentence[i]))
            ++i;
        const qsizetype wholeEnd = i;
        // A decimal part belongs to the number.
        if (i + 1 < n && sentence[i] == QLatin1Char('.') && isDigit(sentence[i + 1])) {
            ++i;
            while (i < n && isDigit(sentence[i]))
                ++i;
        }
        const bool inFraction = (start > 0 && sentence[start - 1] == QLatin1Char('/'))
                                || (i < n && sentence[i] == QLatin1Char('/'));
        if (inFraction)
            out += QStringView(sentence).mid(start, i - start);
        else
        {
            out += groupDigits(QStringView(sentence).mid(start, wholeEnd - start));
            out += QStringView(sentence).mid(wholeEnd, i - wholeEnd);
        }
    }
    return out;
}

QString amountText(Currency value) { return QString::fromStdString(formatAmount(value)); }

std::optional<Currency> classTotal(Currency perHead, HeadCount heads)
{
    if (heads.persons() < 0)
        return std::nullopt;
    const __int128 total = __int128(perHead.raw()) * heads.persons();
    if (total > Currency::kMaxRaw || total < Currency::kMinRaw)
        return std::nullopt;
    return Currency::fromRaw(std::int64_t(total));
}

}  // namespace qismar::results
