#pragma once
// Bit reversal of a byte (bit 7 becomes bit 0): the change between the two
// fill orders of TIFF 6.0, and the mirror of eight pixels of a packed row.
#include <array>
#include <cstdint>

namespace hv::formats {

constexpr std::array<std::uint8_t, 256> makeBitReversal() {
  std::array<std::uint8_t, 256> t{};
  for (unsigned v = 0; v < 256; ++v) {
    unsigned r = 0;
    for (unsigned b = 0; b < 8; ++b)
      if (v & (1u << b)) r |= 0x80u >> b;
    t[v] = static_cast<std::uint8_t>(r);
  }
  return t;
}

inline constexpr std::array<std::uint8_t, 256> kBitReversal = makeBitReversal();
static_assert(kBitReversal[0x01] == 0x80 && kBitReversal[0xF0] == 0x0F);

}  // namespace hv::formats
