#pragma once
// Reduction pattern: how `from` source lines (or columns) are shared among `to`
// output lines when reducing, e.g. 7 → 3 gives groups of 2, 3 and 2.
#include <cstdint>

namespace hv::engine {

constexpr unsigned kReductionPatternMax = 32;  // entries, including the closing 0

// Fills out with the group sizes of a reduction of `from` to `to` (from > to >
// 0): with q = from / to and r = from % to, r groups of q + 1 and to - r groups
// of q. The less frequent size is placed at every (k + 1)-th group starting at
// group k / 2 (k = larger count / smaller count, 1 when r is 0), the other size
// everywhere else, and a 0 entry closes the pattern. A ratio whose reduced form
// needs more than 31 groups is approximated with 31 groups. Returns the number
// of groups (0 when from <= to or to is 0, leaving out[0] = 0).
unsigned reductionPattern(unsigned from, unsigned to, std::uint16_t out[kReductionPatternMax]);

}  // namespace hv::engine
