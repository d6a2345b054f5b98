// Two-dimensional line decoding (ITU-T T.4 section 4.2, ITU-T T.6 section 2.2).
#include "engine/ccitt_decode_internal.h"

namespace hv::engine::detail {

// Decodes mode codes until the line ends (a0 reaches the width), the buffer
// runs out or the data is invalid. The reference line is strictly ascending,
// ends with the width and carries two more width entries, so the b1/b2 walk
// always stops at or before them. Changing elements at even indices of either
// line start black runs: the parity of the entry count is the current colour
// and the parity of refIdx always equals it.
Step decode2DLine(DecoderState& s) {
  BitReader br = s.br;
  std::uint16_t* const cur = s.cur;
  const std::uint16_t* const ref = s.ref;
  const std::int32_t width = static_cast<std::int32_t>(s.width);
  std::uint32_t n = s.curCount;
  std::int32_t a0 = s.a0;
  std::uint32_t bi = s.refIdx;
  std::uint32_t runCol = s.runCol;
  std::uint8_t state = s.codingState;
  Step result;
  // storeColumn with the last element kept in a register: the comparison
  // with it no longer waits for the store just made to the line.
  constexpr std::uint32_t kNone = 0xFFFFFFFFu;
  std::uint32_t last = n != 0 ? cur[n - 1] : kNone;
  const auto store = [&](std::uint32_t col) {
    if (col == last) {
      --n;
      last = n != 0 ? cur[n - 1] : kNone;
    } else {
      cur[n++] = static_cast<std::uint16_t>(col);
      last = col;
    }
  };

  for (;;) {
    if (state == kExpectMode) {
      brEnsure(br);
      const std::uint32_t e = ccitt::kModeTable[br.acc & 0x7F];
      const std::uint32_t len = e & 15;
      if (e == 0 || len > br.bits) {
        if (br.bits < 7) {
          result = Step::kNeedInput;
          break;
        }
        // Seven zero bits: an EOL (or fill) where a mode code belongs; the
        // extension prefix 0000001 (uncompressed mode) is not decoded.
        result = (br.acc & 0x7F) == 0 ? Step::kZeroMode : Step::kError;
        break;
      }
      // b1: first changing element on the reference line right of a0 with
      // the colour opposite to a0's (T.4 section 4.2.1.3.1).
      while (static_cast<std::int32_t>(ref[bi]) <= a0) bi += 2;
      const std::uint32_t mode = e >> 4;
      if (mode <= ccitt::kModeVR3) {
        const std::int32_t a1 = static_cast<std::int32_t>(ref[bi]) + static_cast<std::int32_t>(mode) - 3;
        if (a1 < (a0 < 0 ? 0 : a0) || a1 > width) {
          result = Step::kError;
          break;
        }
        brConsume(br, len);
        store(static_cast<std::uint32_t>(a1));
        a0 = a1;
        if (a0 == width) {
          result = Step::kLineDone;
          break;
        }
        // The colour changed: the new b1 candidate is the neighbour of the
        // old b1, one back when that one still lies right of a0 (VL modes).
        if (bi > 0 && static_cast<std::int32_t>(ref[bi - 1]) > a0) {
          --bi;
        } else {
          ++bi;
        }
        continue;
      }
      if (mode == ccitt::kModePass) {
        brConsume(br, len);
        a0 = ref[bi + 1];  // b2
        bi += 2;
        if (a0 == width) {
          result = Step::kLineDone;
          break;
        }
        continue;
      }
      if (mode != ccitt::kModeHorizontal) {
        result = Step::kError;
        break;
      }
      brConsume(br, len);
      runCol = a0 < 0 ? 0u : static_cast<std::uint32_t>(a0);
      state = kHorizRun1;
    }
    if (state == kHorizRun1) {
      const RunStep r = decodeRun(br, (n & 1) != 0, runCol, s.width);
      if (r != RunStep::kDone) {
        result = r == RunStep::kNeedInput ? Step::kNeedInput : Step::kError;
        break;
      }
      store(runCol);
      state = kHorizRun2;
    }
    // kHorizRun2
    const RunStep r = decodeRun(br, (n & 1) != 0, runCol, s.width);
    if (r != RunStep::kDone) {
      result = r == RunStep::kNeedInput ? Step::kNeedInput : Step::kError;
      break;
    }
    store(runCol);
    a0 = static_cast<std::int32_t>(runCol);
    state = kExpectMode;
    if (a0 == width) {
      result = Step::kLineDone;
      break;
    }
  }

  s.br = br;
  s.curCount = n;
  s.a0 = a0;
  s.refIdx = bi;
  s.runCol = runCol;
  s.codingState = state;
  if (result == Step::kLineDone) closeLine(cur, s.curCount, s.width);
  return result;
}

}  // namespace hv::engine::detail
