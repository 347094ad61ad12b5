// Qismar: how the results show amounts.
//
// The engine writes every amount as plain decimal text ("8101851778.7812").
// On screen and on paper the whole part is grouped in threes with commas
// ("8,101,851,778.7812"), the one grouping used everywhere; what is copied
// and what the accessibility interface reads stays the engine's text.
#pragma once

#include <QString>
#include <optional>

#include "engine/currency.h"
#include "engine/head_count.h"

namespace qismar::results {

// The grouped form of an amount text of the engine ("-1234.5" gives
// "-1,234.5"); a text that is not an amount is returned as it is.
QString groupedAmount(const QString& exact);

// A sentence with every number in it grouped as amounts are; the parts of a
// fraction ("1/2", "12345/67890") are left as they stand.
QString withGroupedNumbers(const QString& sentence);

// The engine's text of an amount.
QString amountText(Currency value);

// A class's total: the amount of each head times the number of heads; none
// when it leaves the money range or the count is negative.
std::optional<Currency> classTotal(Currency perHead, HeadCount heads);

}  // namespace qismar::results
