#pragma once
// Bit reader over one code buffer, least significant bit first.
//
// The accumulator holds the unread bits in its low end; `bits` of them are
// valid. Bits above `bits` are either zero or the true next bits of the same
// buffer (a wide refill may load a byte before counting it); the next refill
// ORs that byte in again at the same place, so peeks never see foreign bits.
// Once every byte of the buffer is counted, the bits above `bits` are zero.
//
// The saved position is exact: (bytes taken × 8) − bits held. It is negative
// while bits carried over from the previous buffer are still held.
#include <bit>
#include <cstdint>
#include <cstring>

namespace hv::engine {

struct BitReader {
  const std::uint8_t* data = nullptr;  // current code buffer
  std::uint32_t count = 0;             // bytes in it
  std::uint32_t taken = 0;             // bytes moved into the accumulator
  std::uint32_t bits = 0;              // valid bits held
  std::uint64_t acc = 0;               // unread bits, next bit lowest
};

// Tops the accumulator up to at least 56 bits, or until the buffer is used.
inline void brRefill(BitReader& r) {
  if constexpr (std::endian::native == std::endian::little) {
    if (r.bits < 56 && r.count - r.taken >= 8) {
      std::uint64_t v;
      std::memcpy(&v, r.data + r.taken, 8);
      r.acc |= v << r.bits;
      const std::uint32_t add = (63 - r.bits) >> 3;
      r.taken += add;
      r.bits += add * 8;
      return;
    }
  }
  while (r.bits <= 56 && r.taken < r.count) {
    r.acc |= static_cast<std::uint64_t>(r.data[r.taken++]) << r.bits;
    r.bits += 8;
  }
}

// Refills when fewer than 14 bits are held (enough for any single code).
inline void brEnsure(BitReader& r) {
  if (r.bits < 14) brRefill(r);
}

inline std::uint32_t brPeek(const BitReader& r, unsigned n) {
  return static_cast<std::uint32_t>(r.acc & ((std::uint64_t{1} << n) - 1));
}

inline void brConsume(BitReader& r, unsigned n) {
  r.acc >>= n;
  r.bits -= n;
}

inline bool brExhausted(const BitReader& r) { return r.taken >= r.count; }

// Bit position of the next unread bit within the current buffer.
inline std::int64_t brPosition(const BitReader& r) {
  return static_cast<std::int64_t>(r.taken) * 8 - static_cast<std::int64_t>(r.bits);
}

// Switches to the next buffer of the same stream; held bits stay in front.
inline void brNextBuffer(BitReader& r, const std::uint8_t* data, std::uint32_t count) {
  r.data = data;
  r.count = count;
  r.taken = 0;
}

// Starts a stream afresh at bit `offset` (0..7) of the buffer's first byte.
inline void brStart(BitReader& r, const std::uint8_t* data, std::uint32_t count, unsigned offset) {
  r.data = data;
  r.count = count;
  r.taken = 0;
  r.bits = 0;
  r.acc = 0;
  if (offset != 0 && count != 0) {
    r.acc = static_cast<std::uint64_t>(data[0] >> (offset & 7));
    r.bits = 8 - (offset & 7);
    r.taken = 1;
  }
}

}  // namespace hv::engine
