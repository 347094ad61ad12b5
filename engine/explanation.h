// Qismar: the explanation of a division, as a textbook of the science of
// shares would set it out.
//
// It is derived from the division itself: the rules that fired keep, beside
// every amount they store, its exact fraction of the estate and how it came
// about (a fixed share, a residue, a share beside the grandfather), and the
// explanation reads that record. Nothing here decides again who inherits
// what; only who excludes an heir who received nothing is read from the case.
//
// The numbers chain as the table of a problem does: the origin (أصل
// المسألة) of the fixed shares, raised by 'awl or returned by radd (beside a
// spouse through the spouse's problem and the radd problem, combined into
// one), each part's shares in that problem, the multiplier (جزء السهم) that
// gives every head a whole number of shares, the correction (تصحيح) that is
// the problem times the multiplier, and where every number of the corrected
// table has a common factor, the reduction (اختصار) by it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
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
    Excluded,            // excluded (محجوب) by present relatives who inherit
    NothingLeft,         // nothing left for him after the fixed shares
};

// The key of a status in qismar-cli's output: "fixed", "residue", ...
const char* statusKey(HeirStatus status) noexcept;

// The relation of two numbers as the science of shares names it, where one
// is compared with the other to combine two problems.
enum class Relation : std::uint8_t {
    Equal,    // تماثل: the same number
    Agree,    // توافق: a common factor above 1
    Coprime,  // تباين: no common factor (1 is coprime with every number)
};
// "تماثل", "توافق" or "تباين".
std::string_view relationName(Relation relation) noexcept;

// The 'umariyya's share as the explanation states it: a third of what the
// spouse leaves, not a fraction of the whole.
inline constexpr std::string_view kThirdOfTheRemainder = "ثلث الباقي";

struct HeirExplanation {
    Heir row = Heir::Husband;
    HeirStatus status = HeirStatus::NothingLeft;
    // The class's fixed share of the whole (1/2 ... 1/6, the grandmothers'
    // shared sixth, the shared third, the grandfather's sixth); none for a
    // residue or an exclusion. For the 'umariyya it is the third of the
    // remainder as a fraction of the whole (1/4 beside a wife, 1/6 beside
    // the husband).
    std::optional<Rational> share;
    Rational fraction;       // of the estate, for each head
    Rational classFraction;  // of the estate, for the whole class
    // The shares of this heir's part in the problem before correction (the
    // origin, or its 'awl, or the radd problem, or the combined problem of a
    // radd beside a spouse). A part is one class, or the classes that take
    // one share together: the residuaries who share the residue, the
    // grandmothers who share the sixth, the siblings who share the third.
    // Every row of a part carries the part's shares. None when they do not
    // fit in 64 bits.
    std::optional<std::int64_t> originShares;
    // The index in Explanation::heirs of the first row of this row's part.
    std::uint8_t part = 0;
    // Each head's number of shares in the corrected problem (none when the
    // correction does not fit in 64 bits).
    std::optional<std::int64_t> shares;
    // The present relatives who inherit and exclude this one.
    std::vector<Heir> excludedBy;
    std::string reason;  // one Arabic sentence (UTF-8)
};

// A radd beside a spouse, as the textbooks draw it: the spouse's problem,
// the radd problem of the others, and the problem that combines them.
struct RaddTable {
    std::int64_t spouseProblem = 0;  // مسألة الزوجية: 2, 4 or 8
    std::int64_t spouseShares = 0;   // the spouse's (or the wives') shares in it
    std::int64_t remainder = 0;      // what it leaves for the others
    // مسألة الرد: the others' shares from their own origin added (their
    // ratio), or the heads of the others when they are one class.
    std::int64_t raddProblem = 0;
    Relation relation = Relation::Coprime;  // of the remainder to the radd problem
    std::int64_t combined = 0;              // الجامعة
};

struct Explanation {
    // False when an exact fraction did not fit the 128-bit integers; the
    // amounts of the division stand, but this explanation is not given.
    bool exact = false;
    std::int64_t origin = 0;          // أصل المسألة
    std::optional<std::int64_t> awl;  // the raised origin ('awl)
    // The radd problem: the shares of those it is returned to (their heads
    // when they are one class). Beside a spouse, that of the others.
    std::optional<std::int64_t> radd;
    bool spouseKeepsShare = false;        // a return beside a spouse, who keeps the fixed share
    std::optional<RaddTable> raddTable;   // a return beside a spouse
    std::optional<std::int64_t> multiplier;  // جزء السهم (1 when every part divides among its heads)
    // تصحيح المسألة: the problem times the multiplier.
    std::optional<std::int64_t> correction;
    // The common factor of the corrected problem and every head's shares,
    // when there is one above 1 (the problem is then reduced to
    // correction / reducedBy).
    std::optional<std::int64_t> reducedBy;
    // قيمة السهم: the divided estate over the correction, rounded as an amount.
    std::optional<Currency> shareValue;
    std::optional<Rational> undistributed;  // what the rows leave of the estate
    // The Arabic sentences on the problem, in the order a textbook works it.
    std::vector<std::string> sentences;
    std::vector<HeirExplanation> heirs;  // one per row of the result, in its order
};

// The problem that the table's shares are counted in: the combined problem
// of a radd beside a spouse, else the 'awl, else the radd problem, else the
// origin.
std::int64_t TableProblem(const Explanation& explanation) noexcept;

// Arabic sentences on the problem of an explanation (its `sentences`): its
// origin and what is left for the residuaries, the 'awl or the radd (with
// the spouse's problem and the combined problem beside a spouse), each part
// whose shares do not divide among its heads, the multiplier and the
// correction, the reduction, the value of one share and the undistributed
// remainder.
std::vector<std::string> ProblemSentences(const Explanation& explanation);

// Divides the case exactly as Divide does and explains the division when it
// is Divided (otherwise `explanation` has no heirs and is not exact). An
// explanation passed again is refilled in place. Throws as Divide does; the
// explanation is then unspecified.
DivisionResult DivideExplained(const EstateCase& estateCase, Explanation& explanation);

// The present relatives who would exclude the relative of `row` in this
// program's rules (empty when nobody would); the explanation names of them
// only those who inherit.
std::vector<Heir> ExcludersOf(const EstateCase& estateCase, Heir row);
// The same, written into `out` (whose room is reused).
void ExcludersInto(const EstateCase& estateCase, Heir row, std::vector<Heir>& out);

// The Arabic name of an heir of a row, singular or plural ("الابن",
// "الأبناء"), as used in the explanation's sentences.
std::string HeirName(Heir row, bool plural);

}  // namespace qismar
