#pragma once

// The combined table (الجامعة) of successive deaths: the arithmetic that
// joins the table so far with the problem of an heir who died before the
// division. Each problem is divided on its own by the ordinary engine; this
// file only combines their shares.
//
// With s the dead person's shares in the table so far and c2 the later
// problem's correction, g = gcd(s, c2): every share of the table so far is
// multiplied by c2/g, every share of the later problem by s/g, and the
// combined origin is the earlier origin times c2/g. A person linked from
// the later problem to a person of the table so far receives both parts;
// the dead person receives nothing. The result is reduced by the common
// factor of all its shares where there is one.
//
// The case-level division (later_deaths.h) builds on this, with one entry
// per group of persons who receive the same, each entry's shares those of
// one head.

#include <cstdint>
#include <optional>
#include <vector>

namespace qismar {

enum class CombineRefusal {
  None,
  Overflow,          // a product beyond 64 bits: refused, never wrapped
  DeadHasNoShares,   // the dead person received nothing in the table so far
  BadLink,           // a link names a person outside the table so far, or the dead one
  LaterSharesDoNotAddUp,  // the later problem's shares do not sum to its correction
};

struct CombineStep {
  std::uint64_t deadShares = 0;        // s
  std::uint64_t laterCorrection = 0;   // c2
  std::uint64_t gcd = 0;               // g
  std::uint64_t earlierMultiplier = 0; // c2 / g
  std::uint64_t laterMultiplier = 0;   // s / g
  std::uint64_t originBeforeReduction = 0;
  std::uint64_t reducedBy = 1;         // 1 where the table does not reduce
  std::uint64_t origin = 0;            // after reduction
  // Shares of every person of the table so far (the dead one 0), followed
  // by the later problem's persons that are not linked to an earlier one.
  std::vector<std::uint64_t> shares;
  CombineRefusal refusal = CombineRefusal::None;
};

// earlierShares: one entry per person of the table so far, adding up to
// earlierOrigin. laterShares: one entry per person of the later problem,
// adding up to laterCorrection. link[i]: the index in earlierShares of the
// person that later person i is, or -1 for a new person.
CombineStep CombineTables(std::uint64_t earlierOrigin,
                          const std::vector<std::uint64_t>& earlierShares,
                          std::size_t deadIndex,
                          std::uint64_t laterCorrection,
                          const std::vector<std::uint64_t>& laterShares,
                          const std::vector<int>& link);

// The same where each entry of laterShares stands for laterHeads[i] persons
// who each hold that many shares: the later shares times their heads add
// up to laterCorrection, and the result holds each head's shares.
CombineStep CombineTables(std::uint64_t earlierOrigin,
                          const std::vector<std::uint64_t>& earlierShares,
                          std::size_t deadIndex,
                          std::uint64_t laterCorrection,
                          const std::vector<std::uint64_t>& laterShares,
                          const std::vector<std::uint64_t>& laterHeads,
                          const std::vector<int>& link);

}  // namespace qismar
