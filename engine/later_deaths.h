// Qismar: successive deaths (المناسخات) as a case states them: heads of the
// case who died after the deceased and before the division, each with the
// heirs of his own problem.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "engine/estate_case.h"

namespace qismar {

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

}  // namespace qismar
