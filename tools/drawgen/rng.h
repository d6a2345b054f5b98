#pragma once
// SplitMix64: small, fast and the same everywhere, unlike the standard
// library's distributions.
#include <cstdint>

namespace hv::drawgen {

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
  double uniform(double lo, double hi) { return lo + (hi - lo) * unit(); }
  // Uniform integer in [lo, hi].
  int range(int lo, int hi) {
    if (hi <= lo) return lo;
    return lo + int(next() % std::uint64_t(hi - lo + 1));
  }
  bool chance(double p) { return unit() < p; }
  template <class T, std::size_t N>
  const T& pick(const T (&items)[N]) {
    return items[next() % N];
  }

 private:
  std::uint64_t state_;
};

}  // namespace hv::drawgen
