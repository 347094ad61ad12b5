// Qismar: one division of an estate.
//
// Divide validates the case, marks every present relative "لا شيئ له", runs
// the share rules in passes at a base of 24, raises the base while the fixed
// shares exceed the estate (the 'awl) and lowers it while a surplus is left
// (the radd), and gives every amount its percentage of the estate.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "engine/currency.h"
#include "engine/estate_case.h"
#include "engine/result_rows.h"
#include "engine/wide_amount.h"

namespace qismar {

enum class Outcome : std::uint8_t {
    Divided,   // the rows hold the division
    NoEstate,  // "من فضلك ادخل قيمة التركة"
    NoHeirs,   // "من فضلك حدد الورثة"
    Consumed,  // the costs, debts and bequests leave nothing to divide
};

// The estate prepared for its division (see preparation.h): what is paid out
// of the gross estate, in the order of the law, and what the heirs divide.
struct PreparedEstate {
    Currency gross;     // the estate as entered
    Currency funeral;   // funeral and burial costs
    Currency debts;
    Currency bequests;  // the bequests as asked for
    bool heirsConsent = false;
    Currency afterDebts;          // gross - funeral - debts (0 when consumed)
    Currency third;               // a third of afterDebts, rounded once
    Currency bequestsCarriedOut;  // what of the bequests is carried out
    Currency net;                 // what the heirs divide
    // The costs and the debts reach the gross estate: nothing is divided.
    bool consumedByDebts = false;
    // funeral + debts - gross when they exceed it; the costs and the debts
    // may each be as large as the largest amount, so their excess may not fit one.
    WideAmount debtsExceedBy;
    // The bequests were cut to the third because the heirs did not consent.
    bool bequestsLimitedToThird = false;
};

// The warning texts of the two input failures.
inline constexpr std::string_view kEnterEstateMessage =
    "\u0645\u0646 \u0641\u0636\u0644\u0643 \u0627\u062F\u062E\u0644 \u0642\u064A\u0645\u0629 \u0627\u0644\u062A\u0631\u0643\u0629";
inline constexpr std::string_view kChooseHeirsMessage =
    "\u0645\u0646 \u0641\u0636\u0644\u0643 \u062D\u062F\u062F \u0627\u0644\u0648\u0631\u062B\u0629";

struct DivisionResult {
    Outcome outcome = Outcome::NoEstate;
    // The rows as the division left them (all empty for NoEstate).
    ResultRows rows{};
    // The percentage of the estate of each row that holds an amount; none
    // for an empty row or one that says "لا شيئ له".
    std::array<std::optional<Currency>, kHeirCount> percentages{};
    // The final ProblemBase (24 for NoEstate, where no pass ran).
    Currency problemBase;
    // What the rows leave of the entered estate, when that is more than the
    // rounding tolerance of the division: the entered estate less the total
    // of the rows (every amount times its head count, the spouses included),
    // and its percentage of the entered estate. A spouse alone leaves the
    // rest of the estate here: it belongs to the distant kindred, whom this
    // program does not divide among, and it is not returned to the spouse.
    std::optional<Currency> undistributed;
    std::optional<Currency> undistributedPercent;
    // The estate's preparation, when the case asked for one: the rows then
    // divide its net estate, and the percentages are of that net estate.
    std::optional<PreparedEstate> preparation;
};

// The largest estate for which every case divides: with it and counts of up
// to kMaxCount persons no share, row or percentage leaves the range of
// Currency, and every total on the way fits a WideAmount. The windows, the
// case files and qismar-cli take whole estates up to it; an estate above it
// (a fraction more, from a caller of the engine) divides where its amounts
// fit and is refused as EstateTooLarge where they do not.
inline constexpr Currency kLargestEstate = Currency::fromRaw(Currency::kMaxWhole * Currency::kScale);

// The most passes a division may run before it is declared unsettled. A
// division that settles needs a few dozen at most.
inline constexpr int kMaxPasses = 1000;

// Runs one division of `estateCase`, always from empty rows, so that no
// result depends on an earlier division. Throws EngineError when a count is
// negative or exceeds kMaxCount (or there is no wife), when the estate is
// less than 0.01 for each person of the case (or is so small that no relative
// receives anything), when an estate above kLargestEstate would give an
// amount beyond the range of Currency (EstateTooLarge), when the base would
// fall below 1, or when the division does not settle within kMaxPasses;
// nothing the caller holds is changed then.
DivisionResult Divide(const EstateCase& estateCase);

}  // namespace qismar
