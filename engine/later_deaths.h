// Qismar: successive deaths (المناسخات) as a case states them: heads of the
// case who died after the deceased and before the division, each with the
// heirs of his own problem.
//
// Problem 1 is the case itself. Each later death names a head of a class of
// an earlier problem; his own heirs form the next problem, divided exactly
// as any case on what he received, and its table joins the table so far
// (the combined table, الجامعة: successive_deaths.h) until every problem is
// in one table of the persons alive at the division.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/division.h"
#include "engine/estate_case.h"
#include "engine/explanation.h"
#include "engine/heirs.h"
#include "engine/rational.h"
#include "engine/successive_deaths.h"

namespace qismar {

struct UncertainHeir;

// The most problems a case divides: the first death and seven later ones.
inline constexpr std::size_t kMaxProblems = 8;

// One head who died before the division.
struct LaterDeath {
    // The problem (1 = the case itself) whose class held the dead head.
    int problem = 1;
    // The case field of that problem's class that held him: "sons",
    // "wives" or "spouse", "mother", "fullSisters", "uterineBrothers" ...
    // His sex follows from it.
    std::string heir;
    // His own heirs, in the fields of a case. The deceased's sex and the
    // estate follow from `heir` and from what he received; the preparation
    // stays empty (only what he inherited is divided here).
    EstateCase ownCase;
    // The classes of his problem whose heads are persons of the problem
    // named by `problem`: (field of `ownCase`, field of that problem), in
    // the order given.
    std::vector<std::pair<std::string, std::string>> same;

    bool operator==(const LaterDeath&) const = default;
};

// One problem of the division: the case as it was divided (for a later
// problem, the dead head's heirs on what he received), its division and its
// explanation.
struct SuccessiveProblem {
    EstateCase estateCase;
    DivisionResult result;
    Explanation explanation;
    // For a later problem: the problem and the row that held the dead head.
    int ofProblem = 0;
    Heir deadRow = Heir::Sons;
    // The fraction of the first estate that this problem divides (1 for the
    // first; the dead head's fraction of the table so far for a later one).
    Rational estateFraction{1};
};

// A person of the combined table is a head of one row of a problem.
struct ProblemRow {
    int problem = 1;
    Heir row = Heir::Sons;
    bool operator==(const ProblemRow&) const = default;
};

// Persons who receive the same through the same rows of the problems.
struct CombinedPersons {
    std::vector<ProblemRow> of;     // in the order of the problems
    std::int64_t heads = 0;
    std::uint64_t shares = 0;       // each head's shares in the combined table
    Rational fraction;              // each head's fraction of the first estate, exact
    Currency amount;                // each head's amount: his amounts in each problem added
};

// Why a case with later deaths is not divided, naming the problem.
struct SuccessiveRefusal {
    int problem = 1;
    std::string english;
    std::string arabic;
};

struct SuccessiveDivision {
    std::optional<SuccessiveRefusal> refusal;
    // The problems divided, in order (those divided before a refusal).
    std::vector<SuccessiveProblem> problems;
    // One step per later problem: how it joined the table so far.
    std::vector<CombineStep> steps;
    std::uint64_t origin = 0;  // the combined origin, after any reduction
    // The product of the reductions of the steps; 1 where none reduced.
    std::uint64_t reducedBy = 1;
    std::vector<CombinedPersons> persons;
    // The Arabic sentences on each step of the combined table.
    std::vector<std::string> sentences;
};

// Divides a case and its later deaths. Problem 1 is divided as DivideEstate
// divides the case (its preparation included) and throws as it does; every
// other fault is a refusal: a later death that names no head alive in its
// problem, a `same` link between fields that are not present or not of one
// sex or with more heads than the earlier class has left alive, more than
// kMaxProblems problems, a problem that cannot be divided (no heirs, its
// estate too small for them, nothing received), a problem that leaves part
// of its estate undistributed, a table beyond 64 bits, and an uncertain
// heir beside later deaths (`uncertain` not null).
SuccessiveDivision DivideSuccessive(const EstateCase& first, const std::vector<LaterDeath>& later,
                                    const UncertainHeir* uncertain = nullptr);

}  // namespace qismar
