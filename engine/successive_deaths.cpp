#include "engine/successive_deaths.h"

#include <numeric>

namespace qismar {
namespace {

bool MulInto(std::uint64_t a, std::uint64_t b, std::uint64_t& out) {
  return !__builtin_mul_overflow(a, b, &out);
}
bool AddInto(std::uint64_t a, std::uint64_t b, std::uint64_t& out) {
  return !__builtin_add_overflow(a, b, &out);
}

CombineStep Refused(CombineStep step, CombineRefusal why) {
  step.shares.clear();
  step.refusal = why;
  return step;
}

}  // namespace

CombineStep CombineTables(std::uint64_t earlierOrigin,
                          const std::vector<std::uint64_t>& earlierShares,
                          std::size_t deadIndex,
                          std::uint64_t laterCorrection,
                          const std::vector<std::uint64_t>& laterShares,
                          const std::vector<int>& link) {
  return CombineTables(earlierOrigin, earlierShares, deadIndex, laterCorrection, laterShares,
                       std::vector<std::uint64_t>(laterShares.size(), 1), link);
}

CombineStep CombineTables(std::uint64_t earlierOrigin,
                          const std::vector<std::uint64_t>& earlierShares,
                          std::size_t deadIndex,
                          std::uint64_t laterCorrection,
                          const std::vector<std::uint64_t>& laterShares,
                          const std::vector<std::uint64_t>& laterHeads,
                          const std::vector<int>& link) {
  CombineStep step;
  if (deadIndex >= earlierShares.size() || earlierShares[deadIndex] == 0)
    return Refused(step, CombineRefusal::DeadHasNoShares);
  if (link.size() != laterShares.size() || laterHeads.size() != laterShares.size())
    return Refused(step, CombineRefusal::BadLink);
  std::uint64_t laterSum = 0;
  for (std::size_t j = 0; j < laterShares.size(); ++j) {
    std::uint64_t part = 0;
    if (!MulInto(laterShares[j], laterHeads[j], part) || !AddInto(laterSum, part, laterSum))
      return Refused(step, CombineRefusal::Overflow);
  }
  if (laterCorrection == 0 || laterSum != laterCorrection)
    return Refused(step, CombineRefusal::LaterSharesDoNotAddUp);

  step.deadShares = earlierShares[deadIndex];
  step.laterCorrection = laterCorrection;
  step.gcd = std::gcd(step.deadShares, laterCorrection);
  step.earlierMultiplier = laterCorrection / step.gcd;
  step.laterMultiplier = step.deadShares / step.gcd;
  if (!MulInto(earlierOrigin, step.earlierMultiplier, step.originBeforeReduction))
    return Refused(step, CombineRefusal::Overflow);

  step.shares.assign(earlierShares.size(), 0);
  for (std::size_t i = 0; i < earlierShares.size(); ++i) {
    if (i == deadIndex) continue;
    if (!MulInto(earlierShares[i], step.earlierMultiplier, step.shares[i]))
      return Refused(step, CombineRefusal::Overflow);
  }
  for (std::size_t j = 0; j < laterShares.size(); ++j) {
    std::uint64_t part = 0;
    if (!MulInto(laterShares[j], step.laterMultiplier, part))
      return Refused(step, CombineRefusal::Overflow);
    if (link[j] < 0) {
      step.shares.push_back(part);
      continue;
    }
    const auto to = static_cast<std::size_t>(link[j]);
    if (to >= earlierShares.size() || to == deadIndex)
      return Refused(step, CombineRefusal::BadLink);
    if (!AddInto(step.shares[to], part, step.shares[to]))
      return Refused(step, CombineRefusal::Overflow);
  }

  std::uint64_t common = step.originBeforeReduction;
  for (std::uint64_t v : step.shares) common = std::gcd(common, v);
  step.reducedBy = common == 0 ? 1 : common;
  step.origin = step.originBeforeReduction / step.reducedBy;
  for (std::uint64_t& v : step.shares) v /= step.reducedBy;
  return step;
}

}  // namespace qismar
