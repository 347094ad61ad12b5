// Helpers shared by the engine's tests.
#pragma once

#include <cstdint>
#include <string>

#include "engine/internal/division_state.h"

namespace qismar::testing {

// A small, fast generator of random cases: the same seed, the same cases.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull | 1) {}
    std::uint64_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    std::int64_t upTo(std::int64_t n) { return static_cast<std::int64_t>(next() % static_cast<std::uint64_t>(n + 1)); }
    bool chance(int percent) { return static_cast<int>(next() % 100) < percent; }

private:
    std::uint64_t state_;
};

inline Currency money(const char* text);
inline HeadCount heads(long n);

// A random case: each relative's box ticked three times in ten, and each
// count drawn by `count` (0 for an absent class).
template <class Count>
EstateCase randomCase(Random& g, Currency estate, Count count)
{
    EstateCase c;
    c.deceased = g.chance(50) ? Deceased::Man : Deceased::Woman;
    c.estate = estate;
    for (bool* flag : {&c.father, &c.mother, &c.spouse, &c.grandfather, &c.mothersMother, &c.fathersMother,
                       &c.mothersMothersMother, &c.fathersMothersMother, &c.fathersFathersMother})
        *flag = g.chance(30);
    c.wives = HeadCount(1 + g.upTo(3));
    for (HeadCount* k : {&c.sons, &c.daughters, &c.sonsSons, &c.sonsDaughters, &c.sonsSonsSons, &c.sonsSonsDaughters,
                        &c.fullSisters, &c.fullBrothers, &c.paternalBrothers, &c.paternalSisters, &c.uterineSisters,
                        &c.uterineBrothers, &c.fullBrothersSons, &c.paternalBrothersSons, &c.fullUncles,
                        &c.paternalUncles, &c.fullUnclesSons, &c.paternalUnclesSons})
        *k = HeadCount(count());
    c.deriveEntryWindowState();
    return c;
}

inline Currency money(const char* text) { return parseAmount(text); }
inline HeadCount heads(long n) { return HeadCount(n); }
// A whole number of money units (a base, a count of residue units).
inline Currency units(long n) { return Currency::fromWhole(n); }

// Text of a result row as the results window would hold it.
inline std::string rowText(const ResultRows& rows, Heir row) { return rows[index(row)].text(); }

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
        d.ProblemBase = Currency::fromWhole(base);
    }
    std::string row(Heir r) const { return rowText(rows, r); }
    detail::ShareLedger& ledger() { return d.ledger; }
};

}  // namespace qismar::testing
