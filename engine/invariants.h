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
// - no amount is negative, and each percentage (the undistributed one
//   too) is its amount's share of the entered estate, to 0.0001;
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
// - an excluded relative names present relatives who would exclude him and
//   who inherit themselves (never one who is excluded or receives nothing),
//   nobody who receives anything has an excluder, and a relative left with
//   nothing has no excluder who inherits; the status "excluded" or "nothing
//   left" goes with a fraction of 0 and with nothing else;
// - the grandfather's sixth reached by the floor of a problem raised by
//   'awl is never stated as a residue;
// - every reason and every sentence on the problem is an Arabic sentence
//   that needs no escaping in JSON;
// - the table chains: the 'awl raises the origin; a radd table combines the
//   spouse's problem and the radd problem by the relation of the remainder
//   to it; the parts' shares in the problem (the origin, its 'awl, the radd
//   problem or the combined problem) and the undistributed shares add up to
//   the problem; the multiplier is the least that gives every head a whole
//   number of shares; the correction is the problem times the multiplier
//   (given whenever it fits in 64 bits); each part's shares times the
//   multiplier are its heads times each head's shares; the correction
//   divided by the reduction is the least common denominator of the
//   fractions; each head's shares are its fraction of the correction; and
//   the value of one share is the estate over the correction.
// Returns an empty text when every property holds, otherwise what failed.
std::string CheckExplanation(const EstateCase& estateCase, const DivisionResult& result,
                             const Explanation& explanation);

}  // namespace qismar
