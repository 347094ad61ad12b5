// Qismar: the estate before its division.
//
// The heirs do not divide the gross estate: the funeral and burial costs are
// paid first, then the deceased's debts, then the bequests, and what remains
// is divided. A bequest is carried out up to a third of what remains after
// the debts, and beyond the third only when the heirs consent; never beyond
// what remains.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/currency.h"
#include "engine/division.h"
#include "engine/estate_case.h"
#include "engine/explanation.h"

namespace qismar {

// Whether a case asks for the estate to be prepared (any cost, debt or
// bequest entered, or the heirs' consent given).
bool HasPreparation(const EstateCase& estateCase) noexcept;

// Prepares the gross estate of a case. Throws InvalidCount for a negative
// amount; no total of amounts leaves its range.
PreparedEstate PrepareEstate(const EstateCase& estateCase);

// Divides a case as the law orders it: the preparation first, when the case
// asks for one, then the division of the net estate exactly as Divide
// divides a typed estate (a case without costs, debts or bequests divides
// exactly as Divide). A net estate of nothing gives Outcome::Consumed and no
// division. With `explanation` the division is explained too. Throws as
// Divide does.
DivisionResult DivideEstate(const EstateCase& estateCase, Explanation* explanation = nullptr);

// The Arabic message for an estate that leaves nothing to divide: consumed
// by the costs and the debts (and by how much they exceed it), or by the
// bequests the heirs consented to.
std::string ConsumedMessage(const PreparedEstate& prepared);

// Arabic sentences on the preparation: the gross estate, each deduction,
// what of the bequests was carried out and why, and the net estate.
std::vector<std::string> PreparationSentences(const PreparedEstate& prepared);

}  // namespace qismar
