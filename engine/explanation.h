// Qismar: the explanation of a division, as a textbook of the science of
// shares would set it out.
//
// It is derived from the division itself: the rules that fired keep, beside
// every amount they store, its exact fraction of the estate and how it came
// about (a fixed share, a residue, a share beside the grandfather), and the
// explanation reads that record. Nothing here decides again who inherits
// what; only who excludes an heir who received nothing is read from the case.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/division.h"
#include "engine/rational.h"

namespace qismar {

// How a relative who is present inherits.
enum class HeirStatus : std::uint8_t {
    Fixed,               // a fixed share (فرض)
    Residue,             // a residue by himself (تعصيب بالنفس)
    ResidueWith,         // a residue with a brother (تعصيب بالغير)
    ResidueBeside,       // a residue beside female descendants (تعصيب مع الغير)
    FixedAndResidue,     // the father or the grandfather: a sixth and the residue
    Umariyya,            // the mother's third of what the spouse leaves
    SharedThird,         // the third that uterine and full siblings share
    GrandfatherSharing,  // the grandfather sharing with the siblings as a brother
    Excluded,            // excluded (محجوب) by present relatives
    NothingLeft,         // nothing left for him after the fixed shares
};

// The key of a status in qismar-cli's output: "fixed", "residue", ...
const char* statusKey(HeirStatus status) noexcept;

struct HeirExplanation {
    Heir row = Heir::Husband;
    HeirStatus status = HeirStatus::NothingLeft;
    // The class's fixed share of the whole (1/2 ... 1/6, the grandmothers'
    // shared sixth, the shared third); none for a residue or an exclusion.
    std::optional<Rational> share;
    Rational fraction;       // of the estate, for each head
    Rational classFraction;  // of the estate, for the whole class
    // Each head's number of shares in the corrected problem (none when the
    // correction does not fit in 64 bits).
    std::optional<std::int64_t> shares;
    std::vector<Heir> excludedBy;  // the present relatives who exclude this one
    std::string reason;           // one short Arabic sentence (UTF-8)
};

struct Explanation {
    // False when an exact fraction did not fit the 128-bit integers; the
    // amounts of the division stand, but this explanation is not given.
    bool exact = false;
    std::int64_t origin = 0;             // أصل المسألة
    std::optional<std::int64_t> awl;     // the raised origin ('awl)
    std::optional<std::int64_t> radd;    // the origin of the return (radd)
    bool spouseKeepsShare = false;       // a return beside a spouse, who keeps the fixed share
    std::optional<std::int64_t> correction;  // تصحيح المسألة
    std::optional<Rational> undistributed;   // what the rows leave of the estate
    std::vector<HeirExplanation> heirs;      // one per row of the result, in its order
};

// Arabic sentences on the problem of an explanation: its origin, the raise or
// the return, the correction and the undistributed remainder.
std::vector<std::string> ProblemSentences(const Explanation& explanation);

// Divides the case exactly as Divide does and explains the division when it
// is Divided (otherwise `explanation` has no heirs and is not exact). An
// explanation passed again is refilled in place. Throws as Divide does; the
// explanation is then unspecified.
DivisionResult DivideExplained(const EstateCase& estateCase, Explanation& explanation);

// The present relatives who exclude the relative of `row` in this program's
// rules (empty when nobody does).
std::vector<Heir> ExcludersOf(const EstateCase& estateCase, Heir row);
// The same, written into `out` (whose room is reused).
void ExcludersInto(const EstateCase& estateCase, Heir row, std::vector<Heir>& out);

// The Arabic name of an heir of a row, singular or plural ("الابن",
// "الأبناء"), as used in the explanation's sentences.
std::string HeirName(Heir row, bool plural);

}  // namespace qismar
