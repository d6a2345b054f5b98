// Delivery of decoded lines: clipping to the region, transition lists or
// packed bitmap rows.
#include <algorithm>
#include <cstring>

#include "engine/ccitt_decode_internal.h"

namespace hv::engine::detail {
namespace {

// Sets bits [x0, x1) of a packed row, most significant bit leftmost.
inline void setRun(std::uint8_t* row, std::uint32_t x0, std::uint32_t x1) {
  const std::uint32_t b0 = x0 >> 3;
  const std::uint32_t b1 = (x1 - 1) >> 3;
  const auto first = static_cast<std::uint8_t>(0xFFu >> (x0 & 7));
  const auto last = static_cast<std::uint8_t>(0xFF00u >> (((x1 - 1) & 7) + 1));
  if (b0 == b1) {
    row[b0] |= static_cast<std::uint8_t>(first & last);
    return;
  }
  row[b0] |= first;
  const std::uint32_t mid = b1 - b0 - 1;
  if (mid <= 8) {
    for (std::uint32_t i = 1; i <= mid; ++i) row[b0 + i] = 0xFF;
  } else {
    std::memset(row + b0 + 1, 0xFF, mid);
  }
  row[b1] |= last;
}

}  // namespace

bool outputFull(const DecoderState& s) {
  if (s.out.form == OutputForm::kBitmap) return s.outRow >= s.out.bandRows;
  return s.out.listCapacity - s.listPos < s.regionWidth + 1;
}

void deliverLine(DecoderState& s, const std::uint16_t* line, std::uint32_t n, bool blank) {
  const std::uint32_t fc = s.firstCol;
  const std::uint32_t ec = s.endCol;
  if (s.out.form == OutputForm::kTransitions) {
    std::uint16_t* out = s.out.list + s.listPos;
    std::uint32_t k = 0;
    if (blank) {
      out[k++] = static_cast<std::uint16_t>(s.regionWidth);
    } else if (fc == 0 && ec == s.width) {
      std::memcpy(out, line, n * sizeof(std::uint16_t));
      k = n;
    } else {
      std::uint32_t i = 0;
      while (line[i] <= fc) ++i;
      // An odd number of changes at or before the first column: it is black.
      if ((i & 1) != 0) out[k++] = 0;
      while (line[i] < ec) out[k++] = static_cast<std::uint16_t>(line[i++] - fc);
      out[k++] = static_cast<std::uint16_t>(s.regionWidth);
    }
    s.listPos += k;
  } else {
    std::uint8_t* row = s.out.band + static_cast<std::size_t>(s.outRow) * s.out.rowBytes;
    std::memset(row, 0, s.out.rowBytes);
    if (!blank) {
      const std::uint32_t shift = s.out.firstBitCol;
      for (std::uint32_t i = 0; i + 1 < n; i += 2) {
        const std::uint32_t start = line[i];
        if (start >= ec) break;
        const std::uint32_t x0 = std::max(start, fc);
        const std::uint32_t x1 = std::min<std::uint32_t>(line[i + 1], ec);
        if (x0 < x1) setRun(row, x0 - fc + shift, x1 - fc + shift);
      }
    }
    ++s.outRow;
  }
  ++s.delivered;
}

}  // namespace hv::engine::detail
