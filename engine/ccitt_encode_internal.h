#pragma once
// The encoder's bit writer and code helpers, shared by its translation units.
#include <cstdint>

#include "engine/ccitt_encode.h"

namespace hv::engine::detail {

// Bits go into a 64-bit accumulator, first bit highest, and leave it four
// bytes at a time; the buffer is flushed when four more bytes would not fit.
struct BitSink {
  EncoderState* state = nullptr;
  std::uint8_t* data = nullptr;
  std::uint32_t capacity = 0;
  std::uint32_t bytes = 0;  // whole bytes in data
  std::uint64_t acc = 0;    // pending bits, left-aligned
  std::uint32_t held = 0;   // pending bits (below 32 between writes)
  bool failed = false;
};

void flushSink(BitSink& w);

inline void storeWord(BitSink& w) {
  if (w.bytes + 4 > w.capacity) flushSink(w);
  const auto word = static_cast<std::uint32_t>(w.acc >> 32);
  std::uint8_t* p = w.data + w.bytes;
  p[0] = static_cast<std::uint8_t>(word >> 24);
  p[1] = static_cast<std::uint8_t>(word >> 16);
  p[2] = static_cast<std::uint8_t>(word >> 8);
  p[3] = static_cast<std::uint8_t>(word);
  w.bytes += 4;
  w.acc <<= 32;
  w.held -= 32;
}

// Writes `length` (at most 32) bits, given left-aligned in `code`.
inline void putBits(BitSink& w, std::uint32_t code, unsigned length) {
  w.acc |= (static_cast<std::uint64_t>(code) << 32) >> w.held;
  w.held += length;
  if (w.held >= 32) storeWord(w);
}

// A table entry: left-aligned code with its length in the low 5 bits.
inline void putEntry(BitSink& w, std::uint32_t entry) { putBits(w, entry & ~31u, entry & 31u); }

const std::uint32_t* runTable(bool black);

// T.4 extended make-up code for 2560: 000000011111.
inline constexpr std::uint32_t kMakeup2560 = 0x01Fu << 20;

// A run of any length: 2560 make-up codes while more than 2623 remain, then
// the table code of the rest.
inline void putRun(BitSink& w, const std::uint32_t* table, std::uint64_t run) {
  if (run > kMaxTableRun) {
    std::uint64_t extra = (run - 64) / 2560;
    for (std::uint64_t i = 0; i < extra; ++i) putBits(w, kMakeup2560, 12);
    run -= extra * 2560;
  }
  putEntry(w, table[run]);
}

// Mode codes of T.4 table 4 / T.6 table 1, left-aligned.
inline constexpr std::uint32_t kPass = 0x1u << 28;        // 0001
inline constexpr std::uint32_t kHorizontal = 0x1u << 29;  // 001
inline constexpr std::uint32_t kEol = 0x001u << 20;       // 000000000001
// Vertical codes for a1 - b1 = -3..3: (left-aligned code, length).
inline constexpr std::uint32_t kVertical[7][2] = {
    {0x02u << 25, 7}, {0x02u << 26, 6}, {0x2u << 29, 3}, {0x1u << 31, 1},
    {0x3u << 29, 3},  {0x03u << 26, 6}, {0x03u << 25, 7},
};

inline void putVertical(BitSink& w, int delta) { putBits(w, kVertical[delta + 3][0], kVertical[delta + 3][1]); }

void reportProgress(const EncoderState& s, std::uint32_t done, std::uint32_t total);

// Group 4 "wrap": the whole image as one continuous raster.
void encodeWrap(BitSink& w, const EncoderState& s);

}  // namespace hv::engine::detail
