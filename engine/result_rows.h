// Qismar: the result rows of a division, one per relative of the heir table.
//
// A row's text is the carrier of a result: empty (the relative is absent),
// "لا شيئ له" (present, nothing assigned), or an amount. The amount text
// converts exactly both ways, so a row is held here as its kind and value
// and turned into text only where it is shown.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/currency.h"
#include "engine/heirs.h"

namespace qismar {

// "لا شيئ له": present but excluded.
inline constexpr std::string_view kNothingForHim = "\u0644\u0627 \u0634\u064A\u0626 \u0644\u0647";

struct RowText {
    enum class Kind : std::uint8_t { Empty, NothingForHim, Amount };
    Kind kind = Kind::Empty;
    Currency amount;  // meaningful for Kind::Amount

    static constexpr RowText empty() noexcept { return {}; }
    static constexpr RowText nothingForHim() noexcept { return {Kind::NothingForHim, {}}; }
    static constexpr RowText of(Currency c) noexcept { return {Kind::Amount, c}; }

    bool isEmpty() const noexcept { return kind == Kind::Empty; }
    // AmountOfRowText: 0 for an empty text and for "لا شيئ له".
    Currency value() const noexcept { return kind == Kind::Amount ? amount : Currency{}; }

    std::string text() const;
    // Reads a row's text back: "", "لا شيئ له" or an amount text (throws
    // EngineError for anything else).
    static RowText parse(std::string_view text);

    friend bool operator==(const RowText&, const RowText&) = default;
};

using ResultRows = std::array<RowText, kHeirCount>;

// AmountOfRowText: the amount that a result row's text stands for.
Currency AmountOfRowText(std::string_view text);
// CountIsNonZero: the text parsed as a whole number is not 0 (throws
// EngineError for a text that is not a whole number).
bool CountIsNonZero(std::string_view text);

}  // namespace qismar
