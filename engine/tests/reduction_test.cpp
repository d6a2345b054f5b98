#include "engine/reduction.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace hv::engine {
namespace {

std::vector<std::uint16_t> pattern(unsigned from, unsigned to) {
  std::uint16_t out[kReductionPatternMax];
  const unsigned n = reductionPattern(from, to, out);
  EXPECT_EQ(out[n], 0);
  return std::vector<std::uint16_t>(out, out + n);
}

TEST(Reduction, MinorityGroupsAreSpreadOut) {
  EXPECT_EQ(pattern(7, 3), (std::vector<std::uint16_t>{2, 3, 2}));  // one 3 among two 2s: k = 2
  EXPECT_EQ(pattern(5, 4), (std::vector<std::uint16_t>{1, 2, 1, 1}));  // k = 3: group 1
  EXPECT_EQ(pattern(11, 4), (std::vector<std::uint16_t>{3, 2, 3, 3}));  // three 3s, one 2: k = 3
  EXPECT_EQ(pattern(9, 6), (std::vector<std::uint16_t>{2, 1}));  // 3/2: equal counts, k = 1
  EXPECT_EQ(pattern(10, 8), (std::vector<std::uint16_t>{1, 2, 1, 1}));
  EXPECT_EQ(pattern(17, 7), (std::vector<std::uint16_t>{3, 2, 3, 2, 3, 2, 2}));  // three 3s: k = 1, from 0
  EXPECT_EQ(pattern(8, 2), (std::vector<std::uint16_t>{4}));
  EXPECT_EQ(pattern(10, 4), pattern(5, 2));  // reduced by the common divisor
}

TEST(Reduction, SumsToTheSourceCountAndStaysWithinLimits) {
  for (unsigned to = 1; to <= 40; ++to)
    for (unsigned from = to + 1; from <= 200; ++from) {
      const auto p = pattern(from, to);
      ASSERT_LE(p.size(), kReductionPatternMax - 1);
      for (auto g : p) ASSERT_GE(g, 1);
      const unsigned g = std::gcd(from, to);
      if (to / g <= kReductionPatternMax - 1) {
        ASSERT_EQ(std::accumulate(p.begin(), p.end(), 0u) * g, from) << from << "/" << to;
      }
    }
  EXPECT_TRUE(pattern(3, 3).empty());
  EXPECT_TRUE(pattern(2, 3).empty());
  EXPECT_TRUE(pattern(2, 0).empty());
}

}  // namespace
}  // namespace hv::engine
