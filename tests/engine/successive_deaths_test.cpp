#include "engine/successive_deaths.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <random>
#include <vector>

namespace qismar {
namespace {

using Shares = std::vector<std::uint64_t>;

struct Textbook {
  const char* name;
  std::uint64_t earlierOrigin;
  Shares earlier;
  std::size_t dead;
  std::uint64_t laterCorrection;
  Shares later;
  std::vector<int> link;
  std::uint64_t gcd, earlierMultiplier, laterMultiplier, origin, reducedBy;
  Shares combined;
};

// Worked by hand from the rule of the combined table.
const Textbook kTextbook[] = {
    // Problem 1: husband 1/4, son and daughter the rest by two to one:
    // origin 4 = husband 1, son 2, daughter 1. The son dies leaving two
    // sons: c2 = 2, s = 2, g = 2, multipliers 1 and 1; the combined origin
    // is problem 1's correction, 4: husband 1, daughter 1, each grandson 1.
    {"divides evenly", 4, {1, 2, 1}, 1, 2, {1, 1}, {-1, -1},
     2, 1, 1, 4, 1, {1, 0, 1, 1, 1}},
    // Problem 1: mother 1/6, father 1/6, two sons the rest: origin 6 =
    // 1, 1, 2, 2. A son dies leaving a wife 1/8 and a son the rest: c2 = 8,
    // s = 2, g = 2; problem 1 x4, problem 2 x1; origin 24: mother 4,
    // father 4, dead 0, other son 8, wife 1, his son 7 (24).
    {"shares a factor", 6, {1, 1, 2, 2}, 2, 8, {1, 7}, {-1, -1},
     2, 4, 1, 24, 1, {4, 4, 0, 8, 1, 7}},
    // Problem 1 as the first; the son dies leaving a son and a daughter:
    // c2 = 3, s = 2, g = 1; problem 1 x3, problem 2 x2; origin 12:
    // husband 3, dead 0, daughter 3, grandson 4, granddaughter 2 (12).
    {"shares none", 4, {1, 2, 1}, 1, 3, {2, 1}, {-1, -1},
     1, 3, 2, 12, 1, {3, 0, 3, 4, 2}},
    // Problem 1 as the first; the son dies leaving his father (problem 1's
    // husband), his full sister (excluded by his son), a son and a daughter:
    // father 1/6, the rest 5 over three parts: correction 18 = father 3,
    // son 10, daughter 5. s = 2, g = 2; problem 1 x9, problem 2 x1; origin
    // 36: husband 9 + 3 = 12, dead 0, daughter 9, grandson 10, granddaughter 5.
    {"linked person in both", 4, {1, 2, 1}, 1, 18, {3, 10, 5}, {0, -1, -1},
     2, 9, 1, 36, 1, {12, 0, 9, 10, 5}},
    // Third death on the table above: the husband dies leaving his daughter
    // 1/2 and his son's son and son's daughter the rest by two to one:
    // correction 6 = 3, 2, 1. s = 12, c2 = 6, g = 6; table so far x1,
    // problem 3 x2; origin 36: daughter 9 + 6 = 15, grandson 10 + 4 = 14,
    // granddaughter 5 + 2 = 7 (36).
    {"third death", 36, {12, 0, 9, 10, 5}, 0, 6, {3, 2, 1}, {2, 3, 4},
     6, 1, 2, 36, 1, {0, 0, 15, 14, 7}},
    // Problem 1: two sons, origin 2 = 1, 1. One dies leaving his brother
    // alone: c2 = 1, s = 1, g = 1; origin 2: brother 1 + 1 = 2, which with
    // the origin 2 reduces by 2 to origin 1, the brother 1.
    {"combined table reduces", 2, {1, 1}, 0, 1, {1}, {1},
     1, 1, 1, 1, 2, {0, 1}},
};

TEST(CombineTables, TextbookProblems) {
  for (const Textbook& t : kTextbook) {
    SCOPED_TRACE(t.name);
    const CombineStep step = CombineTables(t.earlierOrigin, t.earlier, t.dead,
                                           t.laterCorrection, t.later, t.link);
    ASSERT_EQ(step.refusal, CombineRefusal::None);
    EXPECT_EQ(step.gcd, t.gcd);
    EXPECT_EQ(step.earlierMultiplier, t.earlierMultiplier);
    EXPECT_EQ(step.laterMultiplier, t.laterMultiplier);
    EXPECT_EQ(step.origin, t.origin);
    EXPECT_EQ(step.reducedBy, t.reducedBy);
    EXPECT_EQ(step.shares, t.combined);
  }
}

TEST(CombineTables, Refusals) {
  // The dead person held nothing; a link to the dead one or outside the
  // table; a later table whose shares miss its correction; a product that
  // does not fit 64 bits.
  EXPECT_EQ(CombineTables(4, {1, 0, 3}, 1, 2, {1, 1}, {-1, -1}).refusal,
            CombineRefusal::DeadHasNoShares);
  EXPECT_EQ(CombineTables(4, {1, 2, 1}, 1, 2, {1, 1}, {1, -1}).refusal,
            CombineRefusal::BadLink);
  EXPECT_EQ(CombineTables(4, {1, 2, 1}, 1, 2, {1, 1}, {7, -1}).refusal,
            CombineRefusal::BadLink);
  EXPECT_EQ(CombineTables(4, {1, 2, 1}, 1, 3, {1, 1}, {-1, -1}).refusal,
            CombineRefusal::LaterSharesDoNotAddUp);
  const std::uint64_t big = std::uint64_t{1} << 62;
  EXPECT_EQ(CombineTables(big, {big - 1, 1}, 1, 7, {7}, {-1}).refusal,
            CombineRefusal::Overflow);
}

// Every combined share, as a fraction of the combined origin, is the
// person's fraction of the table so far plus the dead person's fraction
// times his fraction of the later problem; the shares add up to the origin.
TEST(CombineTables, RandomTablesKeepEveryFraction) {
  std::mt19937_64 rng(21);
  for (int round = 0; round < 2000; ++round) {
    std::uniform_int_distribution<int> count(2, 6);
    std::uniform_int_distribution<std::uint64_t> part(0, 40);
    Shares earlier(count(rng));
    for (auto& v : earlier) v = part(rng);
    const std::size_t dead = rng() % earlier.size();
    earlier[dead] += 1;
    const std::uint64_t o1 = std::accumulate(earlier.begin(), earlier.end(), std::uint64_t{0});
    Shares later(count(rng));
    for (auto& v : later) v = part(rng);
    later[0] += 1;
    const std::uint64_t c2 = std::accumulate(later.begin(), later.end(), std::uint64_t{0});
    std::vector<int> link(later.size(), -1);
    for (auto& l : link) {
      const int to = static_cast<int>(rng() % (earlier.size() + 1)) - 1;
      l = (to == static_cast<int>(dead)) ? -1 : to;
    }
    const CombineStep step = CombineTables(o1, earlier, dead, c2, later, link);
    ASSERT_EQ(step.refusal, CombineRefusal::None);
    ASSERT_EQ(std::accumulate(step.shares.begin(), step.shares.end(), std::uint64_t{0}),
              step.origin);
    // Expected numerators over the common denominator o1 * c2.
    std::vector<unsigned __int128> expect(earlier.size(), 0);
    for (std::size_t i = 0; i < earlier.size(); ++i)
      if (i != dead) expect[i] = static_cast<unsigned __int128>(earlier[i]) * c2;
    for (std::size_t j = 0; j < later.size(); ++j) {
      const unsigned __int128 v = static_cast<unsigned __int128>(earlier[dead]) * later[j];
      if (link[j] < 0) expect.push_back(v);
      else expect[static_cast<std::size_t>(link[j])] += v;
    }
    ASSERT_EQ(expect.size(), step.shares.size());
    for (std::size_t k = 0; k < expect.size(); ++k)
      EXPECT_EQ(static_cast<unsigned __int128>(step.shares[k]) * o1 * c2,
                expect[k] * step.origin) << "round " << round << " person " << k;
  }
}

}  // namespace
}  // namespace qismar
