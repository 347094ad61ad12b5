#include "engine/result_rows.h"

namespace qismar {

std::string RowText::text() const
{
    switch (kind) {
    case Kind::Empty:
        return {};
    case Kind::NothingForHim:
        return std::string(kNothingForHim);
    case Kind::Amount:
        return formatAmount(amount);
    }
    return {};
}

RowText RowText::parse(std::string_view text)
{
    if (text.empty())
        return empty();
    if (text == kNothingForHim)
        return nothingForHim();
    return of(parseAmount(text));
}

Currency AmountOfRowText(std::string_view text)
{
    return RowText::parse(text).value();
}

bool CountIsNonZero(std::string_view text)
{
    return parseAmount(text).whole() != 0;
}

}  // namespace qismar
