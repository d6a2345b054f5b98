// Packed-row codings: PackBits (kCompPackBits) and uncompressed rows
// (kCompUncompressed).
#include <algorithm>
#include <bit>
#include <cstring>

#include "engine/ccitt_decode_internal.h"

namespace hv::engine::detail {

// Collects (width + 7) / 8 bytes into the row buffer. Uncompressed rows are
// copied; PackBits packets (header n: 0..127 copies n + 1 bytes, -1..-127
// repeats the next byte 1 - n times, -128 is skipped) may run across rows and
// across buffers: the packet's remaining count stays in the state.
Step decodeRawRow(DecoderState& s) {
  std::uint8_t* const row = rawRow(s);
  BitReader& br = s.br;
  const std::uint32_t rowBytes = s.rowBytes;
  while (s.rawCol < rowBytes) {
    const std::uint32_t avail = br.count - br.taken;
    const std::uint32_t room = rowBytes - s.rawCol;
    if (s.activeCode == formats::kCompUncompressed || s.pbLiteral != 0) {
      if (avail == 0) return Step::kNeedInput;
      std::uint32_t k = std::min(avail, room);
      if (s.activeCode != formats::kCompUncompressed) {
        k = std::min(k, s.pbLiteral);
        s.pbLiteral -= k;
      }
      std::memcpy(row + s.rawCol, br.data + br.taken, k);
      br.taken += k;
      s.rawCol += k;
    } else if (s.pbRepeat != 0) {
      if (!s.pbHaveByte) {
        if (avail == 0) return Step::kNeedInput;
        s.pbByte = br.data[br.taken++];
        s.pbHaveByte = true;
      }
      const std::uint32_t k = std::min(room, s.pbRepeat);
      std::memset(row + s.rawCol, s.pbByte, k);
      s.rawCol += k;
      s.pbRepeat -= k;
      if (s.pbRepeat == 0) s.pbHaveByte = false;
    } else {
      if (avail == 0) return Step::kNeedInput;
      const auto header = static_cast<std::int8_t>(br.data[br.taken++]);
      if (header >= 0) {
        s.pbLiteral = static_cast<std::uint32_t>(header) + 1;
      } else if (header != -128) {
        s.pbRepeat = static_cast<std::uint32_t>(1 - header);
      }
    }
  }
  s.rawCol = 0;
  return Step::kLineDone;
}

// Walks the row 64 bits at a time: in each word the bits that differ from the
// current colour are found with a leading-zero count.
std::uint32_t packedRowToList(const std::uint8_t* row, std::uint32_t width, std::uint16_t* out) {
  std::uint32_t n = 0;
  std::uint64_t colour = 0;  // all ones while inside a black run
  const std::uint32_t bytes = (width + 7) / 8;
  for (std::uint32_t base = 0; base < bytes; base += 8) {
    std::uint64_t word = 0;
    const std::uint32_t take = std::min<std::uint32_t>(8, bytes - base);
    for (std::uint32_t i = 0; i < take; ++i) word |= static_cast<std::uint64_t>(row[base + i]) << (56 - 8 * i);
    const std::uint32_t bitBase = base * 8;
    const std::uint32_t validBits = std::min<std::uint32_t>(64, width - bitBase);
    std::uint32_t pos = 0;  // bits of this word already accounted for
    while (pos < validBits) {
      const std::uint64_t diff = (word ^ colour) << pos;
      if (diff == 0) break;
      pos += static_cast<std::uint32_t>(std::countl_zero(diff));
      if (pos >= validBits) break;
      out[n++] = static_cast<std::uint16_t>(bitBase + pos);
      colour = ~colour;
    }
  }
  out[n++] = static_cast<std::uint16_t>(width);
  out[n] = static_cast<std::uint16_t>(width);
  out[n + 1] = static_cast<std::uint16_t>(width);
  return n;
}

}  // namespace hv::engine::detail
