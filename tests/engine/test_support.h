// Helpers shared by the engine's tests.
#pragma once

#include <string>

#include "division_internal.h"

namespace qismar::testing {

inline Currency money(const char* text) { return parseAmount(text); }
inline Currency heads(long n) { return Currency::fromWhole(n); }

// Text of a result row as the results window would hold it.
inline std::string rowText(const ResultRows& rows, Row row) { return rows[index(row)].text(); }

// One division's working state, prepared by hand, for running single rules:
// a case, empty rows, the base and EstateValue, and an empty ledger.
struct RuleBench {
    EstateCase c;
    ResultRows rows{};
    detail::Division::Percentages percentages{};
    detail::Division d{c, rows, percentages};

    explicit RuleBench(const char* estate = "24", long base = 24)
    {
        c.estate = money(estate);
        d.EstateValue = c.estate;
        d.ProblemBase = heads(base);
    }
    std::string row(Row r) const { return rowText(rows, r); }
    detail::ShareLedger& ledger() { return d.ledger; }
};

}  // namespace qismar::testing
