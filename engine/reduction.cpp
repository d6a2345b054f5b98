#include "engine/reduction.h"

#include <numeric>

namespace hv::engine {

unsigned reductionPattern(unsigned from, unsigned to, std::uint16_t out[kReductionPatternMax]) {
  out[0] = 0;
  if (to == 0 || from <= to) return 0;
  const unsigned g = std::gcd(from, to);
  from /= g;
  to /= g;
  if (to > kReductionPatternMax - 1) {
    // Keep the ratio as closely as 31 groups allow (never below 1 line a group).
    const unsigned groups = kReductionPatternMax - 1;
    from = static_cast<unsigned>((static_cast<unsigned long long>(from) * groups + to / 2) / to);
    to = groups;
    if (from <= to) from = to + 1;
  }
  const unsigned q = from / to;
  const unsigned r = from % to;
  const unsigned bigCount = r;        // groups of q + 1
  const unsigned smallCount = to - r; // groups of q
  const bool minorityBig = bigCount <= smallCount;
  const unsigned minority = minorityBig ? bigCount : smallCount;
  const unsigned majority = to - minority;
  const unsigned k = r == 0 ? 1 : majority / minority;
  const auto minoritySize = static_cast<std::uint16_t>(minorityBig ? q + 1 : q);
  const auto majoritySize = static_cast<std::uint16_t>(minorityBig ? q : q + 1);
  for (unsigned i = 0; i < to; ++i) out[i] = majoritySize;
  for (unsigned j = 0, pos = k / 2; j < minority && pos < to; ++j, pos += k + 1) out[pos] = minoritySize;
  out[to] = 0;
  return to;
}

}  // namespace hv::engine
