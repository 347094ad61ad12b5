#include "engine/wide_amount.h"

#include <cstdint>

namespace qismar {

std::string formatAmount(WideAmount value)
{
    if (value.fitsAmount())
        return formatAmount(value.amount());
    // Beyond one amount: the magnitude, below 2^64, fits 64 unsigned bits.
    const long double magnitude = value.isNegative() ? -value.raw() : value.raw();
    const auto raw = static_cast<std::uint64_t>(magnitude);
    const auto scale = static_cast<std::uint64_t>(Currency::kScale);
    std::string text = value.isNegative() ? "-" : "";
    text += std::to_string(raw / scale);
    if (unsigned frac = static_cast<unsigned>(raw % scale); frac != 0) {
        char digits[5] = {static_cast<char>('0' + frac / 1000), static_cast<char>('0' + frac / 100 % 10),
                          static_cast<char>('0' + frac / 10 % 10), static_cast<char>('0' + frac % 10), '\0'};
        std::size_t last = 3;
        while (digits[last] == '0')
            digits[last--] = '\0';
        text += '.';
        text += digits;
    }
    return text;
}

}  // namespace qismar
