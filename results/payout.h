// Qismar: the amounts to pay, in the currency's smallest unit.
//
// The engine's amounts carry four decimals (83333.3333); a clerk pays in
// the smallest unit of the currency (two decimals by default). The class
// totals are rounded to that unit by the largest-remainder method, so that
// they and the undistributed remainder add up exactly to the divided estate
// rounded to the unit; a class total that does not divide evenly among its
// heads gives some of them one unit more. No Qt: the rules of the rounding
// are tested on their own.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/currency.h"

namespace qismar::results {

// The decimals a payout may be shown with, and the default.
inline constexpr int kFewestDecimals = 0;
inline constexpr int kMostDecimals = 3;
inline constexpr int kDefaultDecimals = 2;

// The smallest unit with `decimals` decimals (0 to 3), in the engine's raw
// ten-thousandths: 10000, 1000, 100 or 10. A value outside 0..3 counts as
// the default.
std::int64_t payoutUnit(int decimals) noexcept;

// An amount rounded to the nearest multiple of `unit`, halves away from zero.
Currency roundToUnit(Currency amount, std::int64_t unit) noexcept;

// One amount to share out: the engine's exact total of a class (or what the
// rows leave undistributed, with one head), never negative.
struct PayoutItem {
    Currency exact;
    std::int64_t heads = 1;
};

// What an item pays: its total in whole units, each head's base amount,
// and how many heads receive one unit more than the base.
struct Payout {
    Currency total;
    Currency perHead;
    std::int64_t headsWithOneUnitMore = 0;
};

// The items' totals rounded to the unit so that they add up exactly to
// `target` rounded to the unit (the divided estate). Each total is its
// exact amount rounded down or up to the unit, the units left over going to
// the largest remainders (the first item wins a tie); only where the exact
// items themselves stray from the target by more than their count of units
// does an item move further. Throws EngineError on a negative amount, an
// item of no head or a total beyond the money range.
std::vector<Payout> roundPayouts(std::span<const PayoutItem> items, Currency target, int decimals);

}  // namespace qismar::results
