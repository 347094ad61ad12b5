// Qismar: the report of a division with heirs who died before it: each
// problem's table, then the combined table (الجامعة) as the textbooks draw
// it, in the one report model (division_report.h).
#pragma once

#include <QDate>
#include <vector>

#include "casefile/case_details.h"
#include "engine/later_deaths.h"
#include "results/division_report.h"

namespace qismar::results {

// The report of a case divided with DivideSuccessive (no refusal): the case
// and its first problem as buildDivisionReport makes them, then for each
// later problem a section with its table, then the combined table: a column
// per problem with each person's shares there and its multiplier, the
// combined origin, each person's shares and amount. "بيان المسألة" gains the
// sentences of each step of the combination.
DivisionReport buildSuccessiveReport(const std::vector<LaterDeath>& later, const SuccessiveDivision& division,
                                     QDate date, const CaseDetails& details = {}, int decimals = kDefaultDecimals);

// The multiplier of each problem's shares in the combined table after every
// reduction (a fraction where a reduction divided it): problem p's shares
// per head times multipliers[p - 1], added over the problems a person
// inherits through, give his combined shares. Times the product of the
// reductions, each is a whole number: the multiplier the textbooks write.
std::vector<Rational> problemMultipliers(const SuccessiveDivision& division);

// "المسألة الثانية" ... for problems 1 to 8.
QString problemName(int problem);

}  // namespace qismar::results
