// Qismar: an heir not yet known (the unborn child, the missing heir, the heir
// of undetermined sex).
//
// The case is divided once per outcome, each outcome an ordinary EstateCase,
// so every rule applies unchanged; what is paid now, the reserve and each
// outcome's top-ups are derived from those divisions. Divide itself is not
// touched: a case without an uncertain heir never comes here.
#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <string>
#include <vector>

#include "engine/division.h"
#include "engine/estate_case.h"
#include "engine/explanation.h"
#include "engine/heirs.h"
#include "engine/rational.h"

namespace qismar {

enum class UncertainKind : std::uint8_t { Unborn, Missing, UndeterminedSex };

// The class of relatives a child or an heir of undetermined sex would join.
enum class KinLine : std::uint8_t {
    Child, SonsChild, SonsSonsChild, FullSibling, PaternalSibling, UterineSibling,
};

// The classes an unborn child can join, as a case object names them
// ("unborn": "child") and as the windows do.
struct KinLineName {
    std::string_view json;
    KinLine line;
    std::string_view arabic;
};
inline constexpr std::array<KinLineName, 5> kUnbornLines{{
    {"child", KinLine::Child, "ولد للمتوفى"},
    {"sonsChild", KinLine::SonsChild, "ولد لابنه"},
    {"fullSibling", KinLine::FullSibling, "أخ أو أخت شقيقة"},
    {"paternalSibling", KinLine::PaternalSibling, "أخ أو أخت لأب"},
    {"uterineSibling", KinLine::UterineSibling, "أخ أو أخت لأم"},
}};
// The classes an heir of undetermined sex can be counted with
// ("undeterminedSex": "children").
inline constexpr std::array<KinLineName, 5> kUndeterminedLines{{
    {"children", KinLine::Child, "الأولاد"},
    {"sonsChildren", KinLine::SonsChild, "أولاد الابن"},
    {"sonsSonsChildren", KinLine::SonsSonsChild, "أولاد ابن الابن"},
    {"fullSiblings", KinLine::FullSibling, "الإخوة الأشقاء"},
    {"paternalSiblings", KinLine::PaternalSibling, "الإخوة لأب"},
}};

// One uncertain heir. For the unborn and the undetermined sex `line` names
// the class he joins (the head is in none of its counts); for the missing
// heir `missing` names the relative of whom he is one head (counted in the
// case as entered).
struct UncertainHeir {
    UncertainKind kind = UncertainKind::Unborn;
    KinLine line = KinLine::Child;
    Heir missing = Heir::Sons;
    bool operator==(const UncertainHeir&) const = default;
};

// Why an uncertain heir cannot be in the case, in Arabic and in English.
struct UncertainRefusal {
    std::string arabic;
    std::string english;
};

// The refusal of an impossible relation, or none.
std::optional<UncertainRefusal> RefuseUncertain(const EstateCase& c, const UncertainHeir& h);

// One outcome of the uncertain heir: its name ("stillborn", "boy", "girl",
// "alive", "dead", "male", "female") and the ordinary case it divides.
struct UncertainOutcome {
    const char* name = "";
    EstateCase estateCase;
    DivisionResult result;
};

// The outcome cases, before division (estate as in `c`).
std::vector<UncertainOutcome> UncertainOutcomeCases(const EstateCase& c, const UncertainHeir& h);

// The combined division. `now` holds, per row of the heirs known now, the
// amount each head is paid now (the least over the outcomes; "لا شيئ له"
// where any outcome gives the row nothing); `reserve` what is held back
// (none for the undetermined sex); each outcome's division of the net
// estate, and per row the top-up each head receives when that outcome
// happens (its amount there less what was paid now; none for the undetermined
// sex, whose division is final).
struct UncertainDivision {
    Outcome outcome = Outcome::NoEstate;
    UncertainKind kind = UncertainKind::Unborn;
    ResultRows now{};
    // The percentage of the net estate of each amount paid now, and of the
    // reserve, rounded as a division rounds its percentages.
    std::array<std::optional<Currency>, kHeirCount> nowPercentages{};
    std::optional<Currency> reserve;
    std::optional<Currency> reservePercent;
    std::vector<UncertainOutcome> outcomes;
    std::vector<std::array<std::optional<Currency>, kHeirCount>> topUps;
    // For the undetermined sex: both outcomes give the heir the same.
    bool sameEitherWay = false;
    std::optional<PreparedEstate> preparation;
    Currency net;
};

// Throws EngineError as Divide does; throws std::invalid_argument with the
// English text of RefuseUncertain for an impossible relation.
UncertainDivision DivideUncertain(const EstateCase& c, const UncertainHeir& h);

// The exact fractions of the estate, from the explanation of each outcome:
// per row what each head is paid now, and the reserve; the rows' heads
// times their fractions and the reserve add up to exactly 1. `exact` is
// false where a fraction did not fit the 128-bit integers.
struct UncertainFractions {
    bool exact = false;
    std::array<std::optional<Rational>, kHeirCount> now{};
    Rational reserve{0};
    std::vector<Explanation> explanations;  // one per outcome
};

// DivideUncertain, with every outcome explained.
UncertainDivision DivideUncertainExplained(const EstateCase& c, const UncertainHeir& h, UncertainFractions& fractions);

}  // namespace qismar
