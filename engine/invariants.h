// Qismar: what must hold of every division, whatever the case.
//
// The fuzz target and the randomized tests check each division they run
// against these properties, so that a fault shows as a broken property and
// not only as a crash.
#pragma once

#include <string>

#include "engine/division.h"
#include "engine/explanation.h"

namespace qismar {

// Checks a division that started from empty rows and ended in Divided:
// - a row is not empty exactly when its relative is present, and it has a
//   percentage exactly when it holds an amount;
// - no amount is negative;
// - the amounts times their head counts, plus the undistributed amount,
//   come to the entered estate within 0.005 + 0.0001 x H, H the heads that
//   hold a non-zero amount;
// - where males and females of one class and degree share 2:1, each male
//   holds at least what each female holds.
// Returns an empty text when every property holds, otherwise what failed.
std::string CheckDivision(const EstateCase& estateCase, const DivisionResult& result);

// Checks the explanation of a division that ended in Divided:
// - it is exact, with one entry per row of the result, in its order;
// - each class fraction is the heads' fractions, and the fractions and the
//   undistributed fraction add up to exactly 1, with an undistributed
//   fraction exactly when the amounts leave something undistributed;
// - each amount is its fraction of the estate within 0.0001 for each head
//   holding an amount;
// - an excluded relative names the present relatives who exclude him, and
//   nobody who receives anything has an excluder; the status "excluded" or
//   "nothing left" goes with a fraction of 0 and with nothing else;
// - every reason is an Arabic sentence that needs no escaping in JSON;
// - the correction is the least common denominator of the fractions
//   (given whenever it fits in 64 bits), and each head's shares are its
//   fraction of it.
// Returns an empty text when every property holds, otherwise what failed.
std::string CheckExplanation(const EstateCase& estateCase, const DivisionResult& result,
                             const Explanation& explanation);

}  // namespace qismar
